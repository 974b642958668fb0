#include "SimMedia/OutsideCamera.h"

#include "LiveSource.h"
#include "PtzState.h"
#include "RtspServerLoop.h"
#include "StreamRecipe.h"

#include <GstPtr.h>

#include <gst/rtsp-server/rtsp-server.h>

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <regex>
#include <set>

namespace SimMedia {

namespace {

constexpr const char *kPath = "/stream";
constexpr const char *kRole = "viewer";
constexpr guint kExpiryCheckMs = 200;

using Clock = std::chrono::steady_clock;

GstRTSPLowerTrans lowerTransports(int transports)
{
    int lower = 0;
    lower |= (transports & OutsideOptions::Tcp) ? GST_RTSP_LOWER_TRANS_TCP : 0;
    lower |= (transports & OutsideOptions::Udp) ? GST_RTSP_LOWER_TRANS_UDP : 0;
    lower |= (transports & OutsideOptions::Multicast) ? GST_RTSP_LOWER_TRANS_UDP_MCAST : 0;
    return GstRTSPLowerTrans(lower);
}

// A multicast group and ports of this process alone, so that servers of tests running at the
// same time never mix their streams.
GstPtr<GstRTSPAddressPool> multicastPool()
{
    static std::atomic<int> next {0};
    const int pid = static_cast<int>(getpid());
    const std::string group
        = "239.77." + std::to_string((pid >> 8) & 255) + "." + std::to_string(pid & 255);
    const int port = 20000 + (pid % 1000) * 40 + (next++ % 4) * 10;
    GstPtr<GstRTSPAddressPool> pool(gst_rtsp_address_pool_new());
    gst_rtsp_address_pool_add_range(pool.get(), group.c_str(), group.c_str(), port, port + 9, 1);
    return pool;
}

// gst-rtsp-server binds the group's ports for itself alone (no SO_REUSEADDR) and keeps its
// packets from looping back to this machine, which a camera on another machine need not care
// about. A viewer here must bind the same ports and receive the looped packets: the sockets
// bound to the ports the SETUP reply names are opened up before the reply leaves.
void shareMulticastPorts(const GstRTSPMessage *reply)
{
    gchar *value = nullptr;
    std::smatch ports;
    const std::string transport
        = gst_rtsp_message_get_header(reply, GST_RTSP_HDR_TRANSPORT, &value, 0) == GST_RTSP_OK
        ? value
        : "";
    if (!std::regex_search(transport, ports, std::regex(";port=([0-9]+)-([0-9]+)")))
        return;
    const std::set<int> named {std::stoi(ports[1]), std::stoi(ports[2])};
    DIR *fds = opendir("/proc/self/fd");
    while (const dirent *entry = fds ? readdir(fds) : nullptr) {
        const int fd = std::atoi(entry->d_name);
        sockaddr_in address {};
        socklen_t length = sizeof address;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0
            || address.sin_family != AF_INET || !named.count(ntohs(address.sin_port)))
            continue;
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        const unsigned char loop = 1;
        setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
    }
    if (fds)
        closedir(fds);
}

// Multicast from a server to a viewer on the same machine is looped back by the kernel at the
// interface the group's route leads to (the loopback interface carries no MULTICAST flag), so
// without such a route (a container without a default route) it cannot be played here.
bool multicastRouted(std::string *error)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in group {};
    group.sin_family = AF_INET;
    group.sin_port = htons(9);
    group.sin_addr.s_addr = htonl(0xEF4D0001); // 239.77.0.1
    const bool routed = connect(fd, reinterpret_cast<sockaddr *>(&group), sizeof group) == 0;
    if (!routed && error)
        *error = std::string("no route for multicast on this machine: ") + std::strerror(errno);
    close(fd);
    return routed;
}

// The sender's own setting would close the loop again when the viewer is added.
void loopMulticastSinks(GstBin *, GstBin *, GstElement *element, gpointer)
{
    const GstElementFactory *factory = gst_element_get_factory(element);
    if (factory && g_str_equal(GST_OBJECT_NAME(factory), "multiudpsink"))
        g_object_set(element, "loop", TRUE, nullptr);
}

