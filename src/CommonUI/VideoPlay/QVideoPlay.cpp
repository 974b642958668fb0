#include "CommonUI/VideoPlay/QVideoPlay.h"

#include "Common/CGlobalEvent.h"
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoBar/VideoBarButtons.h"
#include "CommonUI/VideoBar/VideoBarRows.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QHash>
#include <QKeyEvent>
#include <QPushButton>

namespace {

// Seconds a step back or forward moves playback.
constexpr int kStepSeconds = 15;

const QStringList kInitialButtons = {"VB_RecordType", "VB_Audio",      "VB_CloseAll",  "VB_Split",
                                     "VB_PTZCtrl",    "VB_SoundAlarm", "VB_LightAlarm"};

bool hasPTZ(const ChannelInfo_t &channel)
{
    return channel.chnAbility.contains("PT") || channel.devAbility.contains("PT");
}

// The window a number key selects: 1 to 9 the first nine, 0 the tenth; -1 for other keys.
int windowOfKey(int key)
{
    if (key < Qt::Key_0 || key > Qt::Key_9)
        return -1;
    return key == Qt::Key_0 ? 9 : key - Qt::Key_1;
}

} // namespace

QVideoPlay::QVideoPlay(int ownerType, int wndCount, int splitCount, QWidget *parent)
    : QWidget(parent)
    , m_frame(new QVideoFrame(ownerType, this))
    , m_bar(new QVideoBar(this))
{
    // The panel takes the keys its windows and buttons do not use.
    setFocusPolicy(Qt::StrongFocus);
    m_frame->createWnds(wndCount);
    m_frame->setSplitByCount(splitCount);
    m_frame->show();
    connectFrame();
    m_bar->show();
    // The panel keeps the keyboard: a pressed button must not take Space or Tab for itself.
    for (QPushButton *button : m_bar->findChildren<QPushButton *>())
        button->setFocusPolicy(Qt::NoFocus);
    connectBar();
    auto *hub = Common::CGlobalEvent::Instance();
    connect(hub, &Common::CGlobalEvent::sgnUpdateSoundAlarmBtnState, this,
            &QVideoPlay::onUpdateSoundAlarmBtnState);
    connect(hub, &Common::CGlobalEvent::sgnUpdateLightAlarmBtnState, this,
            &QVideoPlay::onUpdateLightAlarmBtnState);
    m_bar->setButtonsVisible(kInitialButtons, true);
}

void QVideoPlay::connectFrame()
{
    connect(m_frame, &QVideoFrame::sgnWndVideoStatusNotify, this,
            &QVideoPlay::onWndVideoStatusNotify);
    connect(m_frame, &QVideoFrame::sgnWndVideoTalkStatusNotify, this,
            &QVideoPlay::onWndVideoTalkStatusNotify);
    connect(m_frame, &QVideoFrame::sgnWndSelectedNotify, this, &QVideoPlay::onWndSelectedNotify);
    connect(m_frame, &QVideoFrame::sgnBeforeOpenNewVideo, this, &QVideoPlay::sgnBeforeOpenNewVideo);
    connect(m_frame, &QVideoFrame::sgnStartQueryRecordNotify, this,
            &QVideoPlay::sgnStartQueryRecordNotify);
    connect(m_frame, &QVideoFrame::sgnEndQueryRecordNotify, this,
            &QVideoPlay::sgnEndQueryRecordNotify);
    connect(m_frame, &QVideoFrame::sgnEndQueryRecordBitmapNotify, this,
            &QVideoPlay::sgnEndQueryRecordBitmapNotify);
    connect(m_frame, &QVideoFrame::sgnWndResetNotify, this, &QVideoPlay::sgnWndResetNotify);
    connect(m_frame, &QVideoFrame::sgnSplitWnd, this, &QVideoPlay::onSplitWnd);
}

void QVideoPlay::connectBar()
{
    connect(m_bar, &QVideoBar::sgnButtonClicked, this, &QVideoPlay::onVideoBarBtnClick);
    connect(m_bar, &QVideoBar::sgnSplitChanged, this, &QVideoPlay::onVideoBarSplitChanged);
    connect(m_bar, &QVideoBar::sgnRecordSpeedSet, this, &QVideoPlay::onVideoBarSpeedChanged);
}

void QVideoPlay::notify(const char *text)
{
    KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(tr(text));
}

void QVideoPlay::resetButton(const QString &name, const QVariant &value)
{
    m_bar->setButtonState(name, !value.toBool());
}

