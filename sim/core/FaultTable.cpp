#include "FaultTable.h"

#include <algorithm>

void FaultTable::add(const Fault &fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.append(fault);
}

std::optional<Fault> FaultTable::take(const QString &method, const QString &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (!it->matches(method, path))
            continue;
        const Fault fault = *it;
        if (it->times > 0 && --it->times == 0)
            m_faults.erase(it);
        return fault;
    }
    return std::nullopt;
}

void FaultTable::clear(const QString &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (path.isEmpty())
        m_faults.clear();
    else
        m_faults.erase(std::remove_if(m_faults.begin(), m_faults.end(),
                                      [&](const Fault &f) { return f.path == path; }),
                       m_faults.end());
}

QList<Fault> FaultTable::list() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults;
}
