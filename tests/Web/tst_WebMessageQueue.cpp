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
#include <set>
#include <thread>
#include <typeindex>

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

    void notificationIdsStayUniqueAcrossThreads()
    {
        constexpr int kPerThread = 20000;
        std::vector<int> gui, worker;
        const int before = Web::CWebNotification::nextId();
        std::thread other([&worker] {
            for (int i = 0; i < kPerThread; ++i)
                worker.push_back(Web::CWebNotification::nextId());
        });
        for (int i = 0; i < kPerThread; ++i)
            gui.push_back(Web::CWebNotification::nextId());
        other.join();
        std::set<int> all(gui.begin(), gui.end());
        all.insert(worker.begin(), worker.end());
        // Every value between the first and the last was handed out exactly once.
        QCOMPARE(int(all.size()), 2 * kPerThread);
        QCOMPARE(*all.begin(), before + 1);
        QCOMPARE(*all.rbegin(), before + 2 * kPerThread);
        QVERIFY(std::is_sorted(gui.begin(), gui.end()));
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
        QCOMPARE(m_manager->clientInfoReplies(), 2);
        QVERIFY(m_manager->post(0).thread != QThread::currentThread());

        const QList<QPair<QString, std::type_index>> classes
            = {{"NotifySwitchMenu", typeid(Web::MenuMsg)},
               {"CloseMenu", typeid(Web::MenuMsg)},
               {"SetWndRect", typeid(Web::WndRectMsg)},
               {"SetMask", typeid(Web::MaskMsg)},
               {"FullScreen", typeid(Web::FullScreenMsg)},
               {"TextNotify", typeid(Web::TextMsg)},
               {"OpenVideo", typeid(Web::ChannelInfoMsg)},
               {"OpenRecord", typeid(Web::OpenRecordMsg)},
               {"DialogRectNotify", typeid(Web::WebDialogRectMsg)},
               {"MessageNotify", typeid(Web::MessageNotifyMsg)},
               {"CloseVideo", typeid(Web::ChannelInfoMsg)},
               {"NotifyDeviceStatus", typeid(Web::ChannelInfoMsg)},
               {"CommonExportFile", typeid(Web::CommonExportFileMsg)},
               {"OpenDeviceWeb", typeid(Web::OpenDeviceWebMsg)},
               {"MinSize", typeid(Web::CWebBaseMsg)},
               {"CloseApp", typeid(Web::CWebBaseMsg)},
               {"NotifyLoginSucc", typeid(Web::CWebBaseMsg)},
               {"UserInfoModify", typeid(Web::CWebBaseMsg)}};
        for (const auto &[method, type] : classes) {
            const int at = posted.indexOf(method);
            const Web::CWebBaseMsg &msg = *m_manager->post(at < added ? at : at + 1).msg;
            QVERIFY2(std::type_index(typeid(msg)) == type, qPrintable(method));
        }
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
        QCOMPARE(m_manager->clientInfoReplies(), 0);
    }

    void rectanglesFollowTheZoom()
    {
        setZoom(1.5);
        auto rect = (CWebMsgFactory::wndRect(
            "SetWndRect", parse(R"({"module":1,"left":10,"top":20,"right":110,"bottom":220})")));
        QCOMPARE(rect->method, QString("SetWndRect"));
        QCOMPARE(rect->module, 1);
        QCOMPARE(rect->left, 15.0);
        QCOMPARE(rect->top, 30.0);
        QCOMPARE(rect->right, 165.0);
        QCOMPARE(rect->bottom, 330.0);

        // The zoom is read for every message.
        setZoom(2.0);
        auto dialog = (CWebMsgFactory::dialogRect(
            "DialogRectNotify", parse(R"({"module":3,"left":1,"top":2,"right":3,"bottom":4.5})")));
        QCOMPARE(dialog->module, 3);
        QCOMPARE(dialog->left, 2.0);
        QCOMPARE(dialog->bottom, 9.0);

        auto mask = (CWebMsgFactory::mask(
            "SetMask", parse(R"({"module":1,"left":5,"top":6,"width":7,"height":8,"show":true,
                                 "name":"menu"})")));
        QCOMPARE(mask->width, 14.0);
        QCOMPARE(mask->height, 16.0);
        QVERIFY(mask->show);
        QCOMPARE(mask->name, QString("menu"));
        QVERIFY(mask->shade); // absent: true
        mask = (CWebMsgFactory::mask("SetMask", parse(R"({"shade":false})")));
        QVERIFY(!mask->shade);
        QVERIFY(!mask->show);
        QCOMPARE(mask->module, 0); // a missing number reads as 0
        setZoom(1.0);
    }

    void channelsAreRead()
    {
        auto open = (CWebMsgFactory::openVideo("OpenVideo", parse(R"({"module":1,"channels":[
              {"token":"t","shopCode":"S1","shopName":"Shop","deviceID":"D1","devName":"NVR",
               "devAbility":"da","chnAbility":"PlaybackByFilename","deviceModel":"M","brand":"b",
               "account":"admin","password":"pw","channelName":"Door","wndID":3,"platForm":2,
               "accessSource":2,"channelID":4,"definitionMode":1,"isOnline":1},
              {"deviceID":"D2","accessSource":1,"definitionMode":1},
              {}]})")));
        QCOMPARE(open->module, 1);
        QCOMPARE(open->status, QString());
        QCOMPARE(open->channels.size(), 3);
        const ChannelInfo_t &full = open->channels.at(0);
        QCOMPARE(full.token, QString("t"));
        QCOMPARE(full.shopCode, QString("S1"));
        QCOMPARE(full.shopName, QString("Shop"));
        QCOMPARE(full.deviceID, QString("D1"));
        QCOMPARE(full.devName, QString("NVR"));
        QCOMPARE(full.devAbility, QString("da"));
        QCOMPARE(full.chnAbility, QString("PlaybackByFilename"));
        QCOMPARE(full.deviceModel, QString("M"));
        QCOMPARE(full.brand, QString("b"));
        QCOMPARE(full.account, QString("admin"));
        QCOMPARE(full.password, QString("pw"));
        QCOMPARE(full.channelName, QString("Door"));
        QCOMPARE(full.wndID, 3);
        QCOMPARE(full.platForm, 2);
        QCOMPARE(full.channelID, 4);
        QCOMPARE(full.isOnline, 1);
        QCOMPARE(full.definitionMode, 0); // access source 2 forces high definition
        QVERIFY(!full.bHasChannel);
        QCOMPARE(open->channels.at(1).deviceID, QString("D2"));
        QCOMPARE(open->channels.at(1).definitionMode, 1);
        // Missing keys read as empty or 0, not as the record's defaults.
        const ChannelInfo_t &empty = open->channels.at(2);
        QCOMPARE(empty.brand, QString());
        QCOMPARE(empty.channelID, 0);
        QCOMPARE(empty.wndID, 0);
        QCOMPARE(empty.definitionMode, 0);

        open = (CWebMsgFactory::openVideo("OpenVideo", parse(R"({"module":2,"channels":[]})")));
        QCOMPARE(open->module, 2);
        QVERIFY(open->channels.isEmpty());

        // Single-channel forms: the record's defaults but for device and channel.
        auto close = (CWebMsgFactory::closeVideo(
            "CloseVideo", parse(R"({"module":1,"deviceID":"D9","channelID":7})")));
        QCOMPARE(close->module, 1);
        QCOMPARE(close->channels.size(), 1);
        QCOMPARE(close->channels.first().deviceID, QString("D9"));
        QCOMPARE(close->channels.first().channelID, 7);
        QCOMPARE(close->channels.first().brand, QString("general"));
        QCOMPARE(close->channels.first().wndID, -1);
        auto status = (CWebMsgFactory::deviceStatus(
            "NotifyDeviceStatus", parse(R"({"module":1,"status":"offline","deviceID":"D9",
                                            "channelID":7})")));
        QCOMPARE(status->module, -1);
        QCOMPARE(status->status, QString("offline"));
        QCOMPARE(status->channels.first().deviceID, QString("D9"));
        QCOMPARE(status->channels.first().channelID, 7);

        auto record = (CWebMsgFactory::openRecord("OpenRecord",
                                                  parse(R"({"module":3,"recordTime":1718000000123,
                "recordLengthOfTime":30,"channels":[{"deviceID":"D1","channelID":1}]})")));
        QCOMPARE(record->module, 3);
        QCOMPARE(record->recordTime, Q_INT64_C(1718000000123));
        QCOMPARE(record->recordLengthOfTime, Q_INT64_C(30));
        QCOMPARE(record->channels.size(), 1);
        record = (CWebMsgFactory::openRecord("OpenRecord", parse(R"({"recordTime":1e300})")));
        QCOMPARE(record->recordTime, Q_INT64_C(0)); // out of range: no wrap-around
    }

    void otherParametersAreRead()
    {
        auto file = (CWebMsgFactory::commonExportFile(
            "CommonExportFile", parse(R"({"requestParams":"a=1","requestType":"POST",
              "requestUrl":"/gateway/export","exportType":2,"name":"x.xlsx","isBase64":2,
              "size":1024})")));
        QCOMPARE(file->requestParams, QString("a=1"));
        QCOMPARE(file->requestType, QString("POST"));
        QCOMPARE(file->requestUrl, QString("/gateway/export"));
        QCOMPARE(file->exportType, 2);
        QCOMPARE(file->name, QString("x.xlsx"));
        QVERIFY(file->isBase64);
        QCOMPARE(file->size, 1024);
        // The always-read keys lose their defaults when missing; the optional ones keep them.
        file = (CWebMsgFactory::commonExportFile("CommonExportFile", {}));
        QCOMPARE(file->requestType, QString());
        QCOMPARE(file->name, QString());
        QVERIFY(!file->isBase64);
        QCOMPARE(file->size, 0);
        file = (CWebMsgFactory::commonExportFile("CommonExportFile", parse(R"({"isBase64":0})")));
        QVERIFY(!file->isBase64);

        auto message = (CWebMsgFactory::messageNotify(
            "MessageNotify", parse(R"({"content":"Motion","messageType":2,"messageID":"m-1"})")));
        QCOMPARE(message->content, QString("Motion"));
        QCOMPARE(message->messageType, 2);
        QCOMPARE(message->messageID, QString("m-1"));
        auto menu = (CWebMsgFactory::menu("CloseMenu", parse(R"({"menuPath":"accessControl"})")));
        QCOMPARE(menu->method, QString("CloseMenu"));
        QCOMPARE(menu->menuPath, QString("accessControl"));
        auto full = (CWebMsgFactory::fullScreen("FullScreen", parse(R"({"bFullScreen":true})")));
        QVERIFY(full->bFullScreen);
        auto text = (CWebMsgFactory::text("TextNotify", parse(R"({"content":"Saved"})")));
        QCOMPARE(text->content, QString("Saved"));
        auto device
            = (CWebMsgFactory::openDeviceWeb("OpenDeviceWeb", parse(R"({"deviceId":"D5"})")));
        QCOMPARE(device->deviceId, QString("D5"));

        // A "params" that is not an object counts as an empty one.
        m_queue->PushRequest(request("SetWndRect", QJsonArray {1, 2}));
        QTRY_COMPARE(m_manager->methods().size(), 1);
        QCOMPARE(m_manager->message<Web::WndRectMsg>(0)->module, 0);
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