const QHash<QString, QVideoPlay::Action> &QVideoPlay::actions()
{
    static const QHash<QString, Action> table = {
        {"VB_CloseAll",
         [](QVideoPlay &p, const QVariant &) {
             p.m_frame->closeAll();
         }},
        {"VB_FullScreen",
         [](QVideoPlay &p, const QVariant &v) {
             p.setFullScreen(v.toBool());
         }},
        {"VB_LocalRecord",
         [](QVideoPlay &p, const QVariant &v) {
             p.checkToggle("VB_LocalRecord", v, p.m_frame->recordVideo(v.toBool()),
                           QT_TR_NOOP("Open record failed!"), QT_TR_NOOP("Close record failed!"));
         }},
        {"VB_SnapShot",
         [](QVideoPlay &p, const QVariant &) {
             if (p.m_frame->snapshotVideo() != 0)
                 p.notify(QT_TR_NOOP("SnapShot failed!"));
         }},
        {"VB_Talk",
         [](QVideoPlay &p, const QVariant &v) {
             p.onTalkClicked(v);
         }},
        {"VB_Definition",
         [](QVideoPlay &p, const QVariant &v) {
             p.onDefinitionClicked(v);
         }},
        {"VB_Audio",
         [](QVideoPlay &p, const QVariant &v) {
             p.onAudioClicked(v);
         }},
        {"VB_RecordType",
         [](QVideoPlay &p, const QVariant &v) {
             p.m_frame->setRecordSource(v.toInt());
             emit p.sgnRecordTypeChangeNotify(v.toInt());
         }},
        {"VB_Pause",
         [](QVideoPlay &p, const QVariant &v) {
             p.checkToggle("VB_Pause", v, p.m_frame->pauseVideo(v.toBool()),
                           QT_TR_NOOP("Pause failed!"), QT_TR_NOOP("Resume failed!"));
         }},
        {"VB_Back",
         [](QVideoPlay &p, const QVariant &) {
             p.onStepClicked(-kStepSeconds);
         }},
        {"VB_Forward",
         [](QVideoPlay &p, const QVariant &) {
             p.onStepClicked(kStepSeconds);
         }},
        {"VB_OpenDoor",
         [](QVideoPlay &p, const QVariant &) {
             p.onOpenDoorClicked();
         }},
        {"VB_PTZCtrl",
         [](QVideoPlay &p, const QVariant &v) {
             p.onPTZClicked(v);
         }},
        {"VB_SoundAlarm",
         [](QVideoPlay &p, const QVariant &v) {
             p.m_frame->openSoundAlarm(v.toBool());
         }},
        {"VB_LightAlarm",
         [](QVideoPlay &p, const QVariant &v) {
             p.m_frame->openLightAlarm(v.toBool());
         }},
    };
    return table;
}

void QVideoPlay::onVideoBarBtnClick(QString strObjName, QVariant variant)
{
    if (const Action action = actions().value(strObjName))
        action(*this, variant);
}

void QVideoPlay::checkToggle(const QString &name, const QVariant &value, int result,
                             const char *failedOn, const char *failedOff)
{
    if (result == 0)
        return;
    notify(value.toBool() ? failedOn : failedOff);
    resetButton(name, value);
}

void QVideoPlay::onDefinitionClicked(const QVariant &value)
{
    if (m_frame->setDefinition(value.toInt()) == 0)
        return;
    notify(QT_TR_NOOP("Change definition failed!"));
    m_bar->setButtonState("VB_Definition", value.toInt() == 1 ? 0 : 1);
}

void QVideoPlay::onTalkClicked(const QVariant &value)
{
    const bool on = value.toBool();
    if (on) {
        // Talk and sound exclude each other: every window falls silent first.
        if (m_frame->closeAllSound() != 0) {
            m_bar->setButtonState("VB_Audio", true);
            resetButton("VB_Talk", value);
            return;
        }
        m_bar->setButtonState("VB_Audio", false);
    }
    const int result = m_frame->setTalk(on);
    if (result == 0)
        return;
    resetButton("VB_Talk", value);
    if (result == -2)
        notify(QT_TR_NOOP("Other Device or Channel is talking"));
    else
        notify(on ? QT_TR_NOOP("Open talk failed!") : QT_TR_NOOP("Close talk failed!"));
}

void QVideoPlay::onAudioClicked(const QVariant &value)
{
    const bool on = value.toBool();
    const int result = m_frame->setSound(on);
    if (result == 0)
        return;
    resetButton("VB_Audio", value);
    if (result == -2)
        notify(QT_TR_NOOP("Can't operate sound during talking"));
    else
        notify(on ? QT_TR_NOOP("Open sound failed!") : QT_TR_NOOP("Close sound failed!"));
}

void QVideoPlay::onStepClicked(int delta)
{
    const int result = m_frame->stepPlayback(delta);
    if (result == -2)
        notify(QT_TR_NOOP("Sorry, no records found"));
    else if (result == -3)
        notify(QT_TR_NOOP("Wait, query record"));
}

void QVideoPlay::onOpenDoorClicked()
{
    KLOG(KPrintLog::Info,
         "OpenDoorTest##########QVideoPlay::onVideoBarBtnClick strObjName\xef\xbc\x9a %s",
         "VB_OpenDoor");
    emit sgnRemoteOpenDoorNotify(m_frame->wndInfo(m_frame->selectedWnd()));
}

void QVideoPlay::onPTZClicked(const QVariant &value)
{
    // The window keeps whether its PTZ panel shows; told directly, so that a window of the
    // same index in another panel keeps its own.
    if (QVideoWnd *wnd = m_frame->frame()->wnd(m_frame->selectedWnd()))
        wnd->onUpdateVideoWndInfo(wnd->wndIndex(), "bPTZWidgetShow", value.toBool());
    updatePTZPanel();
}

