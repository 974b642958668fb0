// The message queue and the message catalogue without a browser: which requests become which
// messages, what is done on the queue's thread, how parameters are read, and the notification
// texts. The queue runs its real worker thread; a recording manager stands in for the view.
#include "RecordingWebManager.h"

#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CClientInfo.h"
#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Web/CWebMessageQueue.h"
#include "Web/CWebMsgFactory.h"
#include "Web/CWebNotification.h"
#include "Web/CWebRequestCheck.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/CommonExportFileMsg.h"
#include "Web/FullScreenMsg.h"
#include "Web/MaskMsg.h"
#include "Web/MenuMsg.h"
#include "Web/MessageNotifyMsg.h"
#include "Web/OpenDeviceWebMsg.h"
#include "Web/OpenRecordMsg.h"
#include "Web/TextMsg.h"
#include "Web/WebDialogRectMsg.h"
#include "Web/WndRectMsg.h"

#include <SimServer.h>
#include <kwl/KRefPtr.h>

#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QtTest>

#include <memory>
#include <thread>

using ConfigInfo::CBaseInfo;
using Web::CWebMsgFactory;

namespace {

QJsonObject request(const QString &method, const QJsonValue &params = QJsonObject())
{
    return {{"method", method}, {"params", params}};
}

QJsonObject parse(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

QVariantMap channelFields(const ChannelInfo_t &c)
{
    return {{"token", c.token},
            {"shopCode", c.shopCode},
            {"shopName", c.shopName},
            {"deviceID", c.deviceID},
            {"devName", c.devName},
            {"devAbility", c.devAbility},
            {"chnAbility", c.chnAbility},
            {"deviceModel", c.deviceModel},
            {"brand", c.brand},
            {"account", c.account},
            {"password", c.password},
            {"channelName", c.channelName},
            {"wndID", c.wndID},
            {"platForm", c.platForm},
            {"accessSource", c.accessSource},
            {"channelID", c.channelID},
            {"definitionMode", c.definitionMode},
            {"isOnline", c.isOnline}};
}

// "device/channel/definitionMode/accessSource" of each channel; "-" for a channel number that
// was not given.
QString channelList(const QList<ChannelInfo_t> &channels)
{
    QStringList texts;
    for (const ChannelInfo_t &c : channels)
        texts << QString("%1/%2/%3/%4")
                     .arg(c.deviceID, c.channelID > 0 ? QString::number(c.channelID) : "-")
                     .arg(c.definitionMode)
                     .arg(c.accessSource);
    return texts.join(", ");
}

template<typename Rect> void addRect(QVariantMap &f, const Rect *m)
{
    f.insert({{"module", m->module},
              {"left", m->left},
              {"top", m->top},
              {"right", m->right},
              {"bottom", m->bottom}});
}

// The fields of a message of any class of the catalogue, by name.
QVariantMap fieldsOf(const Web::CWebBaseMsg *msg)
{
    using namespace Web;
    QVariantMap f;
    if (auto *m = dynamic_cast<const WndRectMsg *>(msg))
        addRect(f, m);
    if (auto *m = dynamic_cast<const WebDialogRectMsg *>(msg))
        addRect(f, m);
    if (auto *m = dynamic_cast<const MaskMsg *>(msg))
        f.insert({{"module", m->module},
                  {"left", m->left},
                  {"top", m->top},
                  {"width", m->width},
                  {"height", m->height},
                  {"show", m->show},
                  {"name", m->name},
                  {"shade", m->shade}});
    if (auto *m = dynamic_cast<const MenuMsg *>(msg))
        f.insert("menuPath", m->menuPath);
    if (auto *m = dynamic_cast<const FullScreenMsg *>(msg))
        f.insert("bFullScreen", m->bFullScreen);
    if (auto *m = dynamic_cast<const TextMsg *>(msg))
        f.insert("content", m->content);
    if (auto *m = dynamic_cast<const OpenDeviceWebMsg *>(msg))
        f.insert("deviceId", m->deviceId);
    if (auto *m = dynamic_cast<const MessageNotifyMsg *>(msg))
        f.insert({{"content", m->content},
                  {"messageType", m->messageType},
                  {"messageID", m->messageID}});
    if (auto *m = dynamic_cast<const CommonExportFileMsg *>(msg))
        f.insert({{"requestParams", m->requestParams},
                  {"requestType", m->requestType},
                  {"requestUrl", m->requestUrl},
                  {"exportType", m->exportType},
                  {"name", m->name},
                  {"isBase64", m->isBase64},
                  {"size", m->size}});
    if (auto *m = dynamic_cast<const ChannelInfoMsg *>(msg))
        f.insert(
            {{"module", m->module}, {"status", m->status}, {"channels", channelList(m->channels)}});
    if (auto *m = dynamic_cast<const OpenRecordMsg *>(msg))
        f.insert({{"module", m->module},
                  {"recordTime", m->recordTime},
                  {"recordLengthOfTime", m->recordLengthOfTime},
                  {"channels", channelList(m->channels)}});
    return f;
}

// Collects the addresses the system browser is asked to open, whatever thread asks.
class UrlCatcher : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url)
    {
        QMutexLocker lock(&m_mutex);
        m_urls << url;
    }

public:
    QList<QUrl> urls() const
    {
        QMutexLocker lock(&m_mutex);
        return m_urls;
    }

private:
    mutable QMutex m_mutex;
    QList<QUrl> m_urls;
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

