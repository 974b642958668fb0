#include "SimCommandLine.h"

#include <QCommandLineParser>

namespace {

constexpr int kDefaultHttpPort = 8460; // the client's built-in platform address
constexpr int kDefaultHttpsPort = 8461;

QList<QCommandLineOption> allOptions()
{
    return {
        {"http-port", "Port of the HTTP listener; 0 picks a free one.", "port",
         QString::number(kDefaultHttpPort)},
        {"https-port", "Port of the HTTPS listener; 0 picks a free one.", "port",
         QString::number(kDefaultHttpsPort)},
        {"no-https", "Do not listen for HTTPS."},
        {"devices", "Device file (JSON) instead of the built-in one.", "file"},
        {"webapp", "Folder of the web application's files.", "folder"},
        {"log", "Also write the log to this file.", "file"},
        {"print-default-devices", "Print the built-in device file and exit."},
        {{"h", "help"}, "Show this help and exit."},
    };
}

bool readPort(const QCommandLineParser &parser, const QString &name, int *port, QString *error)
{
    bool ok = false;
    *port = parser.value(name).toInt(&ok);
    if (!ok || *port < 0 || *port > 65535) {
        *error = QString("--%1 must be a port number from 0 to 65535, not \"%2\"")
                     .arg(name, parser.value(name));
        return false;
    }
    return true;
}

} // namespace

SimCommandLine::SimCommandLine(const QString &defaultWebAppFolder)
{
    options.webAppFolder = defaultWebAppFolder;
}

bool SimCommandLine::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.addOptions(allOptions());
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = "unexpected argument \"" + parser.positionalArguments().first() + "\"";
        return false;
    }
    help = parser.isSet("help");
    printDefaultDevices = parser.isSet("print-default-devices");
    options.https = !parser.isSet("no-https");
    devicesFile = parser.value("devices");
    logFile = parser.value("log");
    if (parser.isSet("webapp"))
        options.webAppFolder = parser.value("webapp");
    return readPort(parser, "http-port", &options.httpPort, error)
        && readPort(parser, "https-port", &options.httpsPort, error);
}

QString SimCommandLine::helpText() const
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "orvane-sim, the reference platform of the Orvane client: gateway, web application and "
        "control API on 127.0.0.1.\nAt start it prints one line per listener, "
        "\"orvane-sim http 127.0.0.1:<port>\", then \"orvane-sim ready\".");
    parser.addOptions(allOptions());
    return parser.helpText();
}
