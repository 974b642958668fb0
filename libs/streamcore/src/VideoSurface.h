#pragma once

#include "DisplayMeter.h"
#include "GstPtr.h"
#include "PictureConverter.h"
#include "StreamCore/VideoPlay.h"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <memory>

namespace StreamCore {

class FrameSlot;

// The library's own raster surface inside the host window: fills the host, paints the newest
// picture and then lets the registered draw function paint over it. It never takes mouse
// input, so clicks reach the host.
class VideoSurface : public QWidget
{
    Q_OBJECT

public:
    VideoSurface(QWidget *host, std::shared_ptr<FrameSlot> slot, int handle);
    ~VideoSurface() override;

    void setDrawFun(DrawFun fun, void *user);
    // The part of the picture shown, in fractions of its width and height.
    void setDisplayRegion(const QRectF &region);
    // Drops the shown picture (the stream stopped).
    void clearPicture();
    // Whether a picture came that was not painted yet.
    bool pictureWaiting() const;
    // Pictures painted so far.
    long long paintedFrames() const { return m_painted; }
    // The new pictures painted so far.
    DisplayMeter &displayMeter() { return m_displayMeter; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Scales and converts the part of the picture shown straight into the window's backing
    // store; false when the store is not one it can write into.
    bool paintInPlace(QPainter &painter, const GstVideoFrame &frame);
    // Scales and converts the part shown into an image kept for the next one, then draws it.
    void paintThroughImage(QPainter &painter, const GstVideoFrame &frame);

    std::shared_ptr<FrameSlot> m_slot;
    int m_handle;
    DrawFun m_drawFun = nullptr;
    void *m_drawUser = nullptr;
    QRectF m_region {0, 0, 1, 1};
    GstPtr<GstSample> m_shown;
    // The layout of the shown picture, read from its caps again only when they change: a
    // decoder hands every picture of a stream over with the same caps.
    GstPtr<GstCaps> m_shownCaps;
    GstVideoInfo m_shownInfo {};
    bool m_shownInfoValid = false;
    PictureConverter m_converter;
    QImage m_picture;
    long long m_painted = 0;
    DisplayMeter m_displayMeter;
};

} // namespace StreamCore
