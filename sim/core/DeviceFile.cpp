#include "DeviceFile.h"

#include "DefaultDevicesJson.h"

#include <kwl/KPrintLog.h>

#include <QFile>
#include <QJsonDocument>
#include <QSet>

#include <cmath>
#include <cstdlib>

namespace {

// Checks one object of the file and builds its completed copy; the first fault found is kept
// with the place it was found at ("devices[1].channels[0]").
class Checker
{
public:
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    void fail(const QString &where, const QString &what)
    {
        if (ok())
            m_error = where + ": " + what;
    }

    // A string member; a required one must be present and not empty.
    QString text(const QJsonObject &in, QJsonObject &out, const QString &where, const QString &key,
                 bool required, const QString &fallback = {})
    {
        const QJsonValue value = in.value(key);
        if (value.isUndefined() && !required) {
            out.insert(key, fallback);
            return fallback;
        }
        if (!value.isString() || (required && value.toString().isEmpty())) {
            fail(where,
                 QString("\"%1\" must be a%2 string").arg(key, required ? " non-empty" : ""));
            return {};
        }
        return value.toString();
    }

    // A whole number within [low, high]; absent gives the fallback unless it is required.
    int number(const QJsonObject &in, QJsonObject &out, const QString &where, const QString &key,
               int low, int high, std::optional<int> fallback)
    {
        const QJsonValue value = in.value(key);
        if (value.isUndefined() && fallback) {
            out.insert(key, *fallback);
            return *fallback;
        }
        const double d = value.toDouble(NAN);
        if (!value.isDouble() || std::floor(d) != d || d < low || d > high) {
            fail(
                where,
                QString("\"%1\" must be a whole number from %2 to %3").arg(key).arg(low).arg(high));
            return 0;
        }
        return static_cast<int>(d);
    }

    bool flag(const QJsonObject &in, QJsonObject &out, const QString &where, const QString &key,
              bool fallback)
    {
        const QJsonValue value = in.value(key);
        if (value.isUndefined()) {
            out.insert(key, fallback);
            return fallback;
        }
        if (!value.isBool())
            fail(where, QString("\"%1\" must be true or false").arg(key));
        return value.toBool();
    }

    // An array member; a required one must hold at least one element.
    QJsonArray array(const QJsonObject &in, const QString &where, const QString &key, bool required)
    {
        const QJsonValue value = in.value(key);
        if (value.isUndefined() && !required)
            return {};
        if (!value.isArray() || (required && value.toArray().isEmpty()))
            fail(where,
                 QString("\"%1\" must be a%2 array").arg(key, required ? " non-empty" : "n"));
        return value.toArray();
    }

    QJsonObject object(const QJsonValue &value, const QString &where)
    {
        if (!value.isObject())
            fail(where, "must be an object");
        return value.toObject();
    }

