#include "GifWriter.h"

#include <unordered_map>

namespace {

constexpr int kMinCodeSize = 8;
constexpr int kClearCode = 1 << kMinCodeSize;
constexpr int kEndCode = kClearCode + 1;
constexpr int kMaxCodes = 4096;

void put16(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Codes of growing width, packed least significant bit first.
class BitPacker
{
public:
    void write(int code, int width)
    {
        m_bits |= quint32(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_out.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_count > 0)
            m_out.append(char(m_bits & 0xff));
        return m_out;
    }

private:
    QByteArray m_out;
    quint32 m_bits = 0;
    int m_count = 0;
};

} // namespace

GifWriter::GifWriter(QSize size, const QVector<QRgb> &palette)
    : m_size(size)
    , m_palette(palette)
{
    // The global table always holds 256 entries; unused ones are black.
    m_palette.resize(256);
    writeHeader();
}

void GifWriter::writeHeader()
{
    m_data.append("GIF89a");
    put16(m_data, m_size.width());
    put16(m_data, m_size.height());
    m_data.append(char(0xF7)); // global table, 8 bits of colour resolution, 256 entries
    m_data.append(char(0)); // background colour index
    m_data.append(char(0)); // square pixels
    for (QRgb colour : qAsConst(m_palette)) {
        m_data.append(char(qRed(colour)));
        m_data.append(char(qGreen(colour)));
        m_data.append(char(qBlue(colour)));
    }
    // Application extension: loop for ever (a loop count of 0).
    m_data.append(QByteArrayLiteral("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"));
}

void GifWriter::addFrame(const QImage &frame, int delayMs)
{
    const QImage indexed
        = frame.format() == QImage::Format_Indexed8 && frame.colorTable() == m_palette
        ? frame
        : frame.convertToFormat(QImage::Format_Indexed8, m_palette,
                                Qt::ThresholdDither | Qt::AvoidDither);
    // Graphic control: keep the previous frame, no transparency.
    m_data.append("\x21\xF9\x04\x04", 4);
    put16(m_data, (delayMs + 5) / 10);
    m_data.append(char(0));
    m_data.append(char(0));
    // Image descriptor: the whole canvas, global colour table, not interlaced.
    m_data.append(char(0x2C));
    put16(m_data, 0);
    put16(m_data, 0);
    put16(m_data, m_size.width());
    put16(m_data, m_size.height());
    m_data.append(char(0));

    QByteArray indices;
    indices.reserve(m_size.width() * m_size.height());
    for (int y = 0; y < m_size.height(); ++y)
        indices.append(reinterpret_cast<const char *>(indexed.constScanLine(y)), m_size.width());
    const QByteArray codes = compress(indices);
    m_data.append(char(kMinCodeSize));
    for (int at = 0; at < codes.size(); at += 255) {
        const int length = qMin(255, codes.size() - at);
        m_data.append(char(length));
        m_data.append(codes.constData() + at, length);
    }
    m_data.append(char(0));
}

QByteArray GifWriter::finish()
{
    m_data.append(char(0x3B));
    return m_data;
}

QByteArray GifWriter::compress(const QByteArray &indices)
{
    BitPacker out;
    // Key: (code of the known prefix << 8) | next index.
    std::unordered_map<quint32, int> table;
    int width = kMinCodeSize + 1;
    int next = kEndCode + 1;
    out.write(kClearCode, width);
    if (indices.isEmpty()) {
        out.write(kEndCode, width);
        return out.finish();
    }
    int prefix = quint8(indices.at(0));
    for (int i = 1; i < indices.size(); ++i) {
        const quint8 index = quint8(indices.at(i));
        const quint32 key = (quint32(prefix) << 8) | index;
        const auto known = table.find(key);
        if (known != table.end()) {
            prefix = known->second;
            continue;
        }
        out.write(prefix, width);
        if (next < kMaxCodes) {
            table.emplace(key, next++);
            // The decoder adds each entry one code later, so it widens one code later too.
            if (next > (1 << width) && width < 12)
                ++width;
        } else {
            out.write(kClearCode, width);
            table.clear();
            width = kMinCodeSize + 1;
            next = kEndCode + 1;
        }
        prefix = index;
    }
    out.write(prefix, width);
    // Reading that last code the decoder adds its lagging entry and may widen before the end.
    if (next == (1 << width) && width < 12)
        ++width;
    out.write(kEndCode, width);
    return out.finish();
}
