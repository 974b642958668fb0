// Whole frames on the simulated devices through the real media library: automatic definition
// as a window grows, records asked for on live, stepping playback across days. Many channels in
// many windows: tst_E2ELiveView and bench_frame.
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "SimVideo.h"
#include "VideoProbe.h"

#include <SimMedia/RecordSchedule.h>

#include <QtTest>

#include <algorithm>

namespace {

const char *const kDevice = "NVR-5";

ChannelInfo_t channel(int id)
{
    return SimVideo::channel(kDevice, id);
}

} // namespace

class tst_VideoFrameLive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(SimVideo::start(m_sim)); }

    // A window follows its width once past the upper threshold, not on a one-pixel wobble,
    // and back only below the lower one; the bar's choice then holds. Playing live, the window
    // asks for its records of today.
    void definitionFollowsWidth()
    {
        QVideoFrame view(CVideoFrame::kOwnerPlayback);
        view.frame()->setAutoDefinition(AutoDefinition(400, 300));
        view.createWnds(1);
        view.setSplitByCount(1);
        view.setFlag(CVideoFrame::FlagQueryOnLive, true);
        QSignalSpy started(&view, &QVideoFrame::sgnStartQueryRecordNotify);
        view.resize(399 + 4, 240); // the window is 4 pixels narrower than the frame
        view.show();
        view.openVideo(0, channel(5));
        QVideoWnd *w = view.frame()->wnd(0);
        QTRY_COMPARE_WITH_TIMEOUT(w->getVideoState(), 3, VideoProbe::scaled(15000));
        const QString today = QDate::currentDate().toString("yyyy-MM-dd");
        QTRY_VERIFY_WITH_TIMEOUT(view.recordsOf(0).contains(today), VideoProbe::scaled(15000));
        QCOMPARE(started.first().at(2).toString(), today + " 00:00:00");
        const QList<QPair<int, int>> steps = {{399, 1}, {400, 0}, {301, 0}, {299, 1}, {300, 1}};
        for (const auto &step : steps) {
            view.resize(step.first + 4, 240);
            QCOMPARE(w->width(), step.first);
            QCOMPARE(w->getVideoWndInfo().channel.definitionMode, step.second);
        }
        QTRY_COMPARE_WITH_TIMEOUT(w->getVideoWndInfo().videoEnc.width, 320,
                                  VideoProbe::scaled(15000));
        view.resize(404, 240);
        QTRY_COMPARE_WITH_TIMEOUT(w->getVideoWndInfo().videoEnc.width, 640,
                                  VideoProbe::scaled(15000));
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
        // The first test's frame may still be answered for today: wait for this day's answer.
        const auto dayEnded = [&] {
            return std::any_of(ended.begin(), ended.end(), [&](const QList<QVariant> &args) {
                const auto result = args[0].value<RecordQueryResult_t>();
                return QDateTime::fromSecsSinceEpoch(result.queryTime).date() == day;
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(dayEnded(), VideoProbe::scaled(10000));
        QCOMPARE(w->openPlayback(first + 5, first + 600), 0);
        QTRY_VERIFY_WITH_TIMEOUT(w->getFrameTime() >= first, VideoProbe::scaled(15000));
        QCOMPARE(view.stepPlayback(-40), -3);
        QTRY_VERIFY_WITH_TIMEOUT(w->getVideoState() == 3 && w->getFrameTime() > 0
                                     && w->getFrameTime() < first,
                                 VideoProbe::scaled(15000));
        // The day before is asked for and kept beside this one (today's may be there too: the
        // first test's frame, of the same kind, may still be answered).
        const auto cached = view.recordsOf(0);
        QVERIFY(cached.contains(d) && cached.contains(day.addDays(-1).toString("yyyy-MM-dd")));
    }

private:
    SimHarness m_sim {SimVideo::recorder(kDevice, 5, 640, 360)};
};

QTEST_MAIN(tst_VideoFrameLive)
#include "tst_VideoFrameLive.moc"
