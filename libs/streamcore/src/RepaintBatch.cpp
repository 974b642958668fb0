#include "RepaintBatch.h"

#include "VideoSurface.h"

#include <algorithm>

namespace StreamCore {

RepaintBatch &RepaintBatch::instance()
{
    // Never destroyed: surfaces may outlive static destruction order at exit.
    static auto *batch = new RepaintBatch;
    return *batch;
}

RepaintBatch::RepaintBatch()
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kGatherMs);
    connect(&m_timer, &QTimer::timeout, this, &RepaintBatch::repaint);
}

void RepaintBatch::add(VideoSurface *surface)
{
    m_surfaces.push_back(surface);
}

void RepaintBatch::remove(VideoSurface *surface)
{
    m_surfaces.erase(std::remove(m_surfaces.begin(), m_surfaces.end(), surface), m_surfaces.end());
}

void RepaintBatch::wake()
{
    if (m_waiting.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this, [this] { m_timer.start(); }, Qt::QueuedConnection);
}

void RepaintBatch::repaint()
{
    // Cleared first: a picture arriving from here on starts the next wait.
    m_waiting = false;
    for (VideoSurface *surface : m_surfaces) {
        if (surface->pictureWaiting())
            surface->update();
    }
}

} // namespace StreamCore
