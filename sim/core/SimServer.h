#pragma once

#include "AbilityRoutes.h"
#include "ClientVersion.h"
#include "ControlRoutes.h"
#include "DeviceFile.h"
#include "ExportRoutes.h"
#include "DoorRoutes.h"
#include "GatewayRoutes.h"
#include "SimRouter.h"
#include "StaticFiles.h"
#include "TokenStore.h"
#include "WebAppRoutes.h"

#include <functional>
#include <memory>

class SelfSignedCertificate;
class SimListener;

struct SimServerOptions
{
    int httpPort = 0; // 0: a free port
    int httpsPort = 0; // 0: a free port
    bool https = true; // also listen for HTTPS, with a certificate signed by itself
    QString webAppFolder; // the web application's files; empty: none
};

// orvane-sim, the reference platform, in-process: the gateway, the web application's files and
// the control API on 127.0.0.1, with the request log and the faults reachable from C++ as well.
class SimServer
{
public:
    explicit SimServer(const DeviceFile &devices = DeviceFile::builtIn());
    ~SimServer();

    // Lets another part of the platform add its own routes to each listener before start();
    // they take their paths before the platform's own routes.
    void setExtraRoutes(std::function<void(httplib::Server &)> addRoutes);
    // Adds a platform route (logged, faults apply) before start().
    void addRoute(const QString &method, const QString &path, SimRouter::Handler handler);
    // Adds a route of the control API (neither logged nor faulted) before start().
    void addControlRoute(const QString &method, const QString &path, SimRouter::Handler handler);

    // Starts listening; false and a message when a port or the certificate cannot be had.
    bool start(const SimServerOptions &options, QString *error);
    // Stops listening; late and trickled answers in progress end at once.
    void stop();

    int httpPort() const; // 0 when stopped
    int httpsPort() const; // 0 when stopped or HTTPS is off
    QString httpUrl() const; // "http://127.0.0.1:<port>"
    QString httpsUrl() const; // "https://127.0.0.1:<port>"

    // Logs a user in as the login page does; the user's gateway token, empty when refused.
    QString login(const QString &userName, const QString &password);
    // The open platform's check of a device-platform token.
    bool isDeviceTokenValid(const std::string &token) const;

    // The platform's parts, for tests: faults, request log, sessions and tokens, published
    // version, device file.
    FaultTable &faults() { return m_faults; }
    RequestLog &requestLog() { return m_log; }
    TokenStore &tokens() { return m_tokens; }
    ClientVersion &clientVersion() { return m_version; }
    const DeviceFile &devices() const { return m_devices; }
    WebAppRoutes &webApp() { return m_webApp; }

private:
    std::unique_ptr<SimListener> makeListener(std::unique_ptr<httplib::Server> server,
                                              const QString &scheme);

    const DeviceFile m_devices;
    StopFlag m_stop;
    FaultTable m_faults;
    RequestLog m_log;
    TokenStore m_tokens;
    ClientVersion m_version;
    SimRouter m_router;
    GatewayRoutes m_gateway;
    AbilityRoutes m_abilities;
    DoorRoutes m_doors;
    ControlRoutes m_control;
    WebAppRoutes m_webApp;
    ExportRoutes m_exports;
    std::unique_ptr<StaticFiles> m_files;
    std::function<void(httplib::Server &)> m_extraRoutes;
    std::unique_ptr<SelfSignedCertificate> m_certificate;
    std::unique_ptr<SimListener> m_http;
    std::unique_ptr<SimListener> m_https;
};
