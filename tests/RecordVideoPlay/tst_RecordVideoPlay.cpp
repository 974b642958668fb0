// The playback module on the simulated devices through the real media library: playing from a
// row of the time bar, a gap, the calendar's marks, a device going offline, back to live.
#undef QT_NO_KEYWORDS
#include "CommonUI/TimeBar/CalendarWidget.h"
#include "CommonUI/TimeBar/QTimeProgressBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "PictureClock.h"
#include "RecordPlay/QRecordVideoPlay.h"
#include "TestEnv.h"
#include "Toasts.h"
#include "VideoClientOnSim.h"

#include "SimHarness.h"

#include <KWGui/KWDateTimeCalendar.h>
#include <SimMedia/RecordSchedule.h>

#include <QPushButton>
#include <QtTest>

namespace {

ChannelInfo_t recorderChannel(int id)
{
    ChannelInfo_t c;
    c.deviceID = SimHarness::kRecorder;
    c.channelID = id;
    c.channelName = QString("Channel %1").arg(id);
    c.bHasChannel = true;
    return c;
}

// A past day of the channel's device recordings with a gap of more than a minute after a
// recording of more than two minutes: that recording and the next.
bool dayWithGap(int channel, SimMedia::Record *first, SimMedia::Record *next)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QDate day = QDate::currentDate().addDays(-1); day > QDate::currentDate().addDays(-30);
         day = day.addDays(-1)) {
        const auto records = SimMedia::RecordSchedule::day(SimHarness::kRecorder, channel, 0,
                                                           day.year(), day.month(), day.day(), now);
        for (size_t i = 1; i < records.size(); ++i) {
            if (records[i - 1].end - records[i - 1].begin > 120
                && records[i].begin - records[i - 1].end > 60) {
                *first = records[i - 1];
                *next = records[i];
                return true;
            }
        }
    }
    return false;
}

} // namespace

class tst_RecordVideoPlay : public QObject
{
    Q_OBJECT

    int state(int index) const { return frame()->frame()->wnd(index)->getVideoState(); }
    QVideoFrame *frame() const { return m_play->frame(); }

    void openLive(const QList<ChannelInfo_t> &channels)
    {
        frame()->closeAll();
        frame()->select(0);
        m_play->openVideos(channels);
        for (int i = 0; i < channels.size(); ++i)
            QTRY_COMPARE_WITH_TIMEOUT(state(i), 3, 15000);
        frame()->select(0); // opening moved the selection on
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        QVERIFY(m_sim.start());
        QVERIFY(connectVideoClient(m_sim.httpPort(), SimHarness::kToken));
        m_play = new QRecordVideoPlay(CVideoFrame::kOwnerPlayback);
        m_play->resize(900, 700);
        m_play->show();
    }
    void cleanupTestCase() { delete m_play; }

    // A double-click on a row with nothing cached asks for the clicked day from 22:00 of the
    // day before and plays when a recording covers the time; a click into a gap closes the
    // window with "No Video Record"; back to live plays the present again.
    void playFromRowAndBackToLive()
    {
        SimMedia::Record first, next;
        QVERIFY(dayWithGap(1, &first, &next));
        openLive({recorderChannel(1)});
        QSignalSpy started(m_play->panel(), &QVideoPlay::sgnStartQueryRecordNotify);
        KWGUI::KWTimeAxis *axis = m_play->timeBar()->axis(0);
        const qint64 target = first.begin + 60;
        Q_EMIT axis->sgnTimeDbClicked(target * 1000);
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.first().at(2).toString(),
                 QDateTime::fromSecsSinceEpoch(target).toString("yyyy-MM-dd HH:mm:ss"));
        QTRY_VERIFY_WITH_TIMEOUT(state(0) == 3 && frame()->wndInfo(0).playType == 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(pictureClock(frame(), 0) - target) <= 5, 15000);
        const QString day = QDateTime::fromSecsSinceEpoch(target).date().toString("yyyy-MM-dd");
        QVERIFY(frame()->recordsOf(0).contains(day));
        QTRY_VERIFY_WITH_TIMEOUT(
            qAbs(m_play->timeBar()->GetPlayIndicatorTime(0) / 1000 - target) <= 5, 3000);

        Q_EMIT axis->sgnTimeDbClicked((first.end + next.begin) / 2 * 1000);
        QCOMPARE(state(0), 0);
        QTRY_VERIFY(shownToasts().contains("No Video Record"));

        m_play->timeBar()->calendar()->findChild<QPushButton *>("backBtn")->click();
        QTRY_VERIFY_WITH_TIMEOUT(state(0) == 3 && frame()->wndInfo(0).playType == 0, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(
            qAbs(pictureClock(frame(), 0) - QDateTime::currentSecsSinceEpoch()) <= 5, 15000);
    }

    // The month's bitmap of the selected window marks exactly its days with recordings; a
    // bitmap whose second character alone is 1 marks only day 2.
    void monthMarks()
    {
        openLive({recorderChannel(2)}); // selecting the window asks for this month's bitmap
        const QDate today = QDate::currentDate();
        const std::string expected = SimMedia::RecordSchedule::monthBitmap(
            SimHarness::kRecorder, 2, 0, today.year(), today.month(),
            QDateTime::currentSecsSinceEpoch());
        QVERIFY(expected.find('1') != std::string::npos);
        KWGUI::KWDateTimeCalendar *calendar = m_play->timeBar()->calendar()->calendar();
        const auto marks = [&] {
            QString shown;
            for (int d = 1; d <= today.daysInMonth(); ++d)
                shown += calendar->IsRecordMarkShown(QDate(today.year(), today.month(), d)) ? '1'
                                                                                            : '0';
            return shown;
        };
        QTRY_COMPARE_WITH_TIMEOUT(
            marks(), QString::fromStdString(expected).left(today.daysInMonth()), 10000);

        QueryRecordBitmapResult_t second;
        second.year = today.year();
        second.month = today.month();
        second.bitmap = "01" + QString(29, '0');
        m_play->onEndQueryRecordBitmapNotify(second);
        QCOMPARE(marks(), "01" + QString(today.daysInMonth() - 2, '0'));
    }

    // "offline" closes every window of the channel and no other; other texts close nothing.
    void deviceOfflineClosesItsWindows()
    {
        openLive({recorderChannel(1), recorderChannel(2), recorderChannel(1)});
        m_play->notifyDeviceStatus("online", recorderChannel(1));
        QCOMPARE(state(0), 3);
        m_play->notifyDeviceStatus("offline", recorderChannel(1));
        QCOMPARE(state(0), 0);
        QCOMPARE(state(1), 3);
        QCOMPARE(state(2), 0);
        m_play->notifyDeviceStatus("delete", recorderChannel(2));
        QCOMPARE(state(1), 0);
    }

private:
    SimHarness m_sim;
    QRecordVideoPlay *m_play = nullptr;
};

QTEST_MAIN(tst_RecordVideoPlay)
#include "tst_RecordVideoPlay.moc"
