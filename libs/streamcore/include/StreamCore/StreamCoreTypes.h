#pragma once

#include <cstdint>

namespace StreamCore {

// How a play object is used, chosen when it is created.
enum EnumPlayMode {
    PLAY_MODE_LIVE = 0,
    PLAY_MODE_PLAYBACK = 1,
};

// Where recordings are kept.
enum EnumRecordSrc {
    RECORD_SRC_DEVICE = 0,
    RECORD_SRC_CLOUD = 1,
};

// Picture file formats of SnapShot.
enum EnumPicFormat {
    PIC_FORMAT_JPG = 1,
};

// State of a play object (GetVideoState).
enum Video_State_e {
    VIDEO_STATE_IDLE = 0, // nothing asked for, or stopped
    VIDEO_STATE_OPENING = 1, // asking for the stream, waiting for the first picture
    VIDEO_STATE_PLAYING = 3, // a picture plays (also while paused)
    VIDEO_STATE_FAILED = 4, // the open failed or the stream was lost
    VIDEO_STATE_ENDED = 5, // playback reached the end of its span
};

// Event codes of IVideoObserver.
enum VideoEventCode {
    VIDEO_EVENT_LIVE_OPEN = 0, // outcome VIDEO_OUTCOME_PLAYING or VIDEO_OUTCOME_FAILED
    VIDEO_EVENT_LIVE_LOST = 1,
    VIDEO_EVENT_PLAYBACK_OPEN = 2, // outcome VIDEO_OUTCOME_PLAYING or VIDEO_OUTCOME_FAILED
    VIDEO_EVENT_PLAYBACK_LOST = 3,
    VIDEO_EVENT_PLAYBACK_END = 13,
    VIDEO_EVENT_PICTURE_SIZE = 15, // width and height of the stream's pictures
    VIDEO_EVENT_SNAPSHOT = 16, // SnapShot's file: outcome VIDEO_OUTCOME_NONE written, else FAILED
    VIDEO_EVENT_RECORD_END
    = 17, // StopRecord's file: outcome VIDEO_OUTCOME_NONE finished, else FAILED
    VIDEO_EVENT_FRAME_STEP = 18, // StepFrame's picture shows: outcome VIDEO_OUTCOME_NONE
};

enum VideoOutcome {
    VIDEO_OUTCOME_NONE = 0,
    VIDEO_OUTCOME_PLAYING = 3,
    VIDEO_OUTCOME_FAILED = 4,
};

enum VideoKind {
    VIDEO_KIND_LIVE = 0,
    VIDEO_KIND_PLAYBACK = 1,
};

// Event types of IMediaObserver.
enum MediaEventType {
    MEDIA_EVENT_RECORD_QUERY = 1,
    MEDIA_EVENT_WEB_PORT = 5,
    MEDIA_EVENT_RECORD_BITMAP = 7,
};

// Talk states of ITalkObserver.
enum TalkState {
    TALK_STATE_TALKING = 0,
    TALK_STATE_CONNECTING = 1,
    TALK_STATE_STOPPED = 2,
    TALK_STATE_FAILED = 3, // no microphone, refused, or the connection was lost
};

// Web port states of GetDevWebP2pPort.
enum WebPortState {
    WEB_PORT_NONE = 0,
    WEB_PORT_OPENING = 1,
    WEB_PORT_OPEN = 2,
    WEB_PORT_FAILED = 3,
};

// One recording found by QueryRecord and handed back to StartPlaybackByFile. Texts are
// UTF-8 and always terminated.
struct RecordInfo
{
    char recordId[64]; // the recording's name on the device or in the cloud
    char beginTime[32]; // local time "yyyy-MM-dd HH:mm:ss"
    char endTime[32]; // local time "yyyy-MM-dd HH:mm:ss"
    char deviceId[64];
    char kind[32]; // "continuous" or "alarm"
    long long size; // bytes
    int channel; // -1 when unknown
    int type; // 0 continuous, 1 alarm
};

// A record search: the recordings of a device channel between two local times. The window,
// frame type, query time and query type are handed back unchanged with the result.
struct RecordParam
{
    const char *token;
    const char *deviceId;
    int channel;
    const char *beginTime; // local time "yyyy-MM-dd HH:mm:ss"
    const char *endTime; // local time "yyyy-MM-dd HH:mm:ss"
    int source; // EnumRecordSrc
    int window;
    int frameType;
    long long queryTime;
    int queryType;
};

// A PTZ command: operation 0 up, 1 down, 2 left, 3 right, 8 zoom out, 9 zoom in, 10 stop.
struct PtzMoveParam
{
    const char *deviceId;
    const char *token;
    int channel;
    int duration; // milliseconds the move may last without a stop
    int operation;
};

// The local port of a device's web page and its state (WebPortState).
struct PortState
{
    int port;
    int state;
};

// Event of a play object. The error text is "" on success, else one of "open timeout", "100"
// (token refused), "404" (no such device or channel), "7" (connection refused or lost), "99".
struct VideoEvent
{
    int handle; // GetObjectHandle of the play object
    int code; // VideoEventCode
    int outcome; // VideoOutcome
    const char *error;
    int kind; // VideoKind
    int width;
    int height;
};

// Event of the library. Record query (type 1): result is the number of recordings (0 or
// more) or -1 on failure, with the error text of VideoEvent in text2; text1 is the device id.
// Month bitmap (type 7): result 0 and one character per day ("1": recordings), or -1. Web
// port (type 5): port > 0 when the device's page is reachable on 127.0.0.1:port, else 0.
struct MediaEvent
{
    int type; // MediaEventType
    int result;
    int window;
    int source;
    long long queryTime;
    int queryType;
    int frameType;
    const char *text1;
    const char *text2;
    const RecordInfo *records;
    int recordCount;
    int year;
    int month;
    const char *bitmap;
    int port;
    const char *deviceId;
};

// Event of the talk object: result 0 on success, else -1; the talk state (TalkState); the
// handle of the play object the talk was started for.
struct TalkEvent
{
    int result;
    int talkState;
    int playHandle;
};

// What a draw callback gets besides the painter: the sizes of the picture drawn and of the
// surface.
struct DrawInfo
{
    int pictureWidth;
    int pictureHeight;
    int viewWidth;
    int viewHeight;
};

} // namespace StreamCore
