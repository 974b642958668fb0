#pragma once

#include "CommonExportManager/networkParams_t.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QString>

// What a gateway reply says about the export it carries: its headers and, for Base64 exports,
// the JSON envelope around the content.
class CExportReply
{
public:
    // Takes "size" (0 when missing or not a positive number), "name" and "isBase64" (a non-zero
    // number is true) from the reply's headers into params; names are compared exactly.
    static void ApplyHeaders(const QList<QNetworkReply::RawHeaderPair> &headers,
                             networkParams_t &params);
    // The content of a Base64 envelope {"success": true, "data": "<Base64>"}; false and the
    // error text ("data from server error" for no JSON, "data jsonobject from server error" for
    // anything else) when it is refused.
    static bool DecodeBase64Envelope(const QByteArray &text, QByteArray *content, QString *error);
};
