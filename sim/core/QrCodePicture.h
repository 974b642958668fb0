#pragma once

#include <QByteArray>
#include <QString>

// A QR code as a PNG picture (libqrencode for the code, Qt for the picture): 8 pixels a module,
// the 4-module quiet zone around it, black on white.
class QrCodePicture
{
public:
    // The PNG bytes of text's QR code; empty when the text cannot be encoded.
    static QByteArray png(const QString &text);
};
