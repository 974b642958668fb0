#include "SimMedia/MediaServer.h"

#include "DeviceWebPage.h"
#include "LiveSource.h"
#include "PlaybackSession.h"
#include "PtzState.h"
#include "RtspServerLoop.h"
#include "SilentListener.h"
#include "StreamRecipe.h"

#include <GstBufferMap.h>
#include <GstPtr.h>

#include <gst/app/gstappsink.h>
#include <gst/rtsp-server/rtsp-server.h>
// These two headers lack C linkage declarations in GStreamer 1.22.
extern "C" {
#include <gst/rtsp-server/rtsp-onvif-media-factory.h>
#include <gst/rtsp-server/rtsp-onvif-media.h>
#include <gst/rtsp-server/rtsp-onvif-server.h>
}

#include <QDateTime>

#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace SimMedia {

namespace {

constexpr size_t kTalkKeep = 1 << 20;
// Sessions set up at the same time, at most (a 16-window split, talk and playback beside it).
constexpr int kSessionThreads = 32;
constexpr int kPendingConnections = 64;

std::string channelKey(const std::string &deviceId, int channel)
{
    return deviceId + "/" + std::to_string(channel);
}

std::string livePath(const std::string &deviceId, int channel, int definition)
{
    return "/live/" + deviceId + "/" + std::to_string(channel) + "/" + std::to_string(definition);
}

std::string talkPath(const std::string &deviceId, int channel)
{
    return "/talk/" + deviceId + "/" + std::to_string(channel);
}

// The element of a prepared media with the given name, or null.
GstPtr<GstElement> mediaChild(GstRTSPMedia *media, const char *name)
{
    const GstPtr<GstElement> top(gst_rtsp_media_get_element(media));
    return GstPtr<GstElement>(gst_bin_get_by_name(GST_BIN(top.get()), name));
}

template<typename T> void deleteData(gpointer data, GClosure *)
{
    delete static_cast<T *>(data);
}

} // namespace

struct MediaServer::Private
{
    struct LiveMount
    {
        Private *d;
        std::string deviceId;
        int channel;
        int definition;
    };
    struct PlaybackMount
    {
        Private *d;
        PlaybackSpan span;
        std::string path;
    };
    struct TalkMount
    {
        Private *d;
        std::string key;
    };

    std::vector<MediaDevice> devices;
    GstPtr<GstRTSPServer> server;
    GstPtr<GstRTSPMountPoints> mounts;
    RtspServerLoop loop;
    int port = 0;

    mutable std::mutex mutex;
    std::map<std::string, std::unique_ptr<PtzState>> ptz;
    std::map<std::string, std::shared_ptr<LiveSource>> live;
    std::map<std::string, ChannelFault> faults;
    std::map<std::string, std::string> talk;
    std::map<std::string, std::unique_ptr<DeviceWebPage>> web;
    std::map<std::string, std::string> playbackChannel; // mount path -> channel key
    int nextPlayback = 1;
    std::unique_ptr<SilentListener> silent;

    const ChannelSpec *findChannel(const std::string &deviceId, int channel) const
    {
        for (const MediaDevice &dev : devices) {
            if (dev.id == deviceId)
                return dev.channel(channel);
        }
        return nullptr;
    }
    ChannelFault faultOf(const std::string &key) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = faults.find(key);
        return it == faults.end() ? ChannelFault() : it->second;
    }
    std::string urlOf(const std::string &path, const ChannelFault &fault) const
    {
        int target = port;
        if (fault.refuse)
            target = SilentListener::closedPort();
        else if (fault.silent)
            target = silent->port();
        return "rtsp://127.0.0.1:" + std::to_string(target) + path;
    }
    LiveSource *liveSource(const LiveMount &m)
    {
        const std::string key
            = channelKey(m.deviceId, m.channel) + "/" + std::to_string(m.definition);
        std::lock_guard<std::mutex> lock(mutex);
        std::shared_ptr<LiveSource> &source = live[key];
        if (!source) {
            source = std::make_shared<LiveSource>(m.deviceId, *findChannel(m.deviceId, m.channel),
                                                  m.definition,
                                                  ptz.at(channelKey(m.deviceId, m.channel)).get());
        }
        return source.get();
    }

    void addLiveMount(const MediaDevice &dev, const ChannelSpec &ch, int definition);
    void addTalkMount(const MediaDevice &dev, const ChannelSpec &ch);
    static void onLiveConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media, gpointer data);
    static void onPlaybackConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media, gpointer data);
    static void onPlaybackGone(GstRTSPMedia *, gpointer data);
    static void onTalkConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media, gpointer data);
    static GstFlowReturn onTalkSample(GstAppSink *sink, gpointer data);
};

