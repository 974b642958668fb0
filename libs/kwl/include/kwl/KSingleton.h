#pragma once

#include <atomic>
#include <memory>
#include <mutex>

// When the object a KSingleton made on its own ends.
enum class KSingletonEnd {
    AtExit, // deleted when the process exits (static destruction, after main returns)
    Never, // never deleted: for objects whose threads, windows or connections may still be in
           // use while other statics are destroyed
};

// How a KSingleton makes its object on first use: `new T`. Specialise it for an interface
// whose object is made elsewhere; such a maker must return the same object every time.
template<typename T> struct KSingletonMaker
{
    static T *make() { return new T; }
    static constexpr bool kOwned = true; // false: the made object belongs to someone else
};

// The one process-wide object of T. Instance() makes it on first use under a lock, with a second
// check inside the lock, so that two threads asking at once get the same object; after that it
// costs one atomic load. A class with a private constructor befriends KSingletonMaker<T>.
//
// Tests put a fresh or a stand-in object in place with Reset() and Replace(); both belong to the
// test's own thread while no other thread uses the object. Reset() and Replace() delete the object
// they take out when it is owned here (a replacement always is, a made one unless its maker says
// otherwise); End only decides what happens at process exit.
template<typename T, KSingletonEnd End = KSingletonEnd::AtExit> class KSingleton
{
public:
    // The one object, made on the first call.
    static T &Instance()
    {
        T *object = s_slot.object.load(std::memory_order_acquire);
        if (object)
            return *object;
        std::lock_guard<std::mutex> lock(s_slot.mutex);
        object = s_slot.object.load(std::memory_order_relaxed);
        if (!object) {
            object = KSingletonMaker<T>::make();
            if constexpr (KSingletonMaker<T>::kOwned)
                s_slot.deleter = [](T *made) {
                    delete made;
                };
            s_slot.object.store(object, std::memory_order_release);
        }
        return *object;
    }

    // Puts object (T or a class derived from it) in place of the current one; null empties the
    // slot. Deleted through its own type, so T's destructor may be protected.
    template<typename U> static void Replace(std::unique_ptr<U> object)
    {
        std::lock_guard<std::mutex> lock(s_slot.mutex);
        s_slot.drop();
        if (object)
            s_slot.deleter = [](T *replaced) {
                delete static_cast<U *>(replaced);
            };
        s_slot.object.store(object.release(), std::memory_order_release);
    }

    // Ends the current object, so that the next Instance() makes a new one.
    static void Reset()
    {
        std::lock_guard<std::mutex> lock(s_slot.mutex);
        s_slot.drop();
    }

private:
    struct Slot
    {
        ~Slot()
        {
            if (End == KSingletonEnd::AtExit)
                drop();
        }
        void drop()
        {
            T *object = this->object.exchange(nullptr);
            if (object && deleter)
                deleter(object);
            deleter = nullptr;
        }

        std::mutex mutex;
        std::atomic<T *> object {nullptr};
        void (*deleter)(T *) = nullptr; // null: not ours to delete
    };

    static inline Slot s_slot;
};
