#include "Web/CWebMsgFactory.h"

#include "ConfigInfo/CConfig.h"
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

#include <QHash>
#include <QJsonArray>

#include <cmath>

namespace Web {

namespace {

double zoomFactor()
{
    return ConfigInfo::CConfig::Instance().GetWebInfo().zoomFactor;
}

// A length of the page in the view's pixels. Read as a number, so that fractional CSS pixels
// (what the page measures) keep their fraction.
double scaled(const QJsonObject &params, const char *key, double zoom)
{
    return params.value(QLatin1String(key)).toDouble() * zoom;
}

// A JSON number as a 64-bit integer (JSON numbers are doubles); 0 when it does not fit.
qint64 toInt64(const QJsonValue &value)
{
    const double number = value.toDouble();
    constexpr double kLimit = 9.2e18; // inside the range of qint64
    return std::isfinite(number) && std::fabs(number) < kLimit ? static_cast<qint64>(number) : 0;
}

QString stringOf(const QJsonObject &params, const char *key)
{
    return params.value(QLatin1String(key)).toString();
}

int intOf(const QJsonObject &params, const char *key)
{
    return params.value(QLatin1String(key)).toInt();
}

QList<ChannelInfo_t> channelList(const QJsonObject &params)
{
    QList<ChannelInfo_t> channels;
    const QJsonArray array = params.value(QLatin1String("channels")).toArray();
    channels.reserve(array.size());
    for (const QJsonValue &item : array)
        channels.append(CWebMsgFactory::channel(item.toObject()));
    return channels;
}

// The one channel of "CloseVideo" and "NotifyDeviceStatus": record defaults but for these two.
ChannelInfo_t deviceChannel(const QJsonObject &params)
{
    ChannelInfo_t channel;
    channel.deviceID = stringOf(params, "deviceID");
    channel.channelID = intOf(params, "channelID");
    return channel;
}

template<typename Msg> KRefPtr<Msg> rectMsg(const QString &method, const QJsonObject &params)
{
    const double zoom = zoomFactor();
    KRefPtr<Msg> msg(new Msg(method));
    msg->module = intOf(params, "module");
    msg->left = scaled(params, "left", zoom);
    msg->top = scaled(params, "top", zoom);
    msg->right = scaled(params, "right", zoom);
    msg->bottom = scaled(params, "bottom", zoom);
    return msg;
}

} // namespace

ChannelInfo_t CWebMsgFactory::channel(const QJsonObject &object)
{
    // One pass over the object's keys: an "OpenVideo" of 16 channels would otherwise search
    // each channel object once per field.
    struct Field
    {
        QString ChannelInfo_t::*text;
        int ChannelInfo_t::*number;
    };
    static const QHash<QString, Field> kFields = {
        {"token", {&ChannelInfo_t::token, nullptr}},
        {"shopCode", {&ChannelInfo_t::shopCode, nullptr}},
        {"shopName", {&ChannelInfo_t::shopName, nullptr}},
        {"deviceID", {&ChannelInfo_t::deviceID, nullptr}},
        {"devName", {&ChannelInfo_t::devName, nullptr}},
        {"devAbility", {&ChannelInfo_t::devAbility, nullptr}},
        {"chnAbility", {&ChannelInfo_t::chnAbility, nullptr}},
        {"deviceModel", {&ChannelInfo_t::deviceModel, nullptr}},
        {"brand", {&ChannelInfo_t::brand, nullptr}},
        {"account", {&ChannelInfo_t::account, nullptr}},
        {"password", {&ChannelInfo_t::password, nullptr}},
        {"channelName", {&ChannelInfo_t::channelName, nullptr}},
        {"wndID", {nullptr, &ChannelInfo_t::wndID}},
        {"platForm", {nullptr, &ChannelInfo_t::platForm}},
        {"accessSource", {nullptr, &ChannelInfo_t::accessSource}},
        {"channelID", {nullptr, &ChannelInfo_t::channelID}},
        {"definitionMode", {nullptr, &ChannelInfo_t::definitionMode}},
        {"isOnline", {nullptr, &ChannelInfo_t::isOnline}},
    };
    // A key the page left out reads as empty or 0, not as the record's default.
    static const ChannelInfo_t kBlank = [] {
        ChannelInfo_t blank;
        for (const Field &field : kFields) {
            if (field.text)
                (blank.*field.text).clear();
            else
                blank.*field.number = 0;
        }
        return blank;
    }();
    ChannelInfo_t channel = kBlank;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const auto field = kFields.constFind(it.key());
        if (field == kFields.constEnd())
            continue;
        if (field->text)
            channel.*field->text = it.value().toString();
        else
            channel.*field->number = it.value().toInt();
    }
    // Channels reached through this access only offer the high-definition stream.
    if (channel.accessSource == 2)
        channel.definitionMode = 0;
    return channel;
}

