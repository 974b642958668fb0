// Whole video windows showing the simulated devices' streams through the real media library.
// The media test helpers switch Qt's keywords off for GLib; the client's headers use them.
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoSurface.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "LogText.h"
#include "SimVideo.h"
#include "VideoProbe.h"

#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QtTest>

namespace {

const char *const kTimeFormat = "yyyy-MM-dd HH:mm:ss";

ChannelInfo_t channel(const char *device, int id, const QString &name, int definition = 1)
{
    ChannelInfo_t c = SimVideo::channel(device, id, definition);
    c.channelName = name;
    c.shopName = "Harbour Street";
    return c;
}

StreamCore::VideoStatistics statisticsOf(QVideoWnd &wnd)
{
    StreamCore::VideoStatistics s {};
    return wnd.controller()->getStatistics(&s) == 0 ? s : StreamCore::VideoStatistics {};
}

bool decodes(const QString &file)
{
    QProcess gst;
    gst.start("gst-launch-1.0",
              {"-q", "filesrc", "location=" + file, "!", "qtdemux", "!", "h264parse", "!",
               "avdec_h264", "!", "fakesink"});
    return gst.waitForFinished(30000) && gst.exitCode() == 0;
}

// The recordings of the latest past day on which the recorder's channel 1 has some in source.
RecordQueryResult_t recordedDay(int source)
{
    RecordQueryResult_t result;
    for (const SimMedia::Record &r : SimHarness::recordedDay(SimHarness::kRecorder, 1, source)) {
        RecordSegment_t segment;
        segment.recordId = QString::fromStdString(r.id);
        segment.beginTime = QDateTime::fromSecsSinceEpoch(r.begin).toString(kTimeFormat);
        segment.endTime = QDateTime::fromSecsSinceEpoch(r.end).toString(kTimeFormat);
        segment.deviceId = SimHarness::kRecorder;
        segment.channel = 1;
        result.records << segment;
    }
    result.result = result.records.size();
    return result;
}

struct Window
{
    explicit Window(int index)
        : view(nullptr, index)
        , notified(&view, &QVideoWnd::sgnWndVideoStatusNotify)
    {
        view.resize(640, 360);
        view.show();
    }
    bool waitPlaying()
    {
        return QTest::qWaitFor([&] { return view.getVideoState() == 3; }, 10000);
    }
    QList<int> operations() const
    {
        QList<int> ops;
        for (const QList<QVariant> &signal : notified)
            ops << signal.at(1).toInt();
        return ops;
    }

    QVideoWnd view;
    QSignalSpy notified;
};

} // namespace

