#include "PTZ/QPTZManager.h"

#include "Common/CGlobalEvent.h"
#include "Common/FramelessHelper.h"
#include "ConfigInfo/CBaseInfo.h"
#include "PTZ/QPTZWidget.h"

#include <StreamCore/PtzControlDll.h>
#include <kwl/KPrintLog.h>

#include <QTimer>

namespace {

// A held zoom button zooms one more step this often, in milliseconds.
constexpr int kDigitalRepeatMs = 150;

void stepDigitalZoom(const QString &deviceID, int channelID, int step)
{
    Common::CGlobalEvent::Instance()->DigitalZoom(deviceID, channelID, step);
}

} // namespace

QPTZManager::QPTZManager(QWidget *parent, bool fullScreen)
    : QWidget(parent)
    , m_panel(new QPTZWidget(this))
    , m_frameless(new Common::FramelessHelper(this))
    , m_control(std::make_unique<StreamCore::PtzControlDll>())
    , m_digitalRepeat(new QTimer(this))
{
    m_digitalRepeat->setInterval(kDigitalRepeatMs);
    connect(m_digitalRepeat, &QTimer::timeout, this,
            [this] { stepDigitalZoom(m_deviceID, m_channelID, m_digitalStep); });
    setObjectName("QPTZManager");
    // The panel is the visible part; the host only marks its place.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (fullScreen)
        m_panel->setWindowFlags(m_panel->windowFlags() | Qt::WindowStaysOnTopHint);
    m_frameless->setTitleHeight(QPTZWidget::kTitleHeight);
    m_frameless->setMovable(true);
    m_frameless->setResizable(true);
    m_frameless->setMoveRubberBand(false);
    m_frameless->setResizeRubberBand(false);
    m_frameless->attachWidget(m_panel);
    connect(m_panel, &QPTZWidget::sgnPtzBtnEvent, this, &QPTZManager::onHandlePTZWidgetMsg);
    connect(m_panel, &QPTZWidget::sgnPtzWidgetClose, this, &QPTZManager::onPtzWidgetClose);
    connect(this, &QPTZManager::sgnPtzWidgetClose, Common::CGlobalEvent::Instance(),
            &Common::CGlobalEvent::PTZWidgetClose);
    m_panel->show();
}

QPTZManager::~QPTZManager() = default;

int QPTZManager::operationOf(int code, int action)
{
    if (action == QPTZWidget::Released)
        return kStopOperation;
    switch (code) {
    case QPTZWidget::Up:
        return 0;
    case QPTZWidget::Down:
        return 1;
    case QPTZWidget::Left:
        return 2;
    case QPTZWidget::Right:
        return 3;
    case QPTZWidget::ZoomIn:
        return 9;
    case QPTZWidget::ZoomOut:
        return 8;
    default:
        KLOG(KPrintLog::Info, "unknown PTZ button code %d: sent as stop", code);
        return kStopOperation;
    }
}

void QPTZManager::onSetPTZParams(QString strDevID, int nChannelID)
{
    m_deviceID = strDevID;
    m_channelID = nChannelID;
}

void QPTZManager::onHandlePTZWidgetMsg(int code, int action)
{
    m_code = code;
    m_action = action;
    if (zoomDigitally(code, action))
        return;
    m_token = ConfigInfo::CBaseInfo::Instance().getVeltToken();
    const int operation = operationOf(code, action);
    if (m_deviceID.isEmpty()) {
        KLOG(KPrintLog::Info, "PTZ operation %d refused: the window shows no channel", operation);
        return;
    }
    const QByteArray device = m_deviceID.toUtf8();
    const QByteArray token = m_token.toUtf8();
    const int result = m_control->PtzMoveControl(
        {device.constData(), token.constData(), m_channelID, kMoveDuration, operation});
    if (result != 0)
        KLOG(KPrintLog::Info, "PTZ operation %d on %s channel %d refused by the media library: %d",
             operation, device.constData(), m_channelID, result);
}

bool QPTZManager::zoomDigitally(int code, int action)
{
    if (m_opticalZoom || (code != QPTZWidget::ZoomIn && code != QPTZWidget::ZoomOut))
        return false;
    m_digitalRepeat->stop();
    if (action == QPTZWidget::Pressed) {
        m_digitalStep = code == QPTZWidget::ZoomIn ? 1 : -1;
        stepDigitalZoom(m_deviceID, m_channelID, m_digitalStep);
        m_digitalRepeat->start();
    }
    return true;
}

void QPTZManager::onPtzWidgetClose()
{
    emit sgnPtzWidgetClose();
}

void QPTZManager::followHost()
{
    m_panel->setGeometry(QRect(mapToGlobal(QPoint()), size()));
}

void QPTZManager::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    followHost();
}

void QPTZManager::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    followHost();
}

void QPTZManager::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    followHost();
    m_panel->show();
    m_panel->raise();
}

// The panel is a window of its own, which hiding its parent leaves alone.
void QPTZManager::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_panel->hide();
}
