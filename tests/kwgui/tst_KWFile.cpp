#include "TestEnv.h"

#include <KWGui/KWFile.h>

#include <QtTest>

using KWGUI::KWFile;

class tst_KWFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(TestEnv::writeFile(m_dir.filePath("a.css"), "A{}\n"));
        QVERIFY(TestEnv::writeFile(m_dir.filePath("b.css"), "B{}"));
        QVERIFY(TestEnv::writeFile(m_dir.filePath("empty.css"), ""));
        QVERIFY(QDir(m_dir.path()).mkdir("folder.css"));
    }

    void joinsTheReadableFilesInTheGivenOrder_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("expected");
        const QString dir = m_dir.path();
        QTest::newRow("given order")
            << QStringList {"b.css", "a.css"} << dir << QByteArray("B{}A{}\n");
        // The folder may end in a slash, as the style folder does; a name given twice is read
        // twice.
        QTest::newRow("slash, twice")
            << QStringList {"b.css", "b.css"} << dir + "/" << QByteArray("B{}B{}");
        QTest::newRow("absolute name")
            << QStringList {m_dir.filePath("a.css")} << "/nowhere" << QByteArray("A{}\n");
        QTest::newRow("no names") << QStringList() << dir << QByteArray();
        QTest::newRow("unreadable add nothing")
            << QStringList {"a.css", "missing.css", "folder.css", "empty.css", "b.css"} << dir
            << QByteArray("A{}\nB{}");
        QTest::newRow("no such folder") << QStringList {"a.css"} << dir + "/none" << QByteArray();
    }

    void joinsTheReadableFilesInTheGivenOrder()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, folder);
        QFETCH(QByteArray, expected);
        QCOMPARE(KWFile::ReadAll(names, folder), expected);
    }
};

QTEST_GUILESS_MAIN(tst_KWFile)
#include "tst_KWFile.moc"
