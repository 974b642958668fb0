#include "CommonUI/VideoWnd/QVideoWnd.h"

#include "Common/CGlobalEvent.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoSurface.h"
#include "CommonUI/VideoWnd/VideoOverlay.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <StreamCore/StreamCoreTypes.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr int kPlaying = 3;
constexpr int kFailed = 4;
constexpr int kKeepAspect = 0;
// Zoom of one wheel notch, and of one step of the PTZ panel's zoom buttons.
constexpr double kWheelStep = 1.25;
constexpr double kPanelStep = 1.15;

KWGUI::KWMessageNotify *notifier()
{
    return KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
}

} // namespace

QVideoWnd::QVideoWnd(QWidget *parent, int wndIndex)
    : QWidget(parent)
    , m_surface(new QVideoSurface(this))
    , m_controller(new CVideoWnd(this, wndIndex, this))
    , m_statisticsAction(new QAction(tr("Show Statistics"), this))
    , m_statisticsTimer(new QTimer(this))
{
    m_surface->installEventFilter(this);
    m_surface->show();
    m_controller->setHwnd(m_surface->winId());
    connect(this, &QVideoWnd::sgnVideoStatusNotify, this, &QVideoWnd::onWndVideoStatusNotify);
    connect(this, &QVideoWnd::sgnVideoTalkStatusNotify, this,
            &QVideoWnd::onWndVideoTalkStatusNotify);
    connect(Common::CGlobalEvent::Instance(), &Common::CGlobalEvent::sgnUpdateWndInfo, this,
            &QVideoWnd::onUpdateVideoWndInfo);
    connect(Common::CGlobalEvent::Instance(), &Common::CGlobalEvent::sgnDigitalZoom, this,
            &QVideoWnd::onDigitalZoom);
    setContextMenuPolicy(Qt::NoContextMenu);
    setUpStatistics();
}

void QVideoWnd::setUpStatistics()
{
    m_statisticsAction->setCheckable(true);
    m_statisticsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    m_statisticsAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(m_statisticsAction);
    // The shortcut needs the focus, which a click on the window gives.
    setFocusPolicy(Qt::ClickFocus);
    m_statisticsTimer->setInterval(1000);
    connect(m_statisticsTimer, &QTimer::timeout, m_surface, qOverload<>(&QWidget::update));
    connect(m_statisticsAction, &QAction::toggled, m_statisticsTimer,
            [this](bool on) { on ? m_statisticsTimer->start() : m_statisticsTimer->stop(); });
}

QVideoWnd::~QVideoWnd()
{
    // The controller's play object draws through this view: it goes first.
    delete m_controller;
    m_controller = nullptr;
}

int QVideoWnd::wndIndex() const
{
    return m_controller ? m_controller->wndIndex() : -1;
}

void QVideoWnd::beginOpen(const QString &picturePath)
{
    m_surface->setStatusText(QString());
    const QPixmap still(picturePath);
    if (!still.isNull())
        m_surface->setStillPicture(still);
    m_surface->startLoading();
}

int QVideoWnd::openRealVideo(const QString &picturePath, const ChannelInfo_t &channel)
{
    if (!m_controller)
        return -1;
    beginOpen(picturePath);
    const int result = m_controller->openRealVideo(channel);
    if (result != 0)
        closeVideo();
    return result;
}

int QVideoWnd::openPlayback(qint64 begin, qint64 end)
{
    if (!m_controller)
        return -1;
    beginOpen(QString());
    const int result = m_controller->openPlayback(begin, end);
    if (result != 0)
        closeVideo();
    return result;
}

