#include <KWGui/KWFile.h>

#include <QtTest>

using KWGUI::KWFile;

namespace {

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(contents);
}

} // namespace

class tst_KWFile : public QObject
{
    Q_OBJECT

private slots:
    void joinsFilesInTheGivenOrder()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.css"), "A{}\n");
        writeFile(dir.filePath("b.css"), "B{}");
        writeFile(dir.filePath("c.css"), "C{}\n");

        QCOMPARE(KWFile::ReadAll({"c.css", "a.css", "b.css"}, dir.path()),
                 QByteArray("C{}\nA{}\nB{}"));
        // The folder may end in a slash, as the style folder does; a name given twice is read
        // twice.
        QCOMPARE(KWFile::ReadAll({"b.css", "b.css"}, dir.path() + "/"), QByteArray("B{}B{}"));
        // An absolute name is read as it is.
        QCOMPARE(KWFile::ReadAll({dir.filePath("a.css")}, "/nowhere"), QByteArray("A{}\n"));
        QVERIFY(KWFile::ReadAll({}, dir.path()).isEmpty());
    }

    void unreadableFilesAddNothing()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.css"), "A");
        writeFile(dir.filePath("b.css"), "B");
        writeFile(dir.filePath("empty.css"), "");
        QVERIFY(QDir(dir.path()).mkdir("folder.css"));

        QCOMPARE(KWFile::ReadAll({"a.css", "missing.css", "folder.css", "empty.css", "b.css"},
                                 dir.path()),
                 QByteArray("AB"));
        QVERIFY(KWFile::ReadAll({"a.css"}, dir.filePath("no-such-folder")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_KWFile)
#include "tst_KWFile.moc"
