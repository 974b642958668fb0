#pragma once

#include "Records/VideoRecords.h"

#include <QHash>
#include <QRect>
#include <QVariant>
#include <QWidget>

class QVideoBar;
class QVideoFrame;

// The play panel: a split video frame above its video bar. Every button of the bar acts on the
// frame's selected window, failures are told through the notification pop-up (resetting the
// pressed toggle to the window's real state), the bar follows the selected window, and the panel
// goes full screen as a window of its own. The keyboard drives it too (docs/video-play.md).
class QVideoPlay : public QWidget
{
    Q_OBJECT

public:
    // Height of the bar under the frame.
    static constexpr int kBarHeight = 50;

    QVideoPlay(int ownerType, int wndCount, int splitCount, QWidget *parent = nullptr);

    // The frame and its operations for the owner (open channels, close, record queries, flags).
    QVideoFrame *frame() const { return m_frame; }
    QVideoBar *bar() const { return m_bar; }

    // Full screen of the panel as a top-level window, or back into its parent.
    void setFullScreen(bool on);

Q_SIGNALS:
    // The frame's news, passed on; the selected window's after the bar followed it.
    void sgnWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void sgnWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info);
    // The record type button chose recordSource for the selected window.
    void sgnRecordTypeChangeNotify(int recordSource);
    void sgnBeforeOpenNewVideo(int wndIndex);
    void sgnStartQueryRecordNotify(int wndIndex, int sourceType, QString midTime);
    void sgnEndQueryRecordNotify(RecordQueryResult_t result);
    void sgnEndQueryRecordBitmapNotify(QueryRecordBitmapResult_t result);
    // Window wndIndex closed its channel.
    void sgnWndResetNotify(int wndIndex);
    void sgnSplitWnd(int splitMode);
    // The open-door button was pressed for the selected window's channel.
    void sgnRemoteOpenDoorNotify(VideoWndInfo_t info);

public Q_SLOTS:
    void onVideoBarBtnClick(QString strObjName, QVariant variant);
    void onVideoBarSplitChanged(int count);
    void onVideoBarSpeedChanged(int speed);
    void onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onWndVideoTalkStatusNotify(int wndIndex, int operation, VideoWndInfo_t info);
    void onSplitWnd(int splitMode);
    void onUpdateSoundAlarmBtnState(int wndIndex, bool on, int remaining);
    void onUpdateLightAlarmBtnState(int wndIndex, bool on);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void connectFrame();
    void connectBar();
    // Shows text (translated) in the notification pop-up.
    void notify(const char *text);
    // Sets the toggle name back to the opposite of the value the press asked for.
    void resetButton(const QString &name, const QVariant &value);
    // What each bar button does; names without an entry do nothing.
    using Action = void (*)(QVideoPlay &, const QVariant &);
    static const QHash<QString, Action> &actions();
    // A failed toggle (non-zero result) tells failedOn or failedOff and resets the button.
    void checkToggle(const QString &name, const QVariant &value, int result, const char *failedOn,
                     const char *failedOff);
    void onDefinitionClicked(const QVariant &value);
    void onTalkClicked(const QVariant &value);
    void onAudioClicked(const QVariant &value);
    void onStepClicked(int delta);
    void onOpenDoorClicked();
    void onPTZClicked(const QVariant &value);
    // Tells the event hub to show or hide the PTZ panel for the selected window.
    void updatePTZPanel();
    // The panel's own keys (windows, enlarge, leave full screen); false for the others.
    bool handlePanelKey(const QKeyEvent *event);
    // Ctrl+Left / Ctrl+Right: the selected window's paused playback one picture back or
    // forward; false for other keys.
    bool handleFrameStepKey(const QKeyEvent *event);
    void selectRelative(int step);

    QVideoFrame *m_frame;
    QVideoBar *m_bar;
    QRect m_normalGeometry;
    bool m_fullScreen = false;
};
