#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QVector>

// Writes an animated GIF89a that loops forever: one global colour table of up to 256 colours,
// frames given as 8-bit indexed images over that table, compressed with GIF's variable-length
// LZW. Qt reads GIF but cannot write it, hence this small encoder.
class GifWriter
{
public:
    GifWriter(QSize size, const QVector<QRgb> &palette);

    // Appends a frame of the writer's size; it is converted to the palette (nearest colour) when
    // it is not already indexed over it. delayMs is rounded to hundredths of a second.
    void addFrame(const QImage &frame, int delayMs);
    // The whole file.
    QByteArray finish();

    // The LZW code stream of indices (minimum code size 8), before packing into sub-blocks.
    static QByteArray compress(const QByteArray &indices);

private:
    void writeHeader();

    QSize m_size;
    QVector<QRgb> m_palette;
    QByteArray m_data;
};
