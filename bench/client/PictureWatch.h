#pragma once

#include <QRect>
#include <QVector>

// Counts the new pictures that reach the screen in each video window of the client, from outside
// the client's process: it reads one line through the middle of every window many times a second
// (the simulated cameras move a block along that line by a few pixels every picture) and counts
// the changes. The client pays nothing for it; the X server serves the reads.
class PictureWatch
{
public:
    // Screen rectangles of the windows.
    explicit PictureWatch(QVector<QRect> windows);
    // The windows of a split of columns x columns equal windows that fills the width of the area
    // from its top, found by the cameras' stamps (the bars below the split have other heights);
    // the even split of the whole area when no stamp reads.
    static QVector<QRect> locate(const QRect &area, int columns);

    // How many windows show a simulated camera's stamp (the rectangles are right).
    int windowsWithStamp() const;
    // Watches for `seconds`; the displayed pictures per second of each window.
    QVector<double> framesPerSecond(int seconds) const;

private:
    QVector<QRect> m_windows;
};
