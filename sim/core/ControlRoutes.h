#pragma once

#include "ClientVersion.h"
#include "SimRouter.h"
#include "TokenStore.h"

// The control API under "/sim/": tests and scripts set faults, expire tokens, change the
// published client version and read the request log. JSON in, JSON out; a refused request gets
// status 400 and {"ok":false,"error":...}.
class ControlRoutes
{
public:
    ControlRoutes(FaultTable &faults, RequestLog &log, TokenStore &tokens, ClientVersion &version);

    // Adds the control routes to the router.
    void install(SimRouter &router);

private:
    SimReply addFault(const QJsonObject &body);
    SimReply listFaults() const;
    SimReply clearFaults(const QJsonObject &body);
    SimReply expireTokens(const QJsonObject &body);
    SimReply setVersion(const QJsonObject &body);
    SimReply listRequests(const SimRequest &request) const;
    SimReply clearRequests();

    FaultTable &m_faults;
    RequestLog &m_log;
    TokenStore &m_tokens;
    ClientVersion &m_version;
};
