#include "WebPortService.h"

#include "Log.h"
#include "PlatformClient.h"
#include "TaskQueue.h"
#include "Timeouts.h"
#include "WebRelay.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace StreamCore {

WebPortService::WebPortService(PlatformClient *platform, TaskQueue *requests, Report report)
    : m_platform(platform)
    , m_requests(requests)
    , m_report(std::move(report))
{ }

WebPortService::~WebPortService() = default;

bool WebPortService::addDevices(const std::string &json)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    if (!doc.isArray()) {
        SCLOG(6, "device list is not a JSON array: %s", error.errorString().toUtf8().constData());
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const QJsonValue &v : doc.array()) {
        const QJsonObject o = v.toObject();
        const std::string id = o.value("Sn").toString().toStdString();
        if (id.empty())
            continue;
        m_devices[id] = {o.value("Port").toInt(), o.value("User").toString().toStdString(),
                         o.value("Pwd").toString().toStdString()};
    }
    return true;
}

void WebPortService::open(const std::string &token, const std::string &deviceId)
{
    Device device;
    bool known = false;
    int attempt = 0;
    std::shared_ptr<WebRelay> earlier;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_devices.find(deviceId);
        known = it != m_devices.end();
        if (known)
            device = it->second;
        attempt = ++m_attempts;
        Opened &opened = m_opened[deviceId];
        opened.state = {0, WEB_PORT_OPENING};
        earlier = std::move(opened.relay);
        opened.attempt = attempt;
    }
    earlier.reset(); // its thread is joined outside the lock it may be waiting for
    m_requests->post([this, token, deviceId, device, known, attempt] {
        if (!known) {
            SCLOG(4, "web port: device %s is not among the user's devices", deviceId.c_str());
            finish(deviceId, attempt, 0);
            return;
        }
        const QJsonObject body {{"deviceId", QString::fromStdString(deviceId)},
                                {"port", device.port},
                                {"user", QString::fromStdString(device.user)},
                                {"password", QString::fromStdString(device.password)}};
        const PlatformClient::Reply reply = m_platform->post("/openapi/v1/device/web", body, token);
        const int port = reply.data.value("port").toInt();
        if (!reply.error.empty() || port <= 0) {
            SCLOG(4, "web port: the platform has no way to device %s (%s)", deviceId.c_str(),
                  reply.error.c_str());
            finish(deviceId, attempt, 0);
            return;
        }
        adopt(deviceId, attempt,
              std::make_shared<WebRelay>(
                  reply.data.value("host").toString().toStdString(), port, Timeouts::openMs(),
                  [this, deviceId, attempt](int local) { finish(deviceId, attempt, local); }));
    });
}

void WebPortService::adopt(const std::string &deviceId, int attempt,
                           std::shared_ptr<WebRelay> relay)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_opened.find(deviceId);
        if (it != m_opened.end() && it->second.attempt == attempt)
            it->second.relay.swap(relay);
    }
    // A relay nobody waits for any more ends here, outside the lock.
}

void WebPortService::finish(const std::string &deviceId, int attempt, int port)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_opened.find(deviceId);
        // Cleared or asked again meanwhile: this outcome is stale.
        if (it == m_opened.end() || it->second.attempt != attempt)
            return;
        it->second.state = {port, port > 0 ? WEB_PORT_OPEN : WEB_PORT_FAILED};
    }
    m_report(deviceId, port);
}

PortState WebPortService::state(const std::string &deviceId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_opened.find(deviceId);
    return it == m_opened.end() ? PortState {0, WEB_PORT_NONE} : it->second.state;
}

void WebPortService::clear(const std::string &deviceId)
{
    std::shared_ptr<WebRelay> relay;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_opened.find(deviceId);
        if (it == m_opened.end())
            return;
        relay = std::move(it->second.relay);
        m_opened.erase(it);
    }
    // Ending the relay joins its thread, which may be waiting for the lock to report.
}

void WebPortService::clearAll()
{
    std::map<std::string, Opened> opened;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        opened.swap(m_opened);
        m_devices.clear();
    }
}

} // namespace StreamCore
