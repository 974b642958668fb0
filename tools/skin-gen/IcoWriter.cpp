#include "IcoWriter.h"

namespace {

constexpr int kDirectoryEntrySize = 16;
constexpr int kInfoHeaderSize = 40;

void put16(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void put32(QByteArray &out, quint32 value)
{
    put16(out, int(value & 0xffff));
    put16(out, int(value >> 16));
}

// One image as the icon format stores it: an info header with the doubled height, the colour
// rows bottom-up in BGRA, then the 1-bit mask rows (all clear: the alpha channel decides).
QByteArray bitmapOf(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const int maskStride = ((width + 31) / 32) * 4;
    QByteArray out;
    put32(out, kInfoHeaderSize);
    put32(out, quint32(width));
    put32(out, quint32(height * 2));
    put16(out, 1); // planes
    put16(out, 32); // bits per pixel
    put32(out, 0); // no compression
    put32(out, quint32(width * height * 4 + maskStride * height));
    for (int i = 0; i < 4; ++i)
        put32(out, 0); // resolution and palette: unused
    for (int y = height - 1; y >= 0; --y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            out.append(char(qBlue(row[x])));
            out.append(char(qGreen(row[x])));
            out.append(char(qRed(row[x])));
            out.append(char(qAlpha(row[x])));
        }
    }
    out.append(QByteArray(maskStride * height, '\0'));
    return out;
}

} // namespace

QByteArray IcoWriter::write(const QList<QImage> &images)
{
    QList<QByteArray> bitmaps;
    for (const QImage &image : images)
        bitmaps.append(bitmapOf(image));

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, images.size());
    quint32 offset = 6 + kDirectoryEntrySize * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        // 256 is written as 0 in the one-byte size fields.
        out.append(char(images.at(i).width() & 0xff));
        out.append(char(images.at(i).height() & 0xff));
        out.append(char(0)); // no palette
        out.append(char(0));
        put16(out, 1);
        put16(out, 32);
        put32(out, quint32(bitmaps.at(i).size()));
        put32(out, offset);
        offset += quint32(bitmaps.at(i).size());
    }
    for (const QByteArray &bitmap : qAsConst(bitmaps))
        out.append(bitmap);
    return out;
}
