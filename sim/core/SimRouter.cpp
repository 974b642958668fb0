#include "SimRouter.h"

#include <httplib.h>
#include <kwl/KPrintLog.h>

#include <set>

namespace {

QString routeKey(const QString &method, const QString &path)
{
    return method + ' ' + path;
}

SimRequest toSimRequest(const httplib::Request &in, const QString &scheme)
{
    // httplib adds the two ends of the connection as headers; they were not sent.
    static const std::set<std::string> added
        = {"REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR", "LOCAL_PORT"};
    SimRequest request;
    request.scheme = scheme;
    request.method = QString::fromStdString(in.method);
    request.path = QString::fromStdString(in.path);
    const size_t question = in.target.find('?');
    if (question != std::string::npos)
        request.query = QString::fromStdString(in.target.substr(question + 1));
    for (const auto &header : in.headers) {
        if (added.count(header.first) == 0)
            request.headers.append({QByteArray::fromStdString(header.first),
                                    QByteArray::fromStdString(header.second)});
    }
    request.body = QByteArray::fromStdString(in.body);
    return request;
}

} // namespace

SimRouter::SimRouter(FaultTable &faults, RequestLog &log, const StopFlag &stop)
    : m_faults(faults)
    , m_log(log)
    , m_stop(stop)
    , m_writer(stop)
    , m_fallback([](const SimRequest &request) {
        return SimReply::refusal(404, QString("no route %1 %2").arg(request.method, request.path));
    })
{ }

void SimRouter::add(const QString &method, const QString &path, Handler handler)
{
    m_routes.insert(routeKey(method, path), {std::move(handler), false});
}

void SimRouter::addControl(const QString &method, const QString &path, Handler handler)
{
    m_routes.insert(routeKey(method, path), {std::move(handler), true});
}

void SimRouter::setFallback(Handler handler)
{
    m_fallback = std::move(handler);
}

void SimRouter::install(httplib::Server &server, const QString &scheme) const
{
    const auto handler
        = [this, scheme](const httplib::Request &request, httplib::Response &response) {
              serve(request, response, scheme);
          };
    const std::string any = ".*";
    server.Get(any, handler).Post(any, handler).Put(any, handler).Patch(any, handler);
    server.Delete(any, handler);
}

void SimRouter::serve(const httplib::Request &httpRequest, httplib::Response &httpResponse,
                      const QString &scheme) const
{
    SimRequest request = toSimRequest(httpRequest, scheme);
    const QString method = request.method == "HEAD" ? QString("GET") : request.method;
    const auto route = m_routes.constFind(routeKey(method, request.path));
    if (route != m_routes.constEnd() && route->control) {
        m_writer.write(route->handler(request), 0, 0, httpResponse);
        return;
    }

    const std::optional<Fault> fault = m_faults.take(request.method, request.path);
    if (fault)
        request.fault = Fault::actionName(fault->action);
    m_log.add(request);
    KLOG(4, "%s %s %s%s", qPrintable(scheme), qPrintable(request.method), qPrintable(request.path),
         fault ? qPrintable(" (fault " + request.fault + ")") : "");

    const bool stopped = fault && fault->delayMs > 0 && !m_stop.sleepFor(fault->delayMs);
    if (stopped || (fault && fault->action == Fault::Action::Close)) {
        if (!ReplyWriter::closeConnection(httpRequest)) {
            KLOG(6, "cannot find the connection of %s %s to close it", qPrintable(request.method),
                 qPrintable(request.path));
            m_writer.write(SimReply::refusal(500, "connection not closed"), 0, 0, httpResponse);
        }
        return;
    }
    SimReply reply = route != m_routes.constEnd() ? route->handler(request) : m_fallback(request);
    if (fault)
        reply = fault->apply(reply);
    m_writer.write(reply, fault ? fault->chunks : 0, fault ? fault->chunkIntervalMs : 0,
                   httpResponse);
}
