#include "VideoMonitor/QVideoMonitor.h"

#include "CommonUI/QShadowWidget.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "RecordPlay/QRecordVideoPlay.h"
#include "VideoMonitor/CVideoMonitor.h"

QVideoMonitor::QVideoMonitor(QWidget *parent)
    : QCustomWidget(parent)
    , m_recordVideoPlay(new QRecordVideoPlay(CVideoMonitor::kModuleType, this))
    , m_monitor(std::make_unique<CVideoMonitor>(this))
    , m_shadow(new QShadowWidget(kShadowAlpha, this))
{
    setObjectName("QVideoMonitor");
    m_shadow->hide();
    connect(m_recordVideoPlay, &QRecordVideoPlay::sgnWndVideoStatusNotify, this,
            &QVideoMonitor::onWndVideoStatusNotify);
    connect(m_recordVideoPlay, &QRecordVideoPlay::sgnWndSelectedNotify, this,
            &QVideoMonitor::onWndSelectedNotify);
}

QVideoMonitor::~QVideoMonitor()
{
    // The controller leaves the page's listeners, and the video area reports to nobody, before
    // the video area goes with the children.
    disconnect(m_recordVideoPlay, nullptr, this, nullptr);
    m_monitor.reset();
}

void QVideoMonitor::setWebViewManager(Web::IWebViewManager *manager)
{
    m_monitor->setWebViewManager(manager);
}

void QVideoMonitor::setRect(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
    show();
}

void QVideoMonitor::setMask(const QRect &rect, const QString &name, bool show, bool shade)
{
    const QRect mapped(mapFromParent(rect.topLeft()), rect.size());
    const QRegion united = m_masks.update(mapped, show, name);
    if (united.isEmpty())
        clearMask();
    else
        SetMask(QRegion(this->rect()).xored(united), show);
    m_shadow->UpdateShadow(rect, name, show, shade);
    placeShadow();
}

void QVideoMonitor::openVideos(const QList<ChannelInfo_t> &channels)
{
    if (isHidden())
        return;
    // A channel dropped onto a window names it ("wndID"): the channels open from there.
    if (!channels.isEmpty() && channels.first().wndID >= 0)
        m_recordVideoPlay->frame()->select(channels.first().wndID);
    m_recordVideoPlay->openVideos(channels);
}

void QVideoMonitor::closeVideos(const QList<ChannelInfo_t> &channels)
{
    if (!isHidden())
        m_recordVideoPlay->closeVideos(channels);
}

void QVideoMonitor::notifyDeviceStatus(const QString &text, const ChannelInfo_t &channel)
{
    if (!isHidden())
        m_recordVideoPlay->notifyDeviceStatus(text, channel);
}

void QVideoMonitor::onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    if (m_monitor)
        m_monitor->onWndVideoStatusNotify(wndIndex, status, info);
}

void QVideoMonitor::onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    if (m_monitor)
        m_monitor->onWndSelectedNotify(wndIndex, status, info);
}

void QVideoMonitor::onSetMaskTimeOut()
{
    const bool hidden = isHidden();
    QCustomWidget::onSetMaskTimeOut();
    if (hidden)
        hide();
}

void QVideoMonitor::placeShadow()
{
    const QWidget *cover = parentWidget() ? parentWidget() : this;
    m_shadow->move(cover->mapToGlobal(QPoint(0, 0)));
    m_shadow->resize(cover->size());
}

void QVideoMonitor::resizeEvent(QResizeEvent *event)
{
    QCustomWidget::resizeEvent(event);
    placeShadow();
    m_recordVideoPlay->setGeometry(rect());
    m_recordVideoPlay->show();
}
