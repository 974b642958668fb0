#pragma once

#include "SimServer.h"

#include <QStringList>

// The options of the orvane-sim executable.
class SimCommandLine
{
public:
    // The web application folder used when --webapp is not given.
    explicit SimCommandLine(const QString &defaultWebAppFolder);

    // Reads the arguments (the program name first); false and a message when they are wrong.
    bool parse(const QStringList &arguments, QString *error);
    // The text --help prints.
    QString helpText() const;

    SimServerOptions options;
    QString devicesFile; // empty: the built-in device file
    QString logFile; // empty: log to standard error only
    bool printDefaultDevices = false;
    bool help = false;
};
