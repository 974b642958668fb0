#include "QrCodePicture.h"

#include <QBuffer>
#include <QImage>

#include <qrencode.h>

#include <memory>

namespace {

constexpr int kModulePixels = 8;
constexpr int kQuietModules = 4;

} // namespace

QByteArray QrCodePicture::png(const QString &text)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1),
        &QRcode_free);
    if (!code)
        return {};
    const int modules = code->width + 2 * kQuietModules;
    QImage picture(modules * kModulePixels, modules * kModulePixels, QImage::Format_Grayscale8);
    picture.fill(255);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (!(code->data[y * code->width + x] & 1)) // bit 0: a dark module
                continue;
            for (int row = 0; row < kModulePixels; ++row) {
                uchar *line = picture.scanLine((y + kQuietModules) * kModulePixels + row);
                std::fill_n(line + (x + kQuietModules) * kModulePixels, kModulePixels, uchar(0));
            }
        }
    }
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    picture.save(&bytes, "PNG");
    return bytes.data();
}