void MediaServer::Private::addLiveMount(const MediaDevice &dev, const ChannelSpec &ch,
                                        int definition)
{
    GstPtr<GstRTSPMediaFactory> factory(gst_rtsp_media_factory_new());
    gst_rtsp_media_factory_set_launch(factory.get(), StreamRecipe::liveLaunch(ch).c_str());
    g_signal_connect_data(factory.get(), "media-configure", G_CALLBACK(&Private::onLiveConfigure),
                          new LiveMount {this, dev.id, ch.id, definition}, &deleteData<LiveMount>,
                          GConnectFlags(0));
    gst_rtsp_mount_points_add_factory(mounts.get(), livePath(dev.id, ch.id, definition).c_str(),
                                      factory.release());
}

void MediaServer::Private::onLiveConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media,
                                           gpointer data)
{
    auto *mount = static_cast<LiveMount *>(data);
    Private *d = mount->d;
    const ChannelFault fault = d->faultOf(channelKey(mount->deviceId, mount->channel));
    d->liveSource(*mount)->attach(media, fault.startDelayMs);
}

void MediaServer::Private::onPlaybackConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media,
                                               gpointer data)
{
    auto *mount = static_cast<PlaybackMount *>(data);
    const GstPtr<GstElement> appsrc = mediaChild(media, "src");
    const GstPtr<GstElement> overlay = mediaChild(media, "text");
    if (appsrc && overlay) {
        const PtzState *ptz = nullptr;
        {
            std::lock_guard<std::mutex> lock(mount->d->mutex);
            ptz = mount->d->ptz.at(channelKey(mount->span.deviceId, mount->span.channel)).get();
        }
        PlaybackSession::attach(mount->span, ptz, appsrc.get(), overlay.get());
    }
    g_signal_connect(media, "unprepared", G_CALLBACK(&Private::onPlaybackGone), mount);
}

void MediaServer::Private::onPlaybackGone(GstRTSPMedia *, gpointer data)
{
    // A playback address serves one session: it goes away with it.
    auto *mount = static_cast<PlaybackMount *>(data);
    Private *d = mount->d;
    const std::string path = mount->path;
    // A server being stopped unprepares its media after letting go of the mount points.
    GstPtr<GstRTSPMountPoints> mounts;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->playbackChannel.erase(path);
        mounts = GstPtr<GstRTSPMountPoints>::share(d->mounts.get());
    }
    if (mounts)
        gst_rtsp_mount_points_remove_factory(mounts.get(), path.c_str());
}

void MediaServer::Private::addTalkMount(const MediaDevice &dev, const ChannelSpec &ch)
{
    GstPtr<GstRTSPMediaFactory> factory(gst_rtsp_onvif_media_factory_new());
    // The ONVIF factory builds nothing but ONVIF media, and does not choose that type itself.
    gst_rtsp_media_factory_set_media_gtype(factory.get(), GST_TYPE_RTSP_ONVIF_MEDIA);
    gst_rtsp_media_factory_set_launch(
        factory.get(),
        "( audiotestsrc is-live=true wave=silence ! audio/x-raw,rate=8000,channels=1 "
        "! mulawenc ! rtppcmupay name=pay0 pt=0 )");
    gst_rtsp_onvif_media_factory_set_backchannel_launch(
        GST_RTSP_ONVIF_MEDIA_FACTORY(factory.get()),
        "( capsfilter caps=\"application/x-rtp,media=audio,payload=0,clock-rate=8000,"
        "encoding-name=PCMU\" name=depay_backchannel ! rtppcmudepay ! appsink name=talk "
        "async=false sync=false )");
    g_signal_connect_data(factory.get(), "media-configure", G_CALLBACK(&Private::onTalkConfigure),
                          new TalkMount {this, channelKey(dev.id, ch.id)}, &deleteData<TalkMount>,
                          GConnectFlags(0));
    gst_rtsp_mount_points_add_factory(mounts.get(), talkPath(dev.id, ch.id).c_str(),
                                      factory.release());
}

void MediaServer::Private::onTalkConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media,
                                           gpointer data)
{
    const GstPtr<GstElement> sink = mediaChild(media, "talk");
    if (!sink)
        return; // a viewer that only listens
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &Private::onTalkSample;
    auto *mount = static_cast<TalkMount *>(data);
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, new TalkMount(*mount),
                               [](gpointer p) { delete static_cast<TalkMount *>(p); });
}

