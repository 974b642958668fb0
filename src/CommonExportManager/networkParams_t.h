#pragma once

#include <QMetaType>
#include <QString>

// One export: where to fetch the file (or its content), where to save it and what it is called.
struct networkParams_t
{
    QString requestParams; // POST body, or (exportType 2) the file's content itself
    QString requestType = "GET"; // "GET"/"get" or "POST"/"post"; anything else sends nothing
    QString requestUrl; // path after the platform's base URL
    QString token; // the user's gateway token (bearer)
    qint32 exportType = 0; // 0 download from the gateway, 2 content in the message
    QString savePath; // folder chosen by the user
    QString name; // file name
    qint64 size = 0; // expected byte count, for the progress
    bool isBase64 = false; // Base64 content (inside a JSON envelope when downloaded)

    networkParams_t();
};

Q_DECLARE_METATYPE(networkParams_t)
