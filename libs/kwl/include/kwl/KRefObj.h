#pragma once

#include "kwl/KStr.h"

#include <atomic>

// Reference-counted object. A new object starts with no reference; the first AddRef takes one.
// When Release drops the last reference the object calls destroy(), which deletes it.
// Classes that combine several reference-counted bases derive from KRefObj virtually, so that
// they share one count.
class KRefObj
{
public:
    KRefObj() = default;

    // Writes a short description ("<type> refs=<n>") into info; returns 0.
    virtual int GetObjInfo(KStr *info);
    // Puts the object back into its freshly constructed state; nothing to do here.
    virtual void Reset();
    virtual ~KRefObj();
    // Ends the object once the last reference is gone; the default deletes it.
    virtual void destroy();

    // Takes a reference; returns the new count.
    long AddRef();
    // Drops a reference and destroys the object at zero; returns the new count.
    long Release();
    // Current count (for diagnostics and tests).
    long RefCount() const;

    KRefObj(const KRefObj &) = delete;
    KRefObj &operator=(const KRefObj &) = delete;

private:
    std::atomic<long> m_refs{0};
};