    // Records a value that must be unique within its list.
    void unique(QSet<QString> &seen, const QString &value, const QString &where, const QString &key)
    {
        if (seen.contains(value))
            fail(where, QString("\"%1\" \"%2\" is used twice").arg(key, value));
        seen.insert(value);
    }

private:
    QString m_error;
};

QString place(const QString &list, int index)
{
    return QString("%1[%2]").arg(list).arg(index);
}

QJsonArray checkShops(Checker &c, const QJsonObject &root, QSet<QString> &codes)
{
    QJsonArray shops;
    const QJsonArray given = c.array(root, "top level", "shops", true);
    for (int i = 0; i < given.size() && c.ok(); ++i) {
        const QString where = place("shops", i);
        const QJsonObject in = c.object(given[i], where);
        QJsonObject out = in;
        c.unique(codes, c.text(in, out, where, "shopCode", true), where, "shopCode");
        c.text(in, out, where, "shopName", true);
        shops.append(out);
    }
    return shops;
}

QJsonArray checkMenus(Checker &c, const QJsonObject &root, QSet<QString> &paths)
{
    QJsonArray menus;
    const QJsonArray given = c.array(root, "top level", "menus", true);
    for (int i = 0; i < given.size() && c.ok(); ++i) {
        const QString where = place("menus", i);
        const QJsonObject in = c.object(given[i], where);
        QJsonObject out = in;
        c.unique(paths, c.text(in, out, where, "menuPath", true), where, "menuPath");
        c.text(in, out, where, "menuName", true);
        c.flag(in, out, where, "menuNavigation", true);
        menus.append(out);
    }
    return menus;
}

QJsonArray checkChannels(Checker &c, const QJsonObject &device, const QString &deviceWhere)
{
    QJsonArray channels;
    QSet<QString> ids;
    const QJsonArray given = c.array(device, deviceWhere, "channels", true);
    for (int i = 0; i < given.size() && c.ok(); ++i) {
        const QString where = deviceWhere + "." + place("channels", i);
        const QJsonObject in = c.object(given[i], where);
        QJsonObject out = in;
        const int id = c.number(in, out, where, "channelId", 0, 255, std::nullopt);
        c.unique(ids, QString::number(id), where, "channelId");
        c.text(in, out, where, "channelName", true);
        c.text(in, out, where, "ability", false);
        c.flag(in, out, where, "online", true);
        if (in.contains("rtspUrl"))
            c.text(in, out, where, "rtspUrl", true);
        channels.append(out);
    }
    return channels;
}

QJsonArray checkDevices(Checker &c, const QJsonObject &root, const QSet<QString> &shopCodes)
{
    static const QStringList types = {"recorder", "camera", "door"};
    QJsonArray devices;
    QSet<QString> ids;
    const QJsonArray given = c.array(root, "top level", "devices", false);
    for (int i = 0; i < given.size() && c.ok(); ++i) {
        const QString where = place("devices", i);
        const QJsonObject in = c.object(given[i], where);
        QJsonObject out = in;
        c.unique(ids, c.text(in, out, where, "deviceId", true), where, "deviceId");
        c.text(in, out, where, "deviceName", true);
        const QString type = c.text(in, out, where, "deviceType", true);
        if (c.ok() && !types.contains(type))
            c.fail(where, QString("\"deviceType\" must be one of %1").arg(types.join(", ")));
        const QString shop = c.text(in, out, where, "shopCode", true);
        if (c.ok() && !shopCodes.contains(shop))
            c.fail(where, QString("\"shopCode\" \"%1\" names no shop").arg(shop));
        c.text(in, out, where, "deviceModel", false);
        c.text(in, out, where, "brand", false, "general");
        c.text(in, out, where, "ability", false);
        c.number(in, out, where, "streamPort", 0, 65535, 554);
        c.text(in, out, where, "devLoginName", false, "admin");
        c.text(in, out, where, "devLoginPassword", false);
        c.flag(in, out, where, "online", true);
        c.number(in, out, where, "sirenSeconds", 1, 3600, 10);
        out.insert("channels", checkChannels(c, in, where));
        devices.append(out);
    }
    return devices;
}

QJsonArray checkUsers(Checker &c, const QJsonObject &root, const QSet<QString> &menuPaths)
{
    QJsonArray users;
    QSet<QString> names;
    QSet<QString> tokens;
    const QJsonArray given = c.array(root, "top level", "users", true);
    for (int i = 0; i < given.size() && c.ok(); ++i) {
        const QString where = place("users", i);
        const QJsonObject in = c.object(given[i], where);
        QJsonObject out = in;
        c.unique(names, c.text(in, out, where, "userName", true), where, "userName");
        c.text(in, out, where, "password", true);
        c.unique(tokens, c.text(in, out, where, "token", true), where, "token");
        c.text(in, out, where, "userType", false, "admin");
        c.text(in, out, where, "userPhoto", false);
        const QJsonArray menus = c.array(in, where, "menus", false);
        for (const QJsonValue &menu : menus) {
            if (c.ok() && !menuPaths.contains(menu.toString()))
                c.fail(where,
                       QString("\"menus\" names an unknown menu path %1")
                           .arg(QString::fromUtf8(
                               QJsonDocument(QJsonArray {menu}).toJson(QJsonDocument::Compact))));
        }
        users.append(out);
    }
    return users;
}

QJsonObject checkVersion(Checker &c, const QJsonObject &root)
{
    const QString where = "version";
    const QJsonObject in
        = root.contains(where) ? c.object(root.value(where), where) : QJsonObject();
    QJsonObject out = in;
    c.text(in, out, where, "version", false, "V1.001.0000000.0.R");
    c.text(in, out, where, "leastVersion", false, "V1.001.0000000.0.R");
    c.text(in, out, where, "filesize", false, "0");
    c.text(in, out, where, "url", false);
    c.text(in, out, where, "desc", false);
    return out;
}

// "line 3, column 14" of a byte offset into the text.
QString lineAndColumn(const QByteArray &text, int offset)
{
    const QByteArray before = text.left(offset);
    const int line = before.count('\n') + 1;
    const int column = offset - (before.lastIndexOf('\n') + 1) + 1;
    return QString("line %1, column %2").arg(line).arg(column);
}

} // namespace

