#include "CDeviceConfigure.h"

#include "Common/CNetWork.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Web/IWebViewManager.h"
#include "Web/OpenDeviceWebMsg.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <StreamCore/IStreamCore.h>
#include <kwl/KPrintLog.h>

#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

using ConfigInfo::CBaseInfo;

namespace {

void showNotice(const QString &text)
{
    KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(text);
}

} // namespace

CDeviceConfigure::CDeviceConfigure(QObject *parent)
    : QObject(parent)
    , m_streamCore(StreamCore::IStreamCore::GetInstance())
{
    // Queued: the browser and the page are reached from the GUI thread only.
    connect(this, &CDeviceConfigure::sgnWebP2pResult, this, &CDeviceConfigure::onWebP2pResult,
            Qt::QueuedConnection);
    if (m_streamCore)
        m_streamCore->AddObserver(this);
}

CDeviceConfigure::~CDeviceConfigure()
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
    if (m_streamCore)
        m_streamCore->RemoveObserver(this);
}

void CDeviceConfigure::SetWebViewManager(Web::IWebViewManager *manager)
{
    m_webViewManager = manager;
    if (m_webViewManager)
        m_webViewManager->RegisterListener("OpenDeviceWeb", this);
}

void CDeviceConfigure::requestDeviceList()
{
    if (!m_netWork) {
        m_netWork = new Common::CNetWork(QString());
        m_netWork->setParent(this);
        m_netWork->setListener(this);
    }
    m_netWork->setToken(CBaseInfo::Instance().getUserInfo().token);
    m_netWork->setUrl(ConfigInfo::CLocalCfg::Instance().GetVtDevListUrl());
    m_netWork->post(QString());
    m_replyBuffer.clear();
}

QJsonArray CDeviceConfigure::DevicesOf(const QJsonArray &gatewayDevices)
{
    QJsonArray devices;
    for (const QJsonValue &value : gatewayDevices) {
        const QJsonObject device = value.toObject();
        // Devices of the RTSV1 generation serve their page on a fixed port.
        const int port = device.value("ability").toString().contains("RTSV1")
            ? kRtsv1WebPort
            : device.value("streamPort").toInt(0);
        devices.append(QJsonObject {{"Sn", device.value("deviceId").toString()},
                                    {"Type", 1},
                                    {"Port", port},
                                    {"User", device.value("devLoginName").toString()},
                                    {"Pwd", device.value("devLoginPassword").toString()}});
    }
    return devices;
}

void CDeviceConfigure::onRPCCall(Web::CWebBaseMsg *msg)
{
    if (auto *open = dynamic_cast<Web::OpenDeviceWebMsg *>(msg))
        openDeviceWeb(open->deviceId);
}

void CDeviceConfigure::openDeviceWeb(const QString &deviceId)
{
    // Asking for the token also asks the gateway for one, and says so, when none is held.
    const QString token = CBaseInfo::Instance().getVeltToken();
    if (deviceId.isEmpty()) {
        KLOG(KPrintLog::Info, "GetWebP2pHole deviceID is empty");
        return;
    }
    if (token.isEmpty()) {
        showNotice(tr("P2P init configuration fail,please try again"));
        return;
    }
    if (!m_streamCore)
        return;
    const QByteArray id = deviceId.toUtf8();
    m_streamCore->ClearDevWebPort(id.constData());
    m_streamCore->GetWebP2pPort(token.toUtf8().constData(), id.constData());
}

void CDeviceConfigure::OnMediaEvent(const StreamCore::MediaEvent *event)
{
    if (!event || event->type != StreamCore::MEDIA_EVENT_WEB_PORT)
        return;
    emit sgnWebP2pResult(event->port, event->type,
                         QString::fromUtf8(event->deviceId ? event->deviceId : ""));
}

void CDeviceConfigure::onWebP2pResult(int port, int, QString deviceId)
{
    if (port <= 0) {
        if (m_webViewManager)
            m_webViewManager->WebP2pState(0);
        showNotice(tr("Failed to open device configuration page,please try again"));
        return;
    }
    // The library's record of the device's port is the one the browser must use.
    const int localPort
        = m_streamCore ? m_streamCore->GetDevWebP2pPort(deviceId.toUtf8().constData()).port : port;
    if (m_webViewManager)
        m_webViewManager->WebP2pState(1);
    QDesktopServices::openUrl(QUrl(QString("http://127.0.0.1:%1").arg(localPort)));
}

void CDeviceConfigure::onNetWorkReadyRead(const QByteArray &data, const QString &)
{
    m_replyBuffer.append(data);
}

void CDeviceConfigure::onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &,
                                                  const QString &)
{ }

void CDeviceConfigure::onNetWorkFinished(const QString &)
{
    handleDeviceList(m_replyBuffer);
}

// A failed list is not asked again: the next token change asks anew, and until then opening a
// page fails through the media library's result.
void CDeviceConfigure::onNetWorkError(int, const QString &, const QString &) { }

void CDeviceConfigure::handleDeviceList(const QByteArray &body)
{
    const QString text = QString::fromUtf8(body);
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        KLOG(KPrintLog::Error, "Json error[%s]", error.errorString().toUtf8().constData());
        return;
    }
    if (!doc.isObject()) {
        KLOG(KPrintLog::Error, "Json format error[%s]", text.toUtf8().constData());
        return;
    }
    const QJsonObject reply = doc.object();
    if (!reply.value("success").toBool(false)) {
        KLOG(KPrintLog::Error, "Get Device list failed, errMsg[%s]",
             reply.value("errMsg").toString().toUtf8().constData());
        return;
    }
    if (!reply.value("data").isArray())
        return;
    const QByteArray devices
        = QJsonDocument(DevicesOf(reply.value("data").toArray())).toJson(QJsonDocument::Compact);
    if (m_streamCore && !devices.isEmpty())
        m_streamCore->AddDevices(CBaseInfo::Instance().getVeltToken().toUtf8().constData(),
                                 devices.constData());
}
