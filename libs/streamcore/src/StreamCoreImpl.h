#pragma once

#include "ObserverList.h"
#include "PlatformClient.h"
#include "StreamCore/IMediaObserver.h"
#include "StreamCore/IStreamCore.h"
#include "TaskQueue.h"
#include "WebPortService.h"

#include <kwl/KMutex.h>

#include <memory>
#include <vector>

namespace StreamCore {

class AudioTalkImpl;

// The library singleton. Network requests run in order on one worker thread, pipeline and
// talk shutdowns on another; results reach observers on the GUI thread.
class StreamCoreImpl : public IStreamCore
{
public:
    static StreamCoreImpl *instance();

    int InitApi(const char *host, int port, const char *reserved, bool logging) override;
    int UnitApi() override;
    VideoPlay *CreateVideoPlay(int mode) override;
    int DestroyVideoPlay(VideoPlay *play) override;
    AudioTalk *InitAudioTalk() override;
    int UnitAudioTalk(AudioTalk *talk) override;
    int QueryRecord(const RecordParam &param) override;
    int QueryRecordBitmap(int source, const char *token, const char *deviceId, int channel,
                          int year, int month, int window, int frameType) override;
    int AddDevices(const char *token, const char *devicesJson) override;
    int GetWebP2pPort(const char *token, const char *deviceId) override;
    PortState GetDevWebP2pPort(const char *deviceId) override;
    int ClearDevWebPort(const char *deviceId) override;
    int AddObserver(IMediaObserver *observer) override;
    int RemoveObserver(IMediaObserver *observer) override;
    int SetTimeouts(int openTimeoutMs, int snapshotTimeoutMs) override;

    // Sends a PTZ command without waiting; -1 when not initialised or incomplete.
    int movePtz(const PtzMoveParam &param);

private:
    StreamCoreImpl();
    ~StreamCoreImpl() override;

    // A media event whose texts and records live in the values copied here.
    struct MediaResult
    {
        MediaEvent event {};
        std::string text1;
        std::string text2;
        std::string bitmap;
        std::string deviceId;
        std::vector<RecordInfo> records;
    };
    void deliver(MediaResult result);

    KMutex m_mutex;
    ObserverList<IMediaObserver> m_observers;
    PlatformClient m_platform;
    TaskQueue m_requests;
    // The play objects' address and record-search requests, side by side: sixteen windows
    // opened at once do not wait for each other's answers one by one.
    TaskQueue m_opens {4};
    TaskQueue m_reaper;
    WebPortService m_webPorts;
    AudioTalkImpl *m_talk = nullptr;
    int m_talkUsers = 0;
    int m_nextHandle = 0;
};

} // namespace StreamCore
