#pragma once

#include <mutex>

// Recursive mutex: an observer called under the lock may add or remove observers of the same
// object without dead-locking.
class KMutex
{
public:
    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }
    // True when the lock was taken.
    bool TryLock() { return m_mutex.try_lock(); }

private:
    std::recursive_mutex m_mutex;
};
