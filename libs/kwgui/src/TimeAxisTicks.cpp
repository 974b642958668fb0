#include "TimeAxisTicks.h"

#include <QDateTime>
#include <QFontMetricsF>

namespace KWGUI {

namespace {
constexpr qint64 kMinute = 60 * 1000;
constexpr qint64 kSteps[]
    = {kMinute,      2 * kMinute,   5 * kMinute,   10 * kMinute,  15 * kMinute, 30 * kMinute,
       60 * kMinute, 120 * kMinute, 180 * kMinute, 360 * kMinute, 720 * kMinute};
// Wide labels on a short span may fit no step: the longest is used, labels then thin out by
// leaving out those that would touch the one before.
constexpr qint64 kLongestStep = kSteps[std::size(kSteps) - 1];
// Widest text a label may have; all "HH:mm" texts are measured by this one.
const char kWidestText[] = "00:00";
} // namespace

qint64 TimeAxisTicks::localOffsetMs(const TimeAxisMapping &mapping)
{
    return qint64(QDateTime::fromMSecsSinceEpoch(mapping.viewStart()).offsetFromUtc()) * 1000;
}

QString TimeAxisTicks::format(qint64 t, qint64 offset, const QString &pattern)
{
    return QDateTime::fromMSecsSinceEpoch(t + offset, Qt::UTC).toString(pattern);
}

qint64 TimeAxisTicks::labelStep(const TimeAxisMapping &mapping, double labelWidth)
{
    for (qint64 step : kSteps) {
        if (step / mapping.msPerPixel() >= labelWidth + kLabelGap)
            return step;
    }
    return kLongestStep;
}

qint64 TimeAxisTicks::minorStep(const TimeAxisMapping &mapping, qint64 step, double minPixels)
{
    for (qint64 candidate : kSteps) {
        if (candidate < step && step % candidate == 0
            && candidate / mapping.msPerPixel() >= minPixels)
            return candidate;
    }
    return step;
}

QVector<qint64> TimeAxisTicks::ticks(const TimeAxisMapping &mapping, qint64 step, qint64 offset)
{
    QVector<qint64> times;
    if (step <= 0)
        return times;
    const qint64 localStart = mapping.viewStart() + offset;
    qint64 local = (localStart / step + (localStart % step != 0 ? 1 : 0)) * step;
    for (; local - offset <= mapping.viewEnd(); local += step)
        times.append(local - offset);
    return times;
}

QVector<TimeAxisLabel> TimeAxisTicks::labels(const TimeAxisMapping &mapping,
                                             const QFontMetricsF &metrics, double y, qint64 offset)
{
    const double width = metrics.horizontalAdvance(kWidestText);
    QVector<TimeAxisLabel> result;
    double lastRight = -kLabelGap;
    for (qint64 t : ticks(mapping, labelStep(mapping, width), offset)) {
        const double centre = mapping.xAt(t);
        const QRectF rect(centre - width / 2, y, width, metrics.height());
        if (rect.left() < 0 || rect.right() > mapping.width()
            || rect.left() < lastRight + kLabelGap)
            continue;
        lastRight = rect.right();
        result.append({t, format(t, offset), rect});
    }
    return result;
}

} // namespace KWGUI
