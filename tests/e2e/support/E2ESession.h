#pragma once

#include "DevToolsClient.h"
#include "ProgramFolder.h"
#include "SimProcess.h"

#include <QVariantMap>

// One end-to-end run of the client: orvane-sim on free ports, a program folder holding a copy of
// orvane and its resources with a Localcfg.ini that points every platform address at the sim and
// a Config.ini that opens the DevTools port ("WebInfo/IsDebug"), the client started from there,
// and a DevTools client on its page. Everything started is stopped with the object, also when a
// check failed half-way.
class E2ESession
{
public:
    // folder: the program folder to use; empty: "client" in the test's folder.
    explicit E2ESession(const QString &folder = {});
    ~E2ESession();
    E2ESession(const E2ESession &) = delete;
    E2ESession &operator=(const E2ESession &) = delete;

    // Starts orvane-sim (with extra arguments); false and the reason when it does not start.
    bool startSim(QString *error, const QStringList &arguments = {});
    // Installs the client pointed at the sim (plus extra "group/key" values for Localcfg.ini and
    // Config.ini), starts it and connects to its page; false and the reason when that fails.
    bool startClient(QString *error, const QVariantMap &localCfg = {},
                     const QVariantMap &config = {});
    // Logs in through the login page and waits until the console shows.
    bool logIn(const QString &userName, const QString &password, QString *error);
    // Stops the client and the sim.
    void stop();

    SimProcess &sim() { return m_sim; }
    ProgramFolder &folder() { return m_folder; }
    QProcess *client() const { return m_client; }
    DevToolsClient &page() { return m_page; }
    // What the client wrote to its standard output and error so far.
    QByteArray clientOutput() const { return m_clientOutput; }

    // The Localcfg.ini values that point the client at a platform base address.
    static QVariantMap platformAddresses(const QString &base, int vtOpenPort);

private:
    static QString folderOf(const QString &name);

    SimProcess m_sim;
    ProgramFolder m_folder;
    QProcess *m_client = nullptr;
    QByteArray m_clientOutput;
    DevToolsClient m_page;
};
