#pragma once

#include "Records/VideoRecords.h"

#include <QList>
#include <QMap>
#include <QString>

// The record query results of a window for at most three days, keyed by "yyyy-MM-dd". A fourth
// day evicts the cached day farthest from it on the side it does not extend, so a user stepping
// day by day in either direction keeps the neighbouring days.
class RecordDayCache
{
public:
    static constexpr int kMaxDays = 3;

    // Stores the result under day, evicting one day first when a fourth day arrives.
    void add(const QString &day, const RecordQueryResult_t &result);
    // The result of day, or a default record.
    RecordQueryResult_t result(const QString &day) const;
    // The cached results in day order.
    QList<RecordQueryResult_t> results() const { return m_results.values(); }
    // Drops the results; the day list stays (it is only emptied by reset).
    void clearResults() { m_results.clear(); }
    // Drops results and days.
    void reset();
    // Days in ascending order.
    QList<QString> days() const { return m_days; }

private:
    // Index in m_days of the first day later than day, or m_days.size().
    int firstLaterThan(const QString &day) const;

    QMap<QString, RecordQueryResult_t> m_results;
    QList<QString> m_days;
};