void QVideoPlay::onVideoBarSplitChanged(int count)
{
    m_frame->setSplitByCount(count);
}

void QVideoPlay::onVideoBarSpeedChanged(int speed)
{
    if (m_frame->setPlaySpeed(speed) != 0)
        notify(QT_TR_NOOP("Failed to Speed!"));
    m_bar->setButtonState("VB_SpeedSet", m_frame->wndInfo(m_frame->selectedWnd()).playSpeed);
}

void QVideoPlay::onSplitWnd(int splitMode)
{
    m_bar->setButtonState("VB_Split", splitMode);
    emit sgnSplitWnd(splitMode);
}

void QVideoPlay::onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    VideoBarRows::apply(m_bar, status, info);
    emit sgnWndSelectedNotify(wndIndex, status, info);
    updatePTZPanel();
}

void QVideoPlay::onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    if (wndIndex == m_frame->selectedWnd())
        VideoBarRows::apply(m_bar, status, info);
    emit sgnWndVideoStatusNotify(wndIndex, status, info);
}

void QVideoPlay::onWndVideoTalkStatusNotify(int wndIndex, int operation, VideoWndInfo_t info)
{
    if (wndIndex == m_frame->selectedWnd())
        m_bar->setButtonState("VB_Talk", info.bTalkOn);
    if (operation == 0 && !info.bTalkOn)
        notify(QT_TR_NOOP("Open talk failed, please check your micophone!"));
}

void QVideoPlay::onUpdateSoundAlarmBtnState(int wndIndex, bool on, int remaining)
{
    if (wndIndex == m_frame->selectedWnd())
        m_bar->setSoundAlarmState(on, remaining);
}

void QVideoPlay::onUpdateLightAlarmBtnState(int wndIndex, bool on)
{
    if (wndIndex == m_frame->selectedWnd())
        m_bar->setButtonState("VB_LightAlarm", on);
}

void QVideoPlay::updatePTZPanel()
{
    const VideoWndInfo_t info = m_frame->wndInfo(m_frame->selectedWnd());
    ChannelPTZParams_t params;
    params.deviceID = info.channel.deviceID;
    params.channelID = info.channel.channelID;
    params.bFullScreen = m_fullScreen;
    params.bPTZFlag = hasPTZ(info.channel);
    params.bShow = info.bPTZWidgetShow;
    Common::CGlobalEvent::Instance()->SelectWndInfo(params);
}

void QVideoPlay::setFullScreen(bool on)
{
    if (on && !m_fullScreen) {
        m_normalGeometry = geometry();
        setWindowFlags(windowFlags() | Qt::Window);
        showFullScreen();
    } else if (!on && m_fullScreen) {
        setWindowFlags((windowFlags() & ~Qt::Window) | Qt::SubWindow);
        showNormal();
        setGeometry(m_normalGeometry);
    }
    m_fullScreen = on;
    m_bar->setButtonState("VB_FullScreen", on);
    m_bar->setButtonVisible("VB_OpenDoor", !on);
    updatePTZPanel();
}

bool QVideoPlay::event(QEvent *event)
{
    // Tab and Shift+Tab move the selection instead of the focus.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            selectRelative(key == Qt::Key_Tab ? 1 : -1);
            return true;
        }
    }
    return QWidget::event(event);
}

void QVideoPlay::keyPressEvent(QKeyEvent *event)
{
    if (handleFrameStepKey(event) || handlePanelKey(event))
        return;
    if (event->key() == Qt::Key_Delete) {
        m_frame->closeWnd(m_frame->selectedWnd());
        return;
    }
    if (!m_bar->triggerShortcut(event->key()))
        QWidget::keyPressEvent(event);
}

bool QVideoPlay::handlePanelKey(const QKeyEvent *event)
{
    const int key = event->key();
    const int wnd = windowOfKey(key);
    if (wnd >= 0 && wnd < m_frame->frame()->wndCount()) {
        m_frame->select(wnd);
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_frame->onWndAction(m_frame->selectedWnd(), Wnd_Action_DoubleClick, QPoint());
        return true;
    }
    if (key == Qt::Key_Escape && m_fullScreen) {
        setFullScreen(false);
        return true;
    }
    return false;
}

bool QVideoPlay::handleFrameStepKey(const QKeyEvent *event)
{
    const int direction = VideoBarButtons::frameStepOf(event->key(), event->modifiers());
    if (direction == 0)
        return false;
    // Taken even when the window plays on: Ctrl must not fall through to the 15 s step.
    if (QVideoWnd *wnd = m_frame->frame()->wnd(m_frame->selectedWnd()))
        wnd->stepFrame(direction);
    return true;
}

void QVideoPlay::selectRelative(int step)
{
    const int count = m_frame->frame()->splitWndCount();
    if (count <= 0)
        return;
    m_frame->select((m_frame->selectedWnd() + step + count) % count);
}

void QVideoPlay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRect area = rect();
    m_frame->setGeometry(area.left(), area.top(), area.width(), area.height() - kBarHeight);
    m_bar->setGeometry(area.left(), area.bottom() - kBarHeight, area.width(), kBarHeight);
}
