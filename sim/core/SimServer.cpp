#include "SimServer.h"

#include "SelfSignedCertificate.h"
#include "SimListener.h"

#include <httplib.h>

#include <csignal>

SimServer::SimServer(const DeviceFile &devices)
    : m_devices(devices)
    , m_tokens(devices.tokenLifetime())
    , m_version(devices.version())
    , m_router(m_faults, m_log, m_stop)
    , m_gateway(m_devices, m_tokens, m_version)
    , m_abilities(m_devices, m_tokens)
    , m_doors(m_devices, m_tokens)
    , m_control(m_faults, m_log, m_tokens, m_version)
    , m_webApp(m_devices, m_tokens, m_stop)
    , m_exports(m_devices, m_tokens, m_webApp)
{
    m_gateway.install(m_router);
    m_abilities.install(m_router);
    m_doors.install(m_router);
    m_control.install(m_router);
    m_webApp.install(m_router);
    m_exports.install(m_router);
}

SimServer::~SimServer()
{
    stop();
}

void SimServer::setExtraRoutes(std::function<void(httplib::Server &)> addRoutes)
{
    m_extraRoutes = std::move(addRoutes);
}

void SimServer::addRoute(const QString &method, const QString &path, SimRouter::Handler handler)
{
    m_router.add(method, path, std::move(handler));
}

void SimServer::addControlRoute(const QString &method, const QString &path,
                                SimRouter::Handler handler)
{
    m_router.addControl(method, path, std::move(handler));
}

bool SimServer::start(const SimServerOptions &options, QString *error)
{
    stop();
    // A client that hangs up in the middle of an answer must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    m_stop.reset();
    m_files = std::make_unique<StaticFiles>(options.webAppFolder);
    m_router.setFallback([this](const SimRequest &request) { return m_files->serve(request); });

    m_http = makeListener(std::make_unique<httplib::Server>(), "http");
    if (!m_http->listen(options.httpPort, error)) {
        m_http.reset();
        return false;
    }
    if (!options.https)
        return true;
    m_certificate = SelfSignedCertificate::generate(error);
    if (m_certificate) {
        m_https = makeListener(std::make_unique<httplib::SSLServer>(m_certificate->certificate(),
                                                                    m_certificate->key()),
                               "https");
        if (m_https->listen(options.httpsPort, error))
            return true;
    }
    stop();
    return false;
}

void SimServer::stop()
{
    m_stop.stop();
    // Listeners go first: their answers in progress still use the router and the files.
    m_https.reset();
    m_http.reset();
    m_certificate.reset();
}

int SimServer::httpPort() const
{
    return m_http ? m_http->port() : 0;
}

int SimServer::httpsPort() const
{
    return m_https ? m_https->port() : 0;
}

QString SimServer::httpUrl() const
{
    return QString("http://127.0.0.1:%1").arg(httpPort());
}

QString SimServer::httpsUrl() const
{
    return QString("https://127.0.0.1:%1").arg(httpsPort());
}

QString SimServer::login(const QString &userName, const QString &password)
{
    return m_gateway.login(userName, password).value("token").toString();
}

bool SimServer::isDeviceTokenValid(const std::string &token) const
{
    return m_tokens.isDeviceTokenValid(QString::fromStdString(token));
}

std::unique_ptr<SimListener> SimServer::makeListener(std::unique_ptr<httplib::Server> server,
                                                     const QString &scheme)
{
    auto listener = std::make_unique<SimListener>(std::move(server));
    if (m_extraRoutes)
        m_extraRoutes(listener->server());
    m_router.install(listener->server(), scheme);
    return listener;
}
