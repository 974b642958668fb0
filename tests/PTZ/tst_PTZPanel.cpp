// The PTZ panel: which direction the pad reports where, every command of the panel moving a
// simulated camera's view as its burnt-in stamp shows, and the zoom buttons zooming the window's
// picture digitally on a camera that cannot zoom.
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoSurface.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "LogText.h"
#include "PTZ/QPTZManager.h"
#include "PTZ/QPTZWidget.h"
#include "SimVideo.h"
#include "VideoProbe.h"

#include <kwl/KPrintLog.h>

#include <QPushButton>
#include <QtTest>

#include <functional>

using SimMedia::FrameStamp;

namespace {

// Signed change of a wrapping 0…255 position.
int turned(int before, int after)
{
    return static_cast<int8_t>(static_cast<uint8_t>(after - before));
}

} // namespace

class tst_PTZPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        KPrintLog::instance()->SetFile("./log/test");
        QVERIFY(SimVideo::start(m_sim));
        // One stream of the camera for every check: its stamps tell where the camera looks.
        QVERIFY(startProbe());
    }

    // A press on the pad starts its direction (every direction: commandsMoveTheCamera), the
    // centre none; the release stops it only on the pad. Events "code:action", pressed state.
    void padReportsDirections()
    {
        const struct
        {
            QPoint press, release;
            const char *events;
            int pressedStatus;
        } rows[] = {{{150, 100}, {150, 100}, "4:1 4:2", 4}, // right
                    {{100, 100}, {100, 100}, "", 0}, // centre
                    {{150, 100}, {199, 199}, "4:1", 4}, // released outside: no stop
                    {{150, 100}, {100, 160}, "4:1 2:2", 4}}; // released on another direction
        for (const auto &row : rows) {
            QPTZWidget panel;
            QStringList seen;
            connect(&panel, &QPTZWidget::sgnPtzBtnEvent, this,
                    [&](int code, int action) { seen << QString("%1:%2").arg(code).arg(action); });
            QTest::mousePress(panel.pad(), Qt::LeftButton, {}, row.press);
            QCOMPARE(panel.pad()->property("ptzStatus").toInt(), row.pressedStatus);
            QTest::mouseRelease(panel.pad(), Qt::LeftButton, {}, row.release);
            QCOMPARE(seen.join(' '), QString(row.events));
            if (seen.join(' ').contains(":2"))
                QCOMPARE(panel.pad()->property("ptzStatus").toInt(), 0);
        }
    }

    // Each control of the panel moves the camera while held and stops it on release.
    void commandsMoveTheCamera_data()
    {
        QTest::addColumn<QString>("control"); // a pad direction, or a zoom button
        QTest::addColumn<QString>("axis");
        QTest::addColumn<int>("sign");

        const struct
        {
            const char *name, *control, *axis;
            int sign;
        } rows[] = {{"up", "100,40", "tilt", -1},     {"down", "100,160", "tilt", 1},
                    {"left", "40,100", "pan", -1},    {"right", "160,100", "pan", 1},
                    {"zoom in", "ZoomIn", "zoom", 1}, {"zoom out", "ZoomOut", "zoom", -1}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.control) << QString(r.axis) << r.sign;
    }

    void commandsMoveTheCamera()
    {
        QFETCH(QString, control);
        QFETCH(QString, axis);
        QFETCH(int, sign);
        QPTZManager host(nullptr, false);
        host.onSetPTZParams(SimHarness::kRecorder, 2);
        if (axis == "zoom" && sign < 0)
            QVERIFY(hold(host, "ZoomIn", [](const FrameStamp &s) { return s.zoom >= 2; }));

        const FrameStamp before = stamp();
        QVERIFY(hold(host, control, [&](const FrameStamp &s) {
            return sign
                * (axis == "pan"        ? turned(before.pan, s.pan)
                       : axis == "tilt" ? turned(before.tilt, s.tilt)
                                        : s.zoom - before.zoom)
                > 0;
        }));
        QVERIFY(standsStill());
    }

    // A window without a channel and an unknown button send nothing that moves the camera.
    void refusalsAreLogged()
    {
        QPTZManager closed(nullptr, false);
        closed.onHandlePTZWidgetMsg(QPTZWidget::Right, QPTZWidget::Pressed);
        QVERIFY(logText().contains("PTZ operation 3 refused: the window shows no channel"));

        QPTZManager host(nullptr, false);
        host.onSetPTZParams(SimHarness::kRecorder, 2);
        host.onHandlePTZWidgetMsg(7, QPTZWidget::Pressed);
        QVERIFY(logText().contains("unknown PTZ button code 7: sent as stop"));
        QVERIFY(standsStill());
    }

    // Without optical zoom the buttons zoom the window showing the panel's channel, step by
    // step while held, and send the camera nothing; the wheel zooms, Ctrl+double-click resets.
    void zoomButtonsZoomDigitally()
    {
        QVideoWnd wnd(nullptr, 0);
        wnd.resize(320, 180);
        wnd.show();
        QCOMPARE(wnd.openRealVideo(QString(), SimVideo::channel(SimHarness::kRecorder, 2)), 0);
        QTRY_COMPARE_WITH_TIMEOUT(wnd.getVideoState(), 3, VideoProbe::scaled(10000));
        wnd.onUpdateVideoWndInfo(0, "bPTZWidgetShow", true);
        QPTZManager host(nullptr, false);
        host.onSetPTZParams(SimHarness::kRecorder, 2);
        host.setOpticalZoom(false);
        const ZoomMapping &zoom = wnd.controller()->zoom();
        const FrameStamp before = stamp();
        auto *zoomIn = host.panel()->findChild<QPushButton *>("ZoomIn");
        QTest::mousePress(zoomIn, Qt::LeftButton);
        QTRY_VERIFY(zoom.factor() > 1.4);
        QTest::mouseRelease(zoomIn, Qt::LeftButton);
        const double held = zoom.factor();
        QVERIFY(standsStill());
        QCOMPARE(zoom.factor(), held);
        QCOMPARE(stamp().zoom, before.zoom);

        QTest::mouseDClick(wnd.surface(), Qt::LeftButton, Qt::ControlModifier, QPoint(40, 40));
        QVERIFY(!zoom.isZoomed());
        QWheelEvent wheel(QPointF(40, 40), wnd.surface()->mapToGlobal(QPoint(40, 40)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(wnd.surface(), &wheel);
        QCOMPARE(zoom.factor(), 1.25);
    }

private:
    bool startProbe()
    {
        m_probe = std::make_unique<VideoProbe>();
        return m_probe->play()->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 2, 1) == 0
            && m_probe->waitFor(StreamCore::VIDEO_EVENT_LIVE_OPEN,
                                StreamCore::VIDEO_OUTCOME_PLAYING)
            && m_probe->waitForStamp([](const FrameStamp &) { return true; }, &m_stamp);
    }

    FrameStamp stamp()
    {
        m_probe->readStamp(&m_stamp);
        return m_stamp;
    }

    // Presses a control of the panel until the stamp satisfies moved, then releases it.
    bool hold(QPTZManager &host, const QString &control,
              const std::function<bool(const FrameStamp &)> &moved)
    {
        QWidget *target = host.panel()->pad();
        QPoint at;
        if (auto *button = host.panel()->findChild<QPushButton *>(control)) {
            target = button;
            at = button->rect().center();
        } else {
            at = QPoint(control.section(',', 0, 0).toInt(), control.section(',', 1).toInt());
        }
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        FrameStamp s;
        const bool done = m_probe->waitForStamp(moved, &s);
        QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        return done;
    }

    // After a stop the view keeps its place.
    bool standsStill()
    {
        QTest::qWait(400); // the stop travels through the platform
        const FrameStamp stopped = stamp();
        QTest::qWait(600);
        const FrameStamp later = stamp();
        return later.pan == stopped.pan && later.tilt == stopped.tilt && later.zoom == stopped.zoom;
    }

    SimHarness m_sim;
    std::unique_ptr<VideoProbe> m_probe;
    FrameStamp m_stamp;
};

QTEST_MAIN(tst_PTZPanel)
#include "tst_PTZPanel.moc"
