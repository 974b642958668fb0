#include "DeviceWebPage.h"

#include <httplib.h>

#include <QtGlobal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace SimMedia {

namespace {

constexpr int kPictureWidth = 160;
constexpr int kPictureHeight = 90;
constexpr size_t kDefaultDownload = 1 << 20;
constexpr size_t kLargestDownload = size_t(2) << 30;
constexpr size_t kDownloadChunk = 64 * 1024;
constexpr int kStartWaitMs = 2000;

// The switches by device id and the pages now running, for the whole process.
struct Registry
{
    std::mutex mutex;
    std::map<std::string, DeviceWebPage::State> states;
    std::multimap<std::string, DeviceWebPage *> pages;
};

Registry &registry()
{
    static Registry r;
    return r;
}

std::string escapeHtml(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The same port can be listened on again at once after a switch.
void reusePort(int socket)
{
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    setsockopt(socket, SOL_SOCKET, SO_REUSEPORT, &yes, sizeof yes);
}

void putLittleEndian(std::string &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

// A 24-bit BMP of the device's test pattern: colour bars tinted by the device id.
std::string snapshotPicture(const std::string &deviceId)
{
    const uint32_t tint = static_cast<uint32_t>(std::hash<std::string> {}(deviceId));
    const uint32_t rowBytes = kPictureWidth * 3; // a multiple of 4: no padding
    const uint32_t pixelBytes = rowBytes * kPictureHeight;
    std::string bmp = "BM";
    putLittleEndian(bmp, 54 + pixelBytes, 4);
    putLittleEndian(bmp, 0, 4);
    putLittleEndian(bmp, 54, 4);
    for (uint32_t value : {40u, uint32_t(kPictureWidth), uint32_t(kPictureHeight)})
        putLittleEndian(bmp, value, 4);
    putLittleEndian(bmp, 1, 2);
    putLittleEndian(bmp, 24, 2);
    for (uint32_t value : {0u, pixelBytes, 2835u, 2835u, 0u, 0u})
        putLittleEndian(bmp, value, 4);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const int bar = x * 8 / kPictureWidth;
            const int level = 255 - y;
            bmp += static_cast<char>((bar & 1 ? level : 0) ^ (tint & 0x3f));
            bmp += static_cast<char>((bar & 2 ? level : 0) ^ ((tint >> 8) & 0x3f));
            bmp += static_cast<char>((bar & 4 ? level : 0) ^ ((tint >> 16) & 0x3f));
        }
    }
    return bmp;
}

// Byte i of every recording download: a pattern a reader can check.
char recordingByte(size_t i)
{
    return static_cast<char>((i * 31 + i / 4096) % 251);
}

std::string pageHtml(const std::string &title, const std::string &deviceName,
                     const std::string &body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + escapeHtml(title)
        + "</title></head><body><header><h1>" + escapeHtml(deviceName)
        + "</h1><nav><a href=\"/\">Status</a> | <a href=\"/settings\">Settings</a> | "
          "<a href=\"/snapshot.bmp\">Snapshot</a></nav></header><main>"
        + body + "</main></body></html>";
}

} // namespace

DeviceWebPage::DeviceWebPage(const std::string &deviceId, const std::string &deviceName)
    : m_deviceId(deviceId)
    , m_deviceName(deviceName)
    , m_settings {{"name", deviceName}, {"ntp", "pool.ntp.org"}, {"timezone", "UTC+08:00"}}
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!serveSite())
        return;
    const auto state = r.states.find(deviceId);
    if (state != r.states.end())
        apply(state->second);
    r.pages.emplace(deviceId, this);
}

DeviceWebPage::~DeviceWebPage()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto it = r.pages.begin(); it != r.pages.end(); ++it) {
        if (it->second == this) {
            r.pages.erase(it);
            break;
        }
    }
    stopListening();
}

void DeviceWebPage::setState(const std::string &deviceId, State state)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.states[deviceId] = state;
    const auto pages = r.pages.equal_range(deviceId);
    for (auto it = pages.first; it != pages.second; ++it)
        it->second->apply(state);
}

bool DeviceWebPage::stateNamed(const std::string &name, State *state)
{
    static const std::map<std::string, State> names = {{"online", State::Online},
                                                       {"offline", State::Offline},
                                                       {"refuse", State::Refuse},
                                                       {"silent", State::Silent}};
    const auto it = names.find(name);
    if (it == names.end())
        return false;
    *state = it->second;
    return true;
}

void DeviceWebPage::resetStates()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.states.clear();
    for (const auto &page : r.pages)
        page.second->apply(State::Online);
}

void DeviceWebPage::apply(State state)
{
    if (m_port == 0)
        return;
    stopListening();
    const bool listening = state == State::Online ? serveSite()
        : state == State::Offline                 ? true
                                                  : listenRaw(state);
    if (!listening)
        qWarning("device web page %s: port %d cannot be taken again", m_deviceId.c_str(), m_port);
}

