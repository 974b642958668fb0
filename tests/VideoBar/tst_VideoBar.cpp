// The video bar headless, on the skin built into the program folder: what each press sends and
// shows (tool tip, property, skin picture), the split and speed pop-ups, the rows a live or
// playback window offers, shortcuts and accessibility. Screenshots are saved for a person.
#include "Common/CGlobalEvent.h"
#include "CommonUI/VideoBar/QSpeedSetWidget.h"
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoBar/QWindowSplit.h"
#include "CommonUI/VideoBar/VideoBarRows.h"
#include "SkinProbe.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QPushButton *buttonOf(const QWidget *bar, const QString &name)
{
    return bar->findChild<QPushButton *>(name);
}

// The names of the bar's buttons that are shown, in layout order.
QStringList shownButtons(const QVideoBar &bar)
{
    QStringList names;
    for (QPushButton *button : bar.findChildren<QPushButton *>()) {
        if (button->isVisibleTo(&bar))
            names << button->objectName();
    }
    return names;
}

QList<QVariant> pressed(const QString &name, const QVariant &value)
{
    return {name, value};
}

} // namespace

class tst_VideoBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(SkinProbe::useBuildSkin()); }

    void togglesSendAndShowTheirState_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("tipOff");
        QTest::addColumn<QString>("tipOn");
        QTest::newRow("record") << "LocalRecord"
                                << "bRecordOn"
                                << "startRecord (R)"
                                << "stopRecord (R)";
        QTest::newRow("talk") << "Talk"
                              << "bTalkOn"
                              << "openTalk (T)"
                              << "cloaseTalk (T)";
        QTest::newRow("pause") << "Pause"
                               << "bPauseOn"
                               << "pause (Space)"
                               << "play (Space)";
        QTest::newRow("ptz") << "PTZCtrl"
                             << "bPTZCtrl"
                             << "open PTZCtrl"
                             << "close PTZCtrl";
        QTest::newRow("siren") << "SoundAlarm"
                               << "bSoundAlarmOn"
                               << "open sound alarm"
                               << "close sound alarm";
        QTest::newRow("light") << "LightAlarm"
                               << "bLightAlarmOn"
                               << "open light alarm"
                               << "close light alarm";
        QTest::newRow("sound") << "Audio"
                               << "bAudioOn"
                               << "openAudio (M)"
                               << "closeAudio (M)";
        QTest::newRow("full screen") << "FullScreen"
                                     << "bFullScreen"
                                     << "fullScreen (F11)"
                                     << "reset (F11)";
    }
    void togglesSendAndShowTheirState()
    {
        QFETCH(QString, button);
        QFETCH(QString, state);
        QFETCH(QString, tipOff);
        QFETCH(QString, tipOn);
        QVideoBar bar;
        QSignalSpy spy(&bar, &QVideoBar::sgnButtonClicked);
        QPushButton *toggle = buttonOf(&bar, "VB_" + button);
        const auto expectShown = [&](bool on) {
            QCOMPARE(toggle->property(qPrintable(state)), QVariant(on));
            QCOMPARE(toggle->toolTip(), on ? tipOn : tipOff);
            QCOMPARE(toggle->accessibleDescription(), toggle->toolTip());
            QCOMPARE(SkinProbe::shown(toggle), SkinProbe::picture(on ? button + "-On" : button));
        };
        expectShown(false);
        toggle->click();
        expectShown(true);
        toggle->click();
        expectShown(false);
        QCOMPARE(spy,
                 (QList<QList<QVariant>> {pressed(toggle->objectName(), true),
                                          pressed(toggle->objectName(), false)}));

        // The owner's state operation shows a state without a signal; the siren's state comes
        // only with its countdown.
        bar.setButtonState(toggle->objectName(), true);
        expectShown(button != "SoundAlarm");
        QCOMPARE(spy.count(), 2);
    }

    void definitionAndRecordSourceSwitch_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::newRow("standard to high") << "VB_Definition" << 1 << 0 << "high definition"
                                          << "change standard definition (D)";
        QTest::newRow("high to standard") << "VB_Definition" << 0 << 1 << "standard definition"
                                          << "change high definition (D)";
        QTest::newRow("odd definition") << "VB_Definition" << 5 << 1 << "standard definition"
                                        << "change high definition (D)";
        QTest::newRow("device to cloud") << "VB_RecordType" << 0 << 1 << "cloud"
                                         << "change deviceRecord";
        QTest::newRow("cloud to device") << "VB_RecordType" << 1 << 0 << "device"
                                         << "change cloudRecord";
        QTest::newRow("odd source") << "VB_RecordType" << 7 << 0 << "device"
                                    << "change cloudRecord";
    }
    void definitionAndRecordSourceSwitch()
    {
        QFETCH(QString, button);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        QVideoBar bar;
        bar.setButtonState(button, from);
        QSignalSpy spy(&bar, &QVideoBar::sgnButtonClicked);
        buttonOf(&bar, button)->click();
        QCOMPARE(spy, QList<QList<QVariant>> {pressed(button, to)});
        QCOMPARE(buttonOf(&bar, button)->text(), text);
        QCOMPARE(buttonOf(&bar, button)->toolTip(), tip);
    }

    void splitPopupOpensClosesAndChooses()
    {
        QVideoBar bar;
        bar.show();
        QSignalSpy clicks(&bar, &QVideoBar::sgnButtonClicked);
        QSignalSpy splits(&bar, &QVideoBar::sgnSplitChanged);
        QPushButton *split = buttonOf(&bar, "VB_Split");
        QWindowSplit *popup = bar.splitPopup();
        QCOMPARE(split->property("Split_Mode"), QVariant("SPLIT_MODE_4"));
        QVERIFY(buttonOf(popup, "VB_4_Split")->property("selected").toBool());

        split->click();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->pos(), split->mapToGlobal(QPoint(0, 0)) + QPoint(-160, -77));
        QCOMPARE(popup->size(), QSize(336, 72));
        QVERIFY(!popup->mask().contains(QPoint(0, 71))); // outside the card's corner
        split->click();
        QVERIFY(!popup->isVisible());
        QCOMPARE(clicks,
                 (QList<QList<QVariant>> {pressed("VB_Split", false), pressed("VB_Split", false)}));

        split->click();
        buttonOf(popup, "VB_9_Split")->click();
        QCOMPARE(splits, QList<QList<QVariant>> {{9}});
        QVERIFY(!popup->isVisible());
        QCOMPARE(split->property("Split_Mode"), QVariant("SPLIT_MODE_9"));
        QCOMPARE(SkinProbe::shown(split), SkinProbe::picture("Split-9"));

        // A split set by the owner marks the pop-up's button the same way, and only that one.
        bar.setButtonState("VB_Split", 16);
        for (int count : QWindowSplit::splitCounts()) {
            const bool selected
                = buttonOf(popup, QString("VB_%1_Split").arg(count))->property("selected").toBool();
            QCOMPARE(selected, count == 16);
        }
        QCOMPARE(splits.count(), 1);
    }

    void speedPopupChoosesASpeed()
    {
        QVideoBar bar;
        bar.show();
        QSignalSpy speeds(&bar, &QVideoBar::sgnRecordSpeedSet);
        QPushButton *speed = buttonOf(&bar, "VB_SpeedSet");
        QSpeedSetWidget *popup = bar.speedPopup();
        speed->click();
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->pos(), speed->mapToGlobal(QPoint(0, 0)) + QPoint(-65, -40));
        QCOMPARE(popup->size(), QSize(150, 40));

        buttonOf(popup, "VB_4_Speed")->click();
        QCOMPARE(speeds, QList<QList<QVariant>> {{4}});
        QVERIFY(!popup->isVisible());
        QCOMPARE(speed->property("VB_SpeedSet"), QVariant(4));
        QCOMPARE(SkinProbe::shown(speed), SkinProbe::picture("Speed-4"));
        // A speed without a picture of its own shows the dial.
        bar.setButtonState("VB_SpeedSet", 16);
        QCOMPARE(SkinProbe::shown(speed), SkinProbe::picture("Speed"));
    }

    void sirenFollowsItsCountdown_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("shownOn");
        QTest::addColumn<QString>("tip");
        QTest::newRow("on, counting") << true << 30 << true << "close sound alarm";
        QTest::newRow("on, no time") << true << 0 << false << "close sound alarm";
        QTest::newRow("off") << false << 30 << false << "open sound alarm";
    }
    void sirenFollowsItsCountdown()
    {
        QFETCH(bool, on);
        QFETCH(int, seconds);
        QFETCH(bool, shownOn);
        QFETCH(QString, tip);
        QVideoBar bar;
        bar.setSoundAlarmState(on, seconds);
        QPushButton *siren = buttonOf(&bar, "VB_SoundAlarm");
        QCOMPARE(siren->isEnabled(), !shownOn);
        QCOMPARE(siren->property("bSoundAlarmOn"), QVariant(shownOn));
        QCOMPARE(siren->property("bSoundAlarmTime"), QVariant(shownOn ? seconds : 0));
        QCOMPARE(siren->toolTip(), tip);
        QCOMPARE(SkinProbe::shown(siren),
                 SkinProbe::picture(shownOn ? "SoundAlarm-On" : "SoundAlarm"));
    }

    void stateOperationIgnoresOthersAndSnapshotKeepsNone()
    {
        QVideoBar bar;
        const auto properties = [&bar] {
            QStringList all;
            for (QPushButton *button : bar.findChildren<QPushButton *>()) {
                for (const QByteArray &name : button->dynamicPropertyNames())
                    all << button->objectName() + name + button->property(name).toString();
            }
            return all;
        };
        const QStringList before = properties();
        QSignalSpy spy(&bar, &QVideoBar::sgnButtonClicked);
        bar.setButtonState("VB_Nothing", true);
        bar.setButtonState("VB_SnapShot", true);
        buttonOf(&bar, "VB_SnapShot")->click();
        QCOMPARE(properties(), before);
        QCOMPARE(spy, QList<QList<QVariant>> {pressed("VB_SnapShot", false)});
    }

    void closedPtzPanelTurnsThePtzButtonOff()
    {
        QVideoBar bar;
        bar.setButtonState("VB_PTZCtrl", true);
        QSignalSpy spy(&bar, &QVideoBar::sgnButtonClicked);
        Common::CGlobalEvent::Instance()->PTZWidgetClose();
        QCOMPARE(spy, QList<QList<QVariant>> {pressed("VB_PTZCtrl", false)});
        QCOMPARE(buttonOf(&bar, "VB_PTZCtrl")->property("bPTZCtrl"), QVariant(false));
    }

    void rowsFollowTheWindow_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("playType");
        QTest::addColumn<int>("access");
        QTest::addColumn<QString>("abilities");
        QTest::addColumn<QString>("shown");
        const QString base = "CircleDetail RecordType Audio Split FullScreen CloseAll";
        QTest::newRow("new bar") << -1 << -1 << 0 << "" << base;
        QTest::newRow("live, idle") << 1 << 0 << 0 << "PT,Siren,WhiteLight" << base;
        QTest::newRow("live") << 3 << 0 << 0 << ""
                              << "CircleDetail RecordType Definition LocalRecord SnapShot Talk "
                                 "Audio Split FullScreen CloseAll";
        QTest::newRow("live, abilities")
            << 3 << 0 << 0 << "PT,Siren,WhiteLight"
            << "CircleDetail RecordType Definition LocalRecord SnapShot Talk PTZCtrl SoundAlarm "
               "LightAlarm Audio Split FullScreen CloseAll";
        QTest::newRow("playback") << 3 << 1 << 0 << "PT,Siren,WhiteLight"
                                  << "CircleDetail RecordType LocalRecord SnapShot Back Pause "
                                     "Forward SpeedSet Audio Split FullScreen CloseAll";
        QTest::newRow("playback, idle") << 0 << 1 << 0 << "" << base;
        QTest::newRow("record-only channel") << 3 << 0 << 11 << "PT"
                                             << "LocalRecord SnapShot Split FullScreen CloseAll";
    }
    void rowsFollowTheWindow()
    {
        QFETCH(int, status);
        QFETCH(int, playType);
        QFETCH(int, access);
        QFETCH(QString, abilities);
        QFETCH(QString, shown);
        QVideoBar bar;
        if (playType >= 0) {
            VideoWndInfo_t info;
            info.playType = playType;
            info.channel.accessSource = access;
            info.channel.devAbility = abilities;
            VideoBarRows::apply(&bar, status, info);
        }
        QCOMPARE(shownButtons(bar).join(' ').remove("VB_"), shown);
    }

    void rowsCarryTheWindowsStates()
    {
        QVideoBar bar;
        VideoWndInfo_t live;
        live.channel.chnAbility = "PT";
        live.channel.definitionMode = 0;
        live.bTalkOn = live.bPTZWidgetShow = live.bRecordOn = true;
        live.recordSource = 1;
        VideoBarRows::apply(&bar, VideoBarRows::kPlaying, live);
        QCOMPARE(buttonOf(&bar, "VB_Definition")->text(), QString("high definition"));
        QCOMPARE(buttonOf(&bar, "VB_RecordType")->text(), QString("cloud"));
        for (const char *state : {"bTalkOn", "bPTZCtrl", "bRecordOn"}) {
            const auto owners = bar.findChildren<QPushButton *>();
            QVERIFY2(std::any_of(owners.begin(), owners.end(),
                                 [state](QPushButton *b) { return b->property(state).toBool(); }),
                     state);
        }

        VideoWndInfo_t playback;
        playback.playType = 1;
        playback.bPauseOn = true;
        playback.playSpeed = 8;
        VideoBarRows::apply(&bar, VideoBarRows::kPlaying, playback);
        QCOMPARE(SkinProbe::shown(buttonOf(&bar, "VB_Pause")), SkinProbe::picture("Pause-On"));
        QCOMPARE(SkinProbe::shown(buttonOf(&bar, "VB_SpeedSet")), SkinProbe::picture("Speed-8"));
    }

    void shortcutsPressShownButtons_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("showAll");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QVariantList>("sent"); // button press, or {speed}; empty: ignored
        QTest::newRow("hidden snapshot") << int(Qt::Key_S) << false << 1 << QVariantList();
        QTest::newRow("snapshot") << int(Qt::Key_S) << true << 1
                                  << QVariantList {"VB_SnapShot", false};
        QTest::newRow("pause") << int(Qt::Key_Space) << true << 1
                               << QVariantList {"VB_Pause", true};
        QTest::newRow("close all")
            << int(Qt::Key_Delete) << false << 1 << QVariantList {"VB_CloseAll", false};
        QTest::newRow("back") << int(Qt::Key_Left) << true << 1 << QVariantList {"VB_Back", false};
        QTest::newRow("faster") << int(Qt::Key_Plus) << true << 1 << QVariantList {2};
        QTest::newRow("between") << int(Qt::Key_Plus) << true << 3 << QVariantList {4};
        QTest::newRow("slower") << int(Qt::Key_Minus) << true << 6 << QVariantList {4};
        QTest::newRow("slowest") << int(Qt::Key_Minus) << true << 1 << QVariantList();
        QTest::newRow("fastest") << int(Qt::Key_Plus) << true << 8 << QVariantList();
        QTest::newRow("no shortcut") << int(Qt::Key_X) << true << 1 << QVariantList();
    }
    void shortcutsPressShownButtons()
    {
        QFETCH(int, key);
        QFETCH(bool, showAll);
        QFETCH(int, speed);
        QFETCH(QVariantList, sent);
        QVideoBar bar;
        if (showAll)
            bar.setButtonsVisible(allNames(bar), true);
        bar.setButtonState("VB_SpeedSet", speed);
        QSignalSpy clicks(&bar, &QVideoBar::sgnButtonClicked);
        QSignalSpy speeds(&bar, &QVideoBar::sgnRecordSpeedSet);
        QCOMPARE(bar.triggerShortcut(key), !sent.isEmpty());
        QList<QVariant> all = clicks.isEmpty() ? QList<QVariant>() : clicks.first();
        if (!speeds.isEmpty())
            all = speeds.first();
        QCOMPARE(all, sent);
    }

    void everyButtonIsNamedAndReachable()
    {
        QVideoBar bar;
        bar.setButtonsVisible(allNames(bar), true);
        for (QPushButton *button : bar.findChildren<QPushButton *>()) {
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
            QCOMPARE(button->accessibleDescription(), button->toolTip());
        }
        for (const auto &shortcut : QVideoBar::shortcuts()) {
            const QString keys = VideoBarButtons::keysText(shortcut.button);
            QVERIFY(buttonOf(&bar, shortcut.button)->toolTip().endsWith("(" + keys + ")"));
        }
        // Tab walks every shown button in layout order.
        bar.show();
        QVERIFY(QTest::qWaitForWindowActive(&bar));
        QStringList visited;
        buttonOf(&bar, "VB_CircleDetail")->setFocus();
        for (int i = 0; i < allNames(bar).size(); ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, allNames(bar));
    }

    void screenshotsForReview()
    {
        QVideoBar live, playback;
        VideoWndInfo_t info;
        info.channel.chnAbility = "PT,Siren,WhiteLight";
        info.bRecordOn = info.bAudioOn = true;
        VideoBarRows::apply(&live, VideoBarRows::kPlaying, info);
        info.playType = 1;
        info.playSpeed = 4;
        VideoBarRows::apply(&playback, VideoBarRows::kPlaying, info);
        QList<QImage> rows;
        for (QVideoBar *bar : {&live, &playback}) {
            bar->resize(960, 50);
            bar->show();
            rows << bar->grab().toImage();
        }
        // The pop-ups cut to their masks, which this platform does not apply to windows.
        for (QWidget *popup : QList<QWidget *> {live.splitPopup(), live.speedPopup()}) {
            popup->show();
            QImage cut(popup->size(), QImage::Format_ARGB32);
            cut.fill(Qt::transparent);
            QPainter painter(&cut);
            painter.setClipRegion(popup->mask());
            painter.drawPixmap(0, 0, popup->grab());
            rows << cut;
        }
        int height = 10;
        for (const QImage &row : rows)
            height += row.height() + 10;
        QImage sheet(960, height, QImage::Format_ARGB32);
        sheet.fill(QColor("#202227"));
        QPainter painter(&sheet);
        int y = 10;
        for (const QImage &row : rows) {
            painter.drawImage(0, y, row);
            y += row.height() + 10;
        }
        painter.end();
        const QString path
            = QCoreApplication::applicationDirPath() + "/videobar-storeSuite-DustyBlue.png";
        QVERIFY(sheet.save(path));
        qInfo("video bar screenshot: %s", qPrintable(path));
    }

private:
    static QStringList allNames(const QVideoBar &bar)
    {
        QStringList names;
        for (QPushButton *button :
             bar.findChild<QWidget *>("widgetVideoBtn")->findChildren<QPushButton *>())
            names << button->objectName();
        return names;
    }
};

QTEST_MAIN(tst_VideoBar)
#include "tst_VideoBar.moc"
