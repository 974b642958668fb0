#include "RtspSourceSetup.h"

#include "Timeouts.h"

#include <gst/gst.h>

#include <QUrl>

namespace StreamCore {

namespace {

// Over TCP nothing arrives out of order or gets lost, so the jitter buffer need not hold
// pictures back (it would delay the first one by as much); over UDP it reorders what the
// network mixed up.
constexpr guint kTcpJitterMs = 0;
constexpr guint kUdpJitterMs = 200;

struct TransportInfo
{
    const char *name;
    const char *protocols; // rtspsrc's "protocols" flags
};

const TransportInfo kTransports[] = {
    {"tcp", "tcp"},
    {"udp", "udp"},
    {"multicast", "udp-mcast"},
};

} // namespace

RtspSourceSetup::RtspSourceSetup(const std::string &url)
    : m_location(url)
    , m_shownUrl(masked(url))
{
    QUrl parsed(QString::fromStdString(url));
    if (!parsed.isValid() || (parsed.userName().isEmpty() && parsed.password().isEmpty()))
        return;
    m_hasLogin = true;
    m_user = parsed.userName().toStdString();
    m_password = parsed.password().toStdString();
    parsed.setUserInfo(QString());
    m_location = parsed.toString(QUrl::FullyEncoded).toStdString();
}

std::string RtspSourceSetup::masked(const std::string &url)
{
    // The login ends at the last "@" before the path.
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return url;
    const size_t host = scheme + 3;
    const size_t at = url.rfind('@', url.find('/', host));
    if (at == std::string::npos || at < host)
        return url;
    return url.substr(0, host) + "***" + url.substr(at);
}

const char *RtspSourceSetup::transportName() const
{
    return kTransports[m_transport].name;
}

bool RtspSourceSetup::next()
{
    if (m_transport == Multicast)
        return false;
    m_transport = Transport(m_transport + 1);
    return true;
}

void RtspSourceSetup::apply(GstElement *rtspsrc) const
{
    g_object_set(rtspsrc, "location", m_location.c_str(), "latency",
                 m_transport == Tcp ? kTcpJitterMs : kUdpJitterMs, nullptr);
    // The source gives UDP up after 5 s without data by default: on a busy machine a camera's
    // first packets came later than that, and the open failed while it still had time. UDP
    // now has the whole open time.
    g_object_set(rtspsrc, "timeout", guint64(Timeouts::openMs()) * 1000, nullptr);
    if (m_hasLogin)
        g_object_set(rtspsrc, "user-id", m_user.c_str(), "user-pw", m_password.c_str(), nullptr);
    gst_util_set_object_arg(G_OBJECT(rtspsrc), "protocols", kTransports[m_transport].protocols);
}

} // namespace StreamCore
