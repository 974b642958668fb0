#include "WebAppRoutes.h"

#include "GatewayRoutes.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrlQuery>

#include <kwl/KPrintLog.h>

#include <chrono>
#include <limits>

namespace {

const char *const timeFormat = "yyyy-MM-dd HH:mm:ss";

SimReply refused(const QString &error)
{
    KLOG(4, "alarm refused: %s", qPrintable(error));
    return SimReply::json({{"ok", false}, {"error", error}}, 400);
}

QString titleOf(int messageType)
{
    switch (messageType) {
    case 1:
        return "Motion detected";
    case 2:
        return "Line crossing";
    case 3:
        return "Intrusion";
    case 4:
        return "Door opened";
    case 5:
        return "Device offline";
    default:
        return "Alarm";
    }
}

bool isWholeNumber(const QJsonValue &value)
{
    return value.isDouble() && value.toDouble() == static_cast<double>(value.toInt());
}

// The first entry of an array whose member key equals value (any JSON type), empty when none.
QJsonObject findBy(const QJsonArray &array, const QString &key, const QJsonValue &value)
{
    for (const QJsonValue &entry : array) {
        if (entry.toObject().value(key) == value)
            return entry.toObject();
    }
    return {};
}

// A query number within [low, high]; fallback when the item is missing or not a number.
qint64 queryNumber(const QUrlQuery &query, const QString &name, qint64 fallback, qint64 low,
                   qint64 high)
{
    bool ok = false;
    const qint64 value = query.queryItemValue(name).toLongLong(&ok);
    return ok ? qBound(low, value, high) : fallback;
}

} // namespace

WebAppRoutes::WebAppRoutes(const DeviceFile &devices, const TokenStore &tokens,
                           const StopFlag &stop)
    : m_devices(devices)
    , m_tokens(tokens)
    , m_stop(stop)
{ }

void WebAppRoutes::install(SimRouter &router)
{
    router.add("GET", messagesPath, [this](const SimRequest &r) { return poll(r); });
    router.addControl("POST", alarmsPath, [this](const SimRequest &r) { return raiseReply(r); });
    router.addControl("GET", alarmsPath, [this](const SimRequest &) {
        return SimReply::json({{"ok", true}, {"messages", messagesAfter(0)}});
    });
}

QJsonObject WebAppRoutes::raise(const QJsonObject &alarm, QString *error)
{
    const QJsonValue type = alarm.value("messageType");
    if (!type.isUndefined() && !isWholeNumber(type)) {
        *error = "\"messageType\" must be a whole number";
        return {};
    }
    for (const char *text : {"deviceId", "title", "content", "time"}) {
        if (alarm.contains(text) && !alarm.value(text).isString()) {
            *error = QString("\"%1\" must be a string").arg(text);
            return {};
        }
    }
    const QJsonArray devices = m_devices.devices();
    const QJsonObject device = alarm.contains("deviceId") || devices.isEmpty()
        ? findBy(devices, "deviceId", alarm.value("deviceId"))
        : devices.first().toObject();
    if (device.isEmpty()) {
        *error = QString("no device \"%1\"").arg(alarm.value("deviceId").toString());
        return {};
    }
    const QJsonArray channels = device.value("channels").toArray();
    const QJsonObject channel = alarm.contains("channelId")
        ? findBy(channels, "channelId", alarm.value("channelId"))
        : channels.first().toObject();
    if (channel.isEmpty()) {
        *error = QString("device %1 has no channel %2")
                     .arg(device.value("deviceId").toString(),
                          alarm.value("channelId").toVariant().toString());
        return {};
    }
    const QJsonValue recordLength = alarm.value("recordLength");
    if (!recordLength.isUndefined()
        && (!isWholeNumber(recordLength) || recordLength.toInt() < 1
            || recordLength.toInt() > maxRecordLength)) {
        *error = QString("\"recordLength\" must be a whole number of 1 to %1 seconds")
                     .arg(maxRecordLength);
        return {};
    }
    const int length = recordLength.isUndefined() ? defaultRecordLength : recordLength.toInt();
    const QDateTime when = momentOf(alarm, device.value("deviceId").toString(),
                                    channel.value("channelId").toInt(), length, error);
    if (!when.isValid())
        return {};

    const int messageType = type.isUndefined() ? 1 : type.toInt();
    const QString shopName = m_devices.shopName(device.value("shopCode").toString());
    const QString title = alarm.value("title").toString(titleOf(messageType));
    QJsonObject message {
        {"messageType", messageType},
        {"title", title},
        {"deviceId", device.value("deviceId")},
        {"deviceName", device.value("deviceName")},
        {"channelId", channel.value("channelId")},
        {"channelName", channel.value("channelName")},
        {"shopCode", device.value("shopCode")},
        {"shopName", shopName},
        {"time", when.toString(timeFormat)},
        {"timestamp", when.toMSecsSinceEpoch()},
        {"recordLength", length},
    };
    message.insert(
        "content",
        alarm.value("content").toString(
            QString("%1, %2: %3").arg(shopName, channel.value("channelName").toString(), title)));

    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_last;
    message.insert("sequence", m_last);
    message.insert("messageID", QString("M%1").arg(m_last, 6, 10, QChar('0')));
    m_messages.push_back(message);
    if (m_messages.size() > keptMessages)
        m_messages.pop_front();
    m_arrived.notify_all();
    return message;
}

