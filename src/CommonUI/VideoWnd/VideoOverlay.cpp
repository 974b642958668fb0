#include "CommonUI/VideoWnd/VideoOverlay.h"

#include <QCache>
#include <QCoreApplication>
#include <QPainter>
#include <QStaticText>

namespace {

struct TextLayout
{
    QStaticText text;
    qreal ascent;
};

// Laying a text out costs more than drawing it, and the overlay is drawn over every picture: its
// texts (the channel name, the recording time, the bit rate, which changes once a second)
// keep their layouts, per font size (GUI thread only).
void drawSteadyText(QPainter &painter, QPointF baseline, const QString &text)
{
    static QCache<QString, TextLayout> layouts(256);
    const QString key = QString::number(painter.font().pixelSize()) + '/' + text;
    TextLayout *layout = layouts.object(key);
    if (!layout) {
        layout = new TextLayout {QStaticText(text), QFontMetricsF(painter.font()).ascent()};
        layout->text.setTextFormat(Qt::PlainText);
        layout->text.prepare(QTransform(), painter.font());
        layouts.insert(key, layout);
    }
    painter.drawStaticText(baseline - QPointF(0, layout->ascent), layout->text);
}

} // namespace

QString VideoOverlay::elapsedText(const QDateTime &start, const QDateTime &now)
{
    const qint64 seconds = qMax<qint64>(0, start.secsTo(now));
    return QString::asprintf("%02d:%02d:%02d", int(seconds / 3600), int(seconds / 60 % 60),
                             int(seconds % 60));
}

void VideoOverlay::paint(QPainter &painter, QSize surface, const VideoWndInfo_t &info, float kbps)
{
    const int w = surface.width();
    const int h = surface.height();
    if (w <= 0 || h <= 0)
        return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(qMax(1, fontPixelHeight(h)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.setBackgroundMode(Qt::TransparentMode);
    // UTC: asking for the local time reads the time zone's file again on every call.
    if (info.bRecordOn)
        paintRecordTimer(painter, QPointF(w * 0.5, h * 0.1),
                         elapsedText(info.recordStartTime, QDateTime::currentDateTimeUtc()));
    drawSteadyText(painter, QPointF(w * 0.05, h * 0.9), info.channel.channelName);
    drawSteadyText(painter, QPointF(w * 0.05, h * 0.8), QString::number(kbps, 'g', 6) + "kbps");
    painter.restore();
}

void VideoOverlay::paintRecordTimer(QPainter &painter, QPointF at, const QString &text)
{
    // The dot sits left of the text, as high as the capitals, on the text's base line.
    const QFontMetricsF metrics(painter.font());
    const qreal diameter = metrics.capHeight();
    const QRectF dot(at.x() - diameter * 1.5, at.y() - diameter, diameter, diameter);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, qMax<qreal>(1.0, diameter / 8)));
    painter.setBrush(Qt::red);
    painter.drawEllipse(dot);
    painter.restore();
    drawSteadyText(painter, at, text);
}

QStringList VideoOverlay::statisticsLines(const StreamCore::VideoStatistics &s)
{
    const auto text = [](const char *source) {
        return QCoreApplication::translate("VideoOverlay", source);
    };
    const QString age = s.lastPictureAgeMs < 0 ? QStringLiteral("-")
                                               : QString::number(s.lastPictureAgeMs) + " ms";
    return {QString("%1x%2 %3 %4")
                .arg(s.width)
                .arg(s.height)
                .arg(QString::fromUtf8(s.codec), QString::fromUtf8(s.transport))
                .trimmed(),
            QString::number(s.displayedFps, 'f', 1) + " fps",
            QString::number(s.kbps, 'f', 0) + " kbps", text("dropped %1").arg(s.droppedFrames),
            text("last picture %1").arg(age)};
}

void VideoOverlay::paintStatistics(QPainter &painter, QSize surface,
                                   const StreamCore::VideoStatistics &statistics)
{
    const int w = surface.width();
    const int h = surface.height();
    if (w <= 0 || h <= 0)
        return;
    const QStringList lines = statisticsLines(statistics);
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(qMax(1, fontPixelHeight(h)));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int textWidth = 0;
    for (const QString &line : lines)
        textWidth = qMax(textWidth, metrics.horizontalAdvance(line));
    const int pad = metrics.height() / 3;
    // Right-aligned below the recording timer, shaded so that it reads on any picture.
    const QRect box(w - textWidth - 3 * pad, h / 5, textWidth + 2 * pad,
                    metrics.height() * lines.size() + 2 * pad);
    painter.fillRect(box, QColor(0, 0, 0, 150));
    painter.setPen(Qt::white);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(box.left() + pad,
                         box.top() + pad + metrics.ascent() + i * metrics.height(), lines.at(i));
    painter.restore();
}

void VideoOverlay::paintZoomOverview(QPainter &painter, QSize surface, const QRectF &part)
{
    const double width = qMax(24.0, surface.width() * 0.2);
    const double height = width * surface.height() / qMax(1, surface.width());
    const QRectF whole(surface.width() - width - 8, surface.height() - height - 8, width, height);
    painter.save();
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
    painter.setBrush(QColor(0, 0, 0, 110));
    painter.drawRect(whole);
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawRect(QRectF(whole.x() + part.x() * width, whole.y() + part.y() * height,
                            part.width() * width, part.height() * height));
    painter.restore();
}

void VideoOverlay::paintFrameTime(QPainter &painter, QSize surface, qint64 msecsSinceEpoch)
{
    if (msecsSinceEpoch < 0 || surface.height() <= 0)
        return;
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(qMax(1, fontPixelHeight(surface.height())));
    painter.setFont(font);
    painter.setPen(Qt::white);
    // Above the bit rate, in the left column of the overlay: the top of the picture is the
    // recording timer's and the cameras' own time stamps', the right the statistics box's.
    painter.drawText(QPointF(surface.width() * 0.05, surface.height() * 0.7),
                     QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch).toString("HH:mm:ss.zzz"));
    painter.restore();
}
