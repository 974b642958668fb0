// The video bars headless, on the skin built into the program folder.
#include "Common/CGlobalEvent.h"
#include "CommonUI/VideoBar/QMessageVideoBar.h"
#include "CommonUI/VideoBar/QSpeedSetWidget.h"
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoBar/QWindowSplit.h"
#include "CommonUI/VideoBar/VideoBarRows.h"
#include "TestEnv.h"

#include <KWGui/KWGlobal.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Presses = QList<QList<QVariant>>;

QPushButton *buttonOf(const QWidget *bar, const QString &name)
{
    return bar->findChild<QPushButton *>(name);
}

// The skin picture VideoBar/<name>.png, and the picture the skin put on a button.
QImage picture(const QString &name)
{
    return QImage("./Skin/storeSuite/DustyBlue/VideoBar/" + name + ".png")
        .convertToFormat(QImage::Format_ARGB32);
}
QImage shown(const QPushButton *button)
{
    return button->icon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The bar's buttons in row order, all or only those shown.
QStringList buttonsOf(const QVideoBar &bar, bool onlyShown)
{
    QStringList names;
    for (QPushButton *button :
         bar.findChild<QWidget *>("widgetVideoBtn")->findChildren<QPushButton *>()) {
        if (!onlyShown || button->isVisibleTo(&bar))
            names << button->objectName();
    }
    return names;
}

// A toggle: picture name (also the button's name after "VB_"), state, tool tips off and on.
// They share one path; the siren differs (its state comes with its countdown).
const struct ToggleRow
{
    const char *name, *state, *tipOff, *tipOn;
} kToggleRows[] = {
    {"LocalRecord", "bRecordOn", "startRecord (R)", "stopRecord (R)"},
    {"SoundAlarm", "bSoundAlarmOn", "open sound alarm", "close sound alarm"},
};

// A press of a two-valued button: its state before and after, the text and tool tip after.
const struct SwitchRow
{
    const char *name, *button;
    int from, to;
    const char *text, *tip;
} kSwitchRows[] = {
    {"standard to high", "VB_Definition", 1, 0, "high definition",
     "change standard definition (D)"},
    {"odd definition", "VB_Definition", 5, 1, "standard definition", "change high definition (D)"},
    {"device to cloud", "VB_RecordType", 0, 1, "cloud", "change deviceRecord"},
};

// The buttons a window shows (-1 play type: a new bar, no window yet).
const char kBase[] = "CircleDetail RecordType Audio Split FullScreen CloseAll";
const char kAbilities[] = "PT,Siren,WhiteLight";
const struct WindowRow
{
    const char *name;
    int status, playType, access;
    const char *abilities, *shown;
} kWindowRows[] = {
    {"new bar", -1, -1, 0, "", kBase},
    {"live, idle", 1, 0, 0, kAbilities, kBase},
    {"live", 3, 0, 0, "",
     "CircleDetail RecordType Definition LocalRecord SnapShot Talk Audio Split FullScreen "
     "CloseAll"},
    {"live, abilities", 3, 0, 0, kAbilities,
     "CircleDetail RecordType Definition LocalRecord SnapShot Talk PTZCtrl SoundAlarm LightAlarm "
     "Audio Split FullScreen CloseAll"},
    {"playback", 3, 1, 0, kAbilities,
     "CircleDetail RecordType LocalRecord SnapShot Back Pause Forward SpeedSet Audio Split "
     "FullScreen CloseAll"},
    {"record-only channel", 3, 0, 11, "PT", "LocalRecord SnapShot Split FullScreen CloseAll"},
};

// A key on a bar with every button shown or not, at a speed: the press or {new speed} it sends
// (empty: the key does nothing there).
const struct KeyRow
{
    const char *name;
    int key;
    bool showAll;
    int speed;
    QVariantList sent;
} kKeyRows[] = {
    {"hidden snapshot", Qt::Key_S, false, 1, {}},
    {"snapshot", Qt::Key_S, true, 1, {"VB_SnapShot", false}},
    {"pause", Qt::Key_Space, true, 1, {"VB_Pause", true}},
    {"delete is the panel's (closes the selected window)", Qt::Key_Delete, false, 1, {}},
    {"faster", Qt::Key_Plus, true, 1, {2}},
    {"slower", Qt::Key_Minus, true, 6, {4}},
    {"slowest", Qt::Key_Minus, true, 1, {}},
    {"fastest", Qt::Key_Plus, true, 8, {}},
};

// One data row per entry of table, carrying its index.
template<typename Row, std::size_t N> void addRows(const Row (&table)[N])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(table[i].name) << int(i);
}

} // namespace

