#pragma once

#include "Records/VideoRecords.h"

#include <StreamCore/VideoStatistics.h>

#include <QDateTime>
#include <QRectF>
#include <QSize>

class QPainter;

// What a video window draws over each picture: the recording timer with its red dot, the
// channel name and the bit rate. Positions are fractions of the surface size; the font grows
// with the surface's height.
class VideoOverlay
{
public:
    // Draws the overlay for the window's record on a surface of this size; nothing when either
    // side is 0 or less.
    static void paint(QPainter &painter, QSize surface, const VideoWndInfo_t &info, float kbps);
    // Draws the stream's statistics in a shaded box at the top right of the surface.
    static void paintStatistics(QPainter &painter, QSize surface,
                                const StreamCore::VideoStatistics &statistics);
    // Draws the overview of a zoomed picture at the bottom right: the whole picture's outline
    // and the part shown (fractions) filled.
    static void paintZoomOverview(QPainter &painter, QSize surface, const QRectF &part);
    // Draws the time of a paused playback's picture ("HH:mm:ss.zzz", local) at the top left;
    // nothing for a negative time.
    static void paintFrameTime(QPainter &painter, QSize surface, qint64 msecsSinceEpoch);
    // The statistics' lines: size and codec, displayed rate, bit rate, dropped pictures, age.
    static QStringList statisticsLines(const StreamCore::VideoStatistics &statistics);
    // Pixel height of the overlay font on a surface of this height.
    static int fontPixelHeight(int surfaceHeight) { return surfaceHeight * 14 / 331; }
    // The recording timer text, "hh:mm:ss" since start.
    static QString elapsedText(const QDateTime &start, const QDateTime &now);

private:
    static void paintRecordTimer(QPainter &painter, QPointF at, const QString &text);
};
