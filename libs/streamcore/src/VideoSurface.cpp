#include "VideoSurface.h"

#include "FrameSlot.h"

#include <gst/video/video.h>

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>

namespace StreamCore {

VideoSurface::VideoSurface(QWidget *host, std::shared_ptr<FrameSlot> slot, int handle)
    : QWidget(host)
    , m_slot(std::move(slot))
    , m_handle(handle)
{
    setObjectName("StreamCoreSurface");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(host->rect());
    // Below the host's own children (loading animation, still picture).
    lower();
    host->installEventFilter(this);
    QPointer<VideoSurface> self(this);
    m_slot->setWakeUp([self] {
        QMetaObject::invokeMethod(
            self.data(),
            [self] {
                if (self)
                    self->update();
            },
            Qt::QueuedConnection);
    });
}

VideoSurface::~VideoSurface()
{
    m_slot->setWakeUp(nullptr);
}

void VideoSurface::setDrawFun(DrawFun fun, void *user)
{
    m_drawFun = fun;
    m_drawUser = user;
}

void VideoSurface::setSizeListener(std::function<void(int, int)> listener)
{
    m_sizeListener = std::move(listener);
    if (m_sizeListener)
        m_sizeListener(width(), height());
}

void VideoSurface::setDisplayRegion(const QRectF &region)
{
    m_region = region;
    update();
}

void VideoSurface::clearPicture()
{
    m_shown.reset();
    update();
}

bool VideoSurface::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void VideoSurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_sizeListener)
        m_sizeListener(width(), height());
}

void VideoSurface::paintEvent(QPaintEvent *)
{
    if (GstPtr<GstSample> newest = m_slot->take()) {
        if (newest.get() != m_shown.get())
            m_displayMeter.shown();
        m_shown = std::move(newest);
    }
    QPainter painter(this);
    if (!m_shown) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    GstVideoInfo info;
    GstVideoFrame frame;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(m_shown.get()))
        || !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(m_shown.get()),
                                GST_MAP_READ)) {
        return;
    }
    const int w = GST_VIDEO_INFO_WIDTH(&info);
    const int h = GST_VIDEO_INFO_HEIGHT(&info);
    // BGRx in memory is what QImage calls RGB32 on little-endian machines.
    const QImage image(static_cast<const uchar *>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), w, h,
                       GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32);
    const QRectF part(m_region.x() * w, m_region.y() * h, m_region.width() * w,
                      m_region.height() * h);
    if (part.size() == QSizeF(width(), height()))
        painter.drawImage(QPointF(0, 0), image, part);
    else
        painter.drawImage(QRectF(rect()), image, part);
    gst_video_frame_unmap(&frame);
    ++m_painted;
    if (m_drawFun) {
        DrawInfo drawInfo {w, h, width(), height()};
        m_drawFun(m_handle, &painter, &drawInfo, m_drawUser);
    }
}

} // namespace StreamCore
