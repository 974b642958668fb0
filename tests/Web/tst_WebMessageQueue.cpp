// The message queue (its real worker thread) and the message catalogue, with a recording
// manager in place of the view; malformed requests: tst_CWebView.
#include "LogText.h"
#include "RecordingWebManager.h"

#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CConfig.h"
#include "Web/CWebMessageQueue.h"
#include "Web/CWebNotification.h"
#include "Web/MaskMsg.h"
#include "Web/OpenRecordMsg.h"
#include "Web/WebDialogRectMsg.h"
#include "Web/WndRectMsg.h"

#include <kwl/KPrintLog.h>
#include <kwl/KRefPtr.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSemaphore>
#include <QtTest>

#include <memory>

using ConfigInfo::CBaseInfo;

namespace {

QJsonObject request(const QString &method, const QJsonValue &params = QJsonObject())
{
    return {{"method", method}, {"params", params}};
}

QJsonObject parse(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

// The values, separated by blanks (texts unquoted, "true"/"false" for flags).
template<typename... T> QString join(const T &...values)
{
    QString text;
    QDebug out(&text);
    out.noquote().nospace();
    ((out << values << ' '), ...);
    text.chop(1);
    return text;
}

// The fields of a message of the classes checked here, in the order of its class.
QString fieldsOf(const Web::CWebBaseMsg *msg)
{
    using namespace Web;
    if (auto *m = dynamic_cast<const WndRectMsg *>(msg))
        return join(m->module, m->left, m->top, m->right, m->bottom);
    if (auto *m = dynamic_cast<const WebDialogRectMsg *>(msg))
        return join(m->module, m->left, m->top, m->right, m->bottom);
    if (auto *m = dynamic_cast<const MaskMsg *>(msg))
        return join(m->module, m->left, m->top, m->width, m->height, m->show, m->name, m->shade);
    if (auto *m = dynamic_cast<const OpenRecordMsg *>(msg))
        return join(m->module, m->recordTime, m->recordLengthOfTime);
    return "another class";
}

// Holds the queue's worker in its first post until the test lets it go.
class BlockingManager : public RecordingWebManager
{
public:
    void PostRPCCall(Web::CWebMsgRef) override
    {
        entered.release();
        gate.acquire();
    }

    QSemaphore entered;
    QSemaphore gate;
};

} // namespace

class tst_WebMessageQueue : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_manager = std::make_unique<RecordingWebManager>();
        m_queue = KRefPtr<Web::CWebMessageQueue>(new Web::CWebMessageQueue);
        m_queue->SetWebViewManager(m_manager.get());
        CBaseInfo::Instance().resetUserInfo();
        CBaseInfo::Instance().clearMenuInfo();
        CBaseInfo::Instance().setLogin(false);
    }

    void cleanup()
    {
        m_queue->ClearWebViewManager();
        m_queue.reset(); // the last reference stops the worker
        m_manager.reset();
    }

    // Listeners find the user store already updated; "CloseApp" reaches them before the logout
    // clears it.
    void loginLogoutAndCloseKeepTheUserStore()
    {
        m_queue->PushRequest(request("NotifyLoginSucc", parse(R"({"userName":"ann",
            "userType":"admin","userPhoto":"p.png","token":"ut-1",
            "menuList":[{"menuName":"Live","menuPath":"videoSurveillance"}]})")));
        m_queue->PushRequest(request("UserInfoModify", parse(R"({"userName":"ann2"})")));
        QTRY_COMPARE(m_manager->methods().size(), 2);
        const RecordingWebManager::Post &first = m_manager->post(0);
        const ConfigInfo::UserInfo &user = first.user;
        QCOMPARE(join(first.login, user.userName, user.userType, user.userPhoto, user.token,
                      first.menuCount),
                 QString("true ann admin p.png ut-1 1"));
        QCOMPARE(m_manager->post(1).user.token, QString()); // replaced as a whole

        m_manager->clear();
        m_queue->PushRequest(request("CloseApp"));
        QTRY_COMPARE(m_manager->methods(), QStringList({"CloseApp", "NotifyLoginOut"}));
        QCOMPARE(m_manager->post(0).menuCount, 1);
        QCOMPARE(m_manager->post(1).menuCount, 0);
        QVERIFY(!CBaseInfo::Instance().isLogin());
    }

    // A request that finds the queue full is lost, and the log says which.
    void fullQueueIsLogged()
    {
        KPrintLog::instance()->SetFile("./log/queue");
        BlockingManager blocking;
        m_queue->SetWebViewManager(&blocking);
        m_queue->PushRequest(request("MinSize"));
        QVERIFY(blocking.entered.tryAcquire(1, 5000)); // the worker holds it: the queue is empty
        for (int i = 0; i < 1024; ++i)
            m_queue->PushRequest(request("MinSize"));
        const bool fullTooEarly = logText().contains("Message queue full");
        m_queue->PushRequest(request("CloseMenu"));
        const QString log = logText();
        blocking.gate.release(1025); // before any check: a failed one must not leave it held
        m_queue->ClearWebViewManager(); // waits for the post in hand
        QVERIFY(!fullTooEarly);
        QVERIFY(log.contains(QRegularExpression(
            R"(ERROR .*PushRequest: Message queue full, request lost: method\[CloseMenu\])")));
    }

    void detachedQueuePostsNothing()
    {
        m_queue->PushRequest(request("MinSize"));
        QTRY_COMPARE(m_manager->methods().size(), 1);
        m_queue->ClearWebViewManager();
        for (const char *method : {"WebInited", "SetWndRect", "OpenVideo", "Unknown"})
            m_queue->PushRequest(request(method));
        m_queue->PushRequest(request("NotifyLoginSucc", parse(R"({"userName":"late"})")));
        // Still parsed in order: the last request's user write shows the queue got there.
        QTRY_COMPARE(CBaseInfo::Instance().getUserInfo().userName, QString("late"));
        QCOMPARE(m_manager->methods().size(), 1);
        QCOMPARE(m_manager->notifications.count("ReplyClientInfo"), 0);
    }

    // Rectangles are scaled by the zoom (1.5 here), which the end-to-end tests keep at 1; params
    // of the wrong type or out of range read as 0. The other messages' parameters are checked
    // end to end through the page (tst_E2EShell, tst_E2ELiveView, tst_E2EClient).
    void messagesCarryTheirParameters_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("params");
        QTest::addColumn<QString>("fields");
        const auto row = [](const char *method, const char *params, const char *fields) {
            QTest::newRow(params) << method << params << fields;
        };
        row("SetWndRect", R"({"module":1,"left":10,"top":20,"right":110,"bottom":220})",
            "1 15 30 165 330");
        row("DialogRectNotify", R"({"module":3,"left":2,"top":4,"right":6,"bottom":4.5})",
            "3 3 6 9 6.75");
        row("SetMask", R"({"module":1,"left":2,"top":4,"width":6,"height":8,"show":true,
            "name":"menu"})",
            "1 3 6 9 12 true menu true");
        row("SetWndRect", "[1,2]", "0 0 0 0 0"); // params of another type: empty
        row("OpenRecord", R"({"recordTime":1e300})", "0 0 0"); // no wrap-around
    }

    void messagesCarryTheirParameters()
    {
        QFETCH(QString, method);
        QFETCH(QString, params);
        QFETCH(QString, fields);
        setZoom(1.5);
        const QJsonDocument doc = QJsonDocument::fromJson(params.toUtf8());
        m_queue->PushRequest(
            request(method, doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object())));
        QTRY_COMPARE(m_manager->methods().size(), 1);
        QCOMPARE(fieldsOf(m_manager->post(0).msg.get()), fields);
        setZoom(1.0);
    }

    // The window-status notifications carry keys that the platform's page reads but the
    // reference page ignores (shop, definition).
    void windowStatusNotificationsCarryTheirKeys()
    {
        Web::WebWndStatus_t wnd;
        wnd.wndIndex = 2;
        wnd.module = 1;
        wnd.status = 3;
        wnd.channel.deviceID = "D1";
        wnd.channel.channelID = 4;
        wnd.channel.shopCode = "S1";
        wnd.channel.shopName = "Shop";
        wnd.channel.definitionMode = 0;
        const auto text = [](const QJsonObject &params) {
            return QJsonDocument(params).toJson(QJsonDocument::Compact);
        };
        QCOMPARE(text(Web::CWebNotification::videoStatusChanged(wnd)),
                 QByteArray(R"({"channelID":4,"definitionMode":0,"deviceID":"D1","module":1,)"
                            R"("shopCode":"S1","status":3,"wndID":2})"));
        QCOMPARE(text(Web::CWebNotification::playWndSelected(wnd)),
                 QByteArray(R"({"channelID":4,"deviceId":"D1","module":1,"shopCode":"S1",)"
                            R"("shopName":"Shop","videoStatus":3,"wndID":2})"));
    }

private:
    static void setZoom(double zoom)
    {
        ConfigInfo::CConfig::WebInfo web = ConfigInfo::CConfig::Instance().GetWebInfo();
        web.zoomFactor = zoom;
        ConfigInfo::CConfig::Instance().SetWebInfo(web);
    }

    std::unique_ptr<RecordingWebManager> m_manager;
    KRefPtr<Web::CWebMessageQueue> m_queue;
};

QTEST_MAIN(tst_WebMessageQueue)
#include "tst_WebMessageQueue.moc"
