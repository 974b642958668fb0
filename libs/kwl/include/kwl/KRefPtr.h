#pragma once

#include <utility>

// Owning pointer to a reference-counted object (KRefObj or anything with AddRef/Release):
// takes a reference when it receives the object and drops it when it lets go, so that callers
// never call Release by hand.
template <typename T>
class KRefPtr
{
public:
    KRefPtr() = default;
    KRefPtr(T *object) : m_object(object) // NOLINT: implicit on purpose, as for a raw pointer
    {
        if (m_object)
            m_object->AddRef();
    }
    KRefPtr(const KRefPtr &other) : KRefPtr(other.m_object) {}
    KRefPtr(KRefPtr &&other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~KRefPtr() { reset(); }

    KRefPtr &operator=(KRefPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    // Drops the reference held, if any.
    void reset()
    {
        if (T *object = std::exchange(m_object, nullptr))
            object->Release();
    }

    T *get() const { return m_object; }
    T *operator->() const { return m_object; }
    T &operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T *m_object = nullptr;
};
