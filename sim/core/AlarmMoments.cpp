#include "AlarmMoments.h"

#include <algorithm>

namespace {

// Seconds kept between a span and the edges of a recording, so that a player that starts a
// little early or late still finds the picture (or the gap) the alarm says.
constexpr qint64 kMargin = 10;

} // namespace

AlarmMoments::AlarmMoments(Recordings recordings)
    : m_recordings(std::move(recordings))
{ }

QList<AlarmMoments::Span> AlarmMoments::recordings(const QString &deviceId, int channel,
                                                   qint64 now) const
{
    if (!m_recordings)
        return {};
    QList<Span> spans = m_recordings(deviceId, channel, now - kSearchSeconds, now);
    std::sort(spans.begin(), spans.end());
    return spans;
}

qint64 AlarmMoments::inRecording(const QString &deviceId, int channel, qint64 now, int length) const
{
    const QList<Span> spans = recordings(deviceId, channel, now);
    for (auto it = spans.crbegin(); it != spans.crend(); ++it) {
        const qint64 moment = std::min(it->second, now) - kMargin - length;
        if (moment >= it->first + kMargin)
            return moment;
    }
    return -1;
}

qint64 AlarmMoments::inGap(const QString &deviceId, int channel, qint64 now, int length) const
{
    const QList<Span> spans = recordings(deviceId, channel, now);
    for (int i = spans.size() - 1; i > 0; --i) {
        const qint64 gapBegin = spans.at(i - 1).second;
        const qint64 gapEnd = spans.at(i).first;
        if (gapEnd - gapBegin >= length + 2 * kMargin)
            return gapBegin + (gapEnd - gapBegin - length) / 2;
    }
    return -1;
}
