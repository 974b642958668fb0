#pragma once

#include "SyncHttp.h"

#include <QProcess>
#include <QStringList>

// orvane-sim, the reference platform, as a process of the test: the build's executable on free
// ports of 127.0.0.1, serving the web application beside it. Stopped with the object.
class SimProcess
{
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts it with free HTTP and HTTPS ports (plus arguments) and waits until it takes
    // requests; false and the reason when it does not start. Its log goes to logFile.
    bool start(const QString &logFile, QString *error, const QStringList &arguments = {});
    // Stops it (SIGTERM, then SIGKILL).
    void stop();

    int httpPort() const { return m_httpPort; }
    int httpsPort() const { return m_httpsPort; } // 0 when started without HTTPS
    QString httpUrl() const; // "http://127.0.0.1:<port>"
    QString httpsUrl() const; // "https://127.0.0.1:<port>"

    // One request to the platform or its control API (path below the HTTP base), with a JSON
    // body when one is given and a bearer token when one is given.
    SyncHttp::Reply request(const QByteArray &verb, const QString &path,
                            const QJsonObject &body = {}, const QString &bearer = {}) const;

private:
    QProcess m_process;
    int m_httpPort = 0;
    int m_httpsPort = 0;
};
