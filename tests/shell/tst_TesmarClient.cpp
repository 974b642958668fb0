// The main window with a real web view on the reference platform's web application.
#include "Common/CGlobalEvent.h"
#include "CommonUI/WaitLoadWidget.h"
#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"
#include "LogText.h"
#include "ProgramFolder.h"
#include "TesmarClient.h"
#include "TestEnv.h"
#include "Toasts.h"
#include "TopToolBar/QTopToolBar.h"
#include "Web/CWebView.h"

#include <KWGui/KWGlobal.h>
#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <SimServer.h>
#include <kwl/KPrintLog.h>

#include <QAbstractButton>
#include <QApplication>
#include <QJsonDocument>
#include <QMessageBox>
#include <QMovie>
#include <QScreen>
#include <QTranslator>
#include <QtTest>

#include <memory>

using ConfigInfo::CConfig;
using ConfigInfo::CLocalCfg;

namespace {

const QString localVersion = "V1.000.0000100.1.R";

QString programFile(const QString &name)
{
    return QCoreApplication::applicationDirPath() + '/' + name;
}

// The updater's stand-in writes its arguments, one per line, beside itself.
void installUpdaterStandIn()
{
    const QString updater = programFile("Update.exe");
    QVERIFY(TestEnv::writeFile(
        updater,
        "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/updater-args.tmp\"\n"
        "mv \"$(dirname \"$0\")/updater-args.tmp\" \"$(dirname \"$0\")/updater-args\"\n"));
    QVERIFY(QFile::setPermissions(updater, QFile::permissions(updater) | QFile::ExeOwner));
}

QStringList updaterArguments()
{
    return QString::fromUtf8(TestEnv::readFile(programFile("updater-args")))
        .split('\n', Qt::SkipEmptyParts);
}

// Answers the next modal message box by the text of one of its buttons; keeps its text.
struct BoxAnswer
{
    QString text;