void DeviceWebPage::stopListening()
{
    if (m_server) {
        m_server->stop();
        if (m_serverThread.joinable())
            m_serverThread.join();
        m_server.reset();
    }
    m_rawStop = true;
    if (m_rawThread.joinable())
        m_rawThread.join();
    if (m_rawSocket >= 0) {
        close(m_rawSocket);
        m_rawSocket = -1;
    }
}

bool DeviceWebPage::serveSite()
{
    m_server = std::make_unique<httplib::Server>();
    m_server->set_socket_options(&reusePort);
    // Short, so that a switch never waits long for a browser's idle connection.
    m_server->set_keep_alive_timeout(1);
    addRoutes(*m_server);
    if (m_port == 0) {
        m_port = std::max(0, m_server->bind_to_any_port("127.0.0.1"));
        if (m_port == 0)
            return false;
    } else if (!m_server->bind_to_port("127.0.0.1", m_port)) {
        return false;
    }
    m_serverThread = std::thread([server = m_server.get()] { server->listen_after_bind(); });
    // A stop reaches only a server that listens already: a switch right after a start would
    // otherwise wait for a server that never stops.
    for (int waited = 0; !m_server->is_running() && waited < kStartWaitMs; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

bool DeviceWebPage::listenRaw(State state)
{
    m_rawSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(m_port));
    if (m_rawSocket < 0)
        return false;
    reusePort(m_rawSocket);
    if (bind(m_rawSocket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || listen(m_rawSocket, 64) != 0)
        return false;
    // Silent: the system completes the connections and nobody ever reads them.
    if (state == State::Refuse) {
        m_rawStop = false;
        m_rawThread = std::thread([this] {
            while (!m_rawStop) {
                pollfd fd {m_rawSocket, POLLIN, 0};
                if (poll(&fd, 1, 100) > 0) {
                    const int connection = accept(m_rawSocket, nullptr, nullptr);
                    if (connection >= 0)
                        close(connection);
                }
            }
        });
    }
    return true;
}

void DeviceWebPage::addRoutes(httplib::Server &server)
{
    server.Get("/", [this](const httplib::Request &, httplib::Response &res) {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        const std::string body = "<p>Device <span id=\"deviceId\">" + escapeHtml(m_deviceId)
            + "</span>, name <span id=\"name\">" + escapeHtml(m_settings["name"])
            + "</span></p><p>Time server " + escapeHtml(m_settings["ntp"]) + ", time zone "
            + escapeHtml(m_settings["timezone"])
            + "</p><p><img src=\"/snapshot.bmp\" alt=\"Snapshot\"></p>"
              "<p><a href=\"/recording.bin\">Download the latest recording</a></p>";
        res.set_content(pageHtml("Device " + m_deviceId, m_settings["name"], body),
                        "text/html; charset=utf-8");
    });
    server.Get("/settings", [this](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        std::string form = req.has_param("saved") ? "<p id=\"saved\">Saved.</p>" : "";
        form += "<form method=\"post\" action=\"/settings\">";
        for (const char *key : {"name", "ntp", "timezone"})
            form += std::string("<label>") + key + " <input name=\"" + key + "\" value=\""
                + escapeHtml(m_settings[key]) + "\"></label><br>";
        form += "<button type=\"submit\">Save</button></form>";
        res.set_content(pageHtml("Settings", m_settings["name"], form), "text/html; charset=utf-8");
    });
    server.Post("/settings", [this](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        for (const char *key : {"name", "ntp", "timezone"}) {
            if (req.has_param(key) && !req.get_param_value(key).empty())
                m_settings[key] = req.get_param_value(key);
        }
        res.set_redirect("/settings?saved=1", 303);
    });
    const std::string picture = snapshotPicture(m_deviceId);
    server.Get("/snapshot.bmp", [picture](const httplib::Request &, httplib::Response &res) {
        res.set_content(picture, "image/bmp");
    });
    server.Get("/recording.bin", [](const httplib::Request &req, httplib::Response &res) {
        size_t bytes = kDefaultDownload;
        if (req.has_param("bytes"))
            bytes = std::min<size_t>(
                std::strtoull(req.get_param_value("bytes").c_str(), nullptr, 10), kLargestDownload);
        res.set_content_provider(bytes, "application/octet-stream",
                                 [](size_t offset, size_t length, httplib::DataSink &sink) {
                                     std::string chunk(std::min(length, kDownloadChunk), '\0');
                                     for (size_t i = 0; i < chunk.size(); ++i)
                                         chunk[i] = recordingByte(offset + i);
                                     return sink.write(chunk.data(), chunk.size());
                                 });
    });
}

} // namespace SimMedia
