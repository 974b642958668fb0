#include "ControlRoutes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrlQuery>

#include <kwl/KPrintLog.h>

namespace {

SimReply ok(QJsonObject members = {})
{
    members.insert("ok", true);
    return SimReply::json(members);
}

SimReply refused(const QString &error)
{
    KLOG(4, "control request refused: %s", qPrintable(error));
    return SimReply::json({{"ok", false}, {"error", error}}, 400);
}

// Wraps a handler that takes the request's JSON object (an empty body counts as {}).
SimRouter::Handler withBody(std::function<SimReply(const QJsonObject &)> handler)
{
    return [handler](const SimRequest &request) {
        if (request.body.trimmed().isEmpty())
            return handler({});
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
        if (error.error != QJsonParseError::NoError)
            return refused("the body is not JSON: " + error.errorString());
        if (!document.isObject())
            return refused("the body must be a JSON object");
        return handler(document.object());
    };
}

} // namespace

ControlRoutes::ControlRoutes(FaultTable &faults, RequestLog &log, TokenStore &tokens,
                             ClientVersion &version)
    : m_faults(faults)
    , m_log(log)
    , m_tokens(tokens)
    , m_version(version)
{ }

void ControlRoutes::install(SimRouter &router)
{
    router.addControl("GET", "/sim/faults", [this](const SimRequest &) { return listFaults(); });
    router.addControl("POST", "/sim/faults",
                      withBody([this](const QJsonObject &b) { return addFault(b); }));
    router.addControl("POST", "/sim/faults/clear",
                      withBody([this](const QJsonObject &b) { return clearFaults(b); }));
    router.addControl("POST", "/sim/tokens/expire",
                      withBody([this](const QJsonObject &b) { return expireTokens(b); }));
    router.addControl("GET", "/sim/version", [this](const SimRequest &) {
        return ok({{"version", m_version.get()}});
    });
    router.addControl("POST", "/sim/version",
                      withBody([this](const QJsonObject &b) { return setVersion(b); }));
    router.addControl("GET", "/sim/requests",
                      [this](const SimRequest &r) { return listRequests(r); });
    router.addControl("POST", "/sim/requests/clear",
                      [this](const SimRequest &) { return clearRequests(); });
}

SimReply ControlRoutes::addFault(const QJsonObject &body)
{
    QString error;
    const std::optional<Fault> fault = Fault::fromJson(body, &error);
    if (!fault)
        return refused(error);
    m_faults.add(*fault);
    return ok({{"fault", fault->toJson()}});
}

SimReply ControlRoutes::listFaults() const
{
    QJsonArray list;
    for (const Fault &fault : m_faults.list())
        list.append(fault.toJson());
    return ok({{"faults", list}});
}

SimReply ControlRoutes::clearFaults(const QJsonObject &body)
{
    if (body.contains("path") && !body.value("path").isString())
        return refused("\"path\" must be a string");
    m_faults.clear(body.value("path").toString());
    return ok();
}

SimReply ControlRoutes::expireTokens(const QJsonObject &body)
{
    const QString scope = body.value("scope").toString("device");
    if (scope != "device" && scope != "sessions" && scope != "all")
        return refused("\"scope\" must be \"device\", \"sessions\" or \"all\"");
    if (scope != "sessions")
        m_tokens.expireDeviceTokens();
    if (scope != "device")
        m_tokens.closeSessions();
    return ok();
}

SimReply ControlRoutes::setVersion(const QJsonObject &body)
{
    QString error;
    if (!m_version.merge(body, &error))
        return refused(error);
    return ok({{"version", m_version.get()}});
}

SimReply ControlRoutes::listRequests(const SimRequest &request) const
{
    const QString path = QUrlQuery(request.query).queryItemValue("path", QUrl::FullyDecoded);
    QJsonArray list;
    for (const SimRequest &logged : m_log.requests(path))
        list.append(logged.toJson());
    return ok({{"requests", list}});
}

SimReply ControlRoutes::clearRequests()
{
    m_log.clear();
    return ok();
}