    void answerWith(const QString &buttonText)
    {
        QTimer::singleShot(50, [this, buttonText] { answer(buttonText); });
    }

private:
    void answer(const QString &buttonText)
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            answerWith(buttonText); // not shown yet
            return;
        }
        text = box->text();
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == buttonText)
                button->click();
        }
    }
};

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

    void pageCalls(const QString &method, const QJsonObject &params = {})
    {
        const QJsonObject request {{"method", method}, {"params", params}};
        webView()->RPCCall(QString::fromUtf8(QJsonDocument(request).toJson()));
    }

    static void setZoom(double zoom)
    {
        CConfig::WebInfo web = CConfig::Instance().GetWebInfo();
        web.zoomFactor = zoom;
        CConfig::Instance().SetWebInfo(web);
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
        const ProgramFolder here(QCoreApplication::applicationDirPath());
        QVERIFY(here.writeIni("Localcfg.ini",
                              {{"URL/platformUrl", base},
                               {"URL/loginUrl", base + "/#/login?isFromC=1"},
                               {"URL/versionUrl", base + GatewayRoutes::versionPath},
                               {"VTOpen/host", "127.0.0.1"},
                               {"VTOpen/port", m_sim.httpPort()}}));
        QVERIFY(here.writeIni("clientInfo.ini", {{"CLIENTINFO/version", localVersion}}));
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
        installUpdaterStandIn();
    }

    void cleanup()
    {
        m_client.reset();
        QFile::remove(programFile("updater-args"));
        m_sim.faults().clear();
        publish({{"version", localVersion}, {"leastVersion", localVersion}});
        CLocalCfg::Instance().SetLoginUrl(m_sim.httpUrl() + "/#/login?isFromC=1");
        setZoom(1.0);
        closeToasts();
    }

    // The page's zoom scales the window, which opens centred with the strip over the page.
    void opensCentredAndScaledByTheZoom()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        setZoom(1.25);
        openClient();
        const QSize size(1600, 1000);
        QCOMPARE(m_client->size(), size);
        QCOMPARE(m_client->geometry().center(), screen.center());
        auto *strip = m_client->findChild<QTopToolBar *>();
        QTRY_COMPARE(strip->geometry().topLeft(), QPoint());
        QCOMPARE(strip->width(), size.width());
        QCOMPARE(webView()->geometry().size(), size);
    }

    void waitsForThePageAndTheVersionCheck()
    {
        openClient();
        QSignalSpy loaded(webView(), &QWebEngineView::loadFinished);
        QCOMPARE(waitWidget()->size(), m_client->size());
        QVERIFY2(waitWidget()->movie()->isValid(), qPrintable(waitWidget()->movie()->fileName()));
        QVERIFY(loaded.wait(30000));
        QVERIFY(waitWidget()->isVisible());
        QCOMPARE(waitWidget()->movie()->state(), QMovie::Running);
        m_client->QueryClientVersion();
        QTRY_VERIFY_WITH_TIMEOUT(!waitWidget()->isVisible(), 10000);
        QCOMPARE(waitWidget()->movie()->state(), QMovie::NotRunning);

        // A page that cannot load counts as loaded; a dead version service as answered.
        cleanup();
        CLocalCfg::Instance().SetLoginUrl("http://127.0.0.1:1/#/login?isFromC=1");
        QString error;
        m_sim.faults().add(*Fault::fromJson(
            {{"path", GatewayRoutes::versionPath}, {"action", "close"}, {"sticky", true}}, &error));
        QVERIFY(openReadyClient());
        QVERIFY(logText().contains("Falied getClientVersion! ErrorCode = "));
        QVERIFY(updaterArguments().isEmpty());
    }

    void updaterStartsForANewerVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("leastVersion");
        QTest::addColumn<QString>("forced"); // empty: no update
        QTest::newRow("newer build, older least") << "V1.000.0000101.0.R"
                                                  << "V1.000.0000099.9.R"
                                                  << "false";
        QTest::newRow("least above the local one") << "V1.000.0000100.12.R"
                                                   << "V1.000.0000100.2.R"
                                                   << "true";
        QTest::newRow("the same") << localVersion << localVersion << "";
        QTest::newRow("another product line") << "V1.001.0000200.0.R" << localVersion << "";
    }

    void updaterStartsForANewerVersion()
    {
        QFETCH(QString, version);
        QFETCH(QString, leastVersion);
        QFETCH(QString, forced);
        publish({{"version", version},
                 {"leastVersion", leastVersion},
                 {"url", "u"},
                 {"filesize", "1"}});
        if (forced.isEmpty()) {
            // Without an updater, starting one would be logged with the reply, before the
            // waiting animation goes.
            QVERIFY(QFile::remove(programFile("Update.exe")));
            const int failedStarts = logText().count("cannot start the updater");
            QVERIFY(openReadyClient());
            QCOMPARE(logText().count("cannot start the updater"), failedStarts);
            installUpdaterStandIn();
            return;
        }
        QVERIFY(openReadyClient());
        // The full argument list is checked end to end (tst_E2EClient).
        QTRY_COMPARE(updaterArguments().value(2), forced);
        QVERIFY(m_client->isVisible());
    }

    // Order and minors of ten or more are checked by the updater rows above.
    void malformedVersionReplyIsReported()
    {
        QCOMPARE(TesmarClient::VersionNumber("V1.000.0000100.12.R.x"), qint64(0));
        // Broken JSON, and well-formed JSON without "data".
        const QJsonObject bad[]
            = {{{"action", "malformed"}}, {{"action", "body"}, {"body", R"({"code":"0"})"}}};
        for (QJsonObject fault : bad) {
            publish({{"version", "V1.000.0000100.12.R"}});
            fault["path"] = GatewayRoutes::versionPath;
            QString error;
            m_sim.faults().add(*Fault::fromJson(fault, &error));
            QVERIFY(openReadyClient());
            QTRY_VERIFY(shownToasts().contains("Failed to get the client version information!"));
            QVERIFY(updaterArguments().isEmpty());
            cleanup();
        }
    }

    void menusCreateModuleViewsOnce()
    {
        QVERIFY(openReadyClient());
        QList<QPointer<QWidget>> created;
        Web::IWebViewManager *givenManager = nullptr;
        m_client->SetModuleFactory("videoSurveillance",
                                   [&](QWidget *parent, Web::IWebViewManager *web) {
                                       givenManager = web;
                                       created << new QWidget(parent);
                                       return created.last().data();
                                   });
        // Each switch is waited for: the tool bar has passed it on.
        QSignalSpy switches(m_client->findChild<QTopToolBar *>(), &QTopToolBar::sgnMenuChange);
        auto switchTo = [&](const QString &path) {
            pageCalls("NotifySwitchMenu", {{"menuPath", path}});
            return QTest::qWaitFor(
                [&, expected = switches.size() + 1] { return switches.size() == expected; });
        };

        QVERIFY(switchTo("videoSurveillance"));
        QCOMPARE(created.size(), 1);
        QCOMPARE(givenManager, static_cast<Web::IWebViewManager *>(webView()));
        QVERIFY(!created[0]->isVisible()); // the page shows it with its own requests
        created[0]->show();

        // Another menu hides it; a menu without a module creates nothing; coming back reuses it.
        QVERIFY(switchTo("accessControl"));
        QVERIFY(!created[0]->isVisible());
        QVERIFY(switchTo("videoSurveillance"));
        QVERIFY(switchTo("messageCenter"));
        QCOMPARE(created.size(), 1);

        // Closing the menu deletes its view; the next switch makes a new one.
        pageCalls("CloseMenu", {{"menuPath", "videoSurveillance"}});
        QTRY_VERIFY(created[0].isNull());
        QVERIFY(switchTo("videoSurveillance"));
        QCOMPARE(created.size(), 2);

        // Logging out deletes every view.
        pageCalls("NotifyLoginOut");
        QTRY_VERIFY(created[1].isNull());
        QVERIFY(switchTo("accessControl"));
        QVERIFY(switchTo("videoSurveillance"));
        QCOMPARE(created.size(), 3);
    }

    void ptzHostIsPlacedByModeAndClosed()
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
        request.bShow = true;
        Common::CGlobalEvent::Instance()->SelectWndInfo(request);
        QCOMPARE(hosts.size(), 1);
        QVERIFY(hosts[0]->isVisible());

        // A new request replaces the host.
        request.bFullScreen = true;
        Common::CGlobalEvent::Instance()->SelectWndInfo(request);
        QVERIFY(hosts[0].isNull());

        request.bShow = false;
        Common::CGlobalEvent::Instance()->SelectWndInfo(request);
        QVERIFY(!hosts[1]->isVisible());
        QCOMPARE(hosts.size(), 2);

        // A menu switch closes a shown host.
        request.bShow = true;
        request.bFullScreen = false;
        Common::CGlobalEvent::Instance()->SelectWndInfo(request);
        QVERIFY(hosts[2]->isVisible());
        pageCalls("NotifySwitchMenu", {{"menuPath", "accessControl"}});
        QTRY_VERIFY(!hosts[2]->isVisible());
    }

    void certificateQuestion()
    {
        const QString secure = m_sim.httpsUrl() + "/#/login?isFromC=1";
        for (const bool proceed : {false, true}) {
            cleanup();
            CLocalCfg::Instance().SetLoginUrl(secure);
            BoxAnswer box;
            box.answerWith(proceed ? "Proceed anyway" : "Back to safety");
            openClient();
            QSignalSpy loaded(webView(), &QWebEngineView::loadFinished);
            QVERIFY(loaded.wait(30000));
            QCOMPARE(loaded.first().first().toBool(), proceed);
            QCOMPARE(box.text, QString("<h3>The certificate is not trusted</h3>"));
        }
        QCOMPARE(webView()->url().toString(), secure);
    }
};

QTEST_MAIN(tst_TesmarClient)
#include "tst_TesmarClient.moc"
