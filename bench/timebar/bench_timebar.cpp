// Repaint cost of the playback time bar with 16 rows of 500 recordings: the bar as shown, and all
// 16 axes at the whole span and zoomed in, beside an empty widget's repaint as the floor. Target:
// one frame (16 ms). Offscreen unless another platform is asked for.
#include "QTimeProgressBar.h"

#include <Bench.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 200;
constexpr int kIntervalsPerRow = 500;
const QSize kBarSize(1280, 160);

// Prints the median and p95 of kRuns repaints.
void print(const char *what, const std::function<void()> &paint)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        paint();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("%-44s median %7.3f ms   p95 %7.3f ms\n", what, Bench::percentile(ms, 0.5),
                Bench::percentile(ms, 0.95));
}

// A day of short recordings per row: 500 clips with gaps, in the three record levels.
void fill(QTimeProgressBar &bar, qint64 dayStart)
{
    const qint64 pitch = 86400 / kIntervalsPerRow;
    for (int row = 0; row < QTimeProgressBar::kRows; ++row) {
        bar.SetTimeRange(row, dayStart, dayStart + 86400);
        for (int i = 0; i < kIntervalsPerRow; ++i) {
            const qint64 start = dayStart + i * pitch + row;
            bar.AddTimeInterval(row, i % 3, start, start + pitch * 2 / 3);
        }
        bar.UpdatePlayIndicator(row, dayStart + 9 * 3600);
    }
}

void paintAxes(QTimeProgressBar &bar, QImage &canvas)
{
    for (int row = 0; row < QTimeProgressBar::kRows; ++row) {
        QPainter painter(&canvas);
        bar.axis(row)->render(&painter);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QWidget empty;
    empty.resize(kBarSize);
    QTimeProgressBar bar;
    bar.resize(kBarSize);
    bar.show();
    fill(bar, QDateTime(QDate::currentDate(), QTime(0, 0)).toSecsSinceEpoch());
    QImage canvas(kBarSize, QImage::Format_ARGB32_Premultiplied);
    QImage rowCanvas(bar.axis(0)->size(), QImage::Format_ARGB32_Premultiplied);

    std::printf("time bar %dx%d, %d rows x %d recordings, %d repaints each\n", kBarSize.width(),
                kBarSize.height(), QTimeProgressBar::kRows, kIntervalsPerRow, kRuns);
    print("floor: empty widget repaint", [&] { empty.render(&canvas); });
    print("time bar repaint (calendar + 4 rows), whole day", [&] { bar.render(&canvas); });
    print("16 axes repainted, whole day", [&] { paintAxes(bar, rowCanvas); });
    for (int row = 0; row < QTimeProgressBar::kRows; ++row)
        bar.SetTimeAxisScale(row, 4);
    print("16 axes repainted, one hour", [&] { paintAxes(bar, rowCanvas); });
    std::printf("target: one frame, 16 ms\n");
    return 0;
}
