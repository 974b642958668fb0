#pragma once

#include <QMutex>
#include <QMutexLocker>

#include <atomic>
#include <memory>

namespace ConfigInfo {

// Owner of the one object of a settings holder. The object is created on first use under a lock
// with a second check inside it, so two threads asking at once get the same object, and it is
// destroyed at process exit. T makes its constructor private and befriends ConfigSingleton<T>.
template<typename T> class ConfigSingleton
{
public:
    // The one object, created (and so loaded) on the first call.
    static T &Instance()
    {
        T *object = s_object.load(std::memory_order_acquire);
        if (object)
            return *object;
        QMutexLocker lock(&s_mutex);
        object = s_object.load(std::memory_order_relaxed);
        if (!object) {
            s_owner.reset(new T);
            object = s_owner.get();
            s_object.store(object, std::memory_order_release);
        }
        return *object;
    }

private:
    static inline QMutex s_mutex;
    static inline std::unique_ptr<T> s_owner;
    static inline std::atomic<T *> s_object {nullptr};
};

} // namespace ConfigInfo
