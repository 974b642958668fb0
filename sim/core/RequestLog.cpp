#include "RequestLog.h"

#include <chrono>

RequestLog::RequestLog(int capacity)
    : m_capacity(static_cast<size_t>(qMax(1, capacity)))
{ }

qint64 RequestLog::add(SimRequest request)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    request.sequence = ++m_lastSequence;
    m_requests.push_back(std::move(request));
    if (m_requests.size() > m_capacity)
        m_requests.pop_front();
    m_added.notify_all();
    return m_lastSequence;
}

QList<SimRequest> RequestLog::requests(const QString &path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QList<SimRequest> result;
    for (const SimRequest &request : m_requests) {
        if (path.isEmpty() || request.path == path)
            result.append(request);
    }
    return result;
}

void RequestLog::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

bool RequestLog::waitFor(const QString &path, int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_added.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return countOf(path) >= count; });
}

int RequestLog::countOf(const QString &path) const
{
    int count = 0;
    for (const SimRequest &request : m_requests) {
        if (path.isEmpty() || request.path == path)
            ++count;
    }
    return count;
}
