// Any bytes as an export reply of the gateway: header lines ("name: value") up to the first
// empty line, then the body read as a Base64 envelope. Never a crash; the file name taken from
// the headers never leaves the chosen folder, however it is numbered; a refused envelope says
// one of its two texts.
#include "CommonExportManager/CExportFileName.h"
#include "CommonExportManager/CExportReply.h"
#include "FuzzInput.h"

#include <cstdint>

namespace {

QList<QNetworkReply::RawHeaderPair> headersOf(const QByteArray &block)
{
    QList<QNetworkReply::RawHeaderPair> headers;
    for (const QByteArray &line : block.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    return headers;
}

bool staysInFolder(const QString &path, const QString &folder)
{
    const QString name = path.mid(folder.size());
    return path.startsWith(folder) && !name.isEmpty() && !name.contains('/') && !name.contains('\\')
        && name != "..";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzInput::bytes(data, size);
    const int blank = input.indexOf("\n\n");
    networkParams_t params;
    CExportReply::ApplyHeaders(headersOf(input.left(blank < 0 ? input.size() : blank)), params);
    FuzzInput::require(params.size >= 0);

    const QString folder = "/exports/";
    const QString name = CExportFileName::SafeName(params.name, "NoName");
    FuzzInput::require(name.toUtf8().size() <= CExportFileName::kMaxNameBytes
                       && staysInFolder(folder + name, folder));
    for (int n = 1; n <= 3; ++n)
        FuzzInput::require(staysInFolder(CExportFileName::PathNumbered(folder + name, n), folder));

    QByteArray content;
    QString error;
    FuzzInput::require(CExportReply::DecodeBase64Envelope(
                           blank < 0 ? QByteArray() : input.mid(blank + 2), &content, &error)
                       || error == "data from server error"
                       || error == "data jsonobject from server error");
    return 0;
}
