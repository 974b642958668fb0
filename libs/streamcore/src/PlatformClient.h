#pragma once

#include <QJsonObject>

#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace httplib {
class ClientImpl;
class Result;
} // namespace httplib

namespace StreamCore {

// Requests to the open platform over HTTP(S) with the device-platform token. Blocking: used
// from the library's worker threads only.
class PlatformClient
{
public:
    struct Reply
    {
        std::string error; // "" on success, else a MediaError text
        QJsonObject data; // the answer's "data" object
    };
    using Params = std::multimap<std::string, std::string>;

    // Port 443 is HTTPS, any other plain HTTP; an empty host clears the endpoint.
    void setEndpoint(const std::string &host, int port);
    bool configured() const;

    Reply get(const std::string &path, const Params &params, const std::string &token) const;
    Reply post(const std::string &path, const QJsonObject &body, const std::string &token) const;

private:
    struct Endpoint
    {
        std::string host;
        int port = 0;
    };
    Endpoint endpoint() const;
    // Runs a request on this thread's connection to the endpoint.
    Reply send(const std::string &path,
               const std::function<httplib::Result(httplib::ClientImpl &)> &request) const;
    static Reply decode(int status, const std::string &body, const std::string &path);

    mutable std::mutex m_mutex;
    Endpoint m_endpoint;
};

} // namespace StreamCore
