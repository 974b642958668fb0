#pragma once

#include "Web/WebWndStatus.h"

#include <QJsonObject>
#include <QString>

namespace Web {

// The texts the client sends to the page: the envelope {"result", "id", "async", "method",
// "params"} and the parameters of each notification, with the page's exact key names.
class CWebNotification
{
public:
    // The compact JSON text of a notification. id -1 takes the next value of the process-wide
    // counter (1 for the first notification of the run); any thread may call it.
    static QString text(const QString &method, const QJsonObject &params, int id = -1);
    // The next value of the process-wide notification counter.
    static int nextId();

    // "ReplyClientInfo": "macAddr", "version", "sysVersion", "sysBit".
    static QJsonObject clientInfo();
    // "MenuClicked": "menuCode", "menuPath".
    static QJsonObject menuClicked(const QString &menuCode, const QString &menuPath);
    // "FullScreen": "bFullScreen".
    static QJsonObject fullScreen(bool bFullScreen);
    // "VideoStatusChanged": "wndID", "deviceID", "channelID", "shopCode", "definitionMode",
    // "module", "status".
    static QJsonObject videoStatusChanged(const WebWndStatus_t &status);
    // "PlayWndSelected": "wndID", "deviceId", "channelID", "shopCode", "shopName", "module",
    // "videoStatus".
    static QJsonObject playWndSelected(const WebWndStatus_t &status);
    // "SendFileData": "fileData", "DeviceId", "ChannelId".
    static QJsonObject sendFileData(const channelSnapShotInfo_t &file);
    // "ReplyMessageNotify": "messageID".
    static QJsonObject replyMessageNotify(const QString &messageID);
    // "WebP2pState": "state".
    static QJsonObject webP2pState(int state);

    // The hardware address of the first interface that has one, else "00:00:00:00:00:00".
    static QString macAddress();
};

} // namespace Web
