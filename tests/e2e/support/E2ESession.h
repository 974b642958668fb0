#pragma once

#include "ChildProcess.h"
#include "DevToolsClient.h"
#include "ProgramFolder.h"
#include "SyncHttp.h"

#include <QJsonArray>
#include <QList>
#include <QVariantMap>

// One end-to-end run: orvane-sim on free ports, a program folder holding a copy of orvane whose
// Localcfg.ini points every platform address at the sim (log on) and whose Config.ini opens the
// DevTools port, the client started from there, and a DevTools client on its page. Everything
// started stops with the object, also when a check failed half-way.
class E2ESession
{
public:
    E2ESession();
    ~E2ESession();

    // Starts orvane-sim (the build's unless another program is named) with further options.
    bool startSim(QString *error, const QStringList &arguments = {}, const QString &program = {});
    // Installs the client pointed at the sim, starts it and connects to its page.
    bool startClient(QString *error);
    // Logs in through the login page and waits until the console shows.
    bool logIn(const QString &userName, const QString &password, QString *error);
    void stop();

    // One request to the sim (path below its HTTP base), with a JSON body when one is given.
    SyncHttp::Reply sim(const QByteArray &verb, const QString &path, const QJsonObject &body = {});
    // The requests the sim logged for a path, oldest first.
    QJsonArray simRequests(const QString &path);
    QString simUrl() const { return m_sim.simUrl(); }
    qint64 simProcessId() const { return m_sim.processId(); }
    ProgramFolder &folder() { return m_folder; }
    ChildProcess *client() const { return m_client; }
    DevToolsClient &page() { return m_page; }

    // The Localcfg.ini values that point the client at the sim.
    QVariantMap platformAddresses() const;

    // The parameters of what the page sent ("calls") or received ("notifications") under one
    // method, oldest first.
    QList<QJsonObject> exchanged(const QString &kind, const QString &method);
    QList<QJsonObject> calls(const QString &method) { return exchanged("calls", method); }
    QList<QJsonObject> received(const QString &method)
    {
        return exchanged("notifications", method);
    }
    // The message the sim made of the alarm.
    QJsonObject raiseAlarm(const QJsonObject &alarm);
    // Waits until the page's alarm feed waits for news (two polls of the sim), so that an alarm
    // raised from now on is announced rather than counted as old.
    bool alarmFeedWaits(QString *error);
    // A failed step's reason with the page's console.
    QString failure(const QString &error) const;

private:
    ChildProcess m_sim;
    ProgramFolder m_folder;
    ChildProcess *m_client = nullptr;
    DevToolsClient m_page;
};
