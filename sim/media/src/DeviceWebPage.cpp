#include "DeviceWebPage.h"

#include <httplib.h>

namespace SimMedia {

namespace {

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

} // namespace

DeviceWebPage::DeviceWebPage(const std::string &deviceId, const std::string &deviceName)
    : m_server(std::make_unique<httplib::Server>())
{
    const std::string page = "<!DOCTYPE html><html><head><title>Device " + escapeHtml(deviceId)
        + "</title></head><body><h1>" + escapeHtml(deviceName) + "</h1><p id=\"deviceId\">"
        + escapeHtml(deviceId) + "</p><p>Device configuration</p></body></html>";
    m_server->Get("/", [page](const httplib::Request &, httplib::Response &res) {
        res.set_content(page, "text/html; charset=utf-8");
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port > 0)
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
    else
        m_port = 0;
}

DeviceWebPage::~DeviceWebPage()
{
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace SimMedia
