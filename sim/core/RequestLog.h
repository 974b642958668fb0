#pragma once

#include "SimRequest.h"

#include <condition_variable>
#include <deque>
#include <mutex>

// The requests the platform received, oldest first, up to a capacity (older ones are dropped).
// Safe to use from any thread.
class RequestLog
{
public:
    explicit RequestLog(int capacity = 2000);

    // Keeps a copy of the request and returns its sequence number (1, 2, ...).
    qint64 add(SimRequest request);
    // The kept requests, all of them or those of one path.
    QList<SimRequest> requests(const QString &path = {}) const;
    // Forgets every kept request; numbering goes on.
    void clear();
    // Waits until at least count requests of the path (every path when empty) are kept.
    bool waitFor(const QString &path, int count, int timeoutMs) const;

private:
    int countOf(const QString &path) const;

    const size_t m_capacity;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_added;
    std::deque<SimRequest> m_requests;
    qint64 m_lastSequence = 0;
};