void QVideoWnd::closeVideo()
{
    if (!m_controller)
        return;
    const VideoWndInfo_t info = m_controller->getVideoWndInfo();
    if (info.bRecordOn)
        recordVideo(false);
    if (info.bTalkOn)
        m_controller->openTalk(false);
    if (info.bAudioOn)
        m_controller->openAudio(false);
    m_controller->closeVideo();
    m_surface->setStatusText(QString());
    m_surface->setStillPicture(QPixmap());
    m_surface->stopLoading();
    m_surface->setDefaultPictureOn(true);
    if (info.channel.bHasChannel) {
        emit sgnWndVideoStatusNotify(wndIndex(), 0, m_controller->getVideoWndInfo());
        emit sgnWndResetNotify(wndIndex());
    }
}

int QVideoWnd::recordVideo(bool on)
{
    if (!m_controller)
        return -1;
    const int result = m_controller->recordVideo(on);
    if (result == 0 && !on)
        notifier()->AddRecordNotification(tr("Save Record Succeed"),
                                          m_controller->getVideoWndInfo().recordFilePath);
    return result;
}

int QVideoWnd::snapshotVideo()
{
    if (!m_controller)
        return -1;
    const int result = m_controller->snapshotVideo();
    if (result == 0)
        notifier()->AddFileNotification(tr("SnapShot Succeed"),
                                        m_controller->getVideoWndInfo().snapshotFilePath);
    return result;
}

int QVideoWnd::openTalk(bool on)
{
    return m_controller ? m_controller->openTalk(on) : -1;
}

int QVideoWnd::openAudio(bool on)
{
    return m_controller ? m_controller->openAudio(on) : -1;
}

int QVideoWnd::pauseVideo(bool pause)
{
    return m_controller ? m_controller->pauseVideo(pause) : -1;
}

int QVideoWnd::setPlaySpeed(int speed)
{
    return m_controller ? m_controller->setPlaySpeed(speed) : -1;
}

int QVideoWnd::seek(qint64 time)
{
    return m_controller ? m_controller->seek(time) : -1;
}

int QVideoWnd::stepFrame(int direction)
{
    return m_controller ? m_controller->stepFrame(direction) : -1;
}

void QVideoWnd::setRecordSource(int source)
{
    if (m_controller)
        m_controller->setRecordSource(source);
}

void QVideoWnd::addRecordResult(const QString &day, const RecordQueryResult_t &result)
{
    if (m_controller)
        m_controller->addRecordResult(day, result);
}

RecordQueryResult_t QVideoWnd::getRecordResult(const QString &day) const
{
    return m_controller ? m_controller->getRecordResult(day) : RecordQueryResult_t();
}

int QVideoWnd::getVideoState() const
{
    return m_controller ? m_controller->getVideoState() : -1;
}

VideoWndInfo_t QVideoWnd::getVideoWndInfo() const
{
    return m_controller ? m_controller->getVideoWndInfo() : VideoWndInfo_t();
}

qint64 QVideoWnd::getFrameTime() const
{
    return m_controller ? m_controller->getFrameTime() : -1;
}

qint64 QVideoWnd::getRecordBeginTime() const
{
    return m_controller ? m_controller->getRecordBeginTime() : -1;
}

int QVideoWnd::isPlayByTime() const
{
    return m_controller ? m_controller->isPlayByTime() : -1;
}

RecordSegment_t QVideoWnd::getCurrentRecordInfo() const
{
    return m_controller ? m_controller->getCurrentRecordInfo() : RecordSegment_t();
}

QString QVideoWnd::getSnapShotPath()
{
    return m_controller ? m_controller->getSnapShotPath() : QString();
}

void QVideoWnd::setOption(int key, bool on)
{
    if (m_controller)
        m_controller->setOption(key, on);
}

void QVideoWnd::setRetryHighDefinition(bool on)
{
    if (m_controller)
        m_controller->setRetryHighDefinition(on);
}

void QVideoWnd::onVideoStatusNotify(const VideoStatus_t &status)
{
    emit sgnVideoStatusNotify(status);
}

void QVideoWnd::onVideoTalkStatusNotify(const VideoTalkStatus_t &status)
{
    emit sgnVideoTalkStatusNotify(status);
}

