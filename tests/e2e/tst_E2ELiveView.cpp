// Video through the platform's page, with the client's main window in this process and
// orvane-sim as a process; the picture's burnt-in stamp tells what plays: the live view, the
// recordings of the time bar and the alarm message detail.
#undef QT_NO_KEYWORDS
#include "CommonUI/TimeBar/CalendarWidget.h"
#include "CommonUI/TimeBar/QTimeProgressBar.h"
#include "CommonUI/VideoBar/QMessageVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "InProcessClient.h"
#include "MessageDetail/QMessageDetail.h"
#include "ProgramFolder.h"
#include "RecordPlay/QRecordVideoPlay.h"
#include "SimPicture.h"
#include "Toasts.h"
#include "VideoMonitor/QVideoMonitor.h"
#include "Web/CWebMsgFactory.h"
#include "Web/CWebView.h"
#include "Web/OpenRecordMsg.h"
#include "Web/WndRectMsg.h"

#include <KWGui/KWTimeAxis.h>
#include <SimMedia/RecordSchedule.h>

#include <QCursor>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <memory>

namespace {

const char *const recorder = "NVR0001A"; // four channels, Harbour Street
const char *const entrance = "IPC0003C"; // one channel, Market Square

// Whether a block of the screen, in window coordinates of window, is all the page's white.
bool screenIsWhite(QWidget *window, const QRect &block)
{
    const QPoint at = window->mapToGlobal(block.topLeft());
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, at.x(), at.y(), block.width(), block.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixel(x, y) != qRgb(255, 255, 255))
                return false;
        }
    }
    return !shot.isNull();
}

// The latest day before today with a device recording of the channel ten minutes long or
// more: {day, the middle of that recording}.
struct PlaybackDay
{
    QDate day;
    qint64 recorded = 0;
};

PlaybackDay playbackDay(const char *device, int channel)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QDate day = QDate::currentDate().addDays(-1); day > QDate::currentDate().addDays(-30);
         day = day.addDays(-1)) {
        for (const auto &record : SimMedia::RecordSchedule::day(device, channel, 0, day.year(),
                                                                day.month(), day.day(), now)) {
            if (record.end - record.begin >= 600)
                return {day, (record.begin + record.end) / 2};
        }
    }
    return {};
}

} // namespace

class tst_E2ELiveView : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    std::unique_ptr<TesmarClient> m_client;
    QString m_error;

    DevToolsClient &page() { return m_session.page(); }
    bool waitFor(const QString &condition) { return page().waitFor(condition, &m_error, 30000); }

    // Runs a user's gesture on the element of selector: a double click, or a key.
    bool gesture(const QString &selector, const QString &event)
    {
        const QString script = "(() => { const e = document.querySelector(%1);"
                               " if (!e) return 'nothing matches'; e.focus(); e.dispatchEvent(%2);"
                               " return ''; })()";
        m_error = page().evaluate(script.arg(DevToolsClient::jsString(selector), event)).toString();
        return m_error.isEmpty();
    }
    bool doubleClick(const QString &selector)
    {
        return gesture(selector, "new MouseEvent('dblclick', {bubbles: true})");
    }
    bool press(const QString &selector, const QString &key)
    {
        return gesture(
            selector, QString("new KeyboardEvent('keydown', {key: '%1', bubbles: true})").arg(key));
    }
    static QString channelRow(const char *device, int channel)
    {
        return QString("#camera-tree [data-device='%1'][data-channel='%2']")
            .arg(device)
            .arg(channel);
    }

    QList<QJsonObject> calls(const QString &method) { return m_session.calls(method); }

    QVideoMonitor *liveView() const { return m_client->findChild<QVideoMonitor *>(); }
    QRecordVideoPlay *playback() const { return liveView()->findChild<QRecordVideoPlay *>(); }
    QVideoWnd *wnd(int index) const { return playback()->frame()->frame()->wnd(index); }
    QMessageDetail *detail() const { return m_client->findChild<QMessageDetail *>(); }
    QVideoWnd *detailWnd() const { return detail()->frame()->frame()->wnd(0); }

    // The live view lies exactly over the page's video frame.
    bool videoOverFrame()
    {
        const QJsonArray box
            = page()
                  .evaluate("(() => { const r = document.querySelector('.live-frame')"
                            ".getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]"
                            ".map(Math.round); })()")
                  .toArray();
        const QRect frame(QPoint(box[0].toInt(), box[1].toInt()),
                          QPoint(box[2].toInt() - 1, box[3].toInt() - 1));
        QWidget *view = liveView();
        m_error = "the frame is at " + QJsonDocument(box).toJson(QJsonDocument::Compact);
        return view && view->isVisible()
            && QRect(view->mapTo(m_client.get(), QPoint(0, 0)), view->size()) == frame;
    }

    // Clicks the alarm's notice on the desktop and waits for the page's dialog.
    bool openFromNotice(const QJsonObject &alarm)
    {
        m_error = "no notice of the alarm on the desktop";
        QLabel *notice = nullptr;
        if (!QTest::qWaitFor([&] { return (notice = toastShowing(alarm["content"].toString())); },
                             15000))
            return false;
        QTest::mouseClick(notice, Qt::LeftButton);
        return waitFor(QString("document.querySelector('#message-detail[data-message=%1]')")
                           .arg(DevToolsClient::jsString(alarm["messageID"].toString())));
    }

    // Waits until window 0 plays the recording of the channel from the alarm's span.
    bool playsSpanOf(const QJsonObject &alarm)
    {
        const qint64 moment = qint64(alarm["timestamp"].toDouble()) / 1000;
        const qint64 end = moment + alarm["recordLength"].toInt();
        SimMedia::FrameStamp stamp;
        const bool plays = QTest::qWaitFor(
            [&] {
                stamp = stampOf(detailWnd());
                return detailWnd()->getVideoWndInfo().playType == 1
                    && stamp.deviceTag
                    == SimMedia::FrameStamp::tagOf(alarm["deviceId"].toString().toStdString())
                    && stamp.channel == alarm["channelId"].toInt() && stamp.seconds >= moment
                    && stamp.seconds <= end;
            },
            30000);
        m_error
            = QString("window 0 shows %1, not %2 to %3").arg(stamp.seconds).arg(moment).arg(end);
        return plays;
    }

