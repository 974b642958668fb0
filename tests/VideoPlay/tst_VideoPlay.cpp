// The play panel without video: failures, the bar following the selected window and the event
// hub, full screen, the panel's keys.
#include "Common/CGlobalEvent.h"
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoBar/VideoBarRows.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "TestEnv.h"
#include "Toasts.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>

#include <QPushButton>
#include <QtTest>

class tst_VideoPlay : public QObject
{
    Q_OBJECT

    QPushButton *button(const QString &name)
    {
        return m_play->bar()->findChild<QPushButton *>(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->StartMessageProcess();
        m_play = new QVideoPlay(CVideoFrame::kOwnerPlayback, 16, 16, &m_parent);
        m_play->setGeometry(10, 10, 800, 500);
        m_parent.show();
    }
    void init() { m_play->frame()->select(0); }

    // Idle windows fail every operation: its text shows and the toggle goes back.
    void failedButtonsTellAndReset()
    {
        const struct
        {
            const char *name;
            bool on;
            const char *toast, *state;
        } rows[] = {{"VB_LocalRecord", true, "Open record failed!", "bRecordOn"},
                    {"VB_SnapShot", false, "SnapShot failed!", nullptr},
                    {"VB_Talk", true, "Open talk failed!", "bTalkOn"},
                    {"VB_Pause", false, "Resume failed!", "bPauseOn"}};
        for (const auto &row : rows) {
            m_play->bar()->setButtonState(row.name, row.on);
            m_play->onVideoBarBtnClick(row.name, row.on);
            QTRY_VERIFY2(shownToasts().contains(row.toast), row.name);
            if (row.state)
                QCOMPARE(button(row.name)->property(row.state), QVariant(!row.on));
        }
    }

    // Without a selected window a definition change fails; the button shows the other one.
    void failedDefinitionShowsTheOther()
    {
        m_play->frame()->frame()->setSelectedWnd(-1);
        for (const int asked : {1, 0}) {
            m_play->onVideoBarBtnClick("VB_Definition", asked);
            QCOMPARE(button("VB_Definition")->text(),
                     asked == 1 ? "high definition" : "standard definition");
        }
        QTRY_VERIFY(shownToasts().contains("Change definition failed!"));
    }

    // A failed speed tells, and the speed button shows the window's own speed again.
    void failedSpeedShowsTheWindows()
    {
        m_play->bar()->setButtonState("VB_SpeedSet", 4); // as the pop-up shows its choice
        m_play->onVideoBarSpeedChanged(4);
        QTRY_VERIFY(shownToasts().contains("Failed to Speed!"));
        QCOMPARE(button("VB_SpeedSet")->property("VB_SpeedSet"), QVariant(1));
    }

    // The bar shows the selected window's row (the rows themselves: tst_VideoBar); another
    // window's news leave it alone.
    void barFollowsSelectedWindow()
    {
        const struct
        {
            int wnd, playType;
            bool liveRow;
        } rows[] = {{0, 0, true}, {0, 1, false}, {1, 1, true}}; // the last: another window
        for (const auto &row : rows) {
            m_play->onWndSelectedNotify(0, VideoBarRows::kPlaying, VideoWndInfo_t());
            VideoWndInfo_t info;
            info.playType = row.playType;
            m_play->onWndVideoStatusNotify(row.wnd, VideoBarRows::kPlaying, info);
            QCOMPARE(button("VB_Talk")->isHidden(), !row.liveRow);
            QCOMPARE(button("VB_Pause")->isHidden(), row.liveRow);
        }
    }

    // The hub's siren and white-light news reach the bar for the selected window only.
    void alarmStateFromHub()
    {
        auto *hub = Common::CGlobalEvent::Instance();
        hub->UpdateLightAlarmBtnState(0, true);
        hub->UpdateSoundAlarmBtnState(1, true, 30);
        QCOMPARE(button("VB_LightAlarm")->property("bLightAlarmOn"), QVariant(true));
        QCOMPARE(button("VB_SoundAlarm")->property("bSoundAlarmTime").toInt(), 0);
        hub->UpdateSoundAlarmBtnState(0, true, 30);
        QCOMPARE(button("VB_SoundAlarm")->property("bSoundAlarmTime"), QVariant(30));
    }

    // The panel's own keys from window 1 of a 16-window split; Enter enlarges, then returns. A
    // pressed bar button leaves the keys to the panel.
    void panelKeys()
    {
        const struct
        {
            Qt::Key key;
            int selected, visible;
        } rows[] = {{Qt::Key_3, 2, 16},       {Qt::Key_0, 9, 16},      {Qt::Key_Tab, 1, 16},
                    {Qt::Key_Backtab, 15, 16}, {Qt::Key_Return, 0, 1}, {Qt::Key_Enter, 0, 16}};
        for (const auto &row : rows) {
            init();
            m_parent.activateWindow(); // toasts take the activation on this platform
            QVERIFY(QTest::qWaitForWindowActive(&m_parent));
            QTest::mouseClick(button("VB_CloseAll"), Qt::LeftButton);
            QTest::keyClick(QApplication::focusWidget(), row.key);
            QCOMPARE(m_play->frame()->selectedWnd(), row.selected);
            QCOMPARE(m_play->frame()->frame()->visibleCount(), row.visible);
        }
    }

    // Full screen (F11) makes the panel a window of its own and tells the PTZ panel (shown by its
    // button); Escape returns it, and does nothing in a panel that is not full screen.
    void fullScreenAndEscape()
    {
        QSignalSpy ptz(Common::CGlobalEvent::Instance(), &Common::CGlobalEvent::sgnSelectWndInfo);
        QTest::keyClick(m_play, Qt::Key_Escape);
        QVERIFY(!m_play->isWindow());
        m_play->onVideoBarBtnClick("VB_PTZCtrl", true);
        QTest::keyClick(m_play, Qt::Key_F11);
        QVERIFY(m_play->isWindow() && m_play->isFullScreen());
        const auto asked = ptz.last().first().value<ChannelPTZParams_t>();
        QVERIFY(asked.bFullScreen && asked.bShow);
        QCOMPARE(button("VB_FullScreen")->property("bFullScreen"), QVariant(true));
        QTest::keyClick(m_play, Qt::Key_Escape);
        QVERIFY(!m_play->isWindow());
        QCOMPARE(m_play->geometry(), QRect(10, 10, 800, 500));
    }

private:
    QWidget m_parent;
    QVideoPlay *m_play = nullptr;
};

QTEST_MAIN(tst_VideoPlay)
#include "tst_VideoPlay.moc"