    // Runs first: nothing in this process sent a notification before.
    void firstNotificationHasIdOne()
    {
        const QJsonObject first
            = QJsonDocument::fromJson(Web::CWebNotification::text("FullScreen", {}).toUtf8())
                  .object();
        QCOMPARE(first.value("id").toInt(), 1);
        QCOMPARE(first.value("result"), QJsonValue(true));
        QCOMPARE(first.value("async"), QJsonValue(false));
        QCOMPARE(first.value("method").toString(), QString("FullScreen"));
        QVERIFY(first.value("params").isObject());
        QCOMPARE(first.keys().size(), 5);
        QVERIFY(Web::CWebNotification::text("X", {}, 77).contains("\"id\":77"));
    }

    void requestTextsAreChecked_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("popup"); // empty: accepted
        QTest::newRow("not JSON") << "hello"
                                  << "Json error:illegal value";
        QTest::newRow("cut short") << R"({"method":"MinSize",)"
                                   << "Json error:unterminated object";
        QTest::newRow("array") << "[1,2]"
                               << "Json error:no error occurred";
        QTest::newRow("no params") << R"({"method":"MinSize"})"
                                   << "Json error: context is not format";
        QTest::newRow("no method") << R"({"params":{}})"
                                   << "Json error: context is not format";
        QTest::newRow("params of another type") << R"({"method":"MinSize","params":3})"
                                                << "";
        QTest::newRow("complete") << R"({"method":"SetWndRect","params":{"module":1}})"
                                  << "";
    }

    void requestTextsAreChecked()
    {
        QFETCH(QString, text);
        QFETCH(QString, popup);
        QJsonObject object;
        QString shown;
        QCOMPARE(Web::CWebRequestCheck::parse(text, &object, &shown), popup.isEmpty());
        QCOMPARE(shown, popup);
        if (popup.isEmpty())
            QCOMPARE(object, QJsonDocument::fromJson(text.toUtf8()).object());
    }

    // Every recognised name, in the order of the table, plus names that are not recognised.
    void recognitionTable()
    {
        UrlCatcher urls;
        QDesktopServices::setUrlHandler("https", &urls, "open");
        const QStringList posted = {"NotifyLoginSucc", "NotifyLoginOut",     "CloseApp",
                                    "MinSize",         "UserInfoModify",     "NotifySwitchMenu",
                                    "CloseMenu",       "SetWndRect",         "SetMask",
                                    "FullScreen",      "TextNotify",         "OpenVideo",
                                    "OpenRecord",      "DialogRectNotify",   "MessageNotify",
                                    "CloseVideo",      "NotifyDeviceStatus", "CommonExportFile",
                                    "OpenDeviceWeb"};
        const QStringList answeredHere
            = {"WebInited", "GetClientInfo", "OpenUrl", "OpenUrlByBrowserDialog"};
        for (const QString &method : answeredHere + posted)
            m_queue->PushRequest(request(method, QJsonObject {{"url", "https://x.test/"}}));
        for (const char *unknown : {"minsize", "OPENVIDEO", "Nothing", ""})
            m_queue->PushRequest(request(unknown));
        QTRY_COMPARE(m_manager->methods().size(), posted.size() + 1 + 4);

        // "CloseApp" adds its own "NotifyLoginOut" behind whatever waits at that moment: how
        // much that is depends on how fast this thread pushed, so only its place after
        // "CloseApp" is fixed.
        QStringList methods = m_manager->methods();
        const int added = methods.lastIndexOf("NotifyLoginOut");
        QVERIFY(added > methods.indexOf("CloseApp"));
        methods.removeAt(added);
        const QStringList unknownNames = {"<null>", "<null>", "<null>", "<null>"};
        QCOMPARE(methods, posted + unknownNames);
        QCOMPARE(m_manager->notifications.count("ReplyClientInfo"), 2);
        QVERIFY(m_manager->post(0).thread != QThread::currentThread());

        // Opened from this (the GUI) thread's event loop.
        QTRY_COMPARE(urls.urls(), QList<QUrl>({QUrl("https://x.test/"), QUrl("https://x.test/")}));
        QDesktopServices::unsetUrlHandler("https");
    }

    void loginLogoutAndCloseKeepTheUserStore()
    {
        const QJsonObject login = parse(R"({"userName":"ann","userType":"admin","userPhoto":"p.png",
            "token":"ut-1","menuList":[
              {"menuName":"Live","menuPath":"videoSurveillance","menuNavigation":true},
              {"menuName":"Door","menuPath":"accessControl"},
              {"menuName":"Live view","menuPath":"videoSurveillance"}]})");
        m_queue->PushRequest(request("NotifyLoginSucc", login));
        // Without a menu list the menus stay; the list is added to, never cleared first.
        m_queue->PushRequest(request("UserInfoModify", parse(R"({"userName":"ann2"})")));
        m_queue->PushRequest(request("NotifyLoginSucc", parse(R"({"userName":"ann3","menuList":[
              {"menuName":"Messages","menuPath":"messageCenter","menuNavigation":1}]})")));
        m_queue->PushRequest(request("NotifyLoginSucc", parse(R"({"userName":"ann4"})")));
        QTRY_COMPARE(m_manager->methods().size(), 4);

        // Listeners find the records already updated.
        const RecordingWebManager::Post &first = m_manager->post(0);
        QVERIFY(first.login);
        QCOMPARE(first.user.userName, QString("ann"));
        QCOMPARE(first.user.userType, QString("admin"));
        QCOMPARE(first.user.userPhoto, QString("p.png"));
        QCOMPARE(first.user.token, QString("ut-1"));
        QCOMPARE(first.menuCount, 2);
        QCOMPARE(m_manager->post(1).user.userName, QString("ann2"));
        QCOMPARE(m_manager->post(1).user.token, QString()); // replaced as a whole
        QCOMPARE(m_manager->post(2).menuCount, 3);
        QCOMPARE(m_manager->post(3).user.userName, QString("ann4"));
        QCOMPARE(m_manager->post(3).menuCount, 3);

        CBaseInfo &info = CBaseInfo::Instance();
        const ConfigInfo::MenuInfo live = info.getMenuInfo("videoSurveillance");
        QCOMPARE(live.menuName, QString("Live view")); // the later entry of a path wins
        QVERIFY(!live.menuNavigation);
        QVERIFY(live.stored);
        QVERIFY(!info.getMenuInfo("accessControl").menuNavigation);
        QVERIFY(!info.getMenuInfo("messageCenter").menuNavigation); // not a JSON bool

        // "CloseApp" reaches its listeners first, then the logout clears user and menus.
        m_manager->clear();
        m_queue->PushRequest(request("CloseApp"));
        QTRY_COMPARE(m_manager->methods(), QStringList({"CloseApp", "NotifyLoginOut"}));
        QVERIFY(m_manager->post(0).login);
        QCOMPARE(m_manager->post(0).menuCount, 3);
        QVERIFY(!m_manager->post(1).login);
        QCOMPARE(m_manager->post(1).user.userName, QString());
        QCOMPARE(m_manager->post(1).menuCount, 0);
        QVERIFY(!info.isLogin());
        QVERIFY(info.getMenuInfoMap().isEmpty());
    }

    void tokenRequestGoesToThePlatform()
    {
        SimServer sim;
        QString error;
        QVERIFY2(sim.start(SimServerOptions {0, 0, false, {}}, &error), qPrintable(error));
        ConfigInfo::CLocalCfg::Instance().SetPlatformUrl(sim.httpUrl());
        const QString path = "/gateway/device/veltra/getTokenAndExpire";
        m_queue->PushRequest(request("NotifyRequestVeltToken"));
        m_queue->PushRequest(request("MinSize"));
        QTRY_COMPARE(m_manager->methods(), QStringList {"MinSize"});
        // The request itself leaves from this (the GUI) thread's event loop.
        QTRY_COMPARE(sim.requestLog().requests(path).size(), 1);
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

    // What each request becomes: the message's fields (fieldsOf) after the queue read the
    // parameters. Rectangles are at zoom 1.5; a missing key reads as empty or 0.
    void messagesCarryTheirParameters_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("params");
        QTest::addColumn<QVariantMap>("fields");
        const auto row = [](const char *tag, const QString &method, const QString &params,
                            const QVariantMap &fields) {
            QTest::newRow(tag) << method << params << fields;
        };
        row("window rectangle", "SetWndRect",
            R"({"module":1,"left":10,"top":20,"right":110,"bottom":220})",
            {{"module", 1}, {"left", 15.0}, {"top", 30.0}, {"right", 165.0}, {"bottom", 330.0}});
        row("dialog rectangle, fractions kept", "DialogRectNotify",
            R"({"module":3,"left":2,"top":4,"right":6,"bottom":4.5})",
            {{"module", 3}, {"left", 3.0}, {"top", 6.0}, {"right", 9.0}, {"bottom", 6.75}});
        row("mask", "SetMask",
            R"({"module":1,"left":2,"top":4,"width":6,"height":8,"show":true,"name":"menu"})",
            {{"module", 1},
             {"left", 3.0},
             {"top", 6.0},
             {"width", 9.0},
             {"height", 12.0},
             {"show", true},
             {"name", "menu"},
             {"shade", true}});
        row("mask unshaded", "SetMask", R"({"shade":false})",
            {{"module", 0}, {"show", false}, {"shade", false}});
        row("params not an object", "SetWndRect", "[1,2]", {{"module", 0}, {"left", 0.0}});
        row("menu", "CloseMenu", R"({"menuPath":"accessControl"})",
            {{"menuPath", "accessControl"}});
        row("full screen", "FullScreen", R"({"bFullScreen":true})", {{"bFullScreen", true}});
        row("text", "TextNotify", R"({"content":"Saved"})", {{"content", "Saved"}});
        row("device web", "OpenDeviceWeb", R"({"deviceId":"D5"})", {{"deviceId", "D5"}});
        row("message", "MessageNotify", R"({"content":"Motion","messageType":2,"messageID":"m-1"})",
            {{"content", "Motion"}, {"messageType", 2}, {"messageID", "m-1"}});
        row("export", "CommonExportFile",
            R"({"requestParams":"a=1","requestType":"POST","requestUrl":"/gateway/export",
                "exportType":2,"name":"x.xlsx","isBase64":2,"size":1024})",
            {{"requestParams", "a=1"},
             {"requestType", "POST"},
             {"requestUrl", "/gateway/export"},
             {"exportType", 2},
             {"name", "x.xlsx"},
             {"isBase64", true},
             {"size", 1024}});
        // The always-read keys lose their defaults when missing; the optional ones keep them.
        row("export, nothing given", "CommonExportFile", R"({"isBase64":0})",
            {{"requestType", ""}, {"name", ""}, {"isBase64", false}, {"size", 0}});
        row("open video", "OpenVideo",
            R"({"module":1,"channels":[{"deviceID":"D1","accessSource":2,"definitionMode":1},
               {"deviceID":"D2","accessSource":1,"definitionMode":1},{}]})",
            {{"module", 1}, {"status", ""}, {"channels", "D1/-/0/2, D2/-/1/1, /-/0/0"}});
        row("open video, no channels", "OpenVideo", R"({"module":2,"channels":[]})",
            {{"module", 2}, {"channels", ""}});
        // The single-channel forms keep the record's defaults but for device and channel.
        row("close video", "CloseVideo", R"({"module":1,"deviceID":"D9","channelID":7})",
            {{"module", 1}, {"channels", "D9/7/1/-1"}});
        row("device status", "NotifyDeviceStatus",
            R"({"module":1,"status":"offline","deviceID":"D9","channelID":7})",
            {{"module", -1}, {"status", "offline"}, {"channels", "D9/7/1/-1"}});
        row("open record", "OpenRecord",
            R"({"module":3,"recordTime":1718000000123,"recordLengthOfTime":30,
                "channels":[{"deviceID":"D1","channelID":1}]})",
            {{"module", 3},
             {"recordTime", Q_INT64_C(1718000000123)},
             {"recordLengthOfTime", Q_INT64_C(30)},
             {"channels", "D1/1/0/0"}});
        row("record time out of range", "OpenRecord", R"({"recordTime":1e300})",
            {{"recordTime", Q_INT64_C(0)}});
    }

    void messagesCarryTheirParameters()
    {
        QFETCH(QString, method);
        QFETCH(QString, params);
        QFETCH(QVariantMap, fields);
        setZoom(1.5);
        const QJsonDocument doc = QJsonDocument::fromJson(params.toUtf8());
        m_queue->PushRequest(
            request(method, doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object())));
        QTRY_COMPARE(m_manager->methods(), QStringList {method});
        const QVariantMap actual = fieldsOf(m_manager->post(0).msg.get());
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            QCOMPARE(actual.value(it.key()), it.value());
        setZoom(1.0);
    }

    // Every key of a channel object, read into the record; access source 2 forces definition 0.
    void channelKeys()
    {
        QVariantMap keys = {{"token", "t"},        {"shopCode", "S1"},    {"shopName", "Shop"},
                            {"deviceID", "D1"},    {"devName", "NVR"},    {"devAbility", "da"},
                            {"chnAbility", "PbF"}, {"deviceModel", "M"},  {"brand", "b"},
                            {"account", "admin"},  {"password", "pw"},    {"channelName", "Door"},
                            {"wndID", 3},          {"platForm", 2},       {"accessSource", 2},
                            {"channelID", 4},      {"definitionMode", 1}, {"isOnline", 1}};
        const ChannelInfo_t channel = CWebMsgFactory::channel(QJsonObject::fromVariantMap(keys));
        keys["definitionMode"] = 0;
        QCOMPARE(channelFields(channel), keys);
        QVERIFY(!channel.bHasChannel);
    }

    void notificationsCarryTheirKeys()
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
        QCOMPARE(Web::CWebNotification::videoStatusChanged(wnd),
                 QJsonObject({{"wndID", 2},
                              {"deviceID", "D1"},
                              {"channelID", 4},
                              {"shopCode", "S1"},
                              {"definitionMode", 0},
                              {"module", 1},
                              {"status", 3}}));
        QCOMPARE(Web::CWebNotification::playWndSelected(wnd),
                 QJsonObject({{"wndID", 2},
                              {"deviceId", "D1"},
                              {"channelID", 4},
                              {"shopCode", "S1"},
                              {"shopName", "Shop"},
                              {"module", 1},
                              {"videoStatus", 3}}));
        channelSnapShotInfo_t file;
        file.picPath = "/tmp/door.jpg";
        file.fileData = "aGVsbG8=";
        file.deviceID = "D1";
        file.channelID = 4;
        QCOMPARE(Web::CWebNotification::sendFileData(file),
                 QJsonObject({{"fileData", "aGVsbG8="}, {"DeviceId", "D1"}, {"ChannelId", 4}}));
        QCOMPARE(Web::CWebNotification::menuClicked("c", "p"),
                 QJsonObject({{"menuCode", "c"}, {"menuPath", "p"}}));
        QCOMPARE(Web::CWebNotification::fullScreen(true), QJsonObject({{"bFullScreen", true}}));
        QCOMPARE(Web::CWebNotification::replyMessageNotify("m-1"),
                 QJsonObject({{"messageID", "m-1"}}));
        QCOMPARE(Web::CWebNotification::webP2pState(1), QJsonObject({{"state", 1}}));

        const QJsonObject client = Web::CWebNotification::clientInfo();
        QCOMPARE(client.keys(), QStringList({"macAddr", "sysBit", "sysVersion", "version"}));
        QVERIFY(QRegularExpression("^([0-9A-F]{2}:){5}[0-9A-F]{2}$")
                    .match(client.value("macAddr").toString())
                    .hasMatch());
        QCOMPARE(client.value("version").toString(),
                 ConfigInfo::CClientInfo::Instance().GetVersion());
        QCOMPARE(client.value("sysVersion").toString(), QString("unKnow"));
        const bool wide = QSysInfo::currentCpuArchitecture().contains("64");
        QCOMPARE(client.value("sysBit").toInt(), wide ? 64 : 32);
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
