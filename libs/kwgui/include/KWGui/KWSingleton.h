#pragma once

#include <QMutex>
#include <QMutexLocker>

#include <atomic>

namespace KWGUI {

// The one object of T, created on first use. Creation takes a lock with a second check
// inside it, so two threads asking at once get the same object. T lives until process exit.
template <typename T>
class KWSingleton
{
public:
    static T *Instance()
    {
        T *object = s_object.load(std::memory_order_acquire);
        if (object)
            return object;
        static QMutex mutex;
        QMutexLocker lock(&mutex);
        object = s_object.load(std::memory_order_relaxed);
        if (!object) {
            object = new T;
            s_object.store(object, std::memory_order_release);
        }
        return object;
    }

private:
    static inline std::atomic<T *> s_object{nullptr};
};

} // namespace KWGUI