GstFlowReturn MediaServer::Private::onTalkSample(GstAppSink *sink, gpointer data)
{
    auto *mount = static_cast<TalkMount *>(data);
    const GstPtr<GstSample> sample(gst_app_sink_pull_sample(sink));
    const GstBufferMap map(sample ? gst_sample_get_buffer(sample.get()) : nullptr, GST_MAP_READ);
    if (map) {
        std::lock_guard<std::mutex> lock(mount->d->mutex);
        std::string &kept = mount->d->talk[mount->key];
        if (kept.size() < kTalkKeep)
            kept.append(reinterpret_cast<const char *>(map.data()), map.size());
    }
    return GST_FLOW_OK;
}

MediaServer::MediaServer(std::vector<MediaDevice> devices)
    : d(std::make_unique<Private>())
{
    gst_init(nullptr, nullptr);
    d->devices = std::move(devices);
    for (const MediaDevice &dev : d->devices) {
        for (const ChannelSpec &ch : dev.channels)
            d->ptz[channelKey(dev.id, ch.id)] = std::make_unique<PtzState>();
    }
}

MediaServer::~MediaServer()
{
    stop();
}

bool MediaServer::start(int rtspPort, std::string *error)
{
    if (d->server)
        return true;
    d->silent = std::make_unique<SilentListener>();
    d->server.reset(gst_rtsp_onvif_server_new());
    gst_rtsp_server_set_address(d->server.get(), "127.0.0.1");
    gst_rtsp_server_set_service(d->server.get(), std::to_string(rtspPort).c_str());
    // The server's default queue of 5 connections not yet accepted overflowed when sixteen
    // windows connected at once: the kernel dropped the surplus, and those viewers connected
    // again a second later.
    gst_rtsp_server_set_backlog(d->server.get(), kPendingConnections);
    d->mounts.reset(gst_rtsp_server_get_mount_points(d->server.get()));
    // Each device serves its sessions side by side; with one thread for all of them, sixteen
    // windows opening together waited for each other's session set-up (about 0.1 s each).
    const GstPtr<GstRTSPThreadPool> pool(gst_rtsp_server_get_thread_pool(d->server.get()));
    gst_rtsp_thread_pool_set_max_threads(pool.get(), kSessionThreads);
    for (const MediaDevice &dev : d->devices) {
        for (const ChannelSpec &ch : dev.channels) {
            if (!ch.rtspUrl.empty())
                continue;
            d->addLiveMount(dev, ch, 0);
            d->addLiveMount(dev, ch, 1);
            d->addTalkMount(dev, ch);
        }
    }
    if (!d->loop.start(d->server.get())) {
        if (error)
            *error = "cannot listen on 127.0.0.1:" + std::to_string(rtspPort);
        d->mounts.reset();
        d->server.reset();
        return false;
    }
    d->port = gst_rtsp_server_get_bound_port(d->server.get());
    return true;
}

void MediaServer::stop()
{
    if (!d->server)
        return;
    d->loop.stop();
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->mounts.reset();
    }
    d->server.reset();
    std::lock_guard<std::mutex> lock(d->mutex);
    for (auto &entry : d->live)
        entry.second->end();
    d->live.clear();
    d->web.clear();
    d->playbackChannel.clear();
    d->port = 0;
}

int MediaServer::rtspPort() const
{
    return d->port;
}

const std::vector<MediaDevice> &MediaServer::devices() const
{
    return d->devices;
}

const MediaDevice *MediaServer::device(const std::string &deviceId) const
{
    for (const MediaDevice &dev : d->devices) {
        if (dev.id == deviceId)
            return &dev;
    }
    return nullptr;
}

MediaServer::Address MediaServer::liveAddress(const std::string &deviceId, int channel,
                                              int definition)
{
    const ChannelSpec *ch = d->findChannel(deviceId, channel);
    if (!ch || !d->server)
        return {};
    if (!ch->rtspUrl.empty())
        return {0, ch->rtspUrl};
    // Any definition other than high is served as standard.
    const int def = definition == 0 ? 0 : 1;
    return {0,
            d->urlOf(livePath(deviceId, channel, def), d->faultOf(channelKey(deviceId, channel)))};
}

