#include "Spinner.h"

#include <QPainter>
#include <QtMath>

namespace {
constexpr int kDots = Spinner::kFrames;
constexpr qreal kTail = 0.85; // how much the last dot of the trail fades
} // namespace

Spinner::Spinner(int size, const QColor &background, const QColor &colour)
    : m_size(size)
    , m_background(background)
    , m_colour(colour)
{ }

QColor Spinner::shade(qreal amount) const
{
    auto mix = [amount](int from, int to) {
        return qRound(from + (to - from) * amount);
    };
    return QColor(mix(m_background.red(), m_colour.red()),
                  mix(m_background.green(), m_colour.green()),
                  mix(m_background.blue(), m_colour.blue()));
}

QVector<QRgb> Spinner::palette() const
{
    QVector<QRgb> colours;
    for (int i = 0; i < 256; ++i)
        colours.append(shade(i / 255.0).rgb());
    return colours;
}

QImage Spinner::frame(int index) const
{
    QImage image(m_size, m_size, QImage::Format_RGB32);
    image.fill(m_background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.translate(m_size / 2.0, m_size / 2.0);
    const qreal ring = m_size * 0.34;
    const qreal dot = m_size * 0.075;
    for (int i = 0; i < kDots; ++i) {
        // The head of the trail is the dot at `index`; the ones behind it fade.
        const int behind = (index - i + kDots) % kDots;
        const qreal amount = 1.0 - kTail * behind / (kDots - 1);
        const qreal angle = 2 * M_PI * i / kDots - M_PI / 2;
        painter.setBrush(shade(amount));
        painter.drawEllipse(QPointF(ring * qCos(angle), ring * qSin(angle)), dot, dot);
    }
    return image;
}
