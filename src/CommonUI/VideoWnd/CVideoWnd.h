#pragma once

#include "CommonUI/VideoWnd/CameraAlarms.h"
#include "CommonUI/VideoWnd/ReconnectSchedule.h"
#include "CommonUI/VideoWnd/RecordDayCache.h"
#include "CommonUI/VideoWnd/ZoomMapping.h"
#include "Records/VideoRecords.h"

#include <StreamCore/ITalkObserver.h>
#include <StreamCore/IVideoObserver.h>
#include <StreamCore/VideoStatistics.h>
#include <winport/Hdc.h>

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <cstdint>

class ChannelProbe;
class IVideoWndListener;
class QTimer;

namespace StreamCore {
class AudioTalk;
class VideoPlay;
struct RecordInfo;
} // namespace StreamCore

// The logic of one video window: owns the window's play object of the media library, keeps the
// window's VideoWndInfo_t, opens live video and playback, switches sound, talk, local recording,
// snapshots and (through CameraAlarms) the camera's white light and siren, and turns the
// library's events into records for its view. A lost live stream is reopened with a back-off
// for as long as the window holds the channel, and at once when a probe finds the device
// answering again during a long wait. GUI thread; library events arriving elsewhere are handed
// over to it.
class CVideoWnd : public QObject,
                  public StreamCore::IVideoObserver,
                  public StreamCore::ITalkObserver
{
    Q_OBJECT

public:
    CVideoWnd(IVideoWndListener *listener, int wndIndex, QObject *parent = nullptr);
    ~CVideoWnd() override;

    int wndIndex() const { return m_wndIndex; }
    // Native id of the surface the play object shows its pictures in.
    void setHwnd(uintptr_t hwnd) { m_hwnd = hwnd; }
    uintptr_t hwnd() const { return m_hwnd; }
    // View options; key 0: keep the picture's aspect ratio. Missing keys read false.
    void setOption(int key, bool on) { m_options.insert(key, on); }
    bool option(int key) const { return m_options.value(key, false); }

    // Opens live video of the channel; -1 when no play object could be made.
    int openRealVideo(const ChannelInfo_t &channel);
    // Opens playback of the current channel between two times (seconds since 1970).
    int openPlayback(qint64 begin, qint64 end);
    // Stops and destroys the play object; ends any reconnecting.
    void closeVideo();
    // Record back to defaults, caches and the temporary picture path emptied.
    void resetWndInfo();

    VideoWndInfo_t getVideoWndInfo() const { return m_wndInfo; }
    void setVideoWndInfo(const VideoWndInfo_t &info) { m_wndInfo = info; }
    ChannelInfo_t getChannelInfo() const { return m_wndInfo.channel; }
    // Key "bPTZWidgetShow" sets that flag; other keys are ignored.
    void updateWndInfo(const QString &key, const QVariant &value);

    // The library's state (3: a picture plays), 0 without a play object.
    int getVideoState() const;
    int pauseVideo(bool pause);
    int setPlaySpeed(int speed);
    int seek(qint64 time);
    // While a playback is paused: one picture forward (1) or back (-1); -1 otherwise.
    int stepFrame(int direction);
    // Milliseconds since 1970 of the picture a paused playback shows; -1 when none is paused.
    qint64 pausedFrameTimeMs() const;
    // Playback queries; need a playing playback, else 0, -1, -1, -1 and a default segment.
    qint64 getFrameTime() const;
    qint64 getRecordBeginTime() const;
    int isPlayByTime() const;
    RecordSegment_t getCurrentRecordInfo() const;
    // The stream's bit rate in kbit/s, 0 without a play object.
    float getFrameRate() const;
    VideoEnc_t getVideoEnc() const { return m_wndInfo.videoEnc; }
    // Size, codec, rates and picture counts of the stream; -1 without a play object.
    int getStatistics(StreamCore::VideoStatistics *statistics) const;

    // 0 device, 1 cloud; a new source empties the day cache.
    void setRecordSource(int source);
    void addRecordResult(const QString &day, const RecordQueryResult_t &result);
    RecordQueryResult_t getRecordResult(const QString &day) const;
    void clearRecordResults() { m_recordCache.clearResults(); }
    QList<QString> cachedDays() const { return m_recordCache.days(); }
    // The segment of a record description of the media library.
    static RecordSegment_t segmentOf(const StreamCore::RecordInfo &info);

    // Sound of the stream; -2 while a talk runs.
    int openAudio(bool on);
    // Two-way talk; -2 when a talk already runs.
    int openTalk(bool on);
    // Local recording into the record folder.
    int recordVideo(bool on);
    // A picture into the snapshot folder.
    int snapshotVideo();
    // Takes a temporary picture now; its path, empty without a play object.
    QString getSnapShotPath();
    // The last temporary picture taken by getSnapShotPath, without taking a new one.
    QString temporarySnapshotPath() const { return m_tempSnapPath; }

    // The camera's white light and siren of the window's channel.
    CameraAlarms &alarms() { return m_alarms; }

    // The digital zoom: the part of the picture the window shows. applyZoom hands a changed
    // zoom to the play object; a closed video shows the whole picture again.
    ZoomMapping &zoom() { return m_zoom; }
    void applyZoom();

    // The user's text for a failed open: code is the library's error text, kind the play kind.
    QString errorText(const QString &code, int kind) const;

    // Set by every live open; the view clears it once a picture arrived.
    bool retryHighDefinition() const { return m_retryHighDefinition; }
    void setRetryHighDefinition(bool on) { m_retryHighDefinition = on; }

    // True from a lost live stream until it plays again or the window is closed.
    bool isReconnecting() const { return m_reconnecting; }
    ReconnectSchedule &reconnectSchedule() { return m_reconnectSchedule; }

    void OnVideoEvent(const StreamCore::VideoEvent *event) override;
    void OnTalkEvent(const StreamCore::TalkEvent *event) override;

Q_SIGNALS:
    // The media library has written (or failed to write) a picture that snapshotVideo or
    // getSnapShotPath asked for; the file may be read only from now on.
    void sgnSnapShotWritten(QString path, bool written);

private Q_SLOTS:
    void onReconnectTimeout();
    void onProbeTimeout();
    void onProbeAnswered(bool answering);

private:
    // A window record looking for recordings where the user's settings say, at this moment.
    static VideoWndInfo_t newWndInfo();
    static void drawCallback(int handle, HDC hdc, void *info, void *user);

    bool createVideoPlay(int mode);
    void destroyVideoPlay();
    bool isPlaying() const { return getVideoState() == 3; }
    bool isPlayingPlayback() const { return isPlaying() && m_wndInfo.playType == 1; }
    int startRealPlay();
    // Runs fn on the window's thread: at once there, else queued (library threads).
    template<typename Fn> void onOwnThread(Fn fn);
    void handleVideoStatus(const VideoStatus_t &status);
    // Asks the library for a picture at path; the library's result.
    int snapShot(const QString &path);
    void pictureWritten(bool written);
    void handleTalkEvent(const StreamCore::TalkEvent &event);
    void followReconnect(const VideoStatus_t &status);
    void scheduleReconnect();
    void stopReconnecting();

    // Creates the folder chain base/shop/channel; empty text (and a log line) on failure.
    QString makeMediaFolder(const QString &base) const;
    QString takeTemporaryPicture(const QString &previous);

    IVideoWndListener *m_listener;
    int m_wndIndex;
    uintptr_t m_hwnd = 0;
    VideoWndInfo_t m_wndInfo;
    CameraAlarms m_alarms; // works on m_wndInfo
    RecordDayCache m_recordCache;
    QString m_tempSnapPath;
    ZoomMapping m_zoom;
    QStringList m_picturesAsked; // pictures asked for and not yet written, oldest first
    StreamCore::VideoPlay *m_videoPlay = nullptr;
    StreamCore::AudioTalk *m_audioTalk = nullptr;
    bool m_retryHighDefinition = true;
    QMap<int, bool> m_options;

    ReconnectSchedule m_reconnectSchedule;
    QTimer *m_reconnectTimer;
    bool m_reconnecting = false;
    ChannelProbe *m_probe;
    QTimer *m_probeTimer;
    // An answering probe may reopen early only once the device was seen silent (or the stream
    // was just lost): a server that answers while its stream fails waits for the schedule.
    bool m_probeArmed = false;
};
