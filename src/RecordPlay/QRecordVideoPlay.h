#pragma once

#include "Records/VideoRecords.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QWidget>

class PlaybackSync;
class QPushButton;
class QTimeProgressBar;
class QTimer;
class QVideoFrame;
class QVideoPlay;

// The video area of the live view: a play panel of 16 windows above the playback time bar and
// its record calendar. The same windows show live video and recordings; this widget queries a
// window's records of a day, draws them on the window's row, moves the rows' play indicators,
// plays from the time picked on the bar or in the calendar, marks the days holding recordings
// and switches a window back to live video (docs/playback.md).
class QRecordVideoPlay : public QWidget
{
    Q_OBJECT

public:
    // Height of the time bar under the panel.
    static constexpr int kTimeBarHeight = 160;
    // Reason codes of the record queries made here, handed back with their answers.
    enum QueryReason {
        QueryShowDay = 2, // draw the answer on the row
        QueryPlay = 1, // draw it, then play the window at the queried moment
    };

    QRecordVideoPlay(int ownerType, QWidget *parent = nullptr);

    QVideoPlay *panel() const { return m_panel; }
    QVideoFrame *frame() const;
    QTimeProgressBar *timeBar() const { return m_timeBar; }
    QTimer *timer() const { return m_timer; }
    // Synchronised playback and its toggle on the time bar ("syncBtn").
    PlaybackSync *sync() const { return m_sync; }
    QPushButton *syncButton() const { return m_syncButton; }

    // Opens the channels from the selected window on.
    void openVideos(const QList<ChannelInfo_t> &channels);
    // Closes the windows showing one of the channels.
    void closeVideos(const QList<ChannelInfo_t> &channels);
    // "offline" or "delete" closes the channel's windows; other texts change nothing.
    void notifyDeviceStatus(const QString &text, const ChannelInfo_t &channel);

    // Plays window index at time (seconds since 1970): 0 when cached records cover it, -1 when
    // nothing is cached (the records are asked for and the window plays when they cover it),
    // -2 when the cache has a gap there (the window closes and "No Video Record" shows).
    int playAt(int index, qint64 time);
    // Shows day in window index's row and asks for its records.
    void showDay(int index, const QDate &day);
    // The day window index's row shows (invalid before one was shown).
    QDate shownDay(int index) const { return m_days.value(index); }

Q_SIGNALS:
    void sgnWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void sgnWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info);

public Q_SLOTS:
    void onTimeOut();
    void onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onBeforeOpenNewVideo(int wndIndex);
    void onStartQueryRecordNotify(int wndIndex, int sourceType, QString midTime);
    void onEndQueryRecordNotify(RecordQueryResult_t result);
    void onEndQueryRecordBitmapNotify(QueryRecordBitmapResult_t result);
    void onRecordTypeChangeNotify(int recordSource);
    void onWndResetNotify(int wndIndex);
    void onProgressBarDbClicked(int wndIndex, int time);
    void onOnProgressBarSeekVideo(int wndIndex, int time);
    void onProgressBarQueryRecord(int wndIndex, int start, int end);
    void onProgressBarCalendarBarTimeChanged(int wndIndex, QDateTime day);
    void onStartRealPlay(int wndIndex);
    void onProgressBarCalendarPopDialogTimeChanged(int wndIndex, QDateTime time);
    void onCalendarShow();
    void onStartYearMonthChanged(int year, int month);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void connectPanel();
    void connectTimeBar();
    void addSyncToggle();
    // In synchronised playback the bar's pause, steps and speed act on every window.
    void onBarButton(const QString &name, const QVariant &value);
    void onBarSpeed(int speed);
    // Asks for window index's records from 22:00 of the day before first to the end of last;
    // a past day already cached is not asked for again.
    void queryDays(int index, const QDate &first, const QDate &last, qint64 midTime,
                   QueryReason reason);
    // The row of window index shows every record of the window's cache.
    void fillRow(int index);
    // Clears the calendar's marks of a month and asks for the selected window's.
    void refreshMonthMarks(int year, int month);
    static void notifyNoRecord();

    QVideoPlay *m_panel;
    QTimeProgressBar *m_timeBar;
    QTimer *m_timer;
    PlaybackSync *m_sync;
    QPushButton *m_syncButton = nullptr;
    QMap<int, QDate> m_days; // the day each window's row shows
};
