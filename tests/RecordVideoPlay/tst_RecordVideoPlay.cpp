// The playback module on a simulated four-channel recorder through the real media library:
// playing a day not yet asked for from the time bar, a device going offline, and four windows in
// synchronised playback, read from the clock the simulated cameras burn into their pictures.
// The time bar's gaps, back to live and the calendar's marks: tst_E2ELiveView.
#undef QT_NO_KEYWORDS
#include "CommonUI/TimeBar/QTimeProgressBar.h"
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "RecordPlay/PlaybackSync.h"
#include "RecordPlay/QRecordVideoPlay.h"
#include "SimVideo.h"
#include "VideoProbe.h"

#include <KWGui/KWTimeAxis.h>
#include <SimMedia/FrameStamp.h>
#include <SimMedia/RecordSchedule.h>

#include <QPushButton>
#include <QtTest>

namespace {

const char *const kDevice = "NVR-4";

QList<ChannelInfo_t> channels(int count)
{
    QList<ChannelInfo_t> list;
    for (int id = 1; id <= count; ++id)
        list << SimVideo::channel(kDevice, id);
    return list;
}

std::vector<SimMedia::Record> records(int channel, qint64 begin, qint64 end)
{
    return SimMedia::RecordSchedule::between(kDevice, channel, 0, begin, end,
                                             QDateTime::currentSecsSinceEpoch());
}

// The clocks of windows 0 … count-1, read from one picture of the frame (0 where none shows).
QList<qint64> pictureClocks(QVideoFrame *frame, int count)
{
    const QImage shot = frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QList<qint64> clocks;
    for (int i = 0; i < count; ++i) {
        const QImage part = shot.copy(frame->frame()->wnd(i)->geometry());
        SimMedia::FrameStamp stamp;
        const bool read
            = stamp.read(part.constBits(), part.bytesPerLine(), part.width(), part.height());
        clocks << (read ? stamp.seconds : 0);
    }
    return clocks;
}

// A moment of yesterday from which channels 1 … count record for five minutes, or 0.
qint64 yesterdayWhere(int count)
{
    const QDate day = QDate::currentDate().addDays(-1);
    for (qint64 t = QDateTime(day, QTime(1, 0)).toSecsSinceEpoch();
         t < QDateTime(day, QTime(20, 0)).toSecsSinceEpoch(); t += 120) {
        bool all = true;
        for (int id = 1; all && id <= count; ++id) {
            const auto found = records(id, t, t + 300);
            all = found.size() == 1 && found.front().begin <= t && found.front().end >= t + 300;
        }
        if (all)
            return t;
    }
    return 0;
}

} // namespace

class tst_RecordVideoPlay : public QObject
{
    Q_OBJECT

    QVideoFrame *frame() const { return m_play->frame(); }
    int state(int index) const { return frame()->frame()->wnd(index)->getVideoState(); }

    void openLive(const QList<ChannelInfo_t> &list)
    {
        frame()->closeAll();
        frame()->select(0);
        m_play->openVideos(list);
        for (int i = 0; i < list.size(); ++i)
            QTRY_COMPARE_WITH_TIMEOUT(state(i), 3, VideoProbe::scaled(15000));
        frame()->select(0); // opening moved the selection on
    }

