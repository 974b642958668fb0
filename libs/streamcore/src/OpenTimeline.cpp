#include "OpenTimeline.h"

namespace StreamCore {

void OpenTimeline::mark(Step step)
{
    Clock::rep unset = 0;
    m_marks[step].compare_exchange_strong(unset, Clock::now().time_since_epoch().count());
}

long long OpenTimeline::msAfter(Clock::time_point since, Step step) const
{
    const Clock::rep at = m_marks[step].load();
    return at == 0 ? -1 : msBetween(since, Clock::time_point(Clock::duration(at)));
}

long long OpenTimeline::msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

} // namespace StreamCore
