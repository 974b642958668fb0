#include "VideoSurface.h"

#include "FrameSlot.h"
#include "RepaintBatch.h"

#include <gst/video/video.h>

#include <QEvent>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>

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
    RepaintBatch::instance().add(this);
    m_slot->setWakeUp([] { RepaintBatch::instance().wake(); });
}

VideoSurface::~VideoSurface()
{
    m_slot->setWakeUp(nullptr);
    RepaintBatch::instance().remove(this);
}

bool VideoSurface::pictureWaiting() const
{
    return m_slot->waiting();
}

void VideoSurface::setDrawFun(DrawFun fun, void *user)
{
    m_drawFun = fun;
    m_drawUser = user;
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

void VideoSurface::paintEvent(QPaintEvent *)
{
    if (GstPtr<GstSample> newest = m_slot->take()) {
        if (newest.get() != m_shown.get())
            m_displayMeter.shown();
        m_shown = std::move(newest);
    }
    QPainter painter(this);
    GstCaps *caps = m_shown ? gst_sample_get_caps(m_shown.get()) : nullptr;
    if (caps != m_shownCaps.get()) {
        m_shownCaps = GstPtr<GstCaps>::share(caps);
        m_shownInfoValid = caps && gst_video_info_from_caps(&m_shownInfo, caps);
    }
    GstVideoInfo &info = m_shownInfo;
    GstVideoFrame frame;
    if (!m_shownInfoValid
        || !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(m_shown.get()),
                                GST_MAP_READ)) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const int w = GST_VIDEO_INFO_WIDTH(&info);
    const int h = GST_VIDEO_INFO_HEIGHT(&info);
    if (!paintInPlace(painter, frame))
        paintThroughImage(painter, frame);
    gst_video_frame_unmap(&frame);
    ++m_painted;
    if (m_drawFun) {
        DrawInfo drawInfo {w, h, width(), height()};
        m_drawFun(m_handle, &painter, &drawInfo, m_drawUser);
    }
}

bool VideoSurface::paintInPlace(QPainter &painter, const GstVideoFrame &frame)
{
    // Only into a backing store of 32-bit pixels that the painter reaches without scaling, and
    // only when the whole surface is being painted: the pixels outside the painted region may
    // belong to children drawn over it.
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || !engine->paintDevice() || engine->paintDevice()->devType() != QInternal::Image
        || painter.deviceTransform().type() > QTransform::TxTranslate)
        return false;
    auto *store = static_cast<QImage *>(engine->paintDevice());
    const QRect target = rect().translated(int(painter.deviceTransform().dx()),
                                           int(painter.deviceTransform().dy()));
    const QRegion clip = engine->systemClip();
    if ((store->format() != QImage::Format_RGB32
         && store->format() != QImage::Format_ARGB32_Premultiplied)
        || store->devicePixelRatio() != 1 || !store->rect().contains(target)
        || (!clip.isEmpty() && !(QRegion(target) - clip).isEmpty()))
        return false;
    // The engine draws into these very bytes; bits() could detach the store from it.
    auto *first = const_cast<uchar *>(store->constBits()) + target.y() * store->bytesPerLine()
        + target.x() * 4;
    return m_converter.convert(frame, m_region, first, store->bytesPerLine(), target.width(),
                               target.height());
}

void VideoSurface::paintThroughImage(QPainter &painter, const GstVideoFrame &frame)
{
    if (m_picture.size() != size())
        m_picture = QImage(size(), QImage::Format_RGB32);
    if (!m_converter.convert(frame, m_region, m_picture.bits(), m_picture.bytesPerLine(), width(),
                             height())) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(QPointF(0, 0), m_picture);
}

} // namespace StreamCore
