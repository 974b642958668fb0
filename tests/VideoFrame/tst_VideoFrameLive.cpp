// Whole frames on the simulated devices through the real media library: sixteen channels in
// sixteen windows, automatic definition as a window grows, stepping playback across days.
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "ConfigInfo/CBaseInfo.h"
#include "TestEnv.h"

#include "SimHarness.h"

#include <SimMedia/FrameStamp.h>
#include <SimMedia/RecordSchedule.h>
#include <StreamCore/IStreamCore.h>

#include <QtTest>

namespace {

const char *const kDevice = "NVR-16";

std::vector<SimMedia::MediaDevice> sixteenChannels()
{
    SimMedia::MediaDevice recorder {kDevice, "Sixteen channels", {}};
    for (int id = 1; id <= 16; ++id) {
        SimMedia::ChannelSpec c;
        c.id = id;
        c.name = "Channel " + std::to_string(id);
        c.width[0] = 640;
        c.height[0] = 360;
        c.width[1] = 320;
        c.height[1] = 180;
        recorder.channels.push_back(c);
    }
    return {recorder};
}

ChannelInfo_t channel(int id)
{
    ChannelInfo_t c;
    c.deviceID = kDevice;
    c.channelID = id;
    c.bHasChannel = true;
    return c;
}

bool readStamp(QWidget *wnd, SimMedia::FrameStamp *stamp)
{
    const QImage image = wnd->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return stamp->read(image.constBits(), image.bytesPerLine(), image.width(), image.height());
}

} // namespace

class tst_VideoFrameLive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        QVERIFY(m_sim.start());
        QCOMPARE(StreamCore::IStreamCore::GetInstance()->InitApi("127.0.0.1", m_sim.httpPort(), "",
                                                                 true),
                 0);
        ConfigInfo::CBaseInfo::Instance().setVeltToken(SimHarness::kToken);
    }

    // Sixteen channels opened from the first window of four fill a 16-window split, each
    // window showing its own channel; each window that plays asks for its records of today.
    void sixteenWindowsPlay()
    {
        QVideoFrame view(CVideoFrame::kOwnerPlayback);
        view.resize(1283, 723);
        view.show();
        view.createWnds(16);
        view.setSplitByCount(4);
        view.setFlag(CVideoFrame::FlagQueryOnLive, true);
        QSignalSpy started(&view, &QVideoFrame::sgnStartQueryRecordNotify);
        QSignalSpy ended(&view, &QVideoFrame::sgnEndQueryRecordNotify);
        QList<ChannelInfo_t> channels;
        for (int id = 1; id <= 16; ++id)
            channels << channel(id);
        view.openVideos(channels);
        QCOMPARE(view.frame()->splitWndCount(), 16);
        for (int i = 0; i < 16; ++i) {
            QVideoWnd *w = view.frame()->wnd(i);
            QCOMPARE(w->getVideoWndInfo().channel.definitionMode, 1); // at 318 pixels wide
            SimMedia::FrameStamp stamp;
            QTRY_VERIFY_WITH_TIMEOUT(readStamp(w, &stamp), 30000);
            QCOMPARE(int(stamp.channel), i + 1);
        }
        const auto allPlaying = [&view] {
            for (int i = 0; i < 16; ++i) {
                if (view.frame()->wnd(i)->getVideoState() != 3)
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allPlaying(), 30000); // a stream lost under load comes back
        const QString today = QDate::currentDate().toString("yyyy-MM-dd");
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), started.size(), 15000);
        QVERIFY(started.size() >= 16);
        QCOMPARE(started.first().at(2).toString(), today + " 00:00:00");
        for (int i = 0; i < 16; ++i)
            QVERIFY(view.recordsOf(i).contains(today));
    }

    // A window follows its width once past the upper threshold, not on a one-pixel wobble,
    // and back only below the lower one; the bar's choice then holds.
    void definitionFollowsWidth()
    {
        QVideoFrame view(CVideoFrame::kOwnerPlayback);
        view.frame()->setAutoDefinition(AutoDefinition(400, 300));
        view.createWnds(1);
        view.setSplitByCount(1);
        view.resize(399 + 4, 240); // the window is 4 pixels narrower than the frame
        view.show();
        view.openVideo(0, channel(5));
        QVideoWnd *w = view.frame()->wnd(0);
        QTRY_COMPARE_WITH_TIMEOUT(w->getVideoState(), 3, 15000);
        const QList<QPair<int, int>> steps = {{399, 1}, {400, 0}, {301, 0}, {299, 1}, {300, 1}};
        for (const auto &step : steps) {
            view.resize(step.first + 4, 240);
            QCOMPARE(w->width(), step.first);
            QCOMPARE(w->getVideoWndInfo().channel.definitionMode, step.second);
        }
        QTRY_COMPARE_WITH_TIMEOUT(w->getVideoWndInfo().videoEnc.width, 320, 15000);
        view.resize(404, 240);
        QTRY_COMPARE_WITH_TIMEOUT(w->getVideoWndInfo().videoEnc.width, 640, 15000);
        view.setDefinition(1);
        view.resize(500, 240);
        QCOMPARE(w->getVideoWndInfo().channel.definitionMode, 1);
    }

    // Stepping back from a day's first record asks for the day before (-3) and plays there
    // once the answer arrives.
    void stepBackAcrossMidnight()
    {
        QVideoFrame view(CVideoFrame::kOwnerPlayback);
        view.resize(400, 240);
        view.show();
        view.createWnds(1);
        view.setSplitByCount(1);
        QVideoWnd *w = view.frame()->wnd(0);
        VideoWndInfo_t info = w->getVideoWndInfo();
        info.channel = channel(2);
        w->controller()->setVideoWndInfo(info);
        view.setRecordSource(0);
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QDate day = QDate::currentDate();
        qint64 first = 0;
        while (first == 0 && day > QDate::currentDate().addDays(-30)) {
            day = day.addDays(-1);
            const auto records = SimMedia::RecordSchedule::day(kDevice, 2, 0, day.year(),
                                                               day.month(), day.day(), now);
            const qint64 dayStart = QDateTime(day, QTime(0, 0)).toSecsSinceEpoch();
            if (!records.empty() && records.front().begin > dayStart + 60)
                first = records.front().begin;
        }
        QVERIFY(first > 0);
        QSignalSpy ended(&view, &QVideoFrame::sgnEndQueryRecordNotify);
        const QString d = day.toString("yyyy-MM-dd");
        QVERIFY(view.queryRecord(0, 0, d + " 00:00:00", d + " 23:59:59",
                                 QDateTime(day, QTime(0, 0)).toSecsSinceEpoch(), info.channel));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
        QCOMPARE(w->openPlayback(first + 5, first + 600), 0);
        QTRY_VERIFY_WITH_TIMEOUT(w->getFrameTime() >= first, 15000);
        QCOMPARE(view.stepPlayback(-40), -3);
        QTRY_VERIFY_WITH_TIMEOUT(
            w->getVideoState() == 3 && w->getFrameTime() > 0 && w->getFrameTime() < first, 15000);
        QCOMPARE(view.recordsOf(0).size(), 2);
    }

private:
    SimHarness m_sim {sixteenChannels()};
};

QTEST_MAIN(tst_VideoFrameLive)
#include "tst_VideoFrameLive.moc"
