// A real X display is there for DISPLAY tests: a shown window reaches the screen.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class tst_HarnessDisplay : public QObject
{
    Q_OBJECT

private slots:
    void shownWindowReachesTheScreen()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        QWidget window;
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.setStyleSheet("background-color: rgb(200, 40, 90);");
        window.setAttribute(Qt::WA_StyledBackground);
        window.setGeometry(100, 120, 80, 60);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Read the screen itself, not the widget: this proves the X server shows it.
        QScreen *screen = QGuiApplication::primaryScreen();
        QTRY_COMPARE(QColor(screen->grabWindow(0, 140, 150, 1, 1).toImage().pixel(0, 0)),
                     QColor(200, 40, 90));
    }
};

QTEST_MAIN(tst_HarnessDisplay)
#include "tst_HarnessDisplay.moc"
