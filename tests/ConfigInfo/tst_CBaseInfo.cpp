// The user store and the device-platform token service against the reference platform; a
// missing token told to the user: tst_E2EShell.
#include "ConfigInfo/CBaseInfo.h"
#include "LogText.h"

#include <kwl/KPrintLog.h>
#include <kwl/KSingleton.h>

#include <SimServer.h>

#include <QtTest>

#include <thread>

using ConfigInfo::CBaseInfo;

namespace {

const QString kTokenPath = "/gateway/device/veltra/getTokenAndExpire";
const QString kUserToken = "ut-demo-7f3a9c21";

Fault bodyFault(const QByteArray &body, int times = 1)
{
    Fault fault;
    fault.path = kTokenPath;
    fault.action = Fault::Action::Body;
    fault.status = 200;
    fault.body = body;
    fault.contentType = "application/json";
    fault.times = times;
    return fault;
}

QByteArray tokenBody(const QString &token, int expire)
{
    return QString(R"({"code":0,"data":{"token":"%1","expire":%2}})")
        .arg(token)
        .arg(expire)
        .toUtf8();
}

} // namespace

class tst_CBaseInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sim.start(SimServerOptions(), &error), qPrintable(error));
        QVERIFY(!m_sim.login("demo", "demo123").isEmpty());
        // The platform base comes from the deployment settings of the program folder.
        QSettings local("./Localcfg.ini", QSettings::IniFormat);
        local.setValue("URL/platformUrl", m_sim.httpUrl());
        local.sync();
        KPrintLog::instance()->SetFile("./log/test");
    }

    void init()
    {
        KSingleton<CBaseInfo>::Reset();
        m_sim.faults().clear();
        m_sim.requestLog().clear();
        ConfigInfo::UserInfo user;
        user.token = kUserToken;
        CBaseInfo::Instance().setUserInfo(user);
    }

    void repliesScheduleTheNextRefresh()
    {
        CBaseInfo &info = CBaseInfo::Instance();
        QSignalSpy changed(&info, &CBaseInfo::sgnVeltTokenChanged);

        // A new token lasting an hour: stored, announced once, renewed when it runs out.
        QCOMPARE(refreshWith(tokenBody("T1", 3600)), 3600000);
        QCOMPARE(changed.takeFirst().first().toString(), QString("T1"));

        // The same token again, or an empty one: nothing announced, still rescheduled.
        QCOMPARE(refreshWith(tokenBody("T1", 3600)), 3600000);
        QCOMPARE(refreshWith(tokenBody("", 3600)), 3600000);
        QCOMPARE(changed.count(), 0);

        // Empty data, then a negative expire: 2, 4 seconds; the token of the last one is taken
        // all the same.
        QCOMPARE(refreshWith(R"({"data":{}})"), 2000);
        QCOMPARE(refreshWith(tokenBody("T2", -5)), 4000);
        QCOMPARE(info.getVeltToken(), QString("T2"));

        // Not JSON: ten minutes, counter unchanged. An array: logged with the body, backed off.
        QCOMPARE(refreshWith("<html>gateway down</html>"), 600000);
        QVERIFY(logText().contains("Json error["));
        QCOMPARE(refreshWith("[1,2]"), 8000);
        QVERIFY(logText().contains("Json format error[[1,2]]"));

        // A new token expiring at once: taken, and the next request leaves straight away.
        m_sim.faults().add(bodyFault(tokenBody("T3", 0)));
        m_sim.faults().add(bodyFault(tokenBody("T3", 1800)));
        info.OnVeltTokenTimeOut();
        QTRY_COMPARE(info.refreshIntervalMs(), 1800000);
        QCOMPARE(m_sim.requestLog().requests(kTokenPath).size(), 9);
        QCOMPARE(info.retryCounter(), 1);
    }

    void failuresBackOffToTenMinutesAndKeepTheToken()
    {
        CBaseInfo &info = CBaseInfo::Instance();
        info.setVeltToken("T0");
        Fault refused = bodyFault({}, 0); // until cleared
        refused.action = Fault::Action::Status;
        refused.status = 500;
        m_sim.faults().add(refused);
        QList<int> seconds;
        for (int i = 0; i < 12; ++i)
            seconds << refreshWith({}) / 1000;
        QCOMPARE(seconds, QList<int>({2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 600, 600}));
        QCOMPARE(info.getVeltToken(), QString("T0"));
    }

    void workerRequestsRunOnTheGuiThreadAfterLogout()
    {
        CBaseInfo &info = CBaseInfo::Instance();
        info.resetUserInfo();
        // Asked from another thread, as the web queue does: carried out here, without a bearer.
        std::thread worker([&info] { info.requestVeltToken(); });
        worker.join();
        QTRY_COMPARE(m_sim.requestLog().requests(kTokenPath).size(), 1);
        QCOMPARE(m_sim.requestLog().requests(kTokenPath).last().bearerToken(), QString());
    }

private:
    // Answers the next token request with body (or whatever faults are set when body is
    // empty), asks for a token and returns the refresh interval it led to.
    int refreshWith(const QByteArray &body)
    {
        if (!body.isEmpty())
            m_sim.faults().add(bodyFault(body));
        CBaseInfo &info = CBaseInfo::Instance();
        info.OnVeltTokenTimeOut(); // stops the timer, so -1 until the reply is handled
        if (info.refreshIntervalMs() != -1)
            return -2;
        if (!QTest::qWaitFor([&] { return info.refreshIntervalMs() != -1; }, 5000))
            return -3;
        return info.refreshIntervalMs();
    }

    SimServer m_sim;
};

QTEST_MAIN(tst_CBaseInfo)
#include "tst_CBaseInfo.moc"
