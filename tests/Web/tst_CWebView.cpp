// The web view with a real page (served by the reference platform) talking through the channel
// object "server".
#include "ConfigInfo/CLocalCfg.h"
#include "LogText.h"
#include "TestEnv.h"
#include "Toasts.h"
#include "Web/CWebView.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/IWebListener.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <SimServer.h>
#include <kwl/KPrintLog.h>
#include <winport/WinRegistry.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QWebEngineProfile>
#include <QtTest>

#include <memory>
#include <signal.h>
#include <thread>

using Web::CWebView;

namespace {

// Writes "<name>:<method>" into a shared journal for every message it receives, and the device
// of each channel of "OpenVideo".
class JournalListener : public Web::IWebListener
{
public:
    JournalListener(const QString &name, QStringList *journal)
        : m_name(name)
        , m_journal(journal)
    { }
    void onRPCCall(Web::CWebBaseMsg *msg) override
    {
        QString entry = m_name + ":" + msg->method;
        if (auto *open = dynamic_cast<Web::ChannelInfoMsg *>(msg)) {
            for (const ChannelInfo_t &channel : open->channels)
                entry += " " + channel.deviceID;
        }
        m_journal->append(entry);
    }

private:
    QString m_name;
    QStringList *m_journal;
};

} // namespace