std::string methodOf(const GstRTSPContext *ctx)
{
    GstRTSPMethod method = GST_RTSP_INVALID;
    if (ctx && ctx->request)
        gst_rtsp_message_parse_request(ctx->request, &method, nullptr, nullptr);
    return gst_rtsp_method_as_text(method) ? gst_rtsp_method_as_text(method) : "";
}

} // namespace

struct OutsideCamera::Private
{
    ChannelSpec channel;
    OutsideOptions options;
    PtzState ptz;
    std::shared_ptr<LiveSource> source;
    GstPtr<GstRTSPServer> server;
    RtspServerLoop loop;
    int port = 0;

    mutable std::mutex mutex;
    bool dropping = false;
    int keepAlives = 0;
    std::map<std::string, Clock::time_point> started; // session id -> its set-up

    GstPtr<GstRTSPMediaFactory> factory();
    GstPtr<GstRTSPAuth> auth() const;
    void track(GstRTSPSession *session);
    void expire();
    void endSession(const std::string &id);
    static void onClient(GstRTSPServer *, GstRTSPClient *client, gpointer self);
    static void onNewSession(GstRTSPClient *, GstRTSPSession *session, gpointer self);
    static void onSend(GstRTSPClient *, GstRTSPContext *ctx, GstRTSPMessage *message,
                       gpointer self);
    static void onConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media, gpointer self);
};

GstPtr<GstRTSPMediaFactory> OutsideCamera::Private::factory()
{
    GstPtr<GstRTSPMediaFactory> f(gst_rtsp_media_factory_new());
    gst_rtsp_media_factory_set_launch(f.get(), StreamRecipe::liveLaunch(channel).c_str());
    gst_rtsp_media_factory_set_protocols(f.get(), lowerTransports(options.transports));
    if (options.transports & OutsideOptions::Multicast) {
        gst_rtsp_media_factory_set_address_pool(f.get(), multicastPool().get());
    }
    if (options.login != OutsideOptions::Open) {
        gst_rtsp_media_factory_add_role(f.get(), kRole, GST_RTSP_PERM_MEDIA_FACTORY_ACCESS,
                                        G_TYPE_BOOLEAN, TRUE, GST_RTSP_PERM_MEDIA_FACTORY_CONSTRUCT,
                                        G_TYPE_BOOLEAN, TRUE, nullptr);
    }
    g_signal_connect(f.get(), "media-configure", G_CALLBACK(&Private::onConfigure), this);
    return f;
}

GstPtr<GstRTSPAuth> OutsideCamera::Private::auth() const
{
    GstPtr<GstRTSPAuth> a(gst_rtsp_auth_new());
    GstRTSPToken *token
        = gst_rtsp_token_new(GST_RTSP_TOKEN_MEDIA_FACTORY_ROLE, G_TYPE_STRING, kRole, nullptr);
    if (options.login == OutsideOptions::Basic) {
        gst_rtsp_auth_set_supported_methods(a.get(), GST_RTSP_AUTH_BASIC);
        const GstPtr<gchar> basic(
            gst_rtsp_auth_make_basic(options.user.c_str(), options.password.c_str()));
        gst_rtsp_auth_add_basic(a.get(), basic.get(), token);
    } else {
        gst_rtsp_auth_set_supported_methods(a.get(), GST_RTSP_AUTH_DIGEST);
        gst_rtsp_auth_add_digest(a.get(), options.user.c_str(), options.password.c_str(), token);
    }
    gst_rtsp_token_unref(token);
    return a;
}

void OutsideCamera::Private::onConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media, gpointer self)
{
    const GstPtr<GstElement> element(gst_rtsp_media_get_element(media));
    const GstPtr<GstObject> pipeline(gst_object_get_parent(GST_OBJECT(element.get())));
    if (pipeline)
        g_signal_connect(pipeline.get(), "deep-element-added", G_CALLBACK(loopMulticastSinks),
                         nullptr);
    static_cast<Private *>(self)->source->attach(media, 0);
}

