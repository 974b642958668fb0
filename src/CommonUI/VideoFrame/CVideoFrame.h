#pragma once

#include "CommonUI/VideoFrame/AutoDefinition.h"
#include "Records/VideoRecords.h"

#include <StreamCore/IMediaObserver.h>

#include <QList>
#include <QMap>
#include <QObject>
#include <QRectF>
#include <QSet>
#include <QVector>

class IVideoFrameListener;
class QVideoWnd;
class QWidget;

// The logic of one split frame of video windows: owns the windows, knows the split, the selected
// window and where each window lies, chooses the windows of newly opened channels, keeps one
// sound and one talk across its windows, runs the windows' record queries and routes their
// answers, and steps playback through the cached records. No widget of its own: its view is
// reached through IVideoFrameListener. GUI thread; the media library's answers are handed over
// to it before they touch a window.
class CVideoFrame : public StreamCore::IMediaObserver
{
public:
    // Frame flags; a missing flag reads false.
    enum Flag {
        FlagOutline = 0, // the view outlines the selected window
        FlagQueryOnLive = 1, // a live window that starts playing queries its records
        FlagQueryOnRefused = 2, // an open refused with -2 queries the window's records
        FlagWindowOption = 3, // also given to every window as its option 0 (keep aspect ratio)
        FlagAutoDefinition = 4, // live windows follow their size (standard / high definition)
    };
    // Owner types: the media events of a frame carry its owner type.
    static constexpr int kOwnerPlayback = 1;
    // The reason code of the queries made by stepping: the frame plays when they are answered.
    static constexpr int kStepQuery = 4;

    CVideoFrame(int ownerType, IVideoFrameListener *listener);
    ~CVideoFrame() override;

    // Creates windows 0 … count-1 as children of parent.
    void createWnds(int count, QWidget *parent);
    void setSplitByCount(int count);
    // Uses layout entry mode (clamped to what the windows can fill) and relays out.
    void setSplitMode(int mode);

    int wndCount() const { return m_wnds.size(); }
    QVideoWnd *wnd(int index) const { return m_wnds.value(index, nullptr); }
    int splitWndCount() const { return m_splitWndCount; }
    int visibleCount() const { return m_visibleCount; }
    void setVisibleCount(int n) { m_visibleCount = n; }
    int splitMode() const { return m_splitMode; }
    int selectedWnd() const { return m_selectedWnd; }
    void setSelectedWnd(int index) { m_selectedWnd = index; }
    int ownerType() const { return m_ownerType; }

    void setFlag(int key, bool value);
    bool flag(int key) const { return m_flags.value(key, false); }

    // Rectangle of window index inside frameRect when visibleCount windows show.
    QRectF getWndRect(int index, const QRectF &frameRect, int visibleCount) const;

    // Opens the channels from the selected window on, enlarging the split when needed.
    void openVideos(const QList<ChannelInfo_t> &channels);
    // Opens channel live in window index; the window's open result, -1 without window.
    int openVideo(int index, const ChannelInfo_t &channel);
    // Opens again what window index shows (live, or playback from its current time).
    int reopenWnd(int index);
    void closeWnd(int index);
    void closeAll();
    // Closes the windows showing one of the channels (channel -1: every channel of the device).
    void closeChannels(const QList<ChannelInfo_t> &channels);
    // A copy of window index's record; a default record without window.
    VideoWndInfo_t wndInfo(int index) const;

    // Operations on the selected window: -1 without one, else the window's result.
    int recordVideo(bool on);
    int snapshotVideo();
    int pauseVideo(bool pause);
    int setRecordSource(int source);
    int setPlaySpeed(int speed);
    int openSoundAlarm(bool on);
    int openLightAlarm(bool on);
    // Sound of the selected window; only one window plays sound. -2 while any window talks.
    int setSound(bool on);
    // Sound off everywhere; the first failure, or 0.
    int closeAllSound();
    // Talk on the selected window; -2 while another window talks.
    int setTalk(bool on);
    // The user's choice of definition for the selected window; it then no longer follows size.
    int setDefinition(int value);

    // Asks the media library for the records of window index's channel between two local
    // times "yyyy-MM-dd HH:mm:ss"; midTime (seconds since 1970) names the queried day.
    bool queryRecord(int index, int sourceType, const QString &start, const QString &end,
                     qint64 midTime, const ChannelInfo_t &channel, int queryType = 0);
    // Asks for the month bitmap of days with records of window index's channel.
    bool queryRecordBitmap(int index, int year, int month);

    // Window index's cached records by day "yyyy-MM-dd".
    QMap<QString, QList<RecordSegment_t>> recordsOf(int index) const;
    // 0: a cached record of time's day or the day before covers time; -2: such a day is cached
    // but nothing covers it; -1: neither day is cached (or no window).
    int findRecordAt(int index, qint64 time) const;
    // 0: a cached record of start's day overlaps [start, end]; -2: the day is cached without
    // one; -1: the day is not cached.
    int hasRecordIn(int index, qint64 start, qint64 end) const;
    // Moves the selected playback window by delta seconds: 0, -1 (no playback), -2 (no record
    // that way), -3 (a day's records were asked for; the step completes when they arrive).
    int stepPlayback(int delta);
    // Every window's play time (0 when it plays no recording).
    QList<qint64> wndTimes() const;
    // Opens window index again as playback from time (seconds since 1970) up to now.
    int playAt(int index, qint64 time);

    // Lets window index follow its new width when automatic definition is on.
    void followWndWidth(int index, int width);
    void setAutoDefinition(const AutoDefinition &rule) { m_autoDefinition = rule; }
    const AutoDefinition &autoDefinition() const { return m_autoDefinition; }

    // Library thread or GUI thread: copies the event and hands it to the GUI thread.
    void OnMediaEvent(const StreamCore::MediaEvent *event) override;

private:
    struct PendingStep
    {
        qint64 target = 0;
        int delta = 0;
        int queries = 0;
    };

    QVideoWnd *selected() const { return wnd(m_selectedWnd); }
    template<typename Fn> int onSelected(Fn fn) const;
    bool anyTalking(int except) const;
    int openChannel(int index, ChannelInfo_t channel);
    int resolveStep(int index, PendingStep step);
    bool dayCached(const QVideoWnd *w, const QString &day) const;
    QList<RecordSegment_t> dayRecords(const QVideoWnd *w, const QString &day) const;
    void deliverRecordResult(const RecordQueryResult_t &result);
    static RecordQueryResult_t recordResultOf(const StreamCore::MediaEvent &event);

    IVideoFrameListener *m_listener;
    QMap<int, QVideoWnd *> m_wnds;
    int m_splitWndCount = 0;
    int m_visibleCount = 0;
    QMap<int, QVector<int>> m_cellMaps;
    int m_splitMode = 1;
    int m_selectedWnd = 0;
    int m_ownerType;
    QMap<int, bool> m_flags;

    AutoDefinition m_autoDefinition;
    QSet<int> m_manualDefinition; // windows whose definition the user chose
    QMap<int, PendingStep> m_pendingSteps;
    // Lives on the GUI thread: media events are queued to it. Destroyed with the frame, it
    // takes the calls still queued along.
    QObject m_guiThread;
};