class tst_VideoWnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(SimVideo::start(m_sim));
        KPrintLog::instance()->SetFile("./log/test");
    }

    void init() { m_sim.media().clearFaults(); }

    void livePlaysWithSnapshotMenuAndStatistics()
    {
        Window w(1);
        QCOMPARE(w.view.openRealVideo(QString(), channel(SimHarness::kRecorder, 1, "Door")), 0);
        QVERIFY(w.waitPlaying());
        QTRY_COMPARE(w.operations(), QList<int> {3});
        QCOMPARE(w.view.contextMenuPolicy(), Qt::DefaultContextMenu);

        QCOMPARE(w.view.snapshotVideo(), 0);
        QFile picture(w.view.getVideoWndInfo().snapshotFilePath);
        QTRY_VERIFY(picture.size() > 0);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        QCOMPARE(picture.read(3), QByteArray("\xFF\xD8\xFF"));

        // The menu offers closing while a picture plays.
        QStringList offered;
        QTimer::singleShot(200, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                for (QAction *action : menu->actions())
                    offered << action->text();
                menu->close();
            }
        });
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(10, 10));
        QApplication::sendEvent(&w.view, &menuEvent);
        QCOMPARE(offered, (QStringList {"Close Video", "Close All", "Show Statistics"}));
        // Statistics of the stream: the sim's standard definition in H.264, pictures flowing.
        QTRY_VERIFY(statisticsOf(w.view).displayedFps > 5);
        const StreamCore::VideoStatistics stats = statisticsOf(w.view);
        QCOMPARE(QSize(stats.width, stats.height), QSize(320, 180));
        QVERIFY(stats.shownFrames > 0 && stats.decodedFrames >= stats.shownFrames);
        w.view.setStatisticsShown(true);
        w.view.activateWindow();
        w.view.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&w.view));
        QTest::keyClick(&w.view, Qt::Key_I, Qt::ControlModifier); // the shortcut hides them
        QVERIFY(!w.view.isStatisticsShown());

        QSignalSpy actions(&w.view, &QVideoWnd::sgnWndAction);
        QTest::mouseClick(w.view.surface(), Qt::RightButton, {}, QPoint(30, 40));
        QCOMPARE(actions.last().at(1).value<Wnd_ActionType_e>(), Wnd_Action_Select);
        QTest::mouseDClick(w.view.surface(), Qt::LeftButton, {}, QPoint(30, 40));
        QCOMPARE(actions.last().at(1).value<Wnd_ActionType_e>(), Wnd_Action_DoubleClick);
        QCOMPARE(actions.last().at(2).toPoint(), w.view.surface()->mapToParent(QPoint(30, 40)));
        w.view.closeVideo();
        QCOMPARE(w.operations(), (QList<int> {3, 0}));
        QVERIFY(w.view.surface()->isDefaultPictureOn());
    }

    void failedOpensShowTheirText_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("definition");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("operations");
        // Standard definition is tried once more in high definition before the text shows.
        QTest::newRow("refused") << false << 1 << "[7,0]Playback failure!" << QList<int> {0, 0};
        QTest::newRow("refused in high definition")
            << false << 0 << "[7,0]Playback failure!" << QList<int> {0};
        QTest::newRow("no picture") << true << 0 << "Request timeout!" << QList<int> {0};
    }

    void failedOpensShowTheirText()
    {
        QFETCH(bool, silent);
        QFETCH(int, definition);
        QFETCH(QString, text);
        QFETCH(QList<int>, operations);
        SimMedia::ChannelFault fault;
        fault.refuse = !silent;
        fault.silent = silent;
        m_sim.media().setFault(SimHarness::kRecorder, 2, fault);
        // The open time-out must end a silent open before the stream's own loss detection does,
        // as in the shipped client, also where slow builds stretch the time-outs.
        if (silent)
            StreamCore::IStreamCore::GetInstance()->SetTimeouts(10000, VideoProbe::scaled(5000));
        Window w(2);
        QCOMPARE(
            w.view.openRealVideo(QString(), channel(SimHarness::kRecorder, 2, "Gate", definition)),
            0);
        QTRY_VERIFY_WITH_TIMEOUT(!w.view.surface()->statusText().isEmpty(), 25000);
        SimHarness::scaleTimeouts();
        QCOMPARE(w.view.surface()->statusText(), text);
        QCOMPARE(w.operations(), operations);
        QCOMPARE(w.view.contextMenuPolicy(), Qt::NoContextMenu);
    }

    void playbackPicksByFileOrByTime_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("accessSource");
        QTest::addColumn<QString>("ability");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("byTime");
        QTest::newRow("cloud, always by file") << 1 << 2 << ""
                                               << "QZ-REC0108A" << 0;
        QTest::newRow("device by file name") << 0 << 0 << "PlaybackByFilename"
                                             << "NVR-8" << 0;
        QTest::newRow("QZ-REC0108A by time") << 0 << 0 << "PlaybackByFilename"
                                             << "QZ-REC0108A" << 1;
        QTest::newRow("access source 2 by time") << 0 << 2 << "PlaybackByFilename"
                                                 << "NVR-8" << 1;
        QTest::newRow("no ability, by time") << 0 << 0 << "PTZ"
                                             << "NVR-8" << 1;
    }

    // Opened a little before the day's first recording, playback starts where it starts.
    void playbackPicksByFileOrByTime()
    {
        QFETCH(int, source);
        QFETCH(int, accessSource);
        QFETCH(QString, ability);
        QFETCH(QString, model);
        QFETCH(int, byTime);
        Window w(6);
        VideoWndInfo_t info = w.view.getVideoWndInfo();
        info.channel = channel(SimHarness::kRecorder, 1, "Hall");
        info.channel.accessSource = accessSource;
        info.channel.chnAbility = ability;
        info.channel.deviceModel = model;
        w.view.controller()->setVideoWndInfo(info);
        w.view.setRecordSource(source);
        const RecordQueryResult_t day = recordedDay(source);
        const QDateTime first = QDateTime::fromString(day.records.first().beginTime, kTimeFormat);
        w.view.addRecordResult(first.toString("yyyy-MM-dd"), day);
        const qint64 begin = first.toSecsSinceEpoch();
        QCOMPARE(w.view.openPlayback(begin - 5, begin + 20), 0);
        QVERIFY(w.waitPlaying());
        QCOMPARE(w.view.isPlayByTime(), byTime);
        QCOMPARE(w.view.getCurrentRecordInfo().recordId,
                 byTime ? QString() : day.records.first().recordId);
    }

    void lostLiveVideoPlaysAgainByItself()
    {
        Window w(5);
        QCOMPARE(w.view.openRealVideo(QString(), channel(SimHarness::kRecorder, 3, "Yard")), 0);
        QVERIFY(w.waitPlaying());
        QCOMPARE(w.view.recordVideo(true), 0);
        const QString firstFile = w.view.getVideoWndInfo().recordFilePath;
        QVERIFY2(firstFile.startsWith(QDir::currentPath() + "/records/Harbour Street/Yard/"),
                 qPrintable(firstFile));
        QTRY_VERIFY(QFile::exists(w.view.getVideoWndInfo().thumbnailPath));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(firstFile).size() > 20000, 10000);

        // The device stops answering: the platform hands out a port where nothing listens.
        ReconnectSchedule &schedule = w.view.controller()->reconnectSchedule();
        schedule.setDelays({300, 300, 60000});
        SimMedia::ChannelFault refuse;
        refuse.refuse = true;
        m_sim.media().setFault(SimHarness::kRecorder, 3, refuse);
        QVERIFY(m_sim.media().dropSessions(SimHarness::kRecorder, 3) > 0);
        QTRY_VERIFY_WITH_TIMEOUT(w.view.controller()->isReconnecting(), 10000);
        QVERIFY(w.view.surface()->hasStillPicture()); // the last picture, dimmed
        QTRY_VERIFY(schedule.attempts() >= 3); // two refused attempts, then a long wait

        // Back during the long wait: a probe finds it long before the next full open.
        m_sim.media().clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(w.view.getVideoState() == 3, 20000);
        QTRY_COMPARE(w.operations(), (QList<int> {3, 3}));
        QVERIFY(!w.view.controller()->isReconnecting());
        for (const auto &[attempt, lines] : {std::pair {1, 1}, {3, 1}, {4, 0}})
            QCOMPARE(logText().count(QString("reconnect attempt %1 to NVR-T1").arg(attempt)),
                     lines);
        QVERIFY(!w.view.surface()->hasStillPicture());
        const VideoWndInfo_t info = w.view.getVideoWndInfo();
        QVERIFY(info.bRecordOn);
        QVERIFY(info.recordFilePath != firstFile);
        QVERIFY(decodes(firstFile));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(info.recordFilePath).size() > 20000, 10000);
        w.view.closeVideo();
        QTRY_VERIFY_WITH_TIMEOUT(decodes(info.recordFilePath), 10000);
    }

private:
    SimHarness m_sim;
};

QTEST_MAIN(tst_VideoWnd)
#include "tst_VideoWnd.moc"
