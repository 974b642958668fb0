#include "Common/CGlobalEvent.h"

#include <kwl/KSingleton.h>

namespace Common {

CGlobalEvent *CGlobalEvent::Instance()
{
    // Never deleted: modules may still disconnect from it while the process ends.
    return &KSingleton<CGlobalEvent, KSingletonEnd::Never>::Instance();
}

void CGlobalEvent::SelectWndInfo(const ChannelPTZParams_t &params)
{
    emit sgnSelectWndInfo(params);
}

void CGlobalEvent::PTZWidgetClose()
{
    emit sgnPTZWidgetClose();
}

void CGlobalEvent::UpdateWndInfo(int wndIndex, const QString &key, const QVariant &value)
{
    emit sgnUpdateWndInfo(wndIndex, key, value);
}

void CGlobalEvent::UpdateSoundAlarmBtnState(int wndIndex, bool on, int remaining)
{
    emit sgnUpdateSoundAlarmBtnState(wndIndex, on, remaining);
}

void CGlobalEvent::UpdateLightAlarmBtnState(int wndIndex, bool on)
{
    emit sgnUpdateLightAlarmBtnState(wndIndex, on);
}

void CGlobalEvent::DigitalZoom(const QString &deviceID, int channelID, int steps)
{
    emit sgnDigitalZoom(deviceID, channelID, steps);
}

} // namespace Common
