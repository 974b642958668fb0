// The play panel without video: failed buttons tell and reset, the bar follows the selected
// window and the event hub, full screen and back, and the panel's keys.
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

    QPushButton *button(const char *name) { return m_play->bar()->findChild<QPushButton *>(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->StartMessageProcess();
        m_play = new QVideoPlay(CVideoFrame::kOwnerPlayback, 16, 16, &m_parent);
        m_play->setGeometry(10, 10, 800, 500);
        m_parent.resize(820, 520);
        m_parent.show();
    }
    void init() { m_play->frame()->select(0); }

    // Every window is idle, so each operation fails: its text shows and the toggle returns.
    void failedButtonsTellAndReset_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QVariant>("shown");
        QTest::newRow("record on") << "VB_LocalRecord" << QVariant(true) << "Open record failed!"
                                   << QByteArray("bRecordOn") << QVariant(false);
        QTest::newRow("record off") << "VB_LocalRecord" << QVariant(false) << "Close record failed!"
                                    << QByteArray("bRecordOn") << QVariant(true);
        QTest::newRow("snapshot") << "VB_SnapShot" << QVariant(false) << "SnapShot failed!"
                                  << QByteArray() << QVariant();
        QTest::newRow("talk") << "VB_Talk" << QVariant(true) << "Open talk failed!"
                              << QByteArray("bTalkOn") << QVariant(false);
        QTest::newRow("sound") << "VB_Audio" << QVariant(true) << "Open sound failed!"
                               << QByteArray("bAudioOn") << QVariant(false);
        QTest::newRow("pause") << "VB_Pause" << QVariant(true) << "Pause failed!"
                               << QByteArray("bPauseOn") << QVariant(false);
        QTest::newRow("resume") << "VB_Pause" << QVariant(false) << "Resume failed!"
                                << QByteArray("bPauseOn") << QVariant(true);
    }
    void failedButtonsTellAndReset()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(QString, toast);
        QFETCH(QByteArray, state);
        QFETCH(QVariant, shown);
        m_play->bar()->setButtonState(name, value);
        m_play->onVideoBarBtnClick(name, value);
        QTRY_VERIFY(shownToasts().contains(toast));
        if (!state.isEmpty())
            QCOMPARE(button(qPrintable(name))->property(state), shown);
    }

    // Without a selected window a definition change fails and the button shows the other one.
    void failedDefinitionShowsTheOther_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("standard asked") << 1 << "high definition";
        QTest::newRow("high asked") << 0 << "standard definition";
    }
    void failedDefinitionShowsTheOther()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        m_play->frame()->frame()->setSelectedWnd(-1);
        m_play->onVideoBarBtnClick("VB_Definition", value);
        QTRY_VERIFY(shownToasts().contains("Change definition failed!"));
        QCOMPARE(button("VB_Definition")->text(), text);
    }

    // The bar shows the selected window's row; other windows' news leave it alone.
    void barFollowsSelectedWindow_data()
    {
        QTest::addColumn<int>("wnd");
        QTest::addColumn<int>("playType");
        QTest::addColumn<int>("access");
        QTest::addColumn<QString>("ability");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        const QStringList live = {"VB_Talk", "VB_Definition", "VB_LocalRecord"};
        const QStringList playback = {"VB_Pause", "VB_Back", "VB_SpeedSet"};
        QTest::newRow("live") << 0 << 0 << 0 << "" << live << playback + QStringList("VB_PTZCtrl");
        QTest::newRow("live PTZ siren")
            << 0 << 0 << 0 << "PT,Siren" << live + QStringList {"VB_PTZCtrl", "VB_SoundAlarm"}
            << playback + QStringList("VB_LightAlarm");
        QTest::newRow("playback") << 0 << 1 << 0 << "PT" << playback
                                  << QStringList {"VB_Talk", "VB_Definition"};
        QTest::newRow("record only") << 0 << 0 << 11 << "PT" << QStringList("VB_SnapShot")
                                     << QStringList {"VB_Talk", "VB_Audio", "VB_PTZCtrl"};
        QTest::newRow("other window") << 1 << 1 << 0 << "" << live << playback;
    }
    void barFollowsSelectedWindow()
    {
        QFETCH(int, wnd);
        QFETCH(int, playType);
        QFETCH(int, access);
        QFETCH(QString, ability);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        m_play->onWndSelectedNotify(0, VideoBarRows::kPlaying, VideoWndInfo_t());
        VideoWndInfo_t info;
        info.playType = playType;
        info.channel.accessSource = access;
        info.channel.chnAbility = ability;
        QSignalSpy status(m_play, &QVideoPlay::sgnWndVideoStatusNotify);
        m_play->onWndVideoStatusNotify(wnd, VideoBarRows::kPlaying, info);
        QCOMPARE(status.size(), 1);
        for (const QString &name : shown)
            QVERIFY2(!button(qPrintable(name))->isHidden(), qPrintable(name));
        for (const QString &name : hidden)
            QVERIFY2(button(qPrintable(name))->isHidden(), qPrintable(name));
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

    // Full screen makes the panel a window of its own and tells the PTZ panel; Escape returns.
    void fullScreenAndEscape()
    {
        QSignalSpy ptz(Common::CGlobalEvent::Instance(), &Common::CGlobalEvent::sgnSelectWndInfo);
        QTest::keyClick(m_play, Qt::Key_Escape);
        QVERIFY(!m_play->isWindow());
        m_play->onVideoBarBtnClick("VB_FullScreen", true);
        QVERIFY(m_play->isWindow() && m_play->isFullScreen());
        QVERIFY(ptz.last().first().value<ChannelPTZParams_t>().bFullScreen);
        QCOMPARE(button("VB_FullScreen")->property("bFullScreen"), QVariant(true));
        QVERIFY(button("VB_OpenDoor")->isHidden());
        QTest::keyClick(m_play, Qt::Key_Escape);
        QVERIFY(!m_play->isWindow());
        QCOMPARE(m_play->geometry(), QRect(10, 10, 800, 500));
        QCOMPARE(m_play->frame()->geometry(), QRect(0, 0, 800, 450));
        QCOMPARE(m_play->bar()->geometry(), QRect(0, 449, 800, 50));
    }

    // The panel's own keys act on the selection of a 16-window split.
    void keysMoveTheSelection_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("selected");
        QTest::newRow("3") << int(Qt::Key_3) << 2;
        QTest::newRow("0") << int(Qt::Key_0) << 9;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 1;
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << 15;
    }
    void keysMoveTheSelection()
    {
        QFETCH(int, key);
        QFETCH(int, selected);
        QTest::keyClick(m_play, Qt::Key(key));
        QCOMPARE(m_play->frame()->selectedWnd(), selected);
    }

    void enterEnlargesAndBack()
    {
        QTest::keyClick(m_play, Qt::Key_Return);
        QCOMPARE(m_play->frame()->frame()->visibleCount(), 1);
        QTest::keyClick(m_play, Qt::Key_Enter);
        QCOMPARE(m_play->frame()->frame()->visibleCount(), 16);
    }

private:
    QWidget m_parent;
    QVideoPlay *m_play = nullptr;
};

QTEST_MAIN(tst_VideoPlay)
#include "tst_VideoPlay.moc"
