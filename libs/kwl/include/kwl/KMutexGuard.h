#pragma once

#include "kwl/KMutex.h"

// Holds a KMutex for the life of the guard.
class KMutexGuard
{
public:
    explicit KMutexGuard(KMutex &mutex) : m_mutex(mutex) { m_mutex.Lock(); }
    ~KMutexGuard() { m_mutex.Unlock(); }
    KMutexGuard(const KMutexGuard &) = delete;
    KMutexGuard &operator=(const KMutexGuard &) = delete;

private:
    KMutex &m_mutex;
};
