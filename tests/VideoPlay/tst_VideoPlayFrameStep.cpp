// The play panel's frame-step keys on a recording of the simulated devices: Ctrl+Right and
// Ctrl+Left step the selected window's paused playback one picture, and do nothing while it plays.
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "TestEnv.h"
#include "VideoClientOnSim.h"

#include "SimHarness.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

class tst_VideoPlayFrameStep : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ctrlArrowsStepThePausedPicture()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        SimHarness sim;
        QVERIFY(sim.start());
        QVERIFY(connectVideoClient(sim.httpPort(), SimHarness::kToken));
        QVideoPlay play(CVideoFrame::kOwnerPlayback, 4, 4);
        play.resize(800, 500);
        play.show();
        ChannelInfo_t recorder;
        recorder.deviceID = SimHarness::kRecorder;
        recorder.channelID = 1;
        recorder.bHasChannel = true;
        play.frame()->select(0);
        play.frame()->openVideos({recorder});
        QVideoWnd *wnd = play.frame()->frame()->wnd(0);
        QTRY_COMPARE_WITH_TIMEOUT(wnd->getVideoState(), 3, 15000);
        const qint64 begin = QDateTime::currentSecsSinceEpoch() - 2 * 3600;
        QCOMPARE(wnd->openPlayback(begin, begin + 3600), 0);
        QTRY_VERIFY_WITH_TIMEOUT(wnd->getFrameTime() > 0, 15000);
        CVideoWnd *controller = wnd->controller();
        play.frame()->select(0); // opening moved the selection on

        QTest::keyClick(&play, Qt::Key_Right, Qt::ControlModifier); // playing: nothing
        QCOMPARE(controller->pausedFrameTimeMs(), qint64(-1));
        QTest::keyClick(&play, Qt::Key_Space);
        QTRY_VERIFY(controller->pausedFrameTimeMs() > 0);
        const qint64 paused = controller->pausedFrameTimeMs();
        // The library's event for a shown step (a status of no meaning to the view).
        QSignalSpy events(wnd, &QVideoWnd::sgnVideoStatusNotify);
        const auto steps = [&] {
            return std::count_if(events.begin(), events.end(), [](const QList<QVariant> &e) {
                return e.at(0).value<VideoStatus_t>().status == -1;
            });
        };
        QTest::keyClick(&play, Qt::Key_Right, Qt::ControlModifier);
        QTRY_COMPARE(steps(), 1);
        QCOMPARE(controller->pausedFrameTimeMs(), paused + 40);
        QTest::keyClick(&play, Qt::Key_Left, Qt::ControlModifier);
        QTRY_COMPARE(steps(), 2);
        QCOMPARE(controller->pausedFrameTimeMs(), paused);
    }
};

QTEST_MAIN(tst_VideoPlayFrameStep)
#include "tst_VideoPlayFrameStep.moc"