void QVideoWnd::onVideoDraw(HDC hdc, void *info)
{
    if (!m_controller || !hdc || !info)
        return;
    const auto *sizes = static_cast<const StreamCore::DrawInfo *>(info);
    const QSize surface(sizes->viewWidth, sizes->viewHeight);
    VideoOverlay::paint(*hdc, surface, m_controller->getVideoWndInfo(),
                        m_controller->getFrameRate());
    StreamCore::VideoStatistics statistics {};
    if (isStatisticsShown() && m_controller->getStatistics(&statistics) == 0)
        VideoOverlay::paintStatistics(*hdc, surface, statistics);
    if (m_controller->zoom().isZoomed())
        VideoOverlay::paintZoomOverview(*hdc, surface, m_controller->zoom().region());
    VideoOverlay::paintFrameTime(*hdc, surface, m_controller->pausedFrameTimeMs());
}

bool QVideoWnd::isStatisticsShown() const
{
    return m_statisticsAction->isChecked();
}

void QVideoWnd::setStatisticsShown(bool on)
{
    m_statisticsAction->setChecked(on);
}

void QVideoWnd::onWndVideoStatusNotify(VideoStatus_t status)
{
    if (!m_controller)
        return;
    switch (status.status) {
    case 0:
    case 2:
        onOpenStatus(status);
        break;
    case 1:
    case 3:
        setContextMenuPolicy(Qt::NoContextMenu);
        if (m_controller->isReconnecting())
            showReconnecting();
        break;
    case 4:
        if (m_controller->option(kKeepAspect))
            m_surface->setGeometry(aspectRect(rect(), status.width, status.height));
        break;
    case 5:
        closeVideo();
        break;
    default:
        break;
    }
}

void QVideoWnd::onOpenStatus(const VideoStatus_t &status)
{
    if (status.result == kPlaying) {
        setContextMenuPolicy(Qt::DefaultContextMenu);
        m_surface->setStillPicture(QPixmap());
        m_surface->stopLoading();
        m_surface->setDefaultPictureOn(false);
        m_controller->setRetryHighDefinition(false);
        emit sgnWndVideoStatusNotify(wndIndex(), kPlaying, m_controller->getVideoWndInfo());
    } else if (status.result == kFailed) {
        onOpenFailed(status);
    }
}

void QVideoWnd::onOpenFailed(const VideoStatus_t &status)
{
    // While reconnecting, the window keeps its dimmed picture until an attempt succeeds.
    if (m_controller->isReconnecting())
        return;
    ChannelInfo_t channel = m_controller->getChannelInfo();
    const bool retry
        = status.status == 0 && m_controller->retryHighDefinition() && channel.definitionMode == 1;
    const QString still = m_controller->temporarySnapshotPath();
    closeVideo();
    if (retry) {
        channel.definitionMode = 0;
        openRealVideo(still, channel);
        return;
    }
    m_surface->setStatusText(status.message == "open timeout"
                                 ? tr("Request timeout!")
                                 : m_controller->errorText(status.message, status.playKind));
}

void QVideoWnd::showReconnecting()
{
    QPixmap last = m_surface->grab();
    QPainter painter(&last);
    painter.fillRect(last.rect(), QColor(0, 0, 0, 140));
    QFont font = painter.font();
    font.setPixelSize(qMax(1, VideoOverlay::fontPixelHeight(last.height()) * 2));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(last.rect(), Qt::AlignCenter | Qt::TextWordWrap, tr("Reconnecting…"));
    painter.end();
    m_surface->setStillPicture(last);
}

void QVideoWnd::onWndVideoTalkStatusNotify(VideoTalkStatus_t status)
{
    if (m_controller)
        emit sgnWndVideoTalkStatusNotify(wndIndex(), status.isTalking() ? 1 : 0,
                                         m_controller->getVideoWndInfo());
}

void QVideoWnd::onUpdateVideoWndInfo(int index, QString key, QVariant value)
{
    if (m_controller && index == wndIndex())
        m_controller->updateWndInfo(key, value);
}

