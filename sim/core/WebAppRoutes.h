#pragma once

#include "AlarmMoments.h"
#include "DeviceFile.h"
#include "SimRouter.h"
#include "StopFlag.h"
#include "TokenStore.h"

#include <QJsonArray>

#include <condition_variable>
#include <deque>
#include <mutex>

// What the web application needs beyond the gateway: the alarm messages the platform pushes to
// the logged-in console (the page waits for them with a long poll), and the control route with
// which tests and scripts raise an alarm. Safe to use from any thread.
class WebAppRoutes
{
public:
    static constexpr const char *messagesPath = "/gateway/message/list";
    static constexpr const char *alarmsPath = "/sim/alarms";
    // Longest wait of one poll, in milliseconds.
    static constexpr int maxWaitMs = 25000;
    // Messages kept; older ones roll out.
    static constexpr int keptMessages = 500;
    // Seconds of recording a message asks for from its moment on, unless the alarm says.
    static constexpr int defaultRecordLength = 30;
    static constexpr int maxRecordLength = 600;

    WebAppRoutes(const DeviceFile &devices, const TokenStore &tokens, const StopFlag &stop);

    // Adds the page's message route and the alarm control routes to the router.
    void install(SimRouter &router);
    // Raises an alarm message (members as POST /sim/alarms takes them); the stored message, or
    // an empty object and the reason when a member is wrong.
    QJsonObject raise(const QJsonObject &alarm, QString *error);
    // Lets alarms be placed in or between the devices' recordings ("moment"); before start.
    void setRecordings(AlarmMoments::Recordings recordings);
    // The kept messages newer than sequence, oldest first.
    QJsonArray messagesAfter(qint64 sequence) const;

private:
    SimReply poll(const SimRequest &request) const;
    SimReply raiseReply(const SimRequest &request);
    QDateTime momentOf(const QJsonObject &alarm, const QString &deviceId, int channel, int length,
                       QString *error) const;

    const DeviceFile &m_devices;
    const TokenStore &m_tokens;
    const StopFlag &m_stop;
    AlarmMoments m_moments;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::deque<QJsonObject> m_messages;
    qint64 m_last = 0; // sequence of the newest message, 0 before the first
};