KRefPtr<MenuMsg> CWebMsgFactory::menu(const QString &method, const QJsonObject &params)
{
    KRefPtr<MenuMsg> msg(new MenuMsg(method));
    msg->menuPath = stringOf(params, "menuPath");
    return msg;
}

KRefPtr<WndRectMsg> CWebMsgFactory::wndRect(const QString &method, const QJsonObject &params)
{
    return rectMsg<WndRectMsg>(method, params);
}

KRefPtr<MaskMsg> CWebMsgFactory::mask(const QString &method, const QJsonObject &params)
{
    const double zoom = zoomFactor();
    KRefPtr<MaskMsg> msg(new MaskMsg(method));
    msg->module = intOf(params, "module");
    msg->left = scaled(params, "left", zoom);
    msg->top = scaled(params, "top", zoom);
    msg->width = scaled(params, "width", zoom);
    msg->height = scaled(params, "height", zoom);
    msg->show = params.value(QLatin1String("show")).toBool();
    msg->name = stringOf(params, "name");
    msg->shade = params.value(QLatin1String("shade")).toBool(true);
    return msg;
}

KRefPtr<WebDialogRectMsg> CWebMsgFactory::dialogRect(const QString &method,
                                                     const QJsonObject &params)
{
    return rectMsg<WebDialogRectMsg>(method, params);
}

KRefPtr<FullScreenMsg> CWebMsgFactory::fullScreen(const QString &method, const QJsonObject &params)
{
    KRefPtr<FullScreenMsg> msg(new FullScreenMsg(method));
    msg->bFullScreen = params.value(QLatin1String("bFullScreen")).toBool();
    return msg;
}

KRefPtr<TextMsg> CWebMsgFactory::text(const QString &method, const QJsonObject &params)
{
    KRefPtr<TextMsg> msg(new TextMsg(method));
    msg->content = stringOf(params, "content");
    return msg;
}

KRefPtr<ChannelInfoMsg> CWebMsgFactory::openVideo(const QString &method, const QJsonObject &params)
{
    KRefPtr<ChannelInfoMsg> msg(new ChannelInfoMsg(method));
    msg->module = intOf(params, "module");
    msg->channels = channelList(params);
    return msg;
}

KRefPtr<OpenRecordMsg> CWebMsgFactory::openRecord(const QString &method, const QJsonObject &params)
{
    KRefPtr<OpenRecordMsg> msg(new OpenRecordMsg(method));
    msg->module = intOf(params, "module");
    msg->recordTime = toInt64(params.value(QLatin1String("recordTime")));
    msg->recordLengthOfTime = intOf(params, "recordLengthOfTime");
    msg->channels = channelList(params);
    return msg;
}

KRefPtr<MessageNotifyMsg> CWebMsgFactory::messageNotify(const QString &method,
                                                        const QJsonObject &params)
{
    KRefPtr<MessageNotifyMsg> msg(new MessageNotifyMsg(method));
    msg->content = stringOf(params, "content");
    msg->messageType = intOf(params, "messageType");
    msg->messageID = stringOf(params, "messageID");
    return msg;
}

KRefPtr<ChannelInfoMsg> CWebMsgFactory::closeVideo(const QString &method, const QJsonObject &params)
{
    KRefPtr<ChannelInfoMsg> msg(new ChannelInfoMsg(method));
    msg->module = intOf(params, "module");
    msg->channels.append(deviceChannel(params));
    return msg;
}

KRefPtr<ChannelInfoMsg> CWebMsgFactory::deviceStatus(const QString &method,
                                                     const QJsonObject &params)
{
    KRefPtr<ChannelInfoMsg> msg(new ChannelInfoMsg(method));
    msg->status = stringOf(params, "status");
    msg->channels.append(deviceChannel(params));
    return msg;
}

KRefPtr<CommonExportFileMsg> CWebMsgFactory::commonExportFile(const QString &method,
                                                              const QJsonObject &params)
{
    KRefPtr<CommonExportFileMsg> msg(new CommonExportFileMsg(method));
    msg->requestParams = stringOf(params, "requestParams");
    msg->requestType = stringOf(params, "requestType");
    msg->requestUrl = stringOf(params, "requestUrl");
    msg->exportType = intOf(params, "exportType");
    if (params.contains(QLatin1String("name")))
        msg->name = stringOf(params, "name");
    if (params.contains(QLatin1String("isBase64")))
        msg->isBase64 = intOf(params, "isBase64") != 0;
    if (params.contains(QLatin1String("size")))
        msg->size = intOf(params, "size");
    return msg;
}

KRefPtr<OpenDeviceWebMsg> CWebMsgFactory::openDeviceWeb(const QString &method,
                                                        const QJsonObject &params)
{
    KRefPtr<OpenDeviceWebMsg> msg(new OpenDeviceWebMsg(method));
    msg->deviceId = stringOf(params, "deviceId");
    return msg;
}

} // namespace Web
