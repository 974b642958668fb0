#include "CommonUI/VideoWnd/RecordDayCache.h"

void RecordDayCache::add(const QString &day, const RecordQueryResult_t &result)
{
    if (!m_results.contains(day) && m_results.size() >= kMaxDays) {
        // A day before the cached ones drops the latest, any other day the earliest.
        const int later = firstLaterThan(day);
        const QString evicted = m_days.takeAt(later <= 1 ? 2 : 0);
        m_results.remove(evicted);
    }
    m_results.insert(day, result);
    if (!m_days.contains(day))
        m_days.insert(firstLaterThan(day), day);
}

RecordQueryResult_t RecordDayCache::result(const QString &day) const
{
    return m_results.value(day);
}

void RecordDayCache::reset()
{
    m_results.clear();
    m_days.clear();
}

int RecordDayCache::firstLaterThan(const QString &day) const
{
    int index = 0;
    while (index < m_days.size() && m_days.at(index) <= day)
        ++index;
    return index;
}
