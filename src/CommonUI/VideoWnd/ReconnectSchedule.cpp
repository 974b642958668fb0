#include "CommonUI/VideoWnd/ReconnectSchedule.h"

ReconnectSchedule::ReconnectSchedule()
    : m_delays {1000, 2000, 4000, 8000, 15000}
{ }

void ReconnectSchedule::setDelays(const QList<int> &delaysMs)
{
    if (!delaysMs.isEmpty())
        m_delays = delaysMs;
}

int ReconnectSchedule::nextDelayMs()
{
    const int delay = m_delays.at(qMin(m_attempt, m_delays.size() - 1));
    ++m_attempt;
    return delay;
}
