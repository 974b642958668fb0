#pragma once

#include <QJsonObject>

#include <mutex>

// The client version the platform publishes to the client's version check ("version",
// "leastVersion", "filesize", "url", "desc"). Safe to use from any thread.
class ClientVersion
{
public:
    explicit ClientVersion(const QJsonObject &initial);

    // The version object as published now.
    QJsonObject get() const;
    // Replaces the given members; false and a message when one of them is not a string.
    bool merge(const QJsonObject &members, QString *error);

private:
    mutable std::mutex m_mutex;
    QJsonObject m_version;
};
