// Synchronised playback of four windows on the simulated devices: after a seek and after a
// speed change the pictures' burnt-in clocks agree.
#undef QT_NO_KEYWORDS
#include "CommonUI/TimeBar/QTimeProgressBar.h"
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "PictureClock.h"
#include "RecordPlay/PlaybackSync.h"
#include "RecordPlay/QRecordVideoPlay.h"
#include "TestEnv.h"
#include "VideoClientOnSim.h"

#include "SimHarness.h"

#include <SimMedia/RecordSchedule.h>

#include <QPushButton>
#include <QtTest>

namespace {

const char *const kDevice = "NVR-4";
constexpr int kWindows = 4;

std::vector<SimMedia::MediaDevice> fourChannels()
{
    SimMedia::MediaDevice recorder {kDevice, "Four channels", {}};
    for (int id = 1; id <= kWindows; ++id) {
        SimMedia::ChannelSpec c;
        c.id = id;
        c.name = "Channel " + std::to_string(id);
        c.width[0] = c.width[1] = 320;
        c.height[0] = c.height[1] = 180;
        recorder.channels.push_back(c);
    }
    return {recorder};
}

// A moment of yesterday from which every channel records for five minutes; 0 when none.
qint64 commonRecording()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QDate day = QDate::currentDate().addDays(-1);
    for (qint64 t = QDateTime(day, QTime(1, 0)).toSecsSinceEpoch();
         t < QDateTime(day, QTime(22, 0)).toSecsSinceEpoch(); t += 600) {
        bool all = true;
        for (int id = 1; all && id <= kWindows; ++id) {
            const auto records = SimMedia::RecordSchedule::between(kDevice, id, 0, t, t + 300, now);
            all = records.size() == 1 && records.front().begin <= t
                && records.front().end >= t + 300;
        }
        if (all)
            return t;
    }
    return 0;
}

} // namespace

class tst_PlaybackSync : public QObject
{
    Q_OBJECT

    QList<qint64> clocks() const { return pictureClocks(m_play->frame(), kWindows); }

    // Ten looks, 100 ms apart, at the four clocks once they show the same second: they never
    // differ by more than a second, and at most three looks find them apart (windows 200 ms
    // apart show different seconds about one look in five). last: the clock of the last look.
    void checkInStep(qint64 *last)
    {
        const auto spread = [](const QList<qint64> &c) {
            return c.contains(0)
                ? -1
                : *std::max_element(c.begin(), c.end()) - *std::min_element(c.begin(), c.end());
        };
        QTRY_COMPARE_WITH_TIMEOUT(spread(clocks()), 0, 20000);
        int apart = 0;
        for (int look = 0; look < 10; ++look) {
            QTest::qWait(100);
            const QList<qint64> c = clocks();
            QVERIFY2(spread(c) == 0 || spread(c) == 1, qPrintable(QString::number(spread(c))));
            apart += spread(c) != 0;
            *last = c.first();
        }
        QVERIFY2(apart <= 3, qPrintable(QString("apart in %1 of 10 looks").arg(apart)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        QVERIFY(m_sim.start());
        QVERIFY(connectVideoClient(m_sim.httpPort(), SimHarness::kToken));
        m_play = std::make_unique<QRecordVideoPlay>(1);
        m_play->resize(1000, 760);
        m_play->show();
    }

    // Four live windows, synchronised playback on, a double-click on the first row: all four
    // play that moment in step; at double speed they stay in step and run twice as fast.
    void fourWindowsKeepInStep()
    {
        const qint64 moment = commonRecording();
        QVERIFY(moment > 0);
        QList<ChannelInfo_t> channels;
        for (int id = 1; id <= kWindows; ++id) {
            ChannelInfo_t c;
            c.deviceID = kDevice;
            c.channelID = id;
            c.bHasChannel = true;
            channels << c;
        }
        m_play->openVideos(channels);
        QVideoFrame *frame = m_play->frame();
        for (int i = 0; i < kWindows; ++i)
            QTRY_COMPARE_WITH_TIMEOUT(frame->frame()->wnd(i)->getVideoState(), 3, 15000);
        frame->select(0);
        m_play->syncButton()->click();
        QVERIFY(m_play->sync()->isEnabled());

        Q_EMIT m_play->timeBar()->axis(0)->sgnTimeDbClicked(moment * 1000);
        for (int i = 0; i < kWindows; ++i) {
            QTRY_VERIFY_WITH_TIMEOUT(frame->wndInfo(i).playType == 1
                                         && frame->frame()->wnd(i)->getVideoState() == 3,
                                     30000);
        }
        qint64 seen = 0;
        checkInStep(&seen);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(seen >= moment && seen < moment + 60);

        Q_EMIT m_play->panel()->bar()->sgnRecordSpeedSet(2);
        qint64 before = 0;
        checkInStep(&before);
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(3000);
        qint64 after = 0;
        checkInStep(&after);
        const double rate = double(after - before) * 1000 / wall.elapsed();
        QVERIFY2(rate > 1.6 && rate < 2.4, qPrintable(QString("rate %1").arg(rate)));
    }

private:
    SimHarness m_sim {fourChannels()};
    std::unique_ptr<QRecordVideoPlay> m_play;
};

QTEST_MAIN(tst_PlaybackSync)
#include "tst_PlaybackSync.moc"
