#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// The platform's data: shops, devices with their channels, users with their passwords, gateway
// tokens and menus, the client version it publishes and the lifetime of device-platform tokens.
// Read from a JSON file (or the built-in default), checked and completed with defaults; keys it
// does not know are kept, so that other parts of the platform can add their own.
class DeviceFile
{
public:
    // The built-in default: three shops, a recorder with four channels, cameras, a door station
    // and two users.
    static DeviceFile builtIn();
    // The text of the built-in default (what --print-default-devices prints).
    static QByteArray builtInText();
    // Reads and checks a device file; an empty result and a message naming the place when wrong.
    static std::optional<DeviceFile> load(const QString &path, QString *error);
    // Checks a device file's text; an empty result and a message naming the place when wrong.
    static std::optional<DeviceFile> parse(const QByteArray &text, QString *error);

    // The whole file with every default filled in.
    QJsonObject document() const { return m_document; }
    // The lists of the file, completed.
    QJsonArray shops() const { return m_document.value("shops").toArray(); }
    QJsonArray devices() const { return m_document.value("devices").toArray(); }
    QJsonArray users() const { return m_document.value("users").toArray(); }
    QJsonArray menus() const { return m_document.value("menus").toArray(); }
    // The version object the client's version check reads.
    QJsonObject version() const { return m_document.value("version").toObject(); }
    // Seconds a device-platform token lasts.
    int tokenLifetime() const { return m_document.value("tokenLifetime").toInt(); }

    // The user of that name, empty when there is none.
    QJsonObject user(const QString &userName) const;
    // The menus a user may open, in the order of the file.
    QJsonArray menusOf(const QJsonObject &user) const;
    // The device of that id, empty when there is none.
    QJsonObject device(const QString &deviceId) const;
    // The name of a shop, empty when the code is unknown.
    QString shopName(const QString &shopCode) const;

private:
    explicit DeviceFile(QJsonObject document);
    static QJsonObject findIn(const QJsonArray &array, const QString &key, const QString &value);

    QJsonObject m_document;
};
