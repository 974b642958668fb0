#pragma once

#include <kwl/KMutex.h>
#include <kwl/KMutexGuard.h>

#include <algorithm>
#include <vector>

namespace StreamCore {

// Observers of one library object. Adding and removing happen under the object's mutex; an
// observer removed while events are delivered gets no further call.
template<typename Observer> class ObserverList
{
public:
    explicit ObserverList(KMutex &mutex)
        : m_mutex(mutex)
    { }

    // 0, or -1 for a null or already added observer.
    int add(Observer *observer)
    {
        KMutexGuard guard(m_mutex);
        if (!observer || std::find(m_list.begin(), m_list.end(), observer) != m_list.end())
            return -1;
        m_list.push_back(observer);
        return 0;
    }
    // 0, or -1 when the observer was not added.
    int remove(Observer *observer)
    {
        KMutexGuard guard(m_mutex);
        auto it = std::find(m_list.begin(), m_list.end(), observer);
        if (it == m_list.end())
            return -1;
        m_list.erase(it);
        return 0;
    }
    // Calls fn(observer) for each observer, holding the mutex (it is recursive: observers may
    // add or remove observers from the call).
    template<typename Fn> void forEach(Fn fn)
    {
        KMutexGuard guard(m_mutex);
        const std::vector<Observer *> snapshot = m_list;
        for (Observer *o : snapshot) {
            if (std::find(m_list.begin(), m_list.end(), o) != m_list.end())
                fn(o);
        }
    }

private:
    KMutex &m_mutex;
    std::vector<Observer *> m_list;
};

} // namespace StreamCore
