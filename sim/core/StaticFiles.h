#pragma once

#include "SimReply.h"

// The web application's files, served from one folder; "/" is its index.html, so that the
// client's login address "/#/login?isFromC=1" opens the application.
class StaticFiles
{
public:
    explicit StaticFiles(const QString &folder);

    // The file a GET names, or a 404 that says what is missing.
    SimReply serve(const SimRequest &request) const;

private:
    static QByteArray contentType(const QString &fileName);

    QString m_folder;
};