void QVideoWnd::onDigitalZoom(QString deviceID, int channelID, int steps)
{
    const VideoWndInfo_t info = getVideoWndInfo();
    if (info.bPTZWidgetShow && info.channel.deviceID == deviceID
        && info.channel.channelID == channelID && getVideoState() == kPlaying)
        zoomBy(QRectF(m_surface->rect()).center(), std::pow(kPanelStep, steps));
}

void QVideoWnd::zoomBy(const QPointF &at, double step)
{
    m_controller->zoom().zoomAt(at, m_surface->size(), step);
    m_controller->applyZoom();
}

void QVideoWnd::resetZoom()
{
    if (!m_controller)
        return;
    m_controller->zoom().reset();
    m_controller->applyZoom();
}

bool QVideoWnd::handleZoom(QEvent *event)
{
    if (!m_controller || getVideoState() != kPlaying)
        return false;
    ZoomMapping &zoom = m_controller->zoom();
    switch (event->type()) {
    case QEvent::Wheel: {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const double notches = wheel->angleDelta().y() / 120.0;
        if (notches != 0)
            zoomBy(wheel->position(), std::pow(kWheelStep, notches));
        return notches != 0;
    }
    case QEvent::MouseButtonPress:
        m_dragFrom = static_cast<QMouseEvent *>(event)->pos();
        return false; // the press still selects the window
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!(mouse->buttons() & Qt::LeftButton) || !zoom.isZoomed())
            return false;
        zoom.panBy(mouse->pos() - m_dragFrom, m_surface->size());
        m_dragFrom = mouse->pos();
        m_controller->applyZoom();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (!(static_cast<QMouseEvent *>(event)->modifiers() & Qt::ControlModifier))
            return false;
        resetZoom(); // instead of enlarging the window
        return true;
    default:
        return false;
    }
}

bool QVideoWnd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_surface && handleZoom(event))
        return true;
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (watched != m_surface || !(press || doubleClick))
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    reportMouse(press, mouse->button(), m_surface->mapToParent(mouse->pos()));
    return true;
}

void QVideoWnd::mousePressEvent(QMouseEvent *event)
{
    reportMouse(true, event->button(), event->pos());
}

void QVideoWnd::mouseDoubleClickEvent(QMouseEvent *event)
{
    reportMouse(false, event->button(), event->pos());
}

void QVideoWnd::reportMouse(bool press, Qt::MouseButton button, QPoint at)
{
    if (press)
        emit sgnWndAction(wndIndex(), Wnd_Action_Select, 0);
    else if (button == Qt::LeftButton)
        emit sgnWndAction(wndIndex(), Wnd_Action_DoubleClick, at);
}

void QVideoWnd::contextMenuEvent(QContextMenuEvent *event)
{
    if (getVideoState() != kPlaying) {
        setContextMenuPolicy(Qt::NoContextMenu);
        return;
    }
    QMenu menu(this);
    menu.setObjectName("PlayWnd");
    menu.addAction(tr("Close Video"), this, &QVideoWnd::closeVideo);
    menu.addAction(tr("Close All"),
                   [this] { emit sgnWndAction(wndIndex(), Wnd_Action_CloseAll, 1); });
    menu.addAction(m_statisticsAction);
    if (m_controller->zoom().isZoomed())
        menu.addAction(QStringLiteral("1:1"), this, &QVideoWnd::resetZoom);
    menu.exec(event->globalPos());
}

void QVideoWnd::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeSurface();
}

void QVideoWnd::placeSurface()
{
    const VideoEnc_t enc = getVideoWndInfo().videoEnc;
    if (m_controller && getVideoState() == kPlaying && m_controller->option(kKeepAspect))
        m_surface->setGeometry(aspectRect(rect(), enc.width, enc.height));
    else
        m_surface->setGeometry(rect());
}

QRect QVideoWnd::aspectRect(const QRect &area, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return area;
    const QSize size = QSize(pictureWidth, pictureHeight).scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2, size.width(), size.height());
}
