#include "PictureWatch.h"

#include <SimMedia/FrameStamp.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <algorithm>

namespace {

// Several reads per picture period of a 25 pictures-a-second stream.
constexpr int kReadIntervalMs = 5;
// Windows whose middles lie this close in height share one read.
constexpr int kRowTolerance = 16;
// Pixels around a window's even place where its picture may start (borders add up downwards).
constexpr int kLookX = 7;
constexpr int kLookY = 25;

QImage grab(const QRect &area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool hasStamp(const QImage &picture)
{
    SimMedia::FrameStamp stamp;
    return stamp.read(picture.constBits(), picture.bytesPerLine(), picture.width(),
                      picture.height());
}

} // namespace

QVector<QRect> PictureWatch::locate(const QRect &area, int columns)
{
    const QImage shot = grab(area);
    const auto stampAt = [&shot](const QRect &r) {
        return hasStamp(shot.copy(r));
    };
    const int width = area.width() / columns;
    // The window height at which the first two windows of the first column both show a stamp.
    int height = area.height() / columns;
    while (height >= 32
           && !(stampAt(QRect(0, 0, width, height)) && stampAt(QRect(0, height, width, height))))
        --height;
    if (height < 32)
        height = area.height() / columns;
    // Borders between the windows shift each a little: look around its place.
    QVector<QRect> windows;
    for (int i = 0; i < columns * columns; ++i) {
        QRect cell(i % columns * width, i / columns * height, width, height);
        for (int shift = 0; shift < kLookX * kLookY; ++shift) {
            const QRect moved
                = cell.translated(shift % kLookX - kLookX / 2, shift / kLookX - kLookY / 2);
            if (stampAt(moved)) {
                cell = moved;
                break;
            }
        }
        windows << cell.translated(area.topLeft());
    }
    return windows;
}

PictureWatch::PictureWatch(QVector<QRect> windows)
    : m_windows(std::move(windows))
{ }

int PictureWatch::windowsWithStamp() const
{
    return int(std::count_if(m_windows.begin(), m_windows.end(),
                             [](const QRect &window) { return hasStamp(grab(window)); }));
}

QVector<double> PictureWatch::framesPerSecond(int seconds) const
{
    // One read per row of windows: the line through the middle of the row's first window.
    QMap<int, QRect> lines;
    for (const QRect &w : m_windows) {
        QRect &line = lines[w.center().y() / kRowTolerance];
        line = line.isNull() ? QRect(w.left(), w.center().y(), w.width(), 1)
                             : line.united(QRect(w.left(), line.top(), w.width(), 1));
    }
    QVector<QImage> last(m_windows.size());
    QVector<int> changes(m_windows.size(), 0);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < seconds * 1000) {
        QMap<int, QImage> read;
        for (auto it = lines.cbegin(); it != lines.cend(); ++it)
            read.insert(it.key(), grab(it.value()));
        for (int i = 0; i < m_windows.size(); ++i) {
            const QRect &w = m_windows[i];
            const int key = w.center().y() / kRowTolerance;
            const QImage part = read[key].copy(w.left() - lines[key].left(), 0, w.width(), 1);
            changes[i] += !last[i].isNull() && part != last[i] ? 1 : 0;
            last[i] = part;
        }
        QThread::msleep(kReadIntervalMs);
    }
    QVector<double> fps;
    for (int count : changes)
        fps << count * 1000.0 / double(timer.elapsed());
    return fps;
}