void WebAppRoutes::setRecordings(AlarmMoments::Recordings recordings)
{
    m_moments = AlarmMoments(std::move(recordings));
}

// The alarm's "time", or a moment in or between the channel's recordings ("moment":
// "recording" or "gap"), or now.
QDateTime WebAppRoutes::momentOf(const QJsonObject &alarm, const QString &deviceId, int channel,
                                 int length, QString *error) const
{
    const QString moment = alarm.value("moment").toString();
    if (alarm.contains("moment") && moment != "recording" && moment != "gap") {
        *error = "\"moment\" must be \"recording\" or \"gap\"";
        return {};
    }
    if (alarm.contains("time") && alarm.contains("moment")) {
        *error = "give \"time\" or \"moment\", not both";
        return {};
    }
    if (alarm.contains("time")) {
        const QDateTime when = QDateTime::fromString(alarm.value("time").toString(), timeFormat);
        if (!when.isValid())
            *error = QString("\"time\" must read %1").arg(timeFormat);
        return when;
    }
    if (moment.isEmpty())
        return QDateTime::currentDateTime();
    if (!m_moments.available()) {
        *error = "this platform has no recordings to place an alarm in";
        return {};
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 at = moment == "gap" ? m_moments.inGap(deviceId, channel, now, length)
                                      : m_moments.inRecording(deviceId, channel, now, length);
    if (at < 0) {
        *error = QString("no %1 of %2 s found for the channel in the last days")
                     .arg(moment)
                     .arg(length);
        return {};
    }
    return QDateTime::fromSecsSinceEpoch(at);
}

QJsonArray WebAppRoutes::messagesAfter(qint64 sequence) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QJsonArray list;
    for (const QJsonObject &message : m_messages) {
        if (static_cast<qint64>(message.value("sequence").toDouble()) > sequence)
            list.append(message);
    }
    return list;
}

SimReply WebAppRoutes::poll(const SimRequest &request) const
{
    if (const std::optional<SimReply> refusal
        = GatewayRoutes::refuseUnlessLoggedIn(request, m_tokens))
        return *refusal;
    const QUrlQuery query(request.query);
    const qint64 after = queryNumber(query, "after", 0, 0, std::numeric_limits<qint64>::max());
    const qint64 waitMs = queryNumber(query, "waitMs", 0, 0, maxWaitMs);

    qint64 last = 0;
    {
        // Waits in short steps so that a stopping server ends the wait at once.
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (m_last <= after && std::chrono::steady_clock::now() < deadline && m_stop.sleepFor(0))
            m_arrived.wait_for(lock, std::chrono::milliseconds(100));
        last = m_last;
    }
    return SimReply::success(QJsonObject {{"messages", messagesAfter(after)}, {"last", last}});
}

SimReply WebAppRoutes::raiseReply(const SimRequest &request)
{
    QJsonObject alarm;
    if (!request.body.trimmed().isEmpty()) {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(request.body, &parseError);
        if (!document.isObject())
            return refused("the body must be a JSON object");
        alarm = document.object();
    }
    QString error;
    const QJsonObject message = raise(alarm, &error);
    if (message.isEmpty())
        return refused(error);
    KLOG(4, "alarm %s raised: %s", qPrintable(message.value("messageID").toString()),
         qPrintable(message.value("content").toString()));
    return SimReply::json({{"ok", true}, {"message", message}});
}
