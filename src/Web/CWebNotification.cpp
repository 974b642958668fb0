#include "Web/CWebNotification.h"

#include "ConfigInfo/CClientInfo.h"

#include <winport/SystemInfo.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QNetworkInterface>

#include <atomic>

namespace Web {

namespace {

std::atomic<int> g_lastId {0};

} // namespace

QString CWebNotification::text(const QString &method, const QJsonObject &params, int id)
{
    QJsonObject envelope;
    envelope.insert("result", true);
    envelope.insert("id", id == -1 ? nextId() : id);
    envelope.insert("async", false);
    envelope.insert("method", method);
    envelope.insert("params", params);
    return QString::fromUtf8(QJsonDocument(envelope).toJson(QJsonDocument::Compact));
}

int CWebNotification::nextId()
{
    return g_lastId.fetch_add(1, std::memory_order_relaxed) + 1;
}

QJsonObject CWebNotification::clientInfo()
{
    QString sysVersion = winport::systemVersionName();
    if (sysVersion == QLatin1String("unKnow"))
        sysVersion = QCoreApplication::translate("Web::CWebView", "unKnow");
    return {{"macAddr", macAddress()},
            {"version", ConfigInfo::CClientInfo::Instance().GetVersion()},
            {"sysVersion", sysVersion},
            {"sysBit", winport::nativeProcessorBits()}};
}

QJsonObject CWebNotification::menuClicked(const QString &menuCode, const QString &menuPath)
{
    return {{"menuCode", menuCode}, {"menuPath", menuPath}};
}

QJsonObject CWebNotification::fullScreen(bool bFullScreen)
{
    return {{"bFullScreen", bFullScreen}};
}

QJsonObject CWebNotification::videoStatusChanged(const WebWndStatus_t &status)
{
    return {{"wndID", status.wndIndex},
            {"deviceID", status.channel.deviceID},
            {"channelID", status.channel.channelID},
            {"shopCode", status.channel.shopCode},
            {"definitionMode", status.channel.definitionMode},
            {"module", status.module},
            {"status", status.status}};
}

QJsonObject CWebNotification::playWndSelected(const WebWndStatus_t &status)
{
    return {{"wndID", status.wndIndex},
            {"deviceId", status.channel.deviceID},
            {"channelID", status.channel.channelID},
            {"shopCode", status.channel.shopCode},
            {"shopName", status.channel.shopName},
            {"module", status.module},
            {"videoStatus", status.status}};
}

QJsonObject CWebNotification::sendFileData(const channelSnapShotInfo_t &file)
{
    return {
        {"fileData", file.fileData}, {"DeviceId", file.deviceID}, {"ChannelId", file.channelID}};
}

QJsonObject CWebNotification::replyMessageNotify(const QString &messageID)
{
    return {{"messageID", messageID}};
}

QJsonObject CWebNotification::webP2pState(int state)
{
    return {{"state", state}};
}

QString CWebNotification::macAddress()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &netInterface : interfaces) {
        if (!netInterface.hardwareAddress().isEmpty())
            return netInterface.hardwareAddress();
    }
    return "00:00:00:00:00:00";
}

} // namespace Web
