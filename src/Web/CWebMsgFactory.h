#pragma once

#include "Records/VideoRecords.h"

#include <kwl/KRefPtr.h>

#include <QJsonObject>
#include <QString>

namespace Web {

class ChannelInfoMsg;
class CommonExportFileMsg;
class FullScreenMsg;
class MaskMsg;
class MenuMsg;
class MessageNotifyMsg;
class OpenDeviceWebMsg;
class OpenRecordMsg;
class TextMsg;
class WebDialogRectMsg;
class WndRectMsg;

// Builds the message of a request from its parameters, owned by the pointer it returns. A missing
// or mistyped key is no error: it reads as an empty text, 0, false or an empty list. Rectangles are
// multiplied by the web view's zoom factor ("WebInfo/zoomFactor", read for every message) into the
// view's own pixels.
class CWebMsgFactory
{
public:
    // One channel object of "channels"; accessSource 2 forces definitionMode 0.
    static ChannelInfo_t channel(const QJsonObject &object);

    // "NotifySwitchMenu", "CloseMenu".
    static KRefPtr<MenuMsg> menu(const QString &method, const QJsonObject &params);
    // "SetWndRect".
    static KRefPtr<WndRectMsg> wndRect(const QString &method, const QJsonObject &params);
    // "SetMask"; "shade" is true when absent.
    static KRefPtr<MaskMsg> mask(const QString &method, const QJsonObject &params);
    // "DialogRectNotify".
    static KRefPtr<WebDialogRectMsg> dialogRect(const QString &method, const QJsonObject &params);
    // "FullScreen".
    static KRefPtr<FullScreenMsg> fullScreen(const QString &method, const QJsonObject &params);
    // "TextNotify".
    static KRefPtr<TextMsg> text(const QString &method, const QJsonObject &params);
    // "OpenVideo": the module and every channel of "channels", in order.
    static KRefPtr<ChannelInfoMsg> openVideo(const QString &method, const QJsonObject &params);
    // "OpenRecord"; "recordTime" keeps all 64 bits.
    static KRefPtr<OpenRecordMsg> openRecord(const QString &method, const QJsonObject &params);
    // "MessageNotify".
    static KRefPtr<MessageNotifyMsg> messageNotify(const QString &method,
                                                   const QJsonObject &params);
    // "CloseVideo": the module and one channel from the top-level "deviceID" and "channelID".
    static KRefPtr<ChannelInfoMsg> closeVideo(const QString &method, const QJsonObject &params);
    // "NotifyDeviceStatus": the status and one channel; the module stays -1.
    static KRefPtr<ChannelInfoMsg> deviceStatus(const QString &method, const QJsonObject &params);
    // "CommonExportFile": "name", "isBase64" and "size" only when present.
    static KRefPtr<CommonExportFileMsg> commonExportFile(const QString &method,
                                                         const QJsonObject &params);
    // "OpenDeviceWeb".
    static KRefPtr<OpenDeviceWebMsg> openDeviceWeb(const QString &method,
                                                   const QJsonObject &params);
};

} // namespace Web
