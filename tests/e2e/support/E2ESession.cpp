#include "E2ESession.h"

#include "TestEnv.h"

#include <winport/SharedMemoryGuard.h>

#include <QDir>
#include <QJsonDocument>
#include <QSharedMemory>
#include <QTest>

namespace {

QString testFolder()
{
    return TestEnv::root().isEmpty() ? QDir::tempPath() : TestEnv::root();
}

} // namespace

E2ESession::E2ESession()
    : m_folder(testFolder() + "/client")
{ }

E2ESession::~E2ESession()
{
    stop();
}

bool E2ESession::startSim(QString *error, const QStringList &arguments, const QString &program)
{
    return m_sim.startSim(testFolder(), error, arguments, program);
}

QVariantMap E2ESession::platformAddresses() const
{
    const QString base = simUrl();
    return {
        {"URL/platformUrl", base},
        {"URL/loginUrl", base + "/#/login?isFromC=1"},
        {"URL/versionUrl", base + "/gateway//membership/appVersion/getVersion/9"},
        {"URL/vtDevListUrl", base + "/gateway/device/veltra/deviceList"},
        {"URL/webDlgUrl", base + "/#/noPage"},
        {"VTOpen/host", "127.0.0.1"},
        {"VTOpen/port", m_sim.simPort()},
    };
}

bool E2ESession::startClient(QString *error)
{
    QVariantMap local = platformAddresses();
    local.insert("Flag/logFlag", true);
    if (!m_folder.install() || !m_folder.writeIni("Localcfg.ini", local)
        || !m_folder.writeIni("Config.ini", {{"WebInfo/IsDebug", true}})) {
        *error = "cannot prepare the program folder " + m_folder.path();
        return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The client opens the DevTools port itself, from "WebInfo/IsDebug".
    environment.remove("QTWEBENGINE_REMOTE_DEBUGGING");
    m_client = m_folder.start({}, environment);
    if (!m_page.connectToPage(simUrl(), error)) {
        *error += "\nclient output:\n" + m_client->output();
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
        m_client->stop();
        // A client ended by a signal leaves its single-instance segment behind.
        QSharedMemory guard("Tesmar");
        winport::releaseOrphanedSegment(guard);
        m_client = nullptr;
    }
    m_sim.stop();
}

SyncHttp::Reply E2ESession::sim(const QByteArray &verb, const QString &path,
                                const QJsonObject &body)
{
    const QByteArray data = body.isEmpty() ? QByteArray() : QJsonDocument(body).toJson();
    return SyncHttp::send(verb, QUrl(simUrl() + path), data);
}

QJsonArray E2ESession::simRequests(const QString &path)
{
    return sim("GET", "/sim/requests?path=" + QUrl::toPercentEncoding(path))
        .json()["requests"]
        .toArray();
}

QList<QJsonObject> E2ESession::exchanged(const QString &kind, const QString &method)
{
    QList<QJsonObject> found;
    for (const QJsonValue &entry : m_page.evaluate("window.__orvane." + kind).toArray()) {
        if (entry["method"].toString() == method)
            found << entry["params"].toObject();
    }
    return found;
}

QJsonObject E2ESession::raiseAlarm(const QJsonObject &alarm)
{
    return sim("POST", "/sim/alarms", alarm).json()["message"].toObject();
}

bool E2ESession::alarmFeedWaits(QString *error)
{
    *error = "the page's alarm feed does not poll the platform";
    return QTest::qWaitFor([this] { return simRequests("/gateway/message/list").size() >= 2; },
                           30000);
}

QString E2ESession::failure(const QString &error) const
{
    return error + "\npage console:\n" + m_page.console().join('\n');
}
