#pragma once

#include "Records/VideoRecords.h"

#include <kwl/KSingleton.h>

#include <QObject>
#include <QString>
#include <QVariant>

namespace Common {

// Process-wide hub for events between modules that do not know each other: the play panel asks
// the main window for the PTZ panel, the PTZ panel tells the video bar it closed, the play panel
// updates a video window, and window controllers report their siren and white-light state to
// the frame view. Each operation emits the signal of the same stem. GUI thread.
class CGlobalEvent : public QObject
{
    Q_OBJECT

public:
    // The one hub, created on first use.
    static CGlobalEvent *Instance();

    // Emits sgnSelectWndInfo: show or hide the PTZ panel for a channel.
    void SelectWndInfo(const ChannelPTZParams_t &params);
    // Emits sgnPTZWidgetClose: the PTZ panel was closed.
    void PTZWidgetClose();
    // Emits sgnUpdateWndInfo: a value of one video window changed.
    void UpdateWndInfo(int wndIndex, const QString &key, const QVariant &value);
    // Emits sgnUpdateSoundAlarmBtnState: a window's siren is on or off, seconds left.
    void UpdateSoundAlarmBtnState(int wndIndex, bool on, int remaining);
    // Emits sgnUpdateLightAlarmBtnState: a window's white light is on or off.
    void UpdateLightAlarmBtnState(int wndIndex, bool on);
    // Emits sgnDigitalZoom: the window showing the PTZ panel's channel zooms by steps (in > 0).
    void DigitalZoom(const QString &deviceID, int channelID, int steps);

signals:
    void sgnSelectWndInfo(ChannelPTZParams_t params);
    void sgnPTZWidgetClose();
    void sgnUpdateWndInfo(int wndIndex, QString key, QVariant value);
    void sgnUpdateSoundAlarmBtnState(int wndIndex, bool on, int remaining);
    void sgnUpdateLightAlarmBtnState(int wndIndex, bool on);
    void sgnDigitalZoom(QString deviceID, int channelID, int steps);

private:
    friend struct KSingletonMaker<CGlobalEvent>;
    CGlobalEvent() = default;
};

} // namespace Common