class tst_VideoBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        KWGUI::SetSkinVersion("storeSuite/DustyBlue");
        QVERIFY(QDir::setCurrent(TestEnv::buildBinDir()));
    }

    void togglesSendAndShowTheirState_data() { addRows(kToggleRows); }
    void togglesSendAndShowTheirState()
    {
        QFETCH(int, row);
        const ToggleRow &expected = kToggleRows[row];
        const QString button = expected.name;
        QVideoBar bar;
        QSignalSpy spy(&bar, &QVideoBar::sgnButtonClicked);
        QPushButton *toggle = buttonOf(&bar, "VB_" + button);
        const auto expectShown = [&](bool on) {
            QCOMPARE(toggle->property(expected.state), QVariant(on));
            QCOMPARE(toggle->toolTip(), QString(on ? expected.tipOn : expected.tipOff));
            QCOMPARE(shown(toggle), picture(on ? button + "-On" : button));
        };
        expectShown(false);
        toggle->click();
        expectShown(true);
        toggle->click();
        expectShown(false);
        QCOMPARE(spy, (Presses {{toggle->objectName(), true}, {toggle->objectName(), false}}));

        // The owner shows a state without a signal; the siren's comes only with its countdown.
        bar.setButtonState(toggle->objectName(), true);
        expectShown(button != "SoundAlarm");
        QCOMPARE(spy.count(), 2);
    }

    void definitionAndRecordSourceSwitch_data() { addRows(kSwitchRows); }
    void definitionAndRecordSourceSwitch()
    {
        QFETCH(int, row);
        const SwitchRow &expected = kSwitchRows[row];
        QVideoBar bar;
        bar.setButtonState(expected.button, expected.from);
        QSignalSpy spy(&bar, &QVideoBar::sgnButtonClicked);
        QPushButton *button = buttonOf(&bar, expected.button);
        button->click();
        QCOMPARE(spy, (Presses {{expected.button, expected.to}}));
        QCOMPARE(button->text(), QString(expected.text));
        QCOMPARE(button->toolTip(), QString(expected.tip));
    }

    void splitPopupOpensClosesAndChooses()
    {
        QVideoBar bar;
        bar.show();
        QSignalSpy clicks(&bar, &QVideoBar::sgnButtonClicked);
        QSignalSpy splits(&bar, &QVideoBar::sgnSplitChanged);
        QPushButton *split = buttonOf(&bar, "VB_Split");
        QWindowSplit *popup = bar.splitPopup();
        QCOMPARE(shown(split), picture("Split-4"));

        split->click();
        QVERIFY(popup->isVisible());
        split->click();
        QVERIFY(!popup->isVisible());
        QCOMPARE(clicks, (Presses {{"VB_Split", false}, {"VB_Split", false}}));

        split->click();
        buttonOf(popup, "VB_9_Split")->click();
        QCOMPARE(splits, (Presses {{9}}));
        QVERIFY(!popup->isVisible());
        QCOMPARE(shown(split), picture("Split-9"));

        // A split set by the owner marks the pop-up's button, and only that one.
        bar.setButtonState("VB_Split", 16);
        for (int count : QWindowSplit::splitCounts()) {
            QPushButton *choice = buttonOf(popup, QString("VB_%1_Split").arg(count));
            QCOMPARE(choice->property("selected").toBool(), count == 16);
        }
        QCOMPARE(splits.count(), 1);
        split->click();
        bar.hide(); // an open pop-up goes with its bar
        QVERIFY(!popup->isVisible());
    }

    void speedPopupChoosesASpeed()
    {
        QVideoBar bar;
        bar.show();
        QSignalSpy speeds(&bar, &QVideoBar::sgnRecordSpeedSet);
        QPushButton *speed = buttonOf(&bar, "VB_SpeedSet");
        speed->click();
        QVERIFY(bar.speedPopup()->isVisible());
        buttonOf(bar.speedPopup(), "VB_4_Speed")->click();
        QCOMPARE(speeds, (Presses {{4}}));
        QVERIFY(!bar.speedPopup()->isVisible());
        QCOMPARE(shown(speed), picture("Speed-4"));
        bar.setButtonState("VB_SpeedSet", 16); // no picture of its own: the dial
        QCOMPARE(shown(speed), picture("Speed"));
    }

    void sirenFollowsItsCountdown()
    {
        const struct
        {
            bool on;
            int seconds;
            bool counting;
        } rows[] = {{true, 30, true}, {true, 0, false}, {false, 30, false}};
        for (const auto &row : rows) {
            QVideoBar bar;
            bar.setSoundAlarmState(row.on, row.seconds);
            QPushButton *siren = buttonOf(&bar, "VB_SoundAlarm");
            QCOMPARE(siren->isEnabled(), !row.counting);
            QCOMPARE(siren->toolTip(), QString(row.on ? "close sound alarm" : "open sound alarm"));
            QCOMPARE(shown(siren), picture(row.counting ? "SoundAlarm-On" : "SoundAlarm"));
        }
    }

    // Unknown names and the snapshot keep no state; a closed PTZ panel turns its button off.
    void statelessButtonsAndThePtzButton()
    {
        QVideoBar bar;
        QSignalSpy spy(&bar, &QVideoBar::sgnButtonClicked);
        bar.setButtonState("VB_Nothing", true);
        bar.setButtonState("VB_SnapShot", true);
        buttonOf(&bar, "VB_SnapShot")->click();
        QVERIFY(buttonOf(&bar, "VB_SnapShot")->dynamicPropertyNames().isEmpty());
        QVERIFY(!bar.findChild<QObject *>("VB_Nothing"));
        bar.setButtonState("VB_PTZCtrl", true);
        Common::CGlobalEvent::Instance()->PTZWidgetClose();
        QCOMPARE(spy, (Presses {{"VB_SnapShot", false}, {"VB_PTZCtrl", false}}));
        QCOMPARE(shown(buttonOf(&bar, "VB_PTZCtrl")), picture("PTZCtrl"));
    }

    void rowsFollowTheWindow_data() { addRows(kWindowRows); }
    void rowsFollowTheWindow()
    {
        QFETCH(int, row);
        const WindowRow &window = kWindowRows[row];
        QVideoBar bar;
        if (window.playType >= 0) {
            VideoWndInfo_t info;
            info.playType = window.playType;
            info.channel.accessSource = window.access;
            info.channel.devAbility = window.abilities;
            VideoBarRows::apply(&bar, window.status, info);
        }
        QCOMPARE(buttonsOf(bar, true).join(' ').remove("VB_"), QString(window.shown));
    }

    void rowsCarryTheWindowsStates()
    {
        QVideoBar bar;
        VideoWndInfo_t info;
        info.channel.chnAbility = "PT";
        info.channel.definitionMode = 0;
        info.bTalkOn = info.bPTZWidgetShow = true;
        VideoBarRows::apply(&bar, VideoBarRows::kPlaying, info);
        QCOMPARE(buttonOf(&bar, "VB_Definition")->text(), QString("high definition"));
        QCOMPARE(shown(buttonOf(&bar, "VB_PTZCtrl")), picture("PTZCtrl-On"));
        info.playType = 1;
        info.bPauseOn = true;
        info.playSpeed = 8;
        VideoBarRows::apply(&bar, VideoBarRows::kPlaying, info);
        QCOMPARE(shown(buttonOf(&bar, "VB_Pause")), picture("Pause-On"));
        QCOMPARE(shown(buttonOf(&bar, "VB_SpeedSet")), picture("Speed-8"));
    }

    void shortcutsActOnShownButtons_data() { addRows(kKeyRows); }
    void shortcutsActOnShownButtons()
    {
        QFETCH(int, row);
        const KeyRow &press = kKeyRows[row];
        QVideoBar bar;
        bar.setButtonsVisible(buttonsOf(bar, false), press.showAll);
        bar.setButtonVisible("VB_CloseAll", true);
        bar.setButtonState("VB_SpeedSet", press.speed);
        QSignalSpy clicks(&bar, &QVideoBar::sgnButtonClicked);
        QSignalSpy speeds(&bar, &QVideoBar::sgnRecordSpeedSet);
        QCOMPARE(bar.triggerShortcut(press.key), !press.sent.isEmpty());
        QCOMPARE(clicks + speeds, press.sent.isEmpty() ? Presses() : Presses {press.sent});
    }

    // Clicks on its buttons: tst_E2ELiveView::noticeOpensTheRecordingAroundTheAlarm.
    void messageBarStatesAndKeys()
    {
        QMessageVideoBar bar;
        QSignalSpy spy(&bar, &QMessageVideoBar::sgnButtonClicked);
        bar.setButtonState("VB_Audio", true);
        bar.setButtonState("VB_Talk", true); // not a button of this bar
        QCOMPARE(shown(buttonOf(&bar, "VB_Audio")), picture("Audio-On"));
        bar.setButtonsVisible({"VB_Audio", "VB_FullScreen"}, false);
        QVERIFY(!bar.triggerShortcut(Qt::Key_F11));
        QVERIFY(bar.triggerShortcut(Qt::Key_Space));
        QCOMPARE(shown(buttonOf(&bar, "VB_Pause")), picture("Pause-On"));
        QCOMPARE(spy, (Presses {{"VB_Pause", true}}));
    }
};

QTEST_MAIN(tst_VideoBar)
#include "tst_VideoBar.moc"
