#pragma once

#include <kwl/KSingleton.h>

#include <memory>

namespace KWGUI {

// The one object of T, made on first use (see KSingleton). Never deleted: the notifier's toasts
// must outlive every widget of the program, and the application object is gone before static
// destruction. Tests put a fresh or a stand-in object in place with Reset() and Replace().
template<typename T> class KWSingleton
{
public:
    static T *Instance() { return &Slot::Instance(); }
    static void Reset() { Slot::Reset(); }
    template<typename U> static void Replace(std::unique_ptr<U> object)
    {
        Slot::Replace(std::move(object));
    }

private:
    using Slot = KSingleton<T, KSingletonEnd::Never>;
};

} // namespace KWGUI
