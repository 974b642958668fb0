// The main window with a real web view on the reference platform's web application.
#include "Common/CGlobalEvent.h"
#include "CommonUI/WaitLoadWidget.h"
#include "ConfigInfo/CLocalCfg.h"
#include "LogText.h"
#include "ProgramFolder.h"
#include "TesmarClient.h"
#include "TestEnv.h"
#include "Toasts.h"
#include "Web/CWebView.h"

#include <KWGui/KWGlobal.h>
#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <SimServer.h>
#include <kwl/KPrintLog.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTranslator>
#include <QtTest>

#include <memory>

using ConfigInfo::CLocalCfg;

namespace {

const QString localVersion = "V1.000.0000100.1.R";

ProgramFolder here()
{
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

// Answers the next modal message box with the button of buttonText; keeps its text in *text.
void answerBox(const QString &buttonText, QString *text)
{
    QTimer::singleShot(50, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return answerBox(buttonText, text); // not shown yet
        *text = box->text();
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == buttonText)
                button->click();
        }
    });
}

} // namespace

class tst_TesmarClient : public QObject
{
    Q_OBJECT

private:
    SimServer m_sim;
    std::unique_ptr<TesmarClient> m_client;

    Web::CWebView *webView() const { return m_client->findChild<Web::CWebView *>("CWebView"); }
    WaitLoadWidget *waitWidget() const { return m_client->findChild<WaitLoadWidget *>(); }

    void openClient()
    {
        m_client = std::make_unique<TesmarClient>();
        m_client->show();
    }

    // Opens the window, asks for the version and waits until the waiting animation is gone.
    bool openReadyClient()
    {
        openClient();
        m_client->QueryClientVersion();
        return QTest::qWaitFor([this] { return !waitWidget()->isVisible(); }, 30000);
    }

