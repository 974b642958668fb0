#include "PlaybackPlan.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace StreamCore {

namespace {

// Offsets into a recording are small; times since 1970 are not.
constexpr long long kSmallestTime = 1000000000;
constexpr size_t kNoPiece = static_cast<size_t>(-1);

} // namespace

long long PlaybackPlan::parseTime(const char *text)
{
    const QDateTime t = QDateTime::fromString(QString::fromUtf8(text), "yyyy-MM-dd HH:mm:ss");
    return t.isValid() ? t.toSecsSinceEpoch() : -1;
}

void PlaybackPlan::clear()
{
    *this = PlaybackPlan();
}

void PlaybackPlan::setLive(const std::string &token, const std::string &deviceId, int channel,
                           int definition)
{
    clear();
    m_kind = Live;
    m_token = token;
    m_deviceId = deviceId;
    m_channel = channel;
    m_definition = definition;
}

void PlaybackPlan::setSpan(Kind kind, int source, const std::string &token,
                           const std::string &deviceId, long long begin, long long end)
{
    m_kind = kind;
    m_source = source;
    m_token = token;
    m_deviceId = deviceId;
    m_begin = begin;
    m_end = end;
}

bool PlaybackPlan::setByTime(int source, const std::string &token, const std::string &deviceId,
                             int channel, long long begin, long long end)
{
    clear();
    if (end <= begin)
        return false;
    setSpan(ByTime, source, token, deviceId, begin, end);
    m_channel = channel;
    m_pieceStart = begin;
    return true;
}

PlatformClient::Params PlaybackPlan::searchParams() const
{
    return {{"deviceId", m_deviceId},
            {"channel", std::to_string(m_channel)},
            {"source", std::to_string(m_source)},
            {"begin", std::to_string(m_begin)},
            {"end", std::to_string(m_end)}};
}

bool PlaybackPlan::setRecordings(std::vector<std::pair<long long, long long>> recordings)
{
    if (m_kind != ByTime)
        return false;
    std::sort(recordings.begin(), recordings.end());
    std::vector<Piece> pieces;
    for (const auto &r : recordings) {
        const long long begin = std::max(r.first, m_begin);
        const long long end = std::min(r.second, m_end);
        if (end <= begin)
            continue;
        // Overlapping or touching recordings (an alarm inside a continuous one) play as one.
        if (!pieces.empty() && begin <= pieces.back().end)
            pieces.back().end = std::max(pieces.back().end, end);
        else
            pieces.push_back({RecordInfo {}, begin, end});
    }
    if (pieces.empty())
        return false;
    m_pieces = std::move(pieces);
    m_current = 0;
    m_pieceStart = m_pieces.front().begin;
    return true;
}

void PlaybackPlan::playWholeSpan()
{
    if (m_kind == ByTime)
        m_pieces = {{RecordInfo {}, m_begin, m_end}};
}

bool PlaybackPlan::setByFile(int source, const std::string &token, const std::string &deviceId,
                             long long begin, long long end, const RecordInfo *records, int count)
{
    clear();
    std::vector<Piece> pieces;
    for (int i = 0; records && i < count; ++i) {
        Piece p {records[i], parseTime(records[i].beginTime), parseTime(records[i].endTime)};
        if (p.begin >= 0 && p.end > p.begin && p.end > begin && p.begin < end)
            pieces.push_back(p);
    }
    if (pieces.empty())
        return false;
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece &a, const Piece &b) { return a.begin < b.begin; });
    setSpan(ByFile, source, token, deviceId, begin, end);
    m_pieces = pieces;
    m_pieceStart = std::max(begin, m_pieces.front().begin);
    return true;
}

std::string PlaybackPlan::requestPath() const
{
    return m_kind == Live ? "/openapi/v1/stream/live" : "/openapi/v1/stream/playback";
}

PlatformClient::Params PlaybackPlan::requestParams() const
{
    PlatformClient::Params p {{"deviceId", m_deviceId}};
    switch (m_kind) {
    case Live:
        p.emplace("channel", std::to_string(m_channel));
        p.emplace("definition", std::to_string(m_definition));
        break;
    case ByTime:
        p.emplace("channel", std::to_string(m_channel));
        p.emplace("source", std::to_string(m_source));
        p.emplace("begin", std::to_string(m_pieceStart));
        p.emplace("end", std::to_string(m_pieces[m_current].end));
        break;
    case ByFile: {
        const Piece &piece = m_pieces[m_current];
        p.emplace("channel", std::to_string(piece.record.channel));
        p.emplace("source", std::to_string(m_source));
        p.emplace("recordId", piece.record.recordId);
        p.emplace("begin", std::to_string(m_pieceStart));
        break;
    }
    case Idle:
        break;
    }
    return p;
}

long long PlaybackPlan::timeAt(double position) const
{
    if (m_kind == Live)
        return static_cast<long long>(position);
    return m_kind == Idle ? 0 : m_pieceStart + static_cast<long long>(position);
}

long long PlaybackPlan::timeMsAt(double position) const
{
    const long long ms = std::llround(position * 1000);
    if (m_kind == Live)
        return ms;
    return m_kind == Idle ? 0 : m_pieceStart * 1000 + ms;
}

double PlaybackPlan::pieceLength() const
{
    if (m_pieces.empty())
        return 0;
    return static_cast<double>(m_pieces[m_current].end - m_pieceStart);
}

long long PlaybackPlan::recordBeginTime() const
{
    switch (m_kind) {
    case ByTime:
        return m_begin;
    case ByFile:
        return m_pieces[m_current].begin;
    default:
        return -1;
    }
}

const RecordInfo *PlaybackPlan::currentRecord() const
{
    return m_kind == ByFile ? &m_pieces[m_current].record : nullptr;
}

size_t PlaybackPlan::pieceAt(long long when) const
{
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        if (when < m_pieces[i].end && (m_kind == ByTime || when >= m_pieces[i].begin))
            return i;
    }
    return kNoPiece;
}

bool PlaybackPlan::target(long long time, Target *target)
{
    if (m_pieces.empty() || (m_kind == ByTime && (time < m_begin || time >= m_end)))
        return false;
    const long long asked
        = m_kind == ByFile && time < kSmallestTime ? m_pieces[m_current].begin + time : time;
    const size_t i = pieceAt(asked);
    if (i == kNoPiece)
        return false;
    const long long when = std::max(asked, m_pieces[i].begin);
    if (i == m_current && when >= m_pieceStart) {
        *target = {false, static_cast<double>(when - m_pieceStart)};
    } else {
        m_current = i;
        m_pieceStart = when;
        *target = {true, 0};
    }
    return true;
}

bool PlaybackPlan::next()
{
    if (m_current + 1 >= m_pieces.size())
        return false;
    ++m_current;
    m_pieceStart = m_pieces[m_current].begin;
    return true;
}

} // namespace StreamCore
