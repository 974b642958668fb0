// The play panel on the simulated devices: the bar's keys act on the selected window, talk and
// sound exclude each other across windows, and Ctrl+arrows step a paused recording.
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "SimVideo.h"
#include "Toasts.h"
#include "VideoProbe.h"

#include <QPushButton>
#include <QtTest>

#include <algorithm>

class tst_VideoPlayLive : public QObject
{
    Q_OBJECT

    // What window index is doing, as the words of the shortcut table.
    QStringList stateOf(int index) const
    {
        const VideoWndInfo_t info = m_play->frame()->wndInfo(index);
        const QList<QPair<bool, QString>> words
            = {{info.channel.definitionMode == 0, "high"},
               {m_play->frame()->frame()->wnd(index)->getVideoState() == 3, "playing"},
               {info.bRecordOn, "record"},
               {info.bAudioOn, "sound"},
               {info.bTalkOn, "talk"}};
        QStringList state;
        for (const auto &word : words) {
            if (word.first)
                state << word.second;
        }
        return state;
    }
    void openBoth()
    {
        m_play->frame()->select(0);
        m_play->frame()->openVideos({SimVideo::channel(SimHarness::kCamera, 1),
                                     SimVideo::channel(SimHarness::kRecorder, 1)});
        QTRY_VERIFY_WITH_TIMEOUT(stateOf(0).contains("playing") && stateOf(1).contains("playing"),
                                 VideoProbe::scaled(15000));
        m_play->frame()->select(0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SimVideo::start(m_sim));
        m_play = new QVideoPlay(CVideoFrame::kOwnerPlayback, 4, 4);
        m_play->resize(800, 500);
        m_play->show();
        openBoth();
    }
    void cleanupTestCase() { delete m_play; }

    // Each key in turn on the selected window (the camera), with its toast and the state after.
    void keysActOnSelectedWindow_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<QStringList>("state");
        const QStringList playing("playing");
        QTest::newRow("S") << int(Qt::Key_S) << "SnapShot Succeed" << playing;
        QTest::newRow("R") << int(Qt::Key_R) << "" << playing + QStringList("record");
        QTest::newRow("R off") << int(Qt::Key_R) << "Save Record Succeed" << playing;
        QTest::newRow("M") << int(Qt::Key_M) << "" << playing + QStringList("sound");
        QTest::newRow("M off") << int(Qt::Key_M) << "" << playing;
        QTest::newRow("T") << int(Qt::Key_T) << "" << playing + QStringList("talk");
        QTest::newRow("T off") << int(Qt::Key_T) << "" << playing;
        QTest::newRow("D") << int(Qt::Key_D) << "" << QStringList {"high", "playing"};
        QTest::newRow("Delete") << int(Qt::Key_Delete) << "" << QStringList("high");
    }
    void keysActOnSelectedWindow()
    {
        QFETCH(int, key);
        QFETCH(QString, toast);
        QFETCH(QStringList, state);
        QTest::keyClick(m_play, Qt::Key(key));
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(0), state, VideoProbe::scaled(15000));
        if (!toast.isEmpty())
            QTRY_VERIFY(shownToasts().contains(toast));
        QVERIFY(stateOf(1).contains("playing"));
    }

    // While the camera talks, the other window can neither talk nor sound, and its buttons
    // show so; closing every window tells of both.
    void talkAndSoundExcludeEachOther()
    {
        openBoth();
        QTest::keyClick(m_play, Qt::Key_T);
        QTRY_VERIFY_WITH_TIMEOUT(stateOf(0).contains("talk"), VideoProbe::scaled(15000));
        m_play->frame()->select(1);
        QTest::keyClick(m_play, Qt::Key_T);
        QTRY_VERIFY(shownToasts().contains("Other Device or Channel is talking"));
        QTest::keyClick(m_play, Qt::Key_M);
        QTRY_VERIFY(shownToasts().contains("Can't operate sound during talking"));
        auto *bar = m_play->bar();
        QCOMPARE(bar->findChild<QPushButton *>("VB_Talk")->property("bTalkOn"), QVariant(false));
        QCOMPARE(bar->findChild<QPushButton *>("VB_Audio")->property("bAudioOn"), QVariant(false));
        QSignalSpy reset(m_play, &QVideoPlay::sgnWndResetNotify);
        m_play->onVideoBarBtnClick("VB_CloseAll", false);
        QCOMPARE(reset.size(), 2);
    }

    // Ctrl+Right and Ctrl+Left step the selected window's paused playback one picture, and do
    // nothing while it plays.
    void ctrlArrowsStepThePausedPicture()
    {
        openBoth();
        QVideoWnd *wnd = m_play->frame()->frame()->wnd(1); // the recorder
        const qint64 begin = QDateTime::currentSecsSinceEpoch() - 2 * 3600;
        QCOMPARE(wnd->openPlayback(begin, begin + 3600), 0);
        QTRY_VERIFY_WITH_TIMEOUT(wnd->getFrameTime() > 0, VideoProbe::scaled(15000));
        CVideoWnd *controller = wnd->controller();
        m_play->frame()->select(1);

        QTest::keyClick(m_play, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(controller->pausedFrameTimeMs(), qint64(-1));
        QTest::keyClick(m_play, Qt::Key_Space);
        QTRY_VERIFY(controller->pausedFrameTimeMs() > 0);
        const qint64 paused = controller->pausedFrameTimeMs();
        // The library's event for a shown step (a status of no meaning to the view).
        QSignalSpy events(wnd, &QVideoWnd::sgnVideoStatusNotify);
        const auto steps = [&] {
            return std::count_if(events.begin(), events.end(), [](const QList<QVariant> &e) {
                return e.at(0).value<VideoStatus_t>().status == -1;
            });
        };
        QTest::keyClick(m_play, Qt::Key_Right, Qt::ControlModifier);
        QTRY_COMPARE(steps(), 1);
        QCOMPARE(controller->pausedFrameTimeMs(), paused + 40);
        QTest::keyClick(m_play, Qt::Key_Left, Qt::ControlModifier);
        QTRY_COMPARE(steps(), 2);
        QCOMPARE(controller->pausedFrameTimeMs(), paused);
    }

private:
    SimHarness m_sim;
    QVideoPlay *m_play = nullptr;
};

QTEST_MAIN(tst_VideoPlayLive)
#include "tst_VideoPlayLive.moc"
