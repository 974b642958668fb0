#include "Common/CGlobalEvent.h"

#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace Common {

CGlobalEvent *CGlobalEvent::Instance()
{
    static std::atomic<CGlobalEvent *> instance {nullptr};
    static QMutex mutex;
    CGlobalEvent *hub = instance.load(std::memory_order_acquire);
    if (!hub) {
        QMutexLocker lock(&mutex);
        hub = instance.load(std::memory_order_relaxed);
        if (!hub) {
            // Lives as long as the process: modules may still disconnect from it at exit.
            hub = new CGlobalEvent;
            instance.store(hub, std::memory_order_release);
        }
    }
    return hub;
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

} // namespace Common