    void publish(const QJsonObject &version)
    {
        QString error;
        QVERIFY2(m_sim.clientVersion().merge(version, &error), qPrintable(error));
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sim.start({0, 0, true, TestEnv::sourceDir() + "/sim/webapp"}, &error),
                 qPrintable(error));
        const QString base = m_sim.httpUrl();
        QVERIFY(here().writeIni("Localcfg.ini",
                                {{"URL/platformUrl", base},
                                 {"URL/loginUrl", base + "/#/login?isFromC=1"},
                                 {"URL/versionUrl", base + GatewayRoutes::versionPath},
                                 {"VTOpen/host", "127.0.0.1"},
                                 {"VTOpen/port", m_sim.httpPort()}}));
        QVERIFY(here().writeIni("clientInfo.ini", {{"CLIENTINFO/version", localVersion}}));
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath()));
        QCOMPARE(QProcess::execute("cp", {"-r", TestEnv::buildBinDir() + "/Skin", "."}), 0);
        KWGUI::SetSkinVersion(CLocalCfg::Instance().GetSkinPath());

        auto *english = new QTranslator(qApp);
        QVERIFY(english->load(TestEnv::buildBinDir() + "/Language/Language_en/Orvane_en.qm"));
        QCoreApplication::installTranslator(english);
        KPrintLog::instance()->SetFile("./log/client");
        KWGUI::KWMessageNotify *notifier = KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
        notifier->StartMessageProcess();
        notifier->SetDisplayTime(120000); // a toast stays until the page has loaded, however slow
        // Closing the window must not end the test's own application.
        QApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(here().writeUpdaterStandIn());
    }

    void cleanup()
    {
        m_client.reset();
        QFile::remove(here().filePath("updater-args"));
        m_sim.faults().clear();
        publish({{"version", localVersion}, {"leastVersion", localVersion}});
        CLocalCfg::Instance().SetLoginUrl(m_sim.httpUrl() + "/#/login?isFromC=1");
        closeToasts();
    }

    // A page that cannot load counts as loaded: the waiting animation still goes.
    void unreachablePageEndsTheWait()
    {
        CLocalCfg::Instance().SetLoginUrl("http://127.0.0.1:1/#/login?isFromC=1");
        QVERIFY(openReadyClient());
    }

    // What the version check makes of the platform's answer: an update (not forced), none, a
    // toast for an answer it cannot read, a log line for none at all. (A forced update with the
    // whole argument list, and minors of ten or more: tst_E2EClient.)
    void versionReplies_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<QString>("outcome");
        const QString newer = "V1.000.0000101.0.R";
        QTest::newRow("newer build, older least") << newer << QJsonObject() << "update";
        QTest::newRow("the same") << localVersion << QJsonObject() << "";
        QTest::newRow("another product line") << "V1.001.0000200.0.R" << QJsonObject() << "";
        QTest::newRow("six parts") << "V1.000.0000100.12.R.x" << QJsonObject() << "";
        QTest::newRow("broken JSON") << newer << QJsonObject {{"action", "malformed"}} << "toast";
        QTest::newRow("no data") << newer
                                 << QJsonObject {{"action", "body"}, {"body", R"({"code":"0"})"}}
                                 << "toast";
        QTest::newRow("dead service")
            << newer << QJsonObject {{"action", "close"}, {"sticky", true}} << "error";
    }

    void versionReplies()
    {
        QFETCH(QString, version);
        QFETCH(QJsonObject, fault);
        QFETCH(QString, outcome);
        publish({{"version", version},
                 {"leastVersion", "V1.000.0000099.9.R"},
                 {"url", "u"},
                 {"filesize", "1"}});
        if (!fault.isEmpty()) {
            fault["path"] = GatewayRoutes::versionPath;
            QString error;
            const auto parsed = Fault::fromJson(fault, &error);
            QVERIFY2(parsed, qPrintable(error));
            m_sim.faults().add(*parsed);
        }
        // Without an updater, starting one would be logged before the waiting animation goes.
        QVERIFY(outcome == "update" || QFile::remove(here().filePath("Update.exe")));
        const int failedStarts = logText().count("cannot start the updater");
        const int failedChecks = logText().count("Falied getClientVersion! ErrorCode = ");
        QVERIFY(openReadyClient());
        if (outcome == "update")
            QTRY_COMPARE(here().updaterArguments().value(2), QString("false"));
        if (outcome == "toast")
            QTRY_VERIFY(shownToasts().contains("Failed to get the client version information!"));
        QCOMPARE(logText().count("Falied getClientVersion! ErrorCode = "),
                 failedChecks + (outcome == "error"));
        QCOMPARE(logText().count("cannot start the updater"), failedStarts);
        QVERIFY(m_client->isVisible());
        QVERIFY(here().writeUpdaterStandIn());
    }

    // A new PTZ request replaces the host, one with bShow off hides it, a menu switch closes it.
    void ptzHostIsReplacedHiddenAndClosed()
    {
        QVERIFY(openReadyClient());
        QList<QPointer<QWidget>> hosts;
        m_client->SetPtzHostFactory([&](QWidget *parent, const ChannelPTZParams_t &) {
            hosts << new QWidget(parent);
            return hosts.last().data();
        });
        ChannelPTZParams_t request;
        request.deviceID = "NVR0001A";
        request.channelID = 1;
        for (const bool show : {true, true, false, true}) {
            request.bShow = show;
            request.bFullScreen = !request.bFullScreen;
            Common::CGlobalEvent::Instance()->SelectWndInfo(request);
            QCOMPARE(hosts.last()->isVisible(), show);
        }
        QCOMPARE(hosts.size(), 3);
        QVERIFY(hosts[0].isNull() && hosts[1].isNull());
        webView()->RPCCall(
            R"({"method":"NotifySwitchMenu","params":{"menuPath":"accessControl"}})");
        QTRY_VERIFY(!hosts[2]->isVisible());
    }

    void certificateQuestion()
    {
        const QString secure = m_sim.httpsUrl() + "/#/login?isFromC=1";
        for (const bool proceed : {false, true}) {
            cleanup();
            CLocalCfg::Instance().SetLoginUrl(secure);
            QString question;
            answerBox(proceed ? "Proceed anyway" : "Back to safety", &question);
            openClient();
            QSignalSpy loaded(webView(), &QWebEngineView::loadFinished);
            QVERIFY(loaded.wait(30000));
            QCOMPARE(loaded.first().first().toBool(), proceed);
            QCOMPARE(question, QString("<h3>The certificate is not trusted</h3>"));
        }
        QCOMPARE(webView()->url().toString(), secure);
    }
};

QTEST_MAIN(tst_TesmarClient)
#include "tst_TesmarClient.moc"