private slots:
    void initTestCase()
    {
        STEP(InProcessClient::setUp(m_session, &m_error));
        QVERIFY(ProgramFolder(QDir::currentPath()).install()); // skins and split layouts
    }

    // Every case logs in on a new window, whose first page is the live view.
    void init()
    {
        m_session.sim("POST", "/sim/requests/clear");
        STEP(InProcessClient::openWindow(m_session, m_client, &m_error)
             && m_session.logIn("demo", "demo123", &m_error)
             && waitFor("document.querySelector('#camera-tree .tree-channel')"));
        m_client->resize(1280, 800);
        QTRY_VERIFY2(videoOverFrame(), qPrintable(m_error));
    }

    void cleanup() { m_client.reset(); }

    void cleanupTestCase() { m_session.stop(); }

    // Four cameras opened at once play in four windows and tell the page; the video follows the
    // page's frame; a camera closes from the page, the others when their recorder goes offline.
    void camerasPlayCloseAndGoOffline()
    {
        STEP(doubleClick("#camera-tree .tree-device-name"));
        const QJsonArray opened = calls("OpenVideo").last()["channels"].toArray();
        QCOMPARE(opened.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(opened[i]["deviceID"].toString(), QString(recorder));
            QCOMPARE(opened[i]["channelID"].toInt(), i + 1);
            QTRY_VERIFY_WITH_TIMEOUT(shows(wnd(i), recorder, i + 1), 30000);
        }
        const QString badges = "[...document.querySelectorAll('#camera-tree .window-badge."
                               "playing')].map((b) => b.textContent).join(',')";
        STEP(waitFor(badges + " === '1,2,3,4'"));

        m_client->resize(1400, 900);
        QTRY_VERIFY2(videoOverFrame(), qPrintable(m_error));

        STEP(press(channelRow(recorder, 2), "Delete"));
        QCOMPARE(calls("CloseVideo").last(),
                 QJsonObject({{"module", 1}, {"deviceID", recorder}, {"channelID", 2}}));
        QTRY_VERIFY(wnd(1)->getVideoState() != 3);
        STEP(waitFor(badges + " === '1,3,4'"));

        STEP(m_session.alarmFeedWaits(&m_error));
        m_session.raiseAlarm({{"deviceId", recorder}, {"messageType", 5}});
        STEP(waitFor(badges + " === ''"));
        QCOMPARE(calls("NotifyDeviceStatus").size(), 4);
        for (const int i : {0, 2, 3})
            QTRY_VERIFY(wnd(i)->getVideoState() != 3);
        QVERIFY(page()
                    .evaluate(QString("document.querySelector(\"%1\").classList"
                                      ".contains('offline')")
                                  .arg(channelRow(recorder, 1)))
                    .toBool());
    }

    // A camera dragged from the tree onto a window plays in that window, not the selected one.
    void dragOpensTheCameraInTheWindowDroppedOn()
    {
        STEP(page().drag(channelRow(entrance, 1),
                         wnd(3)->mapTo(m_client.get(), wnd(3)->rect().center()), &m_error));
        QCOMPARE(calls("OpenVideo").last()["channels"].toArray().at(0)["wndID"].toInt(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(shows(wnd(3), entrance, 1), 30000);
        QCOMPARE(wnd(0)->getVideoState(), 0);
    }

    // A dialog of the page cuts its place out of the video, which comes back once it closes.
    void dialogsStayAboveTheVideo()
    {
        STEP(doubleClick(channelRow(entrance, 1)));
        QTRY_VERIFY_WITH_TIMEOUT(shows(wnd(0), entrance, 1), 30000);
        QVERIFY(!m_client->close()); // from outside: the page asks first
        STEP(waitFor("document.querySelector('#dialogs .dialog')"));
        const QJsonArray box
            = page()
                  .evaluate(
                      "(() => { const r = document.querySelector('#dialogs .dialog')"
                      ".getBoundingClientRect(); return [r.right, r.top].map(Math.round); })()")
                  .toArray();
        const QRect padding(box[0].toInt() - 16, box[1].toInt() + 4, 12, 12); // top right
        QVERIFY(liveView()->geometry().contains(padding));
        QTRY_VERIFY(screenIsWhite(m_client.get(), padding));
        QJsonObject mask = calls("SetMask").last();
        QCOMPARE(mask["name"].toString(), QString("dialog"));
        QVERIFY(mask["show"].toBool() && mask["shade"].toBool());

        STEP(page().click("#dialog-cancel", &m_error));
        QTRY_VERIFY(!screenIsWhite(m_client.get(), padding));
        mask = calls("SetMask").last();
        QVERIFY(!mask["show"].toBool());
        QVERIFY(m_client->isVisible());
    }

    // The selected camera's recordings: a day picked in the strip, a time double-clicked on the
    // time bar plays there and answers the panel's keys, the live button goes back to live.
    // (Gaps and the month's marks: tst_RecordVideoPlay, on the same sim.)
    void recordingsFromTheTimeBar()
    {
        const PlaybackDay pick = playbackDay(entrance, 1);
        QVERIFY(pick.day.isValid());
        STEP(page().click(channelRow(entrance, 1), &m_error)
             && page().click("#recordings", &m_error)
             && waitFor("!document.querySelector('#playback-hint').classList.contains('hidden')"));
        QTRY_VERIFY_WITH_TIMEOUT(shows(wnd(0), entrance, 1), 30000);
        // The calendar acts on the selected window (the client has moved on to the next one);
        // selecting it selects its camera on the page.
        STEP(page().click(channelRow(recorder, 1), &m_error));
        QTest::mouseClick(wnd(0), Qt::LeftButton);
        STEP(waitFor(QString("document.querySelector(\"%1\").classList.contains('selected')")
                         .arg(channelRow(entrance, 1))));

        CalendarWidget *calendar = playback()->timeBar()->calendar();
        auto *previous = calendar->findChild<QPushButton *>("previousBtn");
        for (int days = pick.day.daysTo(QDate::currentDate()); days > 0; --days)
            QTest::mouseClick(previous, Qt::LeftButton);
        const QString dayText = pick.day.toString("yyyy-MM-dd");
        QTRY_VERIFY_WITH_TIMEOUT(playback()->frame()->recordsOf(0).contains(dayText), 15000);

        KWGUI::KWTimeAxis *axis = playback()->timeBar()->axis(0);
        QSignalSpy clicked(axis, &KWGUI::KWTimeAxis::sgnTimeDbClicked);
        const auto doubleClickAt = [axis](qint64 seconds) {
            const int x = qRound(axis->mapping().xAt(seconds * 1000));
            QTest::mouseDClick(axis, Qt::LeftButton, {}, QPoint(x, axis->height() / 2));
        };
        doubleClickAt(pick.recorded);
        QCOMPARE(clicked.size(), 1);
        const qint64 from = clicked.first().first().toLongLong() / 1000;
        QTRY_VERIFY_WITH_TIMEOUT(
            stampOf(wnd(0)).seconds >= from && stampOf(wnd(0)).seconds < from + 60, 30000);
        QCOMPARE(wnd(0)->getVideoWndInfo().playType, 1);

        // The panel's keys on the playing recording, read from the picture's clock: where it
        // lands after the key, then how fast it runs for a while (0 when paused).
        const struct
        {
            Qt::Key key;
            int jump, speed;
            bool paused;
        } keys[] = {{Qt::Key_Space, 0, 0, true},
                    {Qt::Key_Space, 0, 1, false},
                    {Qt::Key_Right, 15, 1, false},
                    {Qt::Key_Plus, 0, 2, false}};
        for (const auto &row : keys) {
            const qint64 before = stampOf(wnd(0)).seconds;
            QTest::keyClick(wnd(0), row.key);
            const auto landedRight = [&] {
                const VideoWndInfo_t info = wnd(0)->getVideoWndInfo();
                return info.bPauseOn == row.paused && info.playSpeed == qMax(row.speed, 1)
                    && qAbs(stampOf(wnd(0)).seconds - before - row.jump) <= 4;
            };
            QTRY_VERIFY2_WITH_TIMEOUT(
                landedRight(),
                qPrintable(QString("key %1: paused %2, speed %3, clock moved %4 s")
                               .arg(QKeySequence(row.key).toString())
                               .arg(wnd(0)->getVideoWndInfo().bPauseOn)
                               .arg(wnd(0)->getVideoWndInfo().playSpeed)
                               .arg(stampOf(wnd(0)).seconds - before)),
                20000);
            const qint64 landed = stampOf(wnd(0)).seconds; // measured from the next second on
            QTRY_VERIFY_WITH_TIMEOUT(row.paused || stampOf(wnd(0)).seconds != landed, 10000);
            const qint64 start = stampOf(wnd(0)).seconds;
            QElapsedTimer wall;
            wall.start();
            QTest::qWait(3000); // a rate shows only over time
            const qint64 ran = stampOf(wnd(0)).seconds - start;
            QVERIFY2(qAbs(ran - row.speed * wall.elapsed() / 1000.0) <= 1.5,
                     qPrintable(QString("%1 s in %2 ms").arg(ran).arg(wall.elapsed())));
        }

        QTest::mouseClick(calendar->findChild<QPushButton *>("backBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(wnd(0)->getVideoWndInfo().playType == 0
                                     && stampOf(wnd(0)).seconds
                                         > QDateTime::currentSecsSinceEpoch() - 60,
                                 30000);
    }

    // A notice's click opens the dialog, which places the video and plays the recording around
    // the alarm; the bar follows the mouse; a second alarm replaces the first in the one window;
    // closing the dialog closes the video.
    void noticeOpensTheRecordingAroundTheAlarm()
    {
        STEP(m_session.alarmFeedWaits(&m_error));
        const QJsonObject first = m_session.raiseAlarm(
            {{"deviceId", "NVR0001A"}, {"channelId", 2}, {"moment", "recording"}});
        STEP(openFromNotice(first));
        QTRY_VERIFY(!calls("OpenRecord").isEmpty());
        const QJsonObject asked = calls("OpenRecord").last();
        QCOMPARE(asked["recordTime"].toDouble(), first["timestamp"].toDouble());
        QCOMPARE(asked["recordLengthOfTime"].toInt(), 30);
        QCOMPARE(asked["module"].toInt(), 3);
        QVERIFY(detail());
        QTRY_VERIFY(detail()->isVisible());
        const QJsonObject area = calls("SetWndRect").last();
        QCOMPARE(detail()->geometry(),
                 QRect(QPoint(area["left"].toInt(), area["top"].toInt()),
                       QPoint(area["right"].toInt() - 1, area["bottom"].toInt() - 1)));
        QVERIFY(detail()->dialogRect().contains(detail()->videoRect()));
        STEP(playsSpanOf(first));

        // The bar shows while the mouse is over the video; its buttons pause and resume the
        // recording and take the video to full screen and back.
        QMessageVideoBar *bar = detail()->videoBar();
        QCursor::setPos(detail()->mapToGlobal(detail()->rect().center()));
        QTRY_VERIFY(bar->isVisible());
        for (bool on : {true, false}) {
            QTest::mouseClick(bar->findChild<QPushButton *>("VB_Pause"), Qt::LeftButton);
            QTRY_COMPARE(detailWnd()->getVideoWndInfo().bPauseOn, on);
        }
        QTest::mouseClick(bar->findChild<QPushButton *>("VB_FullScreen"), Qt::LeftButton);
        QTRY_VERIFY(detail()->isFullScreen());
        detail()->onVideoBarBtnClick("VB_FullScreen", false);
        QTRY_COMPARE(detail()->geometry(), detail()->videoRect());
        QVERIFY(!detail()->isWindow());

        const QJsonObject second = m_session.raiseAlarm(
            {{"deviceId", "IPC0002B"}, {"channelId", 1}, {"moment", "recording"}});
        QTRY_COMPARE(calls("MessageNotify").size(), 2);
        STEP(page()
                 .evaluate(QString("location.hash = '#/messageCenter?id=%1'")
                               .arg(second["messageID"].toString()),
                           &m_error)
                 .isString());
        STEP(playsSpanOf(second));
        QCOMPARE(detail()->frame()->frame()->wndCount(), 1);
        QCOMPARE(detailWnd()->getVideoWndInfo().channel.deviceID, QString("IPC0002B"));
        QCOMPARE(m_client->findChildren<QMessageDetail *>().size(), 1);

        STEP(page().click("#message-close", &m_error)
             && waitFor("!document.querySelector('#message-dialog')"));
        QTRY_VERIFY(!detail()->isVisible());
        QCOMPARE(calls("CloseVideo").last()["deviceID"].toString(), QString("IPC0002B"));
        QTRY_COMPARE(detailWnd()->getVideoState(), 0);
    }

    // An alarm between two recordings has nothing to play; one without a moment asks for the
    // records around the present.
    void gapAndPresentMoment()
    {
        STEP(m_session.alarmFeedWaits(&m_error));
        const QJsonObject gap
            = m_session.raiseAlarm({{"deviceId", "NVR0001A"}, {"channelId", 3}, {"moment", "gap"}});
        QVERIFY(!gap.isEmpty());
        STEP(openFromNotice(gap));
        QTRY_VERIFY_WITH_TIMEOUT(shownToasts().contains("No Video Record"), 20000);
        QTRY_COMPARE(detailWnd()->getVideoState(), 0);

        QSignalSpy asked(detail()->frame(), &QVideoFrame::sgnStartQueryRecordNotify);
        QSignalSpy answered(detail()->frame(), &QVideoFrame::sgnEndQueryRecordNotify);
        QJsonObject params {
            {"module", 3},
            {"recordTime", 0},
            {"recordLengthOfTime", 30},
            {"channels", QJsonArray {QJsonObject {{"deviceID", "IPC0003C"}, {"channelID", 1}}}}};
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QRect area = detail()->videoRect();
        Web::CWebView *web = m_client->findChild<Web::CWebView *>();
        // The live view's rectangle is not this module's.
        web->PostRPCCall(
            Web::CWebMsgRef(Web::CWebMsgFactory::wndRect(
                                "SetWndRect", {{"module", 1}, {"right", 10}, {"bottom", 10}})
                                .get()));
        web->PostRPCCall(
            Web::CWebMsgRef(Web::CWebMsgFactory::openRecord("OpenRecord", params).get()));
        QTRY_COMPARE(asked.size(), 1);
        QCOMPARE(detail()->videoRect(), area);
        const qint64 queried
            = QDateTime::fromString(asked.first().at(2).toString(), "yyyy-MM-dd HH:mm:ss")
                  .toSecsSinceEpoch();
        QVERIFY2(qAbs(queried - now) <= 5, qPrintable(asked.first().at(2).toString()));
        QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, 15000);
        const RecordQueryResult_t result = answered.first().first().value<RecordQueryResult_t>();
        QCOMPARE(result.queryType, QMessageDetail::kRecordQuery);
        QCOMPARE(QDateTime::fromSecsSinceEpoch(result.queryTime).date(), QDate::currentDate());
    }
};

int main(int argc, char *argv[])
{
    return InProcessClient::run<tst_E2ELiveView>(argc, argv);
}

#include "tst_E2ELiveView.moc"
