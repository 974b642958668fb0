// The message video bar headless: presses toggle and report, the owner's state shows without a
// signal, on the skin built into the program folder.
#include "CommonUI/VideoBar/QMessageVideoBar.h"
#include "SkinProbe.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_MessageVideoBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(SkinProbe::useBuildSkin()); }

    void pressesToggleAndReport_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("tipOn");
        QTest::newRow("pause") << "Pause"
                               << "bPauseOn"
                               << "play (Space)";
        QTest::newRow("sound") << "Audio"
                               << "bAudioOn"
                               << "closeAudio (M)";
        QTest::newRow("full screen") << "FullScreen"
                                     << "bFullScreen"
                                     << "reset (F11)";
    }
    void pressesToggleAndReport()
    {
        QFETCH(QString, button);
        QFETCH(QString, state);
        QFETCH(QString, tipOn);
        QMessageVideoBar bar;
        QSignalSpy spy(&bar, &QMessageVideoBar::sgnButtonClicked);
        auto *toggle = bar.findChild<QPushButton *>("VB_" + button);
        toggle->click();
        QCOMPARE(toggle->toolTip(), tipOn);
        QCOMPARE(SkinProbe::shown(toggle), SkinProbe::picture(button + "-On"));
        toggle->click();
        QCOMPARE(SkinProbe::shown(toggle), SkinProbe::picture(button));
        QCOMPARE(
            spy,
            (QList<QList<QVariant>> {{toggle->objectName(), true}, {toggle->objectName(), false}}));
        QCOMPARE(toggle->property(qPrintable(state)), QVariant(false));

        bar.setButtonState(toggle->objectName(), true);
        QCOMPARE(toggle->toolTip(), tipOn);
        QCOMPARE(toggle->accessibleDescription(), tipOn);
        QCOMPARE(spy.count(), 2);
    }

    void sizeVisibilityAndKeys()
    {
        QMessageVideoBar bar;
        QSignalSpy spy(&bar, &QMessageVideoBar::sgnButtonClicked);
        bar.setButtonState("VB_Talk", true); // not a button of this bar
        bar.setButtonsSize(30, 26);
        bar.setButtonsVisible({"VB_Audio", "VB_FullScreen"}, false);
        QVERIFY(!bar.triggerShortcut(Qt::Key_M));
        QVERIFY(bar.triggerShortcut(Qt::Key_Space));
        for (QPushButton *button : bar.findChildren<QPushButton *>()) {
            QCOMPARE(button->size(), QSize(30, 26));
            QCOMPARE(button->isVisibleTo(&bar), button->objectName() == "VB_Pause");
        }
        QCOMPARE(spy, (QList<QList<QVariant>> {{"VB_Pause", true}}));
    }
};

QTEST_MAIN(tst_MessageVideoBar)
#include "tst_MessageVideoBar.moc"
