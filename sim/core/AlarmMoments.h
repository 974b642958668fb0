#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

// Where a raised alarm lies in its channel's recordings: inside one (the alarm's span is
// recorded) or in a gap between two (nothing recorded around it). The recordings come from the
// simulated devices' schedule, handed in by whoever starts the platform.
class AlarmMoments
{
public:
    // Recordings [begin, end] (seconds since 1970) of a device channel overlapping a span.
    using Span = QPair<qint64, qint64>;
    using Recordings = std::function<QList<Span>(const QString &deviceId, int channel, qint64 begin,
                                                 qint64 end)>;

    // How far back a moment is looked for.
    static constexpr qint64 kSearchSeconds = 3 * 24 * 3600;

    explicit AlarmMoments(Recordings recordings = {});

    bool available() const { return bool(m_recordings); }
    // A moment before now whose span of length seconds lies inside one recording, the newest
    // such; -1 when there is none.
    qint64 inRecording(const QString &deviceId, int channel, qint64 now, int length) const;
    // A moment before now whose span of length seconds touches no recording (the middle of the
    // newest gap wide enough); -1 when there is none.
    qint64 inGap(const QString &deviceId, int channel, qint64 now, int length) const;

private:
    QList<Span> recordings(const QString &deviceId, int channel, qint64 now) const;

    Recordings m_recordings;
};
