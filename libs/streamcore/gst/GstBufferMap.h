#pragma once

#include <gst/gst.h>

// A buffer's memory mapped for the holder's lifetime.
class GstBufferMap
{
public:
    GstBufferMap(GstBuffer *buffer, GstMapFlags flags)
        : m_buffer(buffer)
        , m_mapped(buffer && gst_buffer_map(buffer, &m_info, flags))
    { }
    ~GstBufferMap()
    {
        if (m_mapped)
            gst_buffer_unmap(m_buffer, &m_info);
    }
    GstBufferMap(const GstBufferMap &) = delete;
    GstBufferMap &operator=(const GstBufferMap &) = delete;

    explicit operator bool() const { return m_mapped; }
    guint8 *data() const { return m_info.data; }
    gsize size() const { return m_info.size; }

private:
    GstBuffer *m_buffer;
    GstMapInfo m_info {};
    bool m_mapped;
};
