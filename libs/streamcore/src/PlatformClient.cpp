#include "PlatformClient.h"

#include "Log.h"
#include "MediaError.h"
#include "RtspSourceSetup.h"

#include <httplib.h>

#include <QJsonDocument>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace StreamCore {

namespace {

constexpr int kConnectSeconds = 5;
constexpr int kReadSeconds = 10;
constexpr std::chrono::milliseconds kStaleFailure {500};

std::unique_ptr<httplib::ClientImpl> makeClient(const std::string &host, int port)
{
    std::unique_ptr<httplib::ClientImpl> client;
    if (port == 443) {
        auto ssl = std::make_unique<httplib::SSLClient>(host, port);
        ssl->enable_server_certificate_verification(true);
        // A private certificate authority (for example a test platform's) may be named.
        if (const char *ca = std::getenv("STREAMCORE_CA_FILE"))
            ssl->set_ca_cert_path(ca);
        client = std::move(ssl);
    } else {
        client = std::make_unique<httplib::ClientImpl>(host, port);
    }
    client->set_connection_timeout(kConnectSeconds, 0);
    client->set_read_timeout(kReadSeconds, 0);
    client->set_write_timeout(kReadSeconds, 0);
    client->set_keep_alive(true);
    client->set_tcp_nodelay(true);
    return client;
}

httplib::Headers headersFor(const std::string &token)
{
    return {{"Authorization", "Bearer " + token}, {"Accept", "application/json"}};
}

} // namespace

void PlatformClient::setEndpoint(const std::string &host, int port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_endpoint = {host, port};
}

bool PlatformClient::configured() const
{
    const Endpoint e = endpoint();
    return !e.host.empty() && e.port > 0;
}

PlatformClient::Endpoint PlatformClient::endpoint() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_endpoint;
}

PlatformClient::Reply PlatformClient::decode(int status, const std::string &body,
                                             const std::string &path)
{
    Reply reply;
    reply.error = MediaError::fromHttpStatus(status);
    if (!reply.error.empty()) {
        SCLOG(status == 0 ? 6 : 4, "open platform %s: status %d", path.c_str(), status);
        return reply;
    }
    QJsonParseError parseError {};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(body), &parseError);
    if (!doc.isObject() || doc.object().value("code").toInt(-1) != 0) {
        // An address in the answer may carry a camera's login.
        SCLOG(6, "open platform %s: unexpected answer [%s]", path.c_str(),
              RtspSourceSetup::masked(body.substr(0, 200)).c_str());
        reply.error = MediaError::kOther;
        return reply;
    }
    reply.data = doc.object().value("data").toObject();
    return reply;
}

PlatformClient::Reply PlatformClient::get(const std::string &path, const Params &params,
                                          const std::string &token) const
{
    const httplib::Params query(params.begin(), params.end());
    const std::string target = httplib::append_query_params(path, query);
    return send(path, [&](httplib::ClientImpl &client) {
        return client.Get(target.c_str(), headersFor(token));
    });
}

PlatformClient::Reply PlatformClient::post(const std::string &path, const QJsonObject &body,
                                           const std::string &token) const
{
    const std::string text = QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString();
    return send(path, [&](httplib::ClientImpl &client) {
        return client.Post(path.c_str(), headersFor(token), text, "application/json");
    });
}

PlatformClient::Reply PlatformClient::send(
    const std::string &path, const std::function<httplib::Result(httplib::ClientImpl &)> &request) const
{
    // Each worker thread keeps its connection (and its TLS session) open from one request to
    // the next: opening sixteen windows then costs a handshake per worker, not per window.
    thread_local std::unique_ptr<httplib::ClientImpl> kept;
    thread_local Endpoint keptFor;
    const Endpoint e = endpoint();
    if (e.host.empty())
        return {MediaError::kConnection, {}};
    const bool reused = kept && keptFor.host == e.host && keptFor.port == e.port;
    if (!reused) {
        kept = makeClient(e.host, e.port);
        keptFor = e;
    }
    const auto sent = std::chrono::steady_clock::now();
    httplib::Result result = request(*kept);
    // A kept connection the server closed just as the request went out fails at once: that
    // request goes again on a new one. A server that does not answer is not waited for twice.
    if (!result && reused && std::chrono::steady_clock::now() - sent < kStaleFailure) {
        kept = makeClient(e.host, e.port);
        result = request(*kept);
    }
    return result ? decode(result->status, result->body, path) : decode(0, {}, path);
}

} // namespace StreamCore