DeviceFile::DeviceFile(QJsonObject document)
    : m_document(std::move(document))
{ }

DeviceFile DeviceFile::builtIn()
{
    QString error;
    const std::optional<DeviceFile> file = parse(builtInText(), &error);
    if (!file) {
        // Only a broken build gets here: the default file is checked by the tests.
        KLOG(6, "built-in device file: %s", qPrintable(error));
        std::abort();
    }
    return *file;
}

QByteArray DeviceFile::builtInText()
{
    return QByteArray(kDefaultDevicesJson);
}

std::optional<DeviceFile> DeviceFile::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString("cannot read device file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    std::optional<DeviceFile> result = parse(file.readAll(), error);
    if (!result)
        *error = QString("device file %1: %2").arg(path, *error);
    return result;
}

std::optional<DeviceFile> DeviceFile::parse(const QByteArray &text, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QString("%1: %2").arg(lineAndColumn(text, parseError.offset),
                                       parseError.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = "top level: must be an object";
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    Checker c;
    QSet<QString> shopCodes;
    QSet<QString> menuPaths;
    QJsonObject out = root;
    out.insert("shops", checkShops(c, root, shopCodes));
    out.insert("menus", checkMenus(c, root, menuPaths));
    out.insert("devices", checkDevices(c, root, shopCodes));
    out.insert("users", checkUsers(c, root, menuPaths));
    out.insert("version", checkVersion(c, root));
    out.insert("tokenLifetime",
               c.number(root, out, "top level", "tokenLifetime", 0, 315360000, 3600));
    if (!c.ok()) {
        *error = c.error();
        return std::nullopt;
    }
    return DeviceFile(out);
}

QJsonObject DeviceFile::user(const QString &userName) const
{
    return findIn(users(), "userName", userName);
}

QJsonArray DeviceFile::menusOf(const QJsonObject &user) const
{
    if (!user.contains("menus"))
        return menus();
    const QJsonArray allowed = user.value("menus").toArray();
    QJsonArray result;
    for (const QJsonValue &menu : menus()) {
        if (allowed.contains(menu.toObject().value("menuPath")))
            result.append(menu);
    }
    return result;
}

QJsonObject DeviceFile::device(const QString &deviceId) const
{
    return findIn(devices(), "deviceId", deviceId);
}

QString DeviceFile::shopName(const QString &shopCode) const
{
    return findIn(shops(), "shopCode", shopCode).value("shopName").toString();
}

QJsonObject DeviceFile::findIn(const QJsonArray &array, const QString &key, const QString &value)
{
    for (const QJsonValue &element : array) {
        if (element.toObject().value(key).toString() == value)
            return element.toObject();
    }
    return {};
}
