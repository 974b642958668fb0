#include "Web/CWebMessageQueue.h"

#include "ConfigInfo/CBaseInfo.h"
#include "Web/CWebMessage.h"
#include "Web/CWebMsgFactory.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/CommonExportFileMsg.h"
#include "Web/FullScreenMsg.h"
#include "Web/IWebViewManager.h"
#include "Web/MaskMsg.h"
#include "Web/MenuMsg.h"
#include "Web/MessageNotifyMsg.h"
#include "Web/OpenDeviceWebMsg.h"
#include "Web/OpenRecordMsg.h"
#include "Web/TextMsg.h"
#include "Web/WebDialogRectMsg.h"
#include "Web/WndRectMsg.h"

#include <kwl/KPrintLog.h>
#include <kwl/KRefPtr.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QJsonArray>
#include <QMutexLocker>
#include <QUrl>

#include <utility>

namespace Web {

namespace {

using ConfigInfo::CBaseInfo;

constexpr int kQueueFull = -2; // KMessageQueue::PushMsg: no room left

// Adapts a message builder of the catalogue to a row of the recognition table.
template<auto build> CWebMsgRef buildMsg(CWebMessageQueue &, const QString &m, QJsonObject &p)
{
    return CWebMsgRef(build(m, p).get());
}

CWebMsgRef plainMsg(CWebMessageQueue &, const QString &method, QJsonObject &)
{
    return CWebMsgRef(new CWebBaseMsg(method));
}

CWebMsgRef openUrl(CWebMessageQueue &, const QString &, QJsonObject &params)
{
    // Opened from the GUI thread: the desktop services and the URL handlers live there.
    const QUrl url(params.value(QLatin1String("url")).toString());
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
    return {};
}

QString takeString(QJsonObject &params, const char *key)
{
    return params.take(QLatin1String(key)).toString();
}

} // namespace

CWebMessageQueue::CWebMessageQueue()
    : KMessageQueue(1, 1024)
{ }

void CWebMessageQueue::SetWebViewManager(IWebViewManager *manager)
{
    QMutexLocker lock(&m_managerMutex);
    m_manager = manager;
}

void CWebMessageQueue::ClearWebViewManager()
{
    QMutexLocker lock(&m_managerMutex);
    m_manager = nullptr;
}

void CWebMessageQueue::PushRequest(QJsonObject request)
{
    if (!IsRunning())
        Start();
    KRefPtr<CWebMessage> msg(new CWebMessage(request));
    if (PushMsg(msg.get()) == kQueueFull)
        KPrintLog::instance()->Log(
            "Web/CWebMessageQueue", __LINE__, "Web::CWebMessageQueue::PushRequest", "", 6,
            "Message queue full, request lost: method[%s]",
            request.value(QLatin1String("method")).toString().toUtf8().constData());
}

void CWebMessageQueue::processMsg(KMessage *msg)
{
    auto *message = dynamic_cast<CWebMessage *>(msg);
    if (!message)
        return;
    const QString method = message->request.value(QLatin1String("method")).toString();
    QJsonObject params = message->request.value(QLatin1String("params")).toObject();
    KLOG(KPrintLog::Info, "processMsg =%s \n", method.toUtf8().constData());

    bool post = true;
    CWebMsgRef result = handleRequest(method, params, &post);
    if (!post)
        return;
    QMutexLocker lock(&m_managerMutex);
    if (m_manager)
        m_manager->PostRPCCall(std::move(result)); // a null result reaches nobody
}

CWebMsgRef CWebMessageQueue::handleRequest(const QString &method, QJsonObject &params, bool *post)
{
    using Handler = CWebMsgRef (*)(CWebMessageQueue &, const QString &, QJsonObject &);
    struct Row
    {
        QLatin1String name;
        Handler handle;
        bool posts; // false: handling ends on this thread
    };
    // Compared in this order, exactly and case-sensitively; the first equal name acts.
    static const Row kRows[] = {
        {QLatin1String("WebInited"),
         [](CWebMessageQueue &queue, const QString &, QJsonObject &) {
             return queue.replyClientInfo();
         },
         false},
        {QLatin1String("GetClientInfo"),
         [](CWebMessageQueue &queue, const QString &, QJsonObject &) {
             return queue.replyClientInfo();
         },
         false},
        {QLatin1String("NotifyLoginSucc"),
         [](CWebMessageQueue &queue, const QString &method, QJsonObject &params) {
             queue.saveUserInfo(params);
             queue.saveMenuInfo(params);
             CBaseInfo::Instance().setLogin(true);
             return CWebMsgRef(new CWebBaseMsg(method));
         },
         true},
        {QLatin1String("NotifyLoginOut"),
         [](CWebMessageQueue &, const QString &method, QJsonObject &) {
             CBaseInfo &info = CBaseInfo::Instance();
             info.resetUserInfo();
             info.clearMenuInfo();
             info.setLogin(false);
             return CWebMsgRef(new CWebBaseMsg(method));
         },
         true},
        {QLatin1String("CloseApp"),
         [](CWebMessageQueue &queue, const QString &method, QJsonObject &) {
             // Handled after this one, so listeners see "CloseApp" before "NotifyLoginOut".
             queue.PushRequest({{"method", "NotifyLoginOut"}, {"params", QJsonObject()}});
             return CWebMsgRef(new CWebBaseMsg(method));
         },
         true},
        {QLatin1String("MinSize"), plainMsg, true},
        {QLatin1String("OpenUrl"), openUrl, false},
        {QLatin1String("OpenUrlByBrowserDialog"), openUrl, false},
        {QLatin1String("NotifyRequestVeltToken"),
         [](CWebMessageQueue &, const QString &, QJsonObject &) {
             // Carried out on the GUI thread, which owns the HTTP client.
             CBaseInfo::Instance().requestVeltToken();
             return CWebMsgRef();
         },
         false},
        {QLatin1String("UserInfoModify"),
         [](CWebMessageQueue &queue, const QString &method, QJsonObject &params) {
             queue.saveUserInfo(params);
             return CWebMsgRef(new CWebBaseMsg(method));
         },
         true},
        {QLatin1String("NotifySwitchMenu"), buildMsg<CWebMsgFactory::menu>, true},
        {QLatin1String("CloseMenu"), buildMsg<CWebMsgFactory::menu>, true},
        {QLatin1String("SetWndRect"), buildMsg<CWebMsgFactory::wndRect>, true},
        {QLatin1String("SetMask"), buildMsg<CWebMsgFactory::mask>, true},
        {QLatin1String("FullScreen"), buildMsg<CWebMsgFactory::fullScreen>, true},
        {QLatin1String("TextNotify"), buildMsg<CWebMsgFactory::text>, true},
        {QLatin1String("OpenVideo"), buildMsg<CWebMsgFactory::openVideo>, true},
        {QLatin1String("OpenRecord"), buildMsg<CWebMsgFactory::openRecord>, true},
        {QLatin1String("DialogRectNotify"), buildMsg<CWebMsgFactory::dialogRect>, true},
        {QLatin1String("MessageNotify"), buildMsg<CWebMsgFactory::messageNotify>, true},
        {QLatin1String("CloseVideo"), buildMsg<CWebMsgFactory::closeVideo>, true},
        {QLatin1String("NotifyDeviceStatus"), buildMsg<CWebMsgFactory::deviceStatus>, true},
        {QLatin1String("CommonExportFile"), buildMsg<CWebMsgFactory::commonExportFile>, true},
        {QLatin1String("OpenDeviceWeb"), buildMsg<CWebMsgFactory::openDeviceWeb>, true},
    };
    for (const Row &row : kRows) {
        if (method == row.name) {
            *post = row.posts;
            return row.handle(*this, method, params);
        }
    }
    *post = true;
    return {};
}

void CWebMessageQueue::saveUserInfo(QJsonObject &params)
{
    ConfigInfo::UserInfo user;
    user.userName = takeString(params, "userName");
    user.userType = takeString(params, "userType");
    user.userPhoto = takeString(params, "userPhoto");
    user.token = takeString(params, "token");
    CBaseInfo::Instance().setUserInfo(user);
}

void CWebMessageQueue::saveMenuInfo(QJsonObject &params)
{
    const QJsonValue list = params.take(QLatin1String("menuList"));
    if (!list.isArray())
        return;
    for (const QJsonValue &item : list.toArray()) {
        QJsonObject entry = item.toObject();
        ConfigInfo::MenuInfo menu;
        menu.menuName = takeString(entry, "menuName");
        menu.menuPath = takeString(entry, "menuPath");
        menu.menuNavigation = entry.take(QLatin1String("menuNavigation")).toBool(false);
        menu.stored = true;
        CBaseInfo::Instance().addMenuInfo(menu);
        KLOG(KPrintLog::Info, "strMenuName =%s,strMenuPath =%s\n",
             menu.menuName.toUtf8().constData(), menu.menuPath.toUtf8().constData());
    }
}

CWebMsgRef CWebMessageQueue::replyClientInfo()
{
    QMutexLocker lock(&m_managerMutex);
    if (m_manager)
        m_manager->ReplyClientInfo();
    return {};
}

} // namespace Web