MediaServer::Address MediaServer::playbackAddress(const std::string &deviceId, int channel,
                                                  int source, int64_t begin, int64_t end)
{
    const ChannelSpec *ch = d->findChannel(deviceId, channel);
    const int64_t now = QDateTime::currentSecsSinceEpoch();
    if (!ch || !d->server || (source != 0 && source != 1) || begin >= now || end <= begin)
        return {};
    auto *mount = new Private::PlaybackMount {d.get(), {}, {}};
    mount->span
        = {deviceId, channel, source, begin, std::min(end, now), ch->width[1], ch->height[1]};
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        mount->path = "/playback/" + std::to_string(d->nextPlayback++);
        d->playbackChannel[mount->path] = channelKey(deviceId, channel);
    }
    const std::string launch = "( appsrc name=src ! "
        + StreamRecipe::overlayAndEncoder(*ch, ch->height[1]) + " ! "
        + StreamRecipe::videoPayloader(*ch)
        + (ch->audio ? " " + StreamRecipe::audioBranch(false) : "") + " )";
    GstPtr<GstRTSPMediaFactory> factory(gst_rtsp_media_factory_new());
    gst_rtsp_media_factory_set_launch(factory.get(), launch.c_str());
    const std::string path = mount->path;
    g_signal_connect_data(factory.get(), "media-configure",
                          G_CALLBACK(&Private::onPlaybackConfigure), mount,
                          &deleteData<Private::PlaybackMount>, GConnectFlags(0));
    gst_rtsp_mount_points_add_factory(d->mounts.get(), path.c_str(), factory.release());
    return {0, d->urlOf(path, d->faultOf(channelKey(deviceId, channel)))};
}

MediaServer::Address MediaServer::talkAddress(const std::string &deviceId, int channel)
{
    const ChannelSpec *ch = d->findChannel(deviceId, channel);
    if (!ch || !ch->rtspUrl.empty() || !d->server)
        return {};
    return {0, d->urlOf(talkPath(deviceId, channel), d->faultOf(channelKey(deviceId, channel)))};
}

int MediaServer::webPort(const std::string &deviceId)
{
    const MediaDevice *dev = device(deviceId);
    if (!dev)
        return 0;
    std::lock_guard<std::mutex> lock(d->mutex);
    std::unique_ptr<DeviceWebPage> &page = d->web[deviceId];
    if (!page)
        page = std::make_unique<DeviceWebPage>(dev->id, dev->name);
    return page->port();
}

bool MediaServer::ptz(const std::string &deviceId, int channel, int operation, int durationMs)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    auto it = d->ptz.find(channelKey(deviceId, channel));
    return it != d->ptz.end() && it->second->apply(operation, durationMs);
}

void MediaServer::setFault(const std::string &deviceId, int channel, const ChannelFault &fault)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults[channelKey(deviceId, channel)] = fault;
}

void MediaServer::clearFaults()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.clear();
}

int MediaServer::dropSessions(const std::string &deviceId, int channel)
{
    if (!d->server)
        return 0;
    struct Match
    {
        std::set<std::string> paths;
        int cut = 0;
    } match;
    const std::string key = channelKey(deviceId, channel);
    match.paths = {livePath(deviceId, channel, 0), livePath(deviceId, channel, 1),
                   talkPath(deviceId, channel)};
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        for (const auto &entry : d->playbackChannel) {
            if (entry.second == key)
                match.paths.insert(entry.first);
        }
    }
    gst_rtsp_server_client_filter(
        d->server.get(),
        [](GstRTSPServer *, GstRTSPClient *client, gpointer data) {
            auto *m = static_cast<Match *>(data);
            bool serves = false;
            GList *sessions = gst_rtsp_client_session_filter(client, nullptr, nullptr);
            for (GList *s = sessions; s; s = s->next) {
                GList *medias
                    = gst_rtsp_session_filter(GST_RTSP_SESSION(s->data), nullptr, nullptr);
                for (GList *sm = medias; sm; sm = sm->next) {
                    for (const std::string &path : m->paths) {
                        gint matched = 0;
                        serves = serves
                            || (gst_rtsp_session_media_matches(GST_RTSP_SESSION_MEDIA(sm->data),
                                                               path.c_str(), &matched)
                                && matched == static_cast<gint>(path.size()));
                    }
                }
                g_list_free_full(medias, g_object_unref);
            }
            g_list_free_full(sessions, g_object_unref);
            m->cut += serves ? 1 : 0;
            return serves ? GST_RTSP_FILTER_REMOVE : GST_RTSP_FILTER_KEEP;
        },
        &match);
    return match.cut;
}

std::string MediaServer::talkReceived(const std::string &deviceId, int channel) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    auto it = d->talk.find(channelKey(deviceId, channel));
    return it == d->talk.end() ? std::string() : it->second;
}

} // namespace SimMedia
