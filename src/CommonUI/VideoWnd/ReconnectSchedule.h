#pragma once

#include <QList>

// The waits between the attempts to reopen a lost live stream: 1, 2, 4, 8 s, then every 15 s.
// The last wait repeats for as long as attempts go on. During waits longer than two probe
// intervals the channel is probed every interval (1 s). Tests give other waits.
class ReconnectSchedule
{
public:
    ReconnectSchedule();

    // Replaces the waits (milliseconds, at least one; the last one repeats).
    void setDelays(const QList<int> &delaysMs);
    QList<int> delays() const { return m_delays; }

    // Starts counting attempts from the first wait again.
    void restart() { m_attempt = 0; }
    // The wait before the next attempt; counts the attempt.
    int nextDelayMs();
    // Attempts counted since the last restart.
    int attempts() const { return m_attempt; }

    int probeIntervalMs() const { return m_probeIntervalMs; }
    // Whether the channel is probed during a wait of this length.
    bool probesDuring(int waitMs) const { return waitMs > 2 * m_probeIntervalMs; }

private:
    int m_probeIntervalMs = 1000;
    QList<int> m_delays;
    int m_attempt = 0;
};
