#include "kwl/KRefObj.h"

#include <typeinfo>

int KRefObj::GetObjInfo(KStr *info)
{
    if (info)
        *info = std::string(typeid(*this).name()) + " refs=" + std::to_string(RefCount());
    return 0;
}

void KRefObj::Reset() {}

KRefObj::~KRefObj() = default;

void KRefObj::destroy()
{
    delete this;
}

long KRefObj::AddRef()
{
    return m_refs.fetch_add(1, std::memory_order_relaxed) + 1;
}

long KRefObj::Release()
{
    // acq_rel: every write made while holding a reference is visible to the destroying thread.
    const long left = m_refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0)
        destroy();
    return left;
}

long KRefObj::RefCount() const
{
    return m_refs.load(std::memory_order_relaxed);
}