class tst_CWebView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        KPrintLog::instance()->SetFile("./log/web");
        KWGUI::KWMessageNotify *notify = KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
        notify->SetDisplayTime(120000); // toasts stay until the test has read them
        notify->StartMessageProcess();
        SimServerOptions options;
        options.webAppFolder = TestEnv::sourceDir() + "/tests/Web/bridge-page";
        QString error;
        QVERIFY2(m_sim.start(options, &error), qPrintable(error));
    }

    void cleanup() { m_view.reset(); }

    // First: the ids of this process's notifications start here.
    void requestsReachListenersAndNotificationsReachThePage()
    {
        QVERIFY(openView(m_sim.httpUrl() + "/"));
        QStringList journal;
        JournalListener first("first", &journal), second("second", &journal);
        m_view->RegisterListener("OpenVideo", &first);
        m_view->RegisterListener("OpenVideo", &second);
        m_view->RegisterListener("SetWndRect", &second);
        m_view->RegisterListener("MinSize", &first);
        m_view->RegisterListener("WebInited", &first); // answered by the queue, never posted

        call(R"({"method":"WebInited","params":{}})");
        call(R"({"method":"OpenVideo","params":{"module":1,"channels":[{"deviceID":"D1"},
             {"deviceID":"D2"}]}})");
        call(R"({"method":"SetWndRect","params":{"module":1,"left":1,"top":2,"right":3,
             "bottom":4}})");
        call(R"({"method":"MinSize","params":{}})");
        QTRY_COMPARE(journal.size(), 4);
        QCOMPARE(journal,
                 QStringList({"second:OpenVideo D1 D2", "first:OpenVideo D1 D2",
                              "second:SetWndRect", "first:MinSize"}));

        // Notifications from this thread and from another one reach the page in id order.
        m_view->FullScreen(true);
        std::thread([this] { m_view->WebP2pState(1); }).join();
        QTRY_COMPARE(received().size(), 3);
        const QList<QJsonObject> notes = received();
        QCOMPARE(notes.at(0).value("method").toString(), QString("ReplyClientInfo"));
        QCOMPARE(notes.at(2).value("method").toString(), QString("WebP2pState"));
        for (int i = 0; i < notes.size(); ++i) {
            QCOMPARE(notes.at(i).value("id").toInt(), i + 1);
            QCOMPARE(notes.at(i).value("async"), QJsonValue(false));
            QCOMPARE(notes.at(i).value("result"), QJsonValue(true));
        }

        // Removed by listener, then by name.
        journal.clear();
        m_view->UnregisterListener(&first);
        call(R"({"method":"OpenVideo","params":{"channels":[]}})");
        call(R"({"method":"MinSize","params":{}})");
        m_view->UnregisterMethod("SetWndRect");
        call(R"({"method":"SetWndRect","params":{}})");
        call(R"({"method":"OpenVideo","params":{"channels":[{"deviceID":"D3"}]}})");
        QTRY_COMPARE(journal.size(), 2);
        QCOMPARE(journal, QStringList({"second:OpenVideo", "second:OpenVideo D3"}));
        QCOMPARE(received().size(), 3); // "WebInited" answered once only

        // Malformed requests are refused with a toast each; an unknown name (names are matched
        // exactly) reaches nobody.
        journal.clear();
        for (const char *text : {"OpenVideo please", "[1,2]", R"({"method":"OpenVideo"})",
                                 R"({"method":"OPENVIDEO","params":{}})"})
            call(text);
        call(R"({"method":"OpenVideo","params":{}})");
        QTRY_COMPARE(shownToasts(),
                     QStringList({"Json error:illegal value", "Json error:no error occurred",
                                  "Json error: context is not format"}));
        QTRY_COMPARE(journal, QStringList {"second:OpenVideo"});
        QVERIFY(logText().contains(QRegularExpression(
            R"(ERROR .*Web::CWebView::RPCCall: Json error\[OpenVideo please\])")));
    }

    // Requests carry the configured language; the cache folder is remembered for start-up.
    void languageAndCacheFolder()
    {
        ConfigInfo::CLocalCfg &local = ConfigInfo::CLocalCfg::Instance();
        local.SetLanguage("en");
        QVERIFY(openView(m_sim.httpUrl() + "/?lang=en"));
        local.SetLanguage("fr");
        QVERIFY(openView(m_sim.httpUrl() + "/?lang=fr"));
        // The engine writes the weights of the header itself, so only the order is checked.
        QVERIFY(acceptLanguageOf("lang=en").startsWith("en-US,en"));
        QVERIFY(acceptLanguageOf("lang=fr").startsWith("zh-CN,zh"));

        // A program type inside the path cuts it there; one that is not leaves it whole.
        const QString cache = QWebEngineProfile::defaultProfile()->cachePath();
        QVERIFY(cache.contains("/QtWebEngine/"));
        for (const QString program : {"QtWebEngine", "Tesmar"}) {
            local.SetProgram(program);
            m_view = std::make_unique<CWebView>("Main", nullptr);
            QCOMPARE(winport::WinRegistry(program).value("cachePath").toString(),
                     cache.left(cache.lastIndexOf(program)));
        }
    }

    void deadRenderProcessIsReloaded()
    {
        QVERIFY(openView(m_sim.httpUrl() + "/"));
        QStringList journal;
        JournalListener listener("l", &journal);
        m_view->RegisterListener("MinSize", &listener);
        qRegisterMetaType<QWebEnginePage::RenderProcessTerminationStatus>();
        QSignalSpy terminated(m_view.get(), &QWebEngineView::renderProcessTerminated);
        QSignalSpy started(m_view.get(), &QWebEngineView::loadStarted);
        const qint64 pid = m_view->page()->renderProcessPid();
        QVERIFY(pid > 0);
        QElapsedTimer sinceKill;
        sinceKill.start();
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_COMPARE(terminated.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(started.size(), 1, 10000);
        // Not at once: the reload waits a second.
        QVERIFY2(sinceKill.elapsed() >= 900, qPrintable(QString::number(sinceKill.elapsed())));
        QVERIFY(logText().contains(
            "[CWebView] QtWebEngineProcess.exe is crash : terminationStatus[3], exitCode["));
        // The reloaded page talks to the same listeners.
        QVERIFY(waitForBridge());
        call(R"({"method":"MinSize","params":{}})");
        QTRY_COMPARE(journal, QStringList {"l:MinSize"});
    }

private:
    // A new view showing url, with the page's channel up; false when the load failed.
    bool openView(const QString &url)
    {
        m_view = std::make_unique<CWebView>("Main", nullptr);
        m_view->resize(800, 600);
        m_view->show();
        QSignalSpy finished(m_view.get(), &QWebEngineView::loadFinished);
        m_view->load(QUrl(url));
        if (!finished.wait(20000) || !finished.first().first().toBool())
            return false;
        return waitForBridge();
    }

    bool waitForBridge()
    {
        return QTest::qWaitFor([this] { return js("window.bridgeReady === true").toBool(); },
                               10000);
    }

    // The value of a script run in the page (waits for it).
    QVariant js(const QString &script)
    {
        auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
        m_view->page()->runJavaScript(script, [result](const QVariant &value) {
            *result = {true, value};
        });
        if (!QTest::qWaitFor([result] { return result->first; }, 5000))
            return QVariant();
        return result->second;
    }

    // The page sends a request text through the channel object "server".
    void call(const QString &text)
    {
        const QString quoted
            = QString::fromUtf8(QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact));
        js(QString("server.RPCCall(%1[0]); true").arg(quoted));
    }

    // The notifications the page received, in order.
    QList<QJsonObject> received()
    {
        QList<QJsonObject> notes;
        for (const QVariant &text : js("window.received").toList())
            notes << QJsonDocument::fromJson(text.toString().toUtf8()).object();
        return notes;
    }

    QByteArray acceptLanguageOf(const QString &query)
    {
        for (const SimRequest &request : m_sim.requestLog().requests("/")) {
            if (request.query == query)
                return request.header("Accept-Language");
        }
        return "(no request)";
    }

    SimServer m_sim;
    std::unique_ptr<CWebView> m_view;
};

// Sanitizer builds: the browser engine and the system libraries it loads keep one-off
// allocations to the end of the process (the runner's list covers the Qt plug-ins only).
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt5WebEngineCore.so\nleak:libQt5WebEngineWidgets.so\nleak:libudev.so\n";
}

int main(int argc, char **argv)
{
    // The browser engine shares its GL contexts with the application's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_CWebView test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_CWebView.moc"
