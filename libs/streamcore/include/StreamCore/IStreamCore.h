#pragma once

#include "StreamCore/StreamCoreTypes.h"

namespace StreamCore {

class AudioTalk;
class IMediaObserver;
class VideoPlay;

// The media library: device video through the open platform, record searches, talk, PTZ and
// device web ports. Calls take UTF-8 C strings (file paths in the local code page) and
// return 0 on success. Events reach observers on the thread of the application's event loop.
class IStreamCore
{
public:
    // The one instance, kept to the end of the process. Tests may put a stand-in in place with
    // KSingleton<IStreamCore, KSingletonEnd::Never>::Replace (kwl/KSingleton.h) and Reset.
    static IStreamCore *GetInstance();

    // Names the open platform: port 443 is reached over HTTPS, any other over HTTP. The text
    // is reserved (empty); logging switches the library's log lines on.
    virtual int InitApi(const char *host, int port, const char *reserved, bool logging) = 0;
    // Stops every stream, talk and web port; the library may be initialised again afterwards.
    virtual int UnitApi() = 0;

    // A new play object (EnumPlayMode), or null.
    virtual VideoPlay *CreateVideoPlay(int mode) = 0;
    virtual int DestroyVideoPlay(VideoPlay *play) = 0;

    // The talk object, shared by every caller (counted); null before InitApi.
    virtual AudioTalk *InitAudioTalk() = 0;
    virtual int UnitAudioTalk(AudioTalk *talk) = 0;

    // Searches recordings; the result comes as a MEDIA_EVENT_RECORD_QUERY event.
    virtual int QueryRecord(const RecordParam &param) = 0;
    // Asks which days of a month have recordings; the result comes as a
    // MEDIA_EVENT_RECORD_BITMAP event carrying the window and frame type given here.
    virtual int QueryRecordBitmap(int source, const char *token, const char *deviceId, int channel,
                                  int year, int month, int window = -1, int frameType = -1)
        = 0;

    // Keeps the user's devices (JSON array of {"Sn", "Type", "Port", "User", "Pwd"}).
    virtual int AddDevices(const char *token, const char *devicesJson) = 0;
    // Opens a local port to the device's web page once the device answers there; the result
    // comes as a MEDIA_EVENT_WEB_PORT event.
    virtual int GetWebP2pPort(const char *token, const char *deviceId) = 0;
    // The device's local web port and its state.
    virtual PortState GetDevWebP2pPort(const char *deviceId) = 0;
    // Closes the device's local web port and forgets it.
    virtual int ClearDevWebPort(const char *deviceId) = 0;

    // Observers of the library's events; added and removed under the library's lock.
    virtual int AddObserver(IMediaObserver *observer) = 0;
    virtual int RemoveObserver(IMediaObserver *observer) = 0;

    // How long a stream or a talk may take to its first picture or sound before it fails
    // with "open timeout" (default 10 000 ms), and a device's web page to first answer before
    // its port is reported 0; and a snapshot to be encoded (default 5 000 ms); 0 restores a
    // default, a negative value is refused (-1).
    virtual int SetTimeouts(int openTimeoutMs, int snapshotTimeoutMs) = 0;

protected:
    virtual ~IStreamCore() = default;
};

} // namespace StreamCore
