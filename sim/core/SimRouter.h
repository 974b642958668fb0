#pragma once

#include "FaultTable.h"
#include "ReplyWriter.h"
#include "RequestLog.h"

#include <QHash>

#include <functional>

namespace httplib {
class Server;
} // namespace httplib

// Routes requests by method and exact path. Requests to platform routes are logged and the
// waiting faults are applied to their answers; control routes are neither logged nor faulted.
// Routes are added before the server starts.
class SimRouter
{
public:
    using Handler = std::function<SimReply(const SimRequest &)>;

    SimRouter(FaultTable &faults, RequestLog &log, const StopFlag &stop);

    // Adds a platform route.
    void add(const QString &method, const QString &path, Handler handler);
    // Adds a route of the control API.
    void addControl(const QString &method, const QString &path, Handler handler);
    // Answers the platform requests that no route takes.
    void setFallback(Handler handler);
    // Makes the router answer every request of the server that routes added earlier to the
    // server itself do not take.
    void install(httplib::Server &server, const QString &scheme) const;

private:
    struct Route
    {
        Handler handler;
        bool control = false;
    };

    void serve(const httplib::Request &httpRequest, httplib::Response &httpResponse,
               const QString &scheme) const;

    FaultTable &m_faults;
    RequestLog &m_log;
    const StopFlag &m_stop;
    ReplyWriter m_writer;
    QHash<QString, Route> m_routes; // "METHOD path"
    Handler m_fallback;
};
