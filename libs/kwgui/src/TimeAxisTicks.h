#pragma once

#include <KWGui/TimeAxisMapping.h>

#include <QRectF>
#include <QString>
#include <QVector>

class QFontMetricsF;

namespace KWGUI {

// One labelled tick of the axis: its time, its text ("HH:mm", local time) and where the text
// is drawn.
struct TimeAxisLabel
{
    qint64 time = 0;
    QString text;
    QRectF rect;
};

// Where the ticks and labels of a time axis go. The labelled step is the shortest "round" step
// (1 minute … 12 hours) whose labels, with a gap, fit between two ticks, so labels never overlap
// at any zoom; ticks sit on whole steps of local time.
class TimeAxisTicks
{
public:
    // Space kept between two labels, in pixels.
    static constexpr double kLabelGap = 6;

    // Labelled step in milliseconds for labels labelWidth pixels wide.
    static qint64 labelStep(const TimeAxisMapping &mapping, double labelWidth);
    // Unlabelled step between the labelled ticks: the shortest round divisor of step whose ticks
    // stay at least minPixels apart, or step itself.
    static qint64 minorStep(const TimeAxisMapping &mapping, qint64 step, double minPixels = 6);
    // Offset of local time from UTC at the view's start. Asked once per drawing: every local
    // time conversion of the C library looks at the time zone file again.
    static qint64 localOffsetMs(const TimeAxisMapping &mapping);
    // Times of the view on whole multiples of step in local time (offset from UTC).
    static QVector<qint64> ticks(const TimeAxisMapping &mapping, qint64 step, qint64 offset);
    // The labels of the view, centred on their ticks with their top at y; a label that would
    // stick out of the width is left out.
    static QVector<TimeAxisLabel> labels(const TimeAxisMapping &mapping,
                                         const QFontMetricsF &metrics, double y, qint64 offset);
    // "HH:mm" (or another format) of t in the local time given by its offset from UTC.
    static QString format(qint64 t, qint64 offset, const QString &pattern = "HH:mm");
};

} // namespace KWGUI
