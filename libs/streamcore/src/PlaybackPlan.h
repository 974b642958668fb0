#pragma once

#include "PlatformClient.h"
#include "StreamCore/StreamCoreTypes.h"

#include <string>
#include <vector>

namespace StreamCore {

// What a play object plays: live video, a span of recordings by time, or a list of recordings
// one after the other. Each stream opened for it is a "piece": one recording (from a start
// inside it), by time clipped to the span; a piece's stream positions count seconds from the
// piece's start. By time, the recordings of the span are searched first, so that the gaps
// between them are skipped.
class PlaybackPlan
{
public:
    enum Kind {
        Idle,
        Live,
        ByTime,
        ByFile,
    };

    // Where a jump lands: inside the piece playing, or in a piece that must be opened.
    struct Target
    {
        bool reopen = false;
        double position = 0;
    };

    void clear();
    void setLive(const std::string &token, const std::string &deviceId, int channel,
                 int definition);
    // False when the span is empty.
    bool setByTime(int source, const std::string &token, const std::string &deviceId, int channel,
                   long long begin, long long end);
    // By time: the span's recordings are not known yet (search them first).
    bool needsRecordings() const { return m_kind == ByTime && m_pieces.empty(); }
    // The open-platform search for the recordings of the span.
    static constexpr const char *kSearchPath = "/openapi/v1/records";
    PlatformClient::Params searchParams() const;
    // By time: the recordings found in the span ([begin, end) in seconds since 1970, any
    // order, overlaps allowed). Playing starts at the span's begin or, when that lies in a gap,
    // at the next recording; false when no recording lies in the span.
    bool setRecordings(std::vector<std::pair<long long, long long>> recordings);
    // By time, when the span cannot be searched: it plays as one piece, gaps included.
    void playWholeSpan();
    // Keeps the recordings that overlap [begin, end], in time order; false when none does.
    bool setByFile(int source, const std::string &token, const std::string &deviceId,
                   long long begin, long long end, const RecordInfo *records, int count);

    Kind kind() const { return m_kind; }
    const std::string &token() const { return m_token; }
    // The open-platform request for the current piece's address.
    std::string requestPath() const;
    PlatformClient::Params requestParams() const;

    // Seconds since 1970 of a stream position (live: the position is that time already).
    long long timeAt(double position) const;
    // The same in milliseconds, for a picture's own time.
    long long timeMsAt(double position) const;
    // Seconds from the piece's start to its end: stream positions beyond hold no picture.
    double pieceLength() const;
    // Start of the span, or of the recording played by file; -1 live or idle.
    long long recordBeginTime() const;
    // The recording played by file, or null.
    const RecordInfo *currentRecord() const;
    // Where a jump to a time (by file: or to an offset in seconds from the current
    // recording's start) lands; false when no recording holds it. By time, a moment in a gap
    // lands on the next recording.
    bool target(long long time, Target *target);
    // Moves to the next recording; false when none is left.
    bool next();

    // Local time text "yyyy-MM-dd HH:mm:ss" to seconds since 1970; -1 when malformed.
    static long long parseTime(const char *text);

private:
    // What both kinds of playback share: the source, the device and the asked span.
    void setSpan(Kind kind, int source, const std::string &token, const std::string &deviceId,
                 long long begin, long long end);
    struct Piece
    {
        RecordInfo record; // by file only
        long long begin;
        long long end;
    };
    // The piece holding the moment, or by time the next one after it; -1 when none.
    size_t pieceAt(long long when) const;

    Kind m_kind = Idle;
    std::string m_token;
    std::string m_deviceId;
    int m_channel = 0;
    int m_definition = 1;
    int m_source = 0;
    long long m_begin = 0;
    long long m_end = 0;
    std::vector<Piece> m_pieces;
    size_t m_current = 0;
    long long m_pieceStart = 0;
};

} // namespace StreamCore
