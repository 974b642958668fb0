#pragma once

#include "Common/CNetWorkListener.h"
#include "Records/VideoRecords.h"

#include <QHash>
#include <QObject>

#include <memory>

class QJsonObject;
class QTimer;

namespace Common {
class CNetWork;
}

// A video window's camera white light and siren, switched through the platform's gateway: the
// window's flags change at once and a refusing answer undoes them; an accepted siren counts its
// seconds down, telling the hub (CGlobalEvent) each step. Works on the window's record, which
// its owner keeps. GUI thread.
class CameraAlarms : public QObject, public Common::CNetWorkListener
{
    Q_OBJECT

public:
    // info: the window's record, which outlives this object; wndIndex: the window the hub is
    // told about.
    CameraAlarms(VideoWndInfo_t &info, int wndIndex);
    ~CameraAlarms() override;

    // Switches the camera's white light or siren through the gateway; the answer may undo it.
    int openLightAlarm(bool on);
    int openSoundAlarm(bool on);
    // Siren countdown: on with at least one second counts down, otherwise ends at once.
    void startSirenCountdown(bool on, int seconds);
    int sirenRemaining() const { return m_sirenRemaining; }
    // Milliseconds per countdown step (1000; tests shorten it).
    void setSirenStepMs(int ms) { m_sirenStepMs = ms; }

    void onNetWorkReadyRead(const QByteArray &data, const QString &name) override;
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override;
    void onNetWorkFinished(const QString &name) override;
    void onNetWorkError(int code, const QString &message, const QString &name) override;

public Q_SLOTS:
    void onSoundAlarmTimeout();

private:
    Common::CNetWork *newAlarmRequest(std::unique_ptr<Common::CNetWork> &slot,
                                      const QString &operation);
    void handleGatewayAnswer(const QString &name, const QByteArray &body);
    int sirenSecondsOf(const QJsonObject &data) const;
    void announceSoundAlarm();
    void endSirenCountdown();

    VideoWndInfo_t &m_wndInfo;
    int m_wndIndex;
    std::unique_ptr<Common::CNetWork> m_lightRequest;
    std::unique_ptr<Common::CNetWork> m_sirenRequest;
    QHash<QString, QByteArray> m_answers; // reply bodies by request name, until finished
    int m_sirenRemaining = 0;
    int m_sirenStepMs = 1000;
    QTimer *m_sirenTimer = nullptr;
};
