#pragma once

#include "Fault.h"

#include <mutex>

// The faults waiting for requests, oldest first. Safe to use from any thread.
class FaultTable
{
public:
    // Queues a fault behind the ones already waiting.
    void add(const Fault &fault);
    // The first fault that applies to the request, using up one of its answers.
    std::optional<Fault> take(const QString &method, const QString &path);
    // Drops the faults of one path ("*" included), or every fault when path is empty.
    void clear(const QString &path = {});
    // The faults still waiting.
    QList<Fault> list() const;

private:
    mutable std::mutex m_mutex;
    QList<Fault> m_faults;
};
