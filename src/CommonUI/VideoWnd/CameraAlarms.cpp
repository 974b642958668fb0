#include "CommonUI/VideoWnd/CameraAlarms.h"

#include "Common/CGlobalEvent.h"
#include "Common/CNetWork.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {

const char *const kLightOperation = "openLightAlarm";
const char *const kSirenOperation = "openSoundAlarm";

void notifyText(const QString &text)
{
    KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(text);
}

} // namespace

CameraAlarms::CameraAlarms(VideoWndInfo_t &info, int wndIndex)
    : m_wndInfo(info)
    , m_wndIndex(wndIndex)
{ }

CameraAlarms::~CameraAlarms()
{
    for (std::unique_ptr<Common::CNetWork> *request : {&m_lightRequest, &m_sirenRequest}) {
        if (*request)
            (*request)->clearListener();
    }
}

Common::CNetWork *CameraAlarms::newAlarmRequest(std::unique_ptr<Common::CNetWork> &slot,
                                                const QString &operation)
{
    const ChannelInfo_t &channel = m_wndInfo.channel;
    const QString name
        = QString("%1_%2_%3").arg(operation, channel.deviceID).arg(channel.channelID);
    m_answers.remove(name);
    slot = std::make_unique<Common::CNetWork>(name);
    slot->setListener(this);
    slot->setToken(ConfigInfo::CBaseInfo::Instance().getUserInfo().token);
    return slot.get();
}

int CameraAlarms::openLightAlarm(bool on)
{
    m_wndInfo.bLightAlarmOn = on;
    Common::CNetWork *request = newAlarmRequest(m_lightRequest, kLightOperation);
    request->setUrl(ConfigInfo::CLocalCfg::Instance().GetPlatformUrl()
                    + "/gateway/devicemanage/ability/setDeviceCameraStatus");
    const ChannelInfo_t &channel = m_wndInfo.channel;
    QJsonObject body {{"deviceId", channel.deviceID}, {"enableType", "whiteLight"}, {"enable", on}};
    if (channel.devAbility.contains("ChnWhiteLight"))
        body.insert("channelId", channel.channelID);
    request->post(QString::fromUtf8(QJsonDocument(body).toJson(QJsonDocument::Compact)));
    return 0;
}

int CameraAlarms::openSoundAlarm(bool on)
{
    m_wndInfo.bSoundAlarmOn = on;
    Common::CNetWork *request = newAlarmRequest(m_sirenRequest, kSirenOperation);
    const QString path = on ? "/gateway/devicemanage/ability/setDeviceSirenStart"
                            : "/gateway/devicemanage/ability/setDeviceSirenStop";
    request->setUrl(ConfigInfo::CLocalCfg::Instance().GetPlatformUrl() + path);
    const ChannelInfo_t &channel = m_wndInfo.channel;
    QJsonObject body {{"deviceId", channel.deviceID},
                      {"clientLocalTime", QDateTime::currentDateTime().toString("yyyyMMddThhmm")}};
    if (channel.devAbility.contains("ChnSiren"))
        body.insert("channels", QJsonArray {QString::number(channel.channelID)});
    request->post(QString::fromUtf8(QJsonDocument(body).toJson(QJsonDocument::Compact)));
    return 0;
}

void CameraAlarms::onNetWorkReadyRead(const QByteArray &data, const QString &name)
{
    // A trickled answer comes in pieces: it is read as a whole once it has finished.
    m_answers[name].append(data);
}

void CameraAlarms::onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &,
                                              const QString &)
{ }

void CameraAlarms::onNetWorkFinished(const QString &name)
{
    handleGatewayAnswer(name, m_answers.take(name));
}

void CameraAlarms::onNetWorkError(int code, const QString &message, const QString &name)
{
    // The switch stays as the user set it: only an answer can undo it.
    m_answers.remove(name);
    KLOG(4, "%s failed [%d] [%s]", qPrintable(name), code, qPrintable(message));
}

void CameraAlarms::handleGatewayAnswer(const QString &name, const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (!document.isObject()) {
        KLOG(6, "Json error[%s]", qPrintable(error.errorString()));
        return;
    }
    // "<operation>_<device>_<channel>": the device id may hold "_" itself.
    const int first = name.indexOf('_');
    const int last = name.lastIndexOf('_');
    if (first < 0 || last <= first)
        return;
    const QString operation = name.left(first);
    if (name.mid(first + 1, last - first - 1) != m_wndInfo.channel.deviceID
        || name.mid(last + 1) != QString::number(m_wndInfo.channel.channelID))
        return;
    if (operation != kSirenOperation && operation != kLightOperation)
        return;
    const QJsonObject answer = document.object();
    const QJsonValue codeValue = answer.value("code");
    const QString code
        = codeValue.isDouble() ? QString::number(codeValue.toDouble()) : codeValue.toString();
    Common::CGlobalEvent *hub = Common::CGlobalEvent::Instance();
    if (code != "0") {
        notifyText(tr("request fail!"));
        if (operation == kSirenOperation) {
            m_wndInfo.bSoundAlarmOn = !m_wndInfo.bSoundAlarmOn;
            announceSoundAlarm();
        } else {
            m_wndInfo.bLightAlarmOn = !m_wndInfo.bLightAlarmOn;
            hub->UpdateLightAlarmBtnState(m_wndIndex, m_wndInfo.bLightAlarmOn);
        }
        return;
    }
    if (operation == kSirenOperation)
        startSirenCountdown(true, sirenSecondsOf(answer.value("data").toObject()));
}

int CameraAlarms::sirenSecondsOf(const QJsonObject &data) const
{
    if (!m_wndInfo.channel.devAbility.contains("ChnSiren"))
        return data.value("time").toInt();
    const QString channel = QString::number(m_wndInfo.channel.channelID);
    for (const QJsonValue &entry : data.value("channels").toArray()) {
        if (entry.toObject().value("channelId").toString() == channel)
            return entry.toObject().value("time").toInt();
    }
    return 0;
}

void CameraAlarms::announceSoundAlarm()
{
    Common::CGlobalEvent::Instance()->UpdateSoundAlarmBtnState(m_wndIndex, m_wndInfo.bSoundAlarmOn,
                                                               m_sirenRemaining);
}

void CameraAlarms::startSirenCountdown(bool on, int seconds)
{
    if (!on || seconds < 1) {
        endSirenCountdown();
        return;
    }
    if (!m_sirenTimer) {
        m_sirenTimer = new QTimer(this);
        connect(m_sirenTimer, &QTimer::timeout, this, &CameraAlarms::onSoundAlarmTimeout);
    }
    m_sirenRemaining = seconds;
    m_wndInfo.bSoundAlarmOn = true;
    m_sirenTimer->start(m_sirenStepMs);
    announceSoundAlarm();
}

void CameraAlarms::onSoundAlarmTimeout()
{
    if (--m_sirenRemaining < 1) {
        endSirenCountdown();
        return;
    }
    m_sirenTimer->start(m_sirenStepMs);
    announceSoundAlarm();
}

void CameraAlarms::endSirenCountdown()
{
    m_sirenRemaining = 0;
    if (m_sirenTimer)
        m_sirenTimer->stop();
    m_wndInfo.bSoundAlarmOn = false;
    announceSoundAlarm();
}
