#pragma once

#include "CommonUI/VideoFrame/IVideoFrameListener.h"
#include "Records/VideoRecords.h"

#include <QColor>
#include <QVariant>
#include <QWidget>

class CVideoFrame;

// The widget of a split frame: owns its controller, places and shows the video windows, draws
// the gaps between them and the outline of the selected window, handles the windows' clicks
// (select, enlarge to the whole frame and back, close all) and passes the windows' and the
// controller's news on as its own signals.
class QVideoFrame : public QWidget, public IVideoFrameListener
{
    Q_OBJECT
    Q_PROPERTY(QColor defaultLineColor MEMBER m_defaultLineColor)
    Q_PROPERTY(QColor selectedLineColor MEMBER m_selectedLineColor)

public:
    explicit QVideoFrame(int ownerType, QWidget *parent = nullptr);
    ~QVideoFrame() override;

    CVideoFrame *frame() const { return m_frame; }

    // The frame rectangle: the widget less the outer gap.
    QRectF frameRect() const;
    // Window index's rectangle in the frame as now split.
    QRectF wndRect(int index) const;
    // Selects window index when it is shown; tells who listens either way.
    void select(int index);

    // Forwards to the controller (see CVideoFrame).
    void createWnds(int count);
    void setSplitByCount(int count);
    void openVideos(const QList<ChannelInfo_t> &channels);
    int openVideo(int index, const ChannelInfo_t &channel);
    int reopenWnd(int index);
    void closeWnd(int index);
    void closeChannels(const QList<ChannelInfo_t> &channels);
    void closeAll();
    int selectedWnd() const;
    VideoWndInfo_t wndInfo(int index) const;
    QMap<QString, QList<RecordSegment_t>> recordsOf(int index) const;
    int findRecordAt(int index, qint64 time) const;
    int hasRecordIn(int index, qint64 start, qint64 end) const;
    QList<qint64> wndTimes() const;
    int stepPlayback(int delta);
    int playAt(int index, qint64 time);
    void setFlag(int key, bool value);
    int recordVideo(bool on);
    int snapshotVideo();
    int setTalk(bool on);
    int setSound(bool on);
    int closeAllSound();
    int setDefinition(int value);
    int pauseVideo(bool pause);
    int setRecordSource(int source);
    int setPlaySpeed(int speed);
    int openSoundAlarm(bool on);
    int openLightAlarm(bool on);
    // A record query for window index; tells sgnStartQueryRecordNotify when it was made.
    bool queryRecord(int index, int sourceType, const QString &start, const QString &end,
                     qint64 midTime, const ChannelInfo_t &channel, int queryType = 0);
    bool queryRecordBitmap(int index, int year, int month);
    // Yesterday 22:00:00 to today 23:59:59 from the device, for window index.
    void queryDefaultRecords(int index, const VideoWndInfo_t &info);

    void onWndCreated(QVideoWnd *wnd, int index) override;
    void onChannelOpened(QVideoWnd *wnd, int index, int result) override;
    void onSelect(int index) override;
    void onRelayout() override;
    void onRecordQueryEnded(const RecordQueryResult_t &result) override;
    void onRecordBitmapQueryEnded(const QueryRecordBitmapResult_t &result) override;

Q_SIGNALS:
    void sgnWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void sgnWndVideoTalkStatusNotify(int wndIndex, int operation, VideoWndInfo_t info);
    void sgnWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info);
    void sgnBeforeOpenNewVideo(int wndIndex);
    void sgnStartQueryRecordNotify(int wndIndex, int sourceType, QString midTime);
    void sgnEndQueryRecordNotify(RecordQueryResult_t result);
    void sgnEndQueryRecordBitmapNotify(QueryRecordBitmapResult_t result);
    void sgnSplitWnd(int splitMode);
    void sgnWndResetNotify(int wndIndex);

public Q_SLOTS:
    void onWndAction(int wndIndex, Wnd_ActionType_e action, QVariant value);
    void onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeWnds();
    QRegion borderRegion(int index) const;

    CVideoFrame *m_frame;
    QColor m_defaultLineColor {"#202227"};
    QColor m_selectedLineColor {"#DA382E"};
};
