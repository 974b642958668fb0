#pragma once

// The value records that describe a device channel, the state of one video window, and the
// notifications and query results passed between the video windows, the frames, the play panels
// and the web bridge. All are registered meta-types (registered by their default constructors),
// so they travel by value in queued signals. They hold only implicitly shared Qt values and plain
// numbers, so copies are cheap.

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// One channel of one device, as the web application announces it.
struct ChannelInfo_t
{
    ChannelInfo_t();

    QString shopCode;
    QString shopName;
    QString token; // per-channel token handed over by the web application
    QString deviceID; // device serial, the media library's device key
    QString devName;
    QString chnAbility; // ability words of the channel, tested with "contains"
    QString devAbility;
    QString deviceModel;
    QString brand = "general";
    int platForm = -1;
    int accessSource = -1; // 2: definition forced to high, other playback rules
    QString account;
    QString password;
    int wndID = -1; // window the page wants the channel in; -1: any
    int channelID = -1;
    QString channelName;
    int definitionMode = 1; // 1 standard definition, 0 high definition
    int isOnline = 0;
    // Set by the module that puts the channel into a window; never carried in web messages.
    bool bHasChannel = false;
};

// Picture size of the stream shown in a window.
struct VideoEnc_t
{
    VideoEnc_t();

    int width = 0;
    int height = 0;
};

// Everything one video window knows about what it shows.
struct VideoWndInfo_t
{
    VideoWndInfo_t();
    // A window record looking for recordings in recordSource; a video window builds it with the
    // record type of the user's settings ("RecordConfig/RecType") at that moment.
    explicit VideoWndInfo_t(int recordSource);

    ChannelInfo_t channel;
    bool bRecordOn = false;
    QDateTime recordStartTime; // local time the running recording began
    bool bTalkOn = false;
    bool bAudioOn = false;
    bool bPauseOn = false;
    bool bPTZWidgetShow = false;
    bool bLightAlarmOn = false;
    bool bSoundAlarmOn = false;
    QString thumbnailPath;
    QString recordFilePath;
    QString snapshotFilePath;
    int playType = 0; // 0 live, 1 playback
    int recordSource = 0; // 0 device, 1 cloud
    int playSpeed = 1;
    VideoEnc_t videoEnc;
};

// A play-state notification of one window, translated from the media library's video event.
struct VideoStatus_t
{
    VideoStatus_t();

    // Event class of a library event code: 0..3 kept, 15 → 4 (picture size), 13 → 5, else -1.
    static int statusFromEvent(int libraryEvent);
    // Outcome of a library outcome code: 1, 3 (playing) and 4 (failed) kept, anything else 0.
    static int resultFromOutcome(int libraryOutcome);

    int status = -1;
    int result = 0;
    QString message; // the library's error text ("7", "99", "100", "open timeout", ...)
    int playKind = -1; // 0 live, 1 playback, 99 reported like a playback failure
    int width = 0; // with status 4
    int height = 0; // with status 4
};

// A talk-state notification of one window.
struct VideoTalkStatus_t
{
    VideoTalkStatus_t();

    // Talk runs exactly when the library reported success and the state "talking".
    bool isTalking() const { return result == 0 && talkState == 0; }

    int result = -1; // 0 success, otherwise -1
    int talkState = -1; // the library's talk state; 0 talking
};

// One recording found by a record query, field for field the media library's record
// description, so that it can be handed back for playback by file.
struct RecordSegment_t
{
    RecordSegment_t();

    QString recordId;
    QString beginTime; // "yyyy-MM-dd HH:mm:ss" local time
    QString endTime; // "yyyy-MM-dd HH:mm:ss" local time
    QString deviceId;
    QString kind;
    qint64 size = 0;
    int channel = -1;
    int type = 0;
};

// The answer to one record query of one window.
struct RecordQueryResult_t
{
    RecordQueryResult_t();

    int wndIndex = -1;
    int recordSource = 0; // 0 device, 1 cloud
    int frameType = -1; // the video frame that asked
    QString text1; // reported by the library, read by nobody
    QString text2; // reported by the library, read by nobody
    int queryTime = 0; // seconds since 1970 UTC; its date is the queried day
    int queryType = 0; // the asker's reason code, handed back
    int result = -1; // segments are used only when above 0
    QList<RecordSegment_t> records;
};

// Which days of a month have recordings.
struct QueryRecordBitmapResult_t
{
    QueryRecordBitmapResult_t();

    int result = -1; // the library's result code; -1 until one is reported
    int year = 2021;
    int month = 1; // 1 to 12
    QString bitmap; // the library's day bitmap text
};

// A picture of a channel taken on the web application's request.
struct channelSnapShotInfo_t
{
    channelSnapShotInfo_t();

    QString picPath; // empty when the window plays nothing
    QString fileData; // left empty by the snapshot; the remote door carries the picture here
    QString deviceID;
    int channelID = 0;
};

// Request to show or hide the PTZ panel for a channel.
struct ChannelPTZParams_t
{
    ChannelPTZParams_t();

    QString deviceID;
    int channelID = 0;
    bool bFullScreen = false; // the play panel is full screen: the panel must stay above it
    bool bPTZFlag = false;
    bool bShow = false;
};

// What the user did on a video window (sent with the window index and a QVariant argument).
enum Wnd_ActionType_e {
    Wnd_Action_Select = 0, // argument: integer 0
    Wnd_Action_DoubleClick = 1, // argument: QPoint of the click
    Wnd_Action_CloseAll = 2, // argument: integer 1
};

Q_DECLARE_METATYPE(ChannelInfo_t)
Q_DECLARE_METATYPE(VideoEnc_t)
Q_DECLARE_METATYPE(VideoWndInfo_t)
Q_DECLARE_METATYPE(VideoStatus_t)
Q_DECLARE_METATYPE(VideoTalkStatus_t)
Q_DECLARE_METATYPE(RecordSegment_t)
Q_DECLARE_METATYPE(RecordQueryResult_t)
Q_DECLARE_METATYPE(QueryRecordBitmapResult_t)
Q_DECLARE_METATYPE(channelSnapShotInfo_t)
Q_DECLARE_METATYPE(ChannelPTZParams_t)
Q_DECLARE_METATYPE(Wnd_ActionType_e)
