#include "E2ESession.h"

#include "TestEnv.h"

#include <winport/SharedMemoryGuard.h>

#include <QDir>
#include <QSharedMemory>

namespace {

// The program type of a client without "Type/program" in its Localcfg.ini.
const QString defaultProgramType = "Tesmar";

} // namespace

E2ESession::E2ESession(const QString &folder)
    : m_folder(folder.isEmpty() ? folderOf("client") : folder)
{ }

E2ESession::~E2ESession()
{
    stop();
}

QString E2ESession::folderOf(const QString &name)
{
    const QString root = TestEnv::root().isEmpty() ? QDir::tempPath() : TestEnv::root();
    return root + '/' + name;
}

bool E2ESession::startSim(QString *error, const QStringList &arguments)
{
    return m_sim.start(folderOf("orvane-sim.log"), error, arguments);
}

QVariantMap E2ESession::platformAddresses(const QString &base, int vtOpenPort)
{
    return {
        {"URL/platformUrl", base},
        {"URL/loginUrl", base + "/#/login?isFromC=1"},
        {"URL/versionUrl", base + "/gateway//membership/appVersion/getVersion/9"},
        {"URL/vtDevListUrl", base + "/gateway/device/veltra/deviceList"},
        {"URL/webDlgUrl", base + "/#/noPage"},
        {"VTOpen/host", "127.0.0.1"},
        {"VTOpen/port", vtOpenPort},
    };
}

bool E2ESession::startClient(QString *error, const QVariantMap &localCfg, const QVariantMap &config)
{
    if (m_sim.httpPort() == 0) {
        *error = "start orvane-sim first";
        return false;
    }
    QVariantMap local = platformAddresses(m_sim.httpUrl(), m_sim.httpPort());
    local.insert(localCfg);
    QVariantMap settings {{"WebInfo/IsDebug", true}};
    settings.insert(config);
    if (!m_folder.install() || !m_folder.writeIni("Localcfg.ini", local)
        || !m_folder.writeIni("Config.ini", settings)) {
        *error = "cannot prepare the program folder " + m_folder.path();
        return false;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The client opens the DevTools port itself, from "WebInfo/IsDebug".
    environment.remove("QTWEBENGINE_REMOTE_DEBUGGING");
    m_client = m_folder.start({}, environment);
    QObject::connect(m_client, &QProcess::readyReadStandardOutput, m_client,
                     [this] { m_clientOutput += m_client->readAllStandardOutput(); });
    QObject::connect(m_client, &QProcess::readyReadStandardError, m_client,
                     [this] { m_clientOutput += m_client->readAllStandardError(); });
    if (!m_page.connectToPage(m_sim.httpUrl(), error)) {
        *error += "\nclient output:\n" + QString::fromUtf8(m_clientOutput);
        return false;
    }
    return m_page.waitFor("window.__orvane && window.__orvane.ready", error);
}

bool E2ESession::logIn(const QString &userName, const QString &password, QString *error)
{
    return m_page.waitFor("document.querySelector('#login-form')", error)
        && m_page.type("#login-user", userName, error)
        && m_page.type("#login-password", password, error) && m_page.click("#login-submit", error)
        && m_page.waitFor("document.querySelector('.shell')", error);
}

void E2ESession::stop()
{
    if (m_client) {
        m_folder.stop(m_client);
        // A client ended by a signal leaves its single-instance segment behind.
        QSharedMemory guard(defaultProgramType);
        winport::releaseOrphanedSegment(guard);
        m_client = nullptr;
    }
    m_sim.stop();
}
