// The test runner's promises: each test in its own program folder, home and config home, and
// widgets that render on the offscreen platform.
#include "TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QStandardPaths>
#include <QWidget>
#include <QtTest>

class tst_HarnessGui : public QObject
{
    Q_OBJECT

private slots:
    void runsInItsOwnFolders()
    {
        const QString root = TestEnv::root();
        QVERIFY2(!root.isEmpty(), "not started by the test runner");
        QVERIFY(QDir(root).exists());
        QCOMPARE(QCoreApplication::applicationDirPath(), QDir(root).canonicalPath() + "/prog");
        QCOMPARE(QDir::currentPath(), QCoreApplication::applicationDirPath());
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QVERIFY2(config.startsWith(root), qPrintable(config));
        QVERIFY(QDir::homePath().startsWith(root));
        QVERIFY(QDir::tempPath().startsWith(root));
        QVERIFY(QFileInfo(TestEnv::buildBinDir()).isDir());
    }

    void widgetsRenderOffscreen()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
        QWidget widget;
        widget.resize(64, 48);
        widget.setStyleSheet("background-color: rgb(10, 200, 30);");
        widget.setAttribute(Qt::WA_StyledBackground);
        const QImage image = widget.grab().toImage();
        QCOMPARE(image.size(), QSize(64, 48));
        QCOMPARE(QColor(image.pixel(32, 24)), QColor(10, 200, 30));
    }
};

QTEST_MAIN(tst_HarnessGui)
#include "tst_HarnessGui.moc"