void OutsideCamera::Private::onClient(GstRTSPServer *, GstRTSPClient *client, gpointer self)
{
    g_signal_connect(client, "new-session", G_CALLBACK(&Private::onNewSession), self);
    g_signal_connect(client, "send-message", G_CALLBACK(&Private::onSend), self);
}

void OutsideCamera::Private::onNewSession(GstRTSPClient *, GstRTSPSession *session, gpointer self)
{
    auto *d = static_cast<Private *>(self);
    if (d->options.sessionTimeout > 0)
        gst_rtsp_session_set_timeout(session, static_cast<guint>(d->options.sessionTimeout));
    d->track(session);
}

void OutsideCamera::Private::track(GstRTSPSession *session)
{
    std::lock_guard<std::mutex> lock(mutex);
    started[gst_rtsp_session_get_sessionid(session)] = Clock::now();
}

// Rewrites answers where this camera differs from the server's own behaviour.
void OutsideCamera::Private::onSend(GstRTSPClient *, GstRTSPContext *ctx, GstRTSPMessage *message,
                                    gpointer self)
{
    auto *d = static_cast<Private *>(self);
    const std::string method = methodOf(ctx);
    if (method == "SETUP" && (d->options.transports & OutsideOptions::Multicast))
        shareMulticastPorts(message);
    gchar *session = nullptr;
    if ((method == "OPTIONS" || method == "GET_PARAMETER")
        && gst_rtsp_message_get_header(ctx->request, GST_RTSP_HDR_SESSION, &session, 0)
            == GST_RTSP_OK) {
        std::lock_guard<std::mutex> lock(d->mutex);
        ++d->keepAlives;
    }
    gchar *value = nullptr;
    if (method == "OPTIONS" && !d->options.getParameter
        && gst_rtsp_message_get_header(message, GST_RTSP_HDR_PUBLIC, &value, 0) == GST_RTSP_OK) {
        const std::string methods
            = std::regex_replace(std::string(value), std::regex("GET_PARAMETER, ?"), "");
        gst_rtsp_message_remove_header(message, GST_RTSP_HDR_PUBLIC, -1);
        gst_rtsp_message_add_header(message, GST_RTSP_HDR_PUBLIC, methods.c_str());
    }
    guint8 *body = nullptr;
    guint size = 0;
    if (method == "DESCRIBE" && d->options.parameterSets == OutsideOptions::StreamOnly
        && gst_rtsp_message_get_body(message, &body, &size) == GST_RTSP_OK && size > 0) {
        const std::string sdp
            = std::regex_replace(std::string(reinterpret_cast<const char *>(body), size),
                                 std::regex(";? ?sprop-[a-z-]+=[^;\r\n]*"), "");
        gst_rtsp_message_remove_header(message, GST_RTSP_HDR_CONTENT_LENGTH, -1);
        gst_rtsp_message_set_body(message, reinterpret_cast<const guint8 *>(sdp.data()),
                                  static_cast<guint>(sdp.size()));
    }
}

void OutsideCamera::Private::expire()
{
    const GstPtr<GstRTSPSessionPool> pool(gst_rtsp_server_get_session_pool(server.get()));
    std::vector<std::string> ended;
    {
        const auto limit = std::chrono::seconds(options.sessionTimeout + 1);
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = started.begin(); it != started.end();) {
            const GstPtr<GstRTSPSession> session(
                gst_rtsp_session_pool_find(pool.get(), it->first.c_str()));
            // The server's own clock counts every request and RTCP report of the viewer;
            // while keep-alives are dropped only the set-up counts.
            const bool over = !session
                || (dropping
                        ? Clock::now() - it->second > limit
                        : gst_rtsp_session_is_expired_usec(session.get(), g_get_monotonic_time()));
            if (over && session)
                ended.push_back(it->first);
            it = over ? started.erase(it) : std::next(it);
        }
    }
    for (const std::string &id : ended)
        endSession(id);
}

