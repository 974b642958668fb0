#include "StreamCoreImpl.h"

#include "AudioTalkImpl.h"
#include "GuiPost.h"
#include "Log.h"
#include "MediaError.h"
#include "PlayPipeline.h"
#include "PlaybackPlan.h"
#include "StreamCore/PtzControlDll.h"
#include "Timeouts.h"
#include "VideoPlayImpl.h"

#include <kwl/KSingleton.h>

#include <gst/gst.h>

#include <QCoreApplication>
#include <QJsonArray>

#include <cstring>

// The library's own object is made and kept by StreamCoreImpl; a test's stand-in put in place
// with KSingleton<IStreamCore, KSingletonEnd::Never>::Replace is owned by the slot.
template<> struct KSingletonMaker<StreamCore::IStreamCore>
{
    static StreamCore::IStreamCore *make() { return StreamCore::StreamCoreImpl::instance(); }
    static constexpr bool kOwned = false;
};

namespace StreamCore {

namespace {

// Copies a text into a fixed field, always terminated.
template<size_t N> void copyText(char (&field)[N], const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::strncpy(field, utf8.constData(), N - 1);
    field[N - 1] = '\0';
}

RecordInfo recordFrom(const QJsonObject &o, const std::string &deviceId, int channel)
{
    RecordInfo r {};
    copyText(r.recordId, o.value("recordId").toString());
    copyText(r.beginTime, o.value("beginTime").toString());
    copyText(r.endTime, o.value("endTime").toString());
    copyText(r.deviceId, QString::fromStdString(deviceId));
    r.type = o.value("type").toInt();
    copyText(r.kind, r.type == 1 ? "alarm" : "continuous");
    r.size = static_cast<long long>(o.value("size").toDouble());
    r.channel = channel;
    return r;
}

std::string text(const char *s)
{
    return s ? s : "";
}

} // namespace

IStreamCore *IStreamCore::GetInstance()
{
    return &KSingleton<IStreamCore, KSingletonEnd::Never>::Instance();
}

StreamCoreImpl *StreamCoreImpl::instance()
{
    // Created on first use and kept to the end of the process: its threads outlive every caller.
    static StreamCoreImpl *core = new StreamCoreImpl();
    return core;
}

StreamCoreImpl::StreamCoreImpl()
    : m_observers(m_mutex)
    , m_webPorts(&m_platform, &m_requests, [this](const std::string &deviceId, int port) {
        MediaResult r;
        r.deviceId = deviceId;
        r.event.type = MEDIA_EVENT_WEB_PORT;
        r.event.result = port > 0 ? 0 : -1;
        r.event.port = port;
        deliver(std::move(r));
    })
{
    gst_init(nullptr, nullptr);
    // Loading the decoders' plugins took up to two seconds on a loaded machine when sixteen
    // windows opened at once, each stream's thread waiting for the others.
    m_reaper.post(&PlayPipeline::preload);
}

StreamCoreImpl::~StreamCoreImpl() = default;

int StreamCoreImpl::InitApi(const char *host, int port, const char *, bool logging)
{
    logEnabled() = logging;
    if (!host || !*host || port <= 0 || port > 65535) {
        SCLOG(4, "open platform address refused: %s:%d", host ? host : "", port);
        return -1;
    }
    m_platform.setEndpoint(host, port);
    SCLOG(4, "open platform %s:%d", host, port);
    return 0;
}

int StreamCoreImpl::UnitApi()
{
    if (m_talk)
        m_talk->StopTalk();
    m_webPorts.clearAll();
    m_platform.setEndpoint(std::string(), 0);
    // Pipelines still stopping finish before the library lets go.
    m_requests.drain();
    m_opens.drain();
    m_reaper.drain();
    return 0;
}

VideoPlay *StreamCoreImpl::CreateVideoPlay(int mode)
{
    if (mode != PLAY_MODE_LIVE && mode != PLAY_MODE_PLAYBACK)
        return nullptr;
    return new VideoPlayImpl(++m_nextHandle, {&m_platform, &m_opens, &m_reaper});
}

int StreamCoreImpl::DestroyVideoPlay(VideoPlay *play)
{
    auto *impl = dynamic_cast<VideoPlayImpl *>(play);
    if (!impl)
        return -1;
    delete impl;
    return 0;
}

AudioTalk *StreamCoreImpl::InitAudioTalk()
{
    if (!m_platform.configured())
        return nullptr;
    if (!m_talk)
        m_talk = new AudioTalkImpl(&m_platform, &m_requests, &m_reaper);
    ++m_talkUsers;
    return m_talk;
}

int StreamCoreImpl::UnitAudioTalk(AudioTalk *talk)
{
    if (!talk || talk != m_talk || m_talkUsers <= 0)
        return -1;
    // The last user ends a talk that still runs; the object stays for the next one.
    if (--m_talkUsers == 0)
        m_talk->StopTalk();
    return 0;
}

void StreamCoreImpl::deliver(MediaResult result)
{
    GuiPost::to(QCoreApplication::instance(), [this, result] {
        MediaEvent event = result.event;
        event.text1 = result.text1.c_str();
        event.text2 = result.text2.c_str();
        event.bitmap = result.bitmap.c_str();
        event.deviceId = result.deviceId.c_str();
        event.records = result.records.empty() ? nullptr : result.records.data();
        event.recordCount = static_cast<int>(result.records.size());
        m_observers.forEach([&event](IMediaObserver *o) { o->OnMediaEvent(&event); });
    });
}

int StreamCoreImpl::QueryRecord(const RecordParam &param)
{
    const long long begin = param.beginTime ? PlaybackPlan::parseTime(param.beginTime) : -1;
    const long long end = param.endTime ? PlaybackPlan::parseTime(param.endTime) : -1;
    if (!param.deviceId || !*param.deviceId || begin < 0 || end < begin || !m_platform.configured())
        return -1;
    MediaResult r;
    r.event.type = MEDIA_EVENT_RECORD_QUERY;
    r.event.window = param.window;
    r.event.source = param.source;
    r.event.queryTime = param.queryTime;
    r.event.queryType = param.queryType;
    r.event.frameType = param.frameType;
    r.text1 = param.deviceId;
    const std::string token = text(param.token);
    const PlatformClient::Params params {{"deviceId", param.deviceId},
                                         {"channel", std::to_string(param.channel)},
                                         {"source", std::to_string(param.source)},
                                         {"begin", std::to_string(begin)},
                                         {"end", std::to_string(end)}};
    const int channel = param.channel;
    m_requests.post([this, r, token, params, channel]() mutable {
        const PlatformClient::Reply reply = m_platform.get("/openapi/v1/records", params, token);
        r.text2 = reply.error;
        if (reply.error.empty()) {
            for (const QJsonValue &v : reply.data.value("records").toArray())
                r.records.push_back(recordFrom(v.toObject(), r.text1, channel));
        }
        r.event.result = reply.error.empty() ? static_cast<int>(r.records.size()) : -1;
        deliver(std::move(r));
    });
    return 0;
}

int StreamCoreImpl::QueryRecordBitmap(int source, const char *token, const char *deviceId,
                                      int channel, int year, int month, int window, int frameType)
{
    if (!deviceId || !*deviceId || month < 1 || month > 12 || !m_platform.configured())
        return -1;
    MediaResult r;
    r.event.type = MEDIA_EVENT_RECORD_BITMAP;
    r.event.year = year;
    r.event.month = month;
    r.event.window = window;
    r.event.frameType = frameType;
    r.event.source = source;
    r.text1 = deviceId;
    const PlatformClient::Params params {{"deviceId", deviceId},
                                         {"channel", std::to_string(channel)},
                                         {"source", std::to_string(source)},
                                         {"year", std::to_string(year)},
                                         {"month", std::to_string(month)}};
    const std::string tokenText = text(token);
    m_requests.post([this, r, tokenText, params]() mutable {
        const PlatformClient::Reply reply
            = m_platform.get("/openapi/v1/records/bitmap", params, tokenText);
        r.text2 = reply.error;
        r.bitmap = reply.data.value("bitmap").toString().toStdString();
        r.event.result = reply.error.empty() ? 0 : -1;
        deliver(std::move(r));
    });
    return 0;
}

int StreamCoreImpl::AddDevices(const char *, const char *devicesJson)
{
    return devicesJson && m_webPorts.addDevices(devicesJson) ? 0 : -1;
}

int StreamCoreImpl::GetWebP2pPort(const char *token, const char *deviceId)
{
    if (!deviceId || !*deviceId || !m_platform.configured())
        return -1;
    m_webPorts.open(text(token), deviceId);
    return 0;
}

PortState StreamCoreImpl::GetDevWebP2pPort(const char *deviceId)
{
    return m_webPorts.state(text(deviceId));
}

int StreamCoreImpl::ClearDevWebPort(const char *deviceId)
{
    if (!deviceId)
        return -1;
    m_webPorts.clear(deviceId);
    return 0;
}

int StreamCoreImpl::AddObserver(IMediaObserver *observer)
{
    return m_observers.add(observer);
}

int StreamCoreImpl::RemoveObserver(IMediaObserver *observer)
{
    return m_observers.remove(observer);
}

int StreamCoreImpl::SetTimeouts(int openTimeoutMs, int snapshotTimeoutMs)
{
    if (openTimeoutMs < 0 || snapshotTimeoutMs < 0)
        return -1;
    Timeouts::set(openTimeoutMs, snapshotTimeoutMs);
    return 0;
}

int StreamCoreImpl::movePtz(const PtzMoveParam &param)
{
    if (!param.deviceId || !*param.deviceId || !m_platform.configured())
        return -1;
    const QJsonObject body {{"deviceId", QString::fromUtf8(param.deviceId)},
                            {"channel", param.channel},
                            {"duration", param.duration},
                            {"operation", param.operation}};
    const std::string token = text(param.token);
    m_requests.post([this, body, token] {
        const PlatformClient::Reply reply = m_platform.post("/openapi/v1/ptz", body, token);
        if (!reply.error.empty())
            SCLOG(4, "PTZ command refused [%s]", reply.error.c_str());
    });
    return 0;
}

int PtzControlDll::PtzMoveControl(const PtzMoveParam &param)
{
    return StreamCoreImpl::instance()->movePtz(param);
}

} // namespace StreamCore
