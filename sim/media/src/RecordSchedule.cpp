#include "SimMedia/RecordSchedule.h"

#include <QDate>
#include <QDateTime>

namespace SimMedia {

namespace {

// A small deterministic generator (splitmix64): the same seed gives the same day everywhere.
class DayRandom
{
public:
    explicit DayRandom(uint64_t seed)
        : m_state(seed)
    { }
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A value in [low, high].
    int64_t between(int64_t low, int64_t high)
    {
        return low + static_cast<int64_t>(next() % static_cast<uint64_t>(high - low + 1));
    }

private:
    uint64_t m_state;
};

uint64_t seedOf(const std::string &deviceId, int channel, int source, const QDate &date)
{
    uint64_t hash = 1469598103934665603ull;
    const std::string key = deviceId + "/" + std::to_string(channel) + "/" + std::to_string(source)
        + "/" + std::to_string(date.toJulianDay());
    for (unsigned char c : key)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

int64_t localMidnight(const QDate &date)
{
    return QDateTime(date, QTime(0, 0)).toSecsSinceEpoch();
}

std::string recordId(int source, int channel, int64_t begin)
{
    return (source == 0 ? "dev-" : "cloud-") + std::to_string(channel) + "-"
        + std::to_string(begin);
}

// Minutes: the first recording starts at least 15 minutes into the day and the last one may
// run at most 10 minutes past midnight, so that neighbouring days never overlap.
constexpr int64_t kFirstStart = 15 * 60;
constexpr int64_t kOverrun = 10 * 60;

std::vector<Record> generate(const std::string &deviceId, int channel, int source,
                             const QDate &date, int64_t now)
{
    std::vector<Record> records;
    const int64_t dayStart = localMidnight(date);
    const int64_t dayEnd = localMidnight(date.addDays(1));
    if (dayStart > now)
        return records;
    DayRandom random(seedOf(deviceId, channel, source, date));
    if (random.next() % 9 == 0)
        return records; // a day without recordings
    const bool cloud = source != 0;
    int64_t t = dayStart + kFirstStart + random.between(0, cloud ? 3600 : 600);
    while (t < dayEnd) {
        const int64_t length = cloud ? random.between(60, 480) : random.between(1200, 7200);
        Record r;
        r.begin = t;
        r.end = std::min(t + length, dayEnd + kOverrun);
        r.type = cloud ? 1 : (random.next() % 5 == 0 ? 1 : 0);
        if (r.begin >= now)
            break;
        r.end = std::min(r.end, now);
        r.id = recordId(source, channel, r.begin);
        r.size = (r.end - r.begin) * 64 * 1024;
        records.push_back(r);
        t = r.end + (cloud ? random.between(1200, 7200) : random.between(120, 1800));
    }
    return records;
}

QDate localDate(int64_t t)
{
    return QDateTime::fromSecsSinceEpoch(t).date();
}

} // namespace

std::vector<Record> RecordSchedule::day(const std::string &deviceId, int channel, int source,
                                        int year, int month, int dayOfMonth, int64_t now)
{
    const QDate date(year, month, dayOfMonth);
    if (!date.isValid())
        return {};
    return generate(deviceId, channel, source, date, now);
}

std::vector<Record> RecordSchedule::between(const std::string &deviceId, int channel, int source,
                                            int64_t begin, int64_t end, int64_t now)
{
    std::vector<Record> found;
    if (end < begin)
        return found;
    // A recording of the day before may run into the span.
    const QDate last = localDate(end);
    for (QDate d = localDate(begin).addDays(-1); d <= last; d = d.addDays(1)) {
        for (const Record &r : generate(deviceId, channel, source, d, now)) {
            if (r.end >= begin && r.begin <= end)
                found.push_back(r);
        }
    }
    return found;
}

std::string RecordSchedule::monthBitmap(const std::string &deviceId, int channel, int source,
                                        int year, int month, int64_t now)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return {};
    std::string bitmap;
    for (int d = 1; d <= first.daysInMonth(); ++d)
        bitmap
            += generate(deviceId, channel, source, QDate(year, month, d), now).empty() ? '0' : '1';
    return bitmap;
}

bool RecordSchedule::find(const std::string &deviceId, int channel, int source,
                          const std::string &id, int64_t now, Record *record)
{
    const auto dash = id.rfind('-');
    if (dash == std::string::npos)
        return false;
    const int64_t begin = std::atoll(id.c_str() + dash + 1);
    for (const Record &r : between(deviceId, channel, source, begin, begin, now)) {
        if (r.id == id) {
            *record = r;
            return true;
        }
    }
    return false;
}

} // namespace SimMedia
