#pragma once

#include "CommonUI/VideoWnd/IVideoWndListener.h"
#include "Records/VideoRecords.h"

#include <QVariant>
#include <QWidget>

class CVideoWnd;
class QAction;
class QTimer;
class QVideoSurface;

// The widget of one video window in a split frame: owns its controller and the surface the
// picture is shown in, shows the loading animation, the status texts and the overlay, offers
// the context menu while a picture plays, and reports the user's clicks to the frame.
class QVideoWnd : public QWidget, public IVideoWndListener
{
    Q_OBJECT

public:
    QVideoWnd(QWidget *parent, int wndIndex);
    ~QVideoWnd() override;

    CVideoWnd *controller() const { return m_controller; }
    QVideoSurface *surface() const { return m_surface; }
    int wndIndex() const;

    // Opens live video; the picture at picturePath shows until the stream's first picture.
    int openRealVideo(const QString &picturePath, const ChannelInfo_t &channel);
    // Opens playback of the current channel between two times (seconds since 1970).
    int openPlayback(qint64 begin, qint64 end);
    // Ends recording, talk and sound, closes the video and shows the default picture.
    void closeVideo();
    // Local recording; switching off tells the user where the file is.
    int recordVideo(bool on);
    // A snapshot; tells the user where the file is.
    int snapshotVideo();

    // Forwards to the controller (-1, nothing or a default record without one).
    int openTalk(bool on);
    int openAudio(bool on);
    int pauseVideo(bool pause);
    int setPlaySpeed(int speed);
    int seek(qint64 time);
    int stepFrame(int direction);
    void setRecordSource(int source);
    void addRecordResult(const QString &day, const RecordQueryResult_t &result);
    RecordQueryResult_t getRecordResult(const QString &day) const;
    int getVideoState() const;
    VideoWndInfo_t getVideoWndInfo() const;
    qint64 getFrameTime() const;
    qint64 getRecordBeginTime() const;
    int isPlayByTime() const;
    RecordSegment_t getCurrentRecordInfo() const;
    QString getSnapShotPath();
    void setOption(int key, bool on);
    void setRetryHighDefinition(bool on);

    // Whether the stream's statistics are drawn over the picture ("Show Statistics", Ctrl+I).
    bool isStatisticsShown() const;
    void setStatisticsShown(bool on);

    // The largest rectangle of the picture's proportions that fits in area, centred.
    static QRect aspectRect(const QRect &area, int pictureWidth, int pictureHeight);

    void onVideoStatusNotify(const VideoStatus_t &status) override;
    void onVideoTalkStatusNotify(const VideoTalkStatus_t &status) override;
    void onVideoDraw(HDC hdc, void *info) override;

Q_SIGNALS:
    void sgnVideoStatusNotify(VideoStatus_t status);
    void sgnVideoTalkStatusNotify(VideoTalkStatus_t status);
    void sgnWndAction(int wndIndex, Wnd_ActionType_e action, QVariant argument);
    void sgnWndVideoStatusNotify(int wndIndex, int operation, VideoWndInfo_t info);
    void sgnWndVideoTalkStatusNotify(int wndIndex, int operation, VideoWndInfo_t info);
    // The window closed its channel: what an owner kept of its record no longer holds.
    void sgnWndResetNotify(int wndIndex);

public Q_SLOTS:
    void onWndVideoStatusNotify(VideoStatus_t status);
    void onWndVideoTalkStatusNotify(VideoTalkStatus_t status);
    void onUpdateVideoWndInfo(int wndIndex, QString key, QVariant value);
    // The PTZ panel's zoom buttons on a camera that cannot zoom: the window showing the panel's
    // channel zooms by steps around its centre.
    void onDigitalZoom(QString deviceID, int channelID, int steps);
    // Shows the whole picture again ("1:1").
    void resetZoom();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void onOpenStatus(const VideoStatus_t &status);
    void onOpenFailed(const VideoStatus_t &status);
    void showReconnecting();
    void beginOpen(const QString &picturePath);
    void placeSurface();
    // Wheel, drag and Ctrl+double-click on a playing picture; true when the event was used.
    bool handleZoom(QEvent *event);
    // Multiplies the digital zoom by step around the surface point at.
    void zoomBy(const QPointF &at, double step);
    void setUpStatistics();
    // A press selects the window; a left double-click (at, in window coordinates) asks for it
    // to fill the frame.
    void reportMouse(bool press, Qt::MouseButton button, QPoint at);

    QVideoSurface *m_surface;
    CVideoWnd *m_controller;
    QAction *m_statisticsAction;
    QTimer *m_statisticsTimer; // repaints a still picture so that its age keeps counting
    QPoint m_dragFrom; // surface point of the last press or drag step
};
