#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <vector>

namespace StreamCore {

class VideoSurface;

// Gathers the surfaces' repaints into passes: the first new picture after a pass starts a short
// wait on the GUI thread, and every surface with a new picture by its end is repainted in one
// pass. Sixteen windows at 25 pictures a second then wake the GUI thread and flush to the
// window system a quarter as often, with pictures shown at most kGatherMs later: a quarter of
// the time between two pictures of a stream, so that a picture is seldom replaced unseen.
// Lives on the GUI thread; wake() may be called from any thread.
class RepaintBatch : public QObject
{
public:
    static constexpr int kGatherMs = 10;

    // The one batch, made on the GUI thread by the first surface.
    static RepaintBatch &instance();

    void add(VideoSurface *surface);
    void remove(VideoSurface *surface);
    // A surface's picture changed: starts the wait unless one runs.
    void wake();

private:
    RepaintBatch();
    // Repaints the surfaces whose pictures changed.
    void repaint();

    std::vector<VideoSurface *> m_surfaces;
    std::atomic<bool> m_waiting {false};
    QTimer m_timer;
};

} // namespace StreamCore
