#pragma once

#include <gst/gst.h>

#include <utility>

// How each kind of GStreamer or GLib handle is kept alive and let go. GObjects (elements,
// pads, buses, bins, RTSP factories and servers) by default; the rest below.
template<typename T> struct GstRef
{
    // A floating reference (a new element) becomes an ordinary one that the holder owns.
    static void sink(T *p)
    {
        if (g_object_is_floating(p))
            g_object_ref_sink(p);
    }
    static T *ref(T *p) { return static_cast<T *>(g_object_ref(p)); }
    static void unref(T *p) { g_object_unref(p); }
};

template<typename T> struct GstMiniRef
{
    static void sink(T *) { }
    static T *ref(T *p)
    {
        return reinterpret_cast<T *>(gst_mini_object_ref(GST_MINI_OBJECT_CAST(p)));
    }
    static void unref(T *p) { gst_mini_object_unref(GST_MINI_OBJECT_CAST(p)); }
};
template<> struct GstRef<GstCaps> : GstMiniRef<GstCaps>
{
};
template<> struct GstRef<GstSample> : GstMiniRef<GstSample>
{
};
template<> struct GstRef<GstBuffer> : GstMiniRef<GstBuffer>
{
};
template<> struct GstRef<GstMessage> : GstMiniRef<GstMessage>
{
};

// Handles that are freed rather than counted: they cannot be shared.
template<typename T, void (*Free)(T *)> struct GstFreed
{
    static void sink(T *) { }
    static void unref(T *p) { Free(p); }
};
inline void gstFreeText(gchar *text)
{
    g_free(text);
}
template<> struct GstRef<GError> : GstFreed<GError, g_error_free>
{
};
template<> struct GstRef<gchar> : GstFreed<gchar, gstFreeText>
{
};
template<> struct GstRef<GMainLoop> : GstFreed<GMainLoop, g_main_loop_unref>
{
};
template<> struct GstRef<GMainContext> : GstFreed<GMainContext, g_main_context_unref>
{
};

// Owns one reference to a GStreamer or GLib handle and lets it go when destroyed. Move-only.
template<typename T> class GstPtr
{
public:
    GstPtr() = default;
    // Takes over the reference p carries (a floating one is sunk).
    explicit GstPtr(T *p)
        : m_p(p)
    {
        if (m_p)
            GstRef<T>::sink(m_p);
    }
    // A new reference of its own to an object somebody else keeps.
    static GstPtr share(T *p) { return GstPtr(p ? GstRef<T>::ref(p) : nullptr); }
    ~GstPtr() { reset(); }
    GstPtr(GstPtr &&other) noexcept
        : m_p(other.release())
    { }
    GstPtr &operator=(GstPtr &&other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    GstPtr(const GstPtr &) = delete;
    GstPtr &operator=(const GstPtr &) = delete;

    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Gives the reference away.
    T *release() { return std::exchange(m_p, nullptr); }
    void reset(T *p = nullptr)
    {
        if (m_p)
            GstRef<T>::unref(m_p);
        m_p = p;
        if (m_p)
            GstRef<T>::sink(m_p);
    }
    // For calls that hand out a new reference through a pointer (GError **, gchar **).
    T **out()
    {
        reset();
        return &m_p;
    }

private:
    T *m_p = nullptr;
};