// Ends the session and closes the connections that carry it, as a camera does with a session
// nobody keeps alive.
void OutsideCamera::Private::endSession(const std::string &id)
{
    struct Match
    {
        std::string id;
    } match {id};
    gst_rtsp_server_client_filter(
        server.get(),
        [](GstRTSPServer *, GstRTSPClient *client, gpointer data) {
            const std::string &wanted = static_cast<Match *>(data)->id;
            bool carries = false;
            GList *sessions = gst_rtsp_client_session_filter(client, nullptr, nullptr);
            for (GList *s = sessions; s; s = s->next)
                carries = carries
                    || wanted == gst_rtsp_session_get_sessionid(GST_RTSP_SESSION(s->data));
            g_list_free_full(sessions, g_object_unref);
            return carries ? GST_RTSP_FILTER_REMOVE : GST_RTSP_FILTER_KEEP;
        },
        &match);
    const GstPtr<GstRTSPSessionPool> pool(gst_rtsp_server_get_session_pool(server.get()));
    const GstPtr<GstRTSPSession> session(gst_rtsp_session_pool_find(pool.get(), id.c_str()));
    if (session)
        gst_rtsp_session_pool_remove(pool.get(), session.get());
}

OutsideCamera::OutsideCamera(const ChannelSpec &channel, const OutsideOptions &options)
    : d(std::make_unique<Private>())
{
    gst_init(nullptr, nullptr);
    d->channel = channel;
    d->channel.parameterSetsInBand = options.parameterSets != OutsideOptions::DescriptionOnly;
    d->options = options;
}

OutsideCamera::~OutsideCamera()
{
    stop();
}

bool OutsideCamera::start(std::string *error)
{
    if (d->server)
        return true;
    if (d->options.transports == OutsideOptions::Multicast && !multicastRouted(error))
        return false;
    d->source = std::make_shared<LiveSource>(kDeviceId, d->channel, 0, &d->ptz);
    d->server.reset(gst_rtsp_server_new());
    gst_rtsp_server_set_address(d->server.get(), "127.0.0.1");
    gst_rtsp_server_set_service(d->server.get(), "0");
    if (d->options.login != OutsideOptions::Open)
        gst_rtsp_server_set_auth(d->server.get(), d->auth().get());
    const GstPtr<GstRTSPMountPoints> mounts(gst_rtsp_server_get_mount_points(d->server.get()));
    gst_rtsp_mount_points_add_factory(mounts.get(), kPath, d->factory().release());
    g_signal_connect(d->server.get(), "client-connected", G_CALLBACK(&Private::onClient), d.get());
    if (!d->loop.start(d->server.get())) {
        if (error)
            *error = "cannot listen on 127.0.0.1";
        d->server.reset();
        return false;
    }
    d->port = gst_rtsp_server_get_bound_port(d->server.get());
    if (d->options.sessionTimeout > 0) {
        GSource *check = g_timeout_source_new(kExpiryCheckMs);
        g_source_set_callback(
            check,
            [](gpointer self) -> gboolean {
                static_cast<Private *>(self)->expire();
                return gboolean(G_SOURCE_CONTINUE);
            },
            d.get(), nullptr);
        g_source_attach(check, d->loop.context());
        g_source_unref(check);
    }
    return true;
}

void OutsideCamera::stop()
{
    if (!d->server)
        return;
    d->loop.stop();
    d->server.reset();
    d->source->end();
    d->source.reset();
}

std::string OutsideCamera::url() const
{
    return d->options.login == OutsideOptions::Open ? url({}, {})
                                                    : url(d->options.user, d->options.password);
}

std::string OutsideCamera::url(const std::string &user, const std::string &password) const
{
    const GstPtr<gchar> u(g_uri_escape_string(user.c_str(), nullptr, FALSE));
    const GstPtr<gchar> p(g_uri_escape_string(password.c_str(), nullptr, FALSE));
    const std::string login = user.empty() ? "" : std::string(u.get()) + ":" + p.get() + "@";
    return "rtsp://" + login + "127.0.0.1:" + std::to_string(d->port) + kPath;
}

void OutsideCamera::dropKeepAlives(bool drop)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->dropping = drop;
}

int OutsideCamera::keepAlives() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->keepAlives;
}

} // namespace SimMedia
