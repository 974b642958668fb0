// The test runner's promises: each test in its own program folder, home and config home, and
// widgets on the offscreen platform.
#include "TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
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
        QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
    }
};

QTEST_MAIN(tst_HarnessGui)
#include "tst_HarnessGui.moc"
