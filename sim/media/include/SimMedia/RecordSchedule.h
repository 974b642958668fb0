#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace SimMedia {

// One recording kept by a simulated device (source 0) or by the cloud (source 1).
struct Record
{
    std::string id;
    int64_t begin = 0; // seconds since 1970 (UTC)
    int64_t end = 0;
    int type = 0; // 0 continuous, 1 alarm
    int64_t size = 0; // bytes, as the device reports it
};

// The recordings of every device channel, derived from the device id, channel, source and local
// day alone, so that a test and the platform always agree. The device records most of the day
// with gaps; the cloud keeps short alarm clips. Some days have nothing; nothing is recorded
// after the present moment. A day's last recording may run a few minutes past midnight.
class RecordSchedule
{
public:
    // Recordings that start on the local day y-m-d, in time order.
    static std::vector<Record> day(const std::string &deviceId, int channel, int source, int year,
                                   int month, int dayOfMonth, int64_t now);
    // Recordings that overlap [begin, end], in time order.
    static std::vector<Record> between(const std::string &deviceId, int channel, int source,
                                       int64_t begin, int64_t end, int64_t now);
    // One character per day of the month, "1" when the day has recordings, else "0".
    static std::string monthBitmap(const std::string &deviceId, int channel, int source, int year,
                                   int month, int64_t now);
    // The recording with this id, when the schedule holds it.
    static bool find(const std::string &deviceId, int channel, int source, const std::string &id,
                     int64_t now, Record *record);
};

} // namespace SimMedia