    // Ten looks, 100 ms apart, at four clocks once they show the same second: never more than a
    // second apart, and apart in at most three looks (windows 200 ms apart differ in about one
    // look of five). At double speed a second of picture lasts half as long, so the clocks may
    // stand one second apart (tolerance 1). last: the clock of the last look.
    void checkInStep(qint64 *last, int tolerance = 0)
    {
        const auto spread = [](const QList<qint64> &c) {
            const auto [low, high] = std::minmax_element(c.begin(), c.end());
            return c.contains(0) ? -1 : *high - *low;
        };
        const auto inStep = [&] {
            const qint64 s = spread(pictureClocks(frame(), 4));
            return s >= 0 && s <= tolerance;
        };
        QTRY_VERIFY_WITH_TIMEOUT(inStep(), VideoProbe::scaled(20000));
        int apart = 0;
        for (int look = 0; look < 10; ++look) {
            QTest::qWait(100);
            const QList<qint64> c = pictureClocks(frame(), 4);
            QVERIFY2(spread(c) >= 0 && spread(c) <= tolerance + 1,
                     qPrintable(QString::number(spread(c))));
            apart += spread(c) > tolerance;
            *last = c.first();
        }
        QVERIFY2(apart <= 3, qPrintable(QString("apart in %1 of 10 looks").arg(apart)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SimVideo::start(m_sim));
        m_play = std::make_unique<QRecordVideoPlay>(CVideoFrame::kOwnerPlayback);
        m_play->resize(1000, 760);
        m_play->show();
    }

    // A double-click on a row with nothing cached asks for the clicked day and plays there.
    void playFromRowWithNothingCached()
    {
        const qint64 target = yesterdayWhere(1);
        QVERIFY(target > 0);
        openLive(channels(1));
        Q_EMIT m_play->timeBar()->axis(0)->sgnTimeDbClicked(target * 1000);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(pictureClocks(frame(), 1).first() - target) <= 5,
                                 VideoProbe::scaled(15000));
        QCOMPARE(frame()->wndInfo(0).playType, 1);
        const QString day = QDateTime::fromSecsSinceEpoch(target).toString("yyyy-MM-dd");
        QVERIFY(frame()->recordsOf(0).contains(day));
    }

    // "offline" closes every window of the channel and no other; other texts close nothing.
    void deviceOfflineClosesItsWindows()
    {
        openLive(channels(2) + channels(1));
        m_play->notifyDeviceStatus("online", channels(1).first());
        QCOMPARE(state(0), 3);
        m_play->notifyDeviceStatus("offline", channels(1).first());
        QCOMPARE(QList<int>({state(0), state(1), state(2)}), QList<int>({0, 3, 0}));
        m_play->notifyDeviceStatus("delete", channels(2).last());
        QCOMPARE(state(1), 0);
    }

    // Four live windows, synchronised playback on, a double-click on the first row: all four
    // play that moment in step; at double speed they stay in step and run twice as fast.
    void fourWindowsKeepInStep()
    {
        const qint64 moment = yesterdayWhere(4);
        QVERIFY(moment > 0);
        openLive(channels(4));
        m_play->syncButton()->click();
        QVERIFY(m_play->sync()->isEnabled());
        Q_EMIT m_play->timeBar()->axis(0)->sgnTimeDbClicked(moment * 1000);
        for (int i = 0; i < 4; ++i) {
            QTRY_VERIFY_WITH_TIMEOUT(frame()->wndInfo(i).playType == 1 && state(i) == 3,
                                     VideoProbe::scaled(30000));
        }
        qint64 seen = 0;
        checkInStep(&seen);
        QVERIFY(seen >= moment && seen < moment + 60);

        Q_EMIT m_play->panel()->bar()->sgnRecordSpeedSet(2);
        qint64 before = 0;
        checkInStep(&before, 1);
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(6000);
        qint64 after = 0;
        checkInStep(&after, 1);
        // Whole-second clocks and a loaded machine: the bounds only tell double speed from
        // normal speed and from runaway.
        const double rate = double(after - before) * 1000 / wall.elapsed();
        QVERIFY2(rate > 1.3 && rate < 2.7, qPrintable(QString("rate %1").arg(rate)));
        m_play->syncButton()->click();
    }

private:
    SimHarness m_sim {SimVideo::recorder(kDevice, 4, 640, 360)};
    std::unique_ptr<QRecordVideoPlay> m_play;
};

QTEST_MAIN(tst_RecordVideoPlay)
#include "tst_RecordVideoPlay.moc"
