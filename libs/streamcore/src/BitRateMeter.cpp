#include "BitRateMeter.h"

namespace StreamCore {

namespace {

constexpr auto kWindow = std::chrono::seconds(2);
constexpr auto kStep = std::chrono::milliseconds(250);
constexpr auto kHold = std::chrono::seconds(1);

} // namespace

void BitRateMeter::forget(Clock::time_point now)
{
    // Keep one mark at or before the window's start so that the window stays full.
    while (m_marks.size() > 1 && m_marks[1].time <= now - kWindow)
        m_marks.pop_front();
}

void BitRateMeter::add(size_t bytes, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_marks.empty())
        m_marks.push_back({now, m_total});
    m_total += bytes;
    if (now - m_marks.back().time >= kStep)
        m_marks.push_back({now, m_total});
    forget(now);
}

float BitRateMeter::kbps(Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (now >= m_answeredAt && now - m_answeredAt < kHold)
        return m_answer;
    forget(now);
    m_answeredAt = now;
    m_answer = 0;
    if (m_marks.empty())
        return m_answer;
    const Mark &first = m_marks.front();
    const double seconds = std::chrono::duration<double>(now - first.time).count();
    // A stream that stopped shows its rate falling to 0 as the window passes.
    if (seconds >= 0.25)
        m_answer = static_cast<float>((m_total - first.total) * 8.0 / 1000.0 / seconds);
    return m_answer;
}

} // namespace StreamCore
