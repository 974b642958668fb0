// The split layouts read from "WndSplit.xml" in the working directory (the test's program folder).
#include "CommonUI/VideoFrame/CWndSplitConfig.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

const QString kFile = QStringLiteral("WndSplit.xml");
const QString kBackup = QStringLiteral("BackupCfgFiles/WndSplit.xml");

using TestEnv::readFile;
using TestEnv::writeFile;

QByteArray shippedFile()
{
    return readFile(TestEnv::buildBinDir() + QLatin1Char('/') + kFile);
}

QByteArray layout(const QByteArray &normalSplitBody)
{
    return "<?xml version=\"1.0\"?><WndSplit><NormalSplit>" + normalSplitBody
        + "</NormalSplit></WndSplit>";
}

} // namespace

class tst_CWndSplitConfig : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(kFile);
        QDir(QStringLiteral("BackupCfgFiles")).removeRecursively();
    }

    // Every shipped split gives each of its windows one enabled cell, and the windows cover the
    // grid exactly once: the window counts the frame expects, the large windows of 6 and 8
    // included.
    void shippedLayoutsTileTheirGridsAndSaveAsShipped()
    {
        QVERIFY(writeFile(kFile, shippedFile()));
        CWndSplitConfig config;
        QVERIFY(config.load());
        const QMap<int, int> windowsOfIndex {{0, 1}, {1, 4}, {2, 6}, {3, 8}, {4, 9}, {6, 16}};
        for (int index = 0; index < CWndSplitConfig::kNormalCount; ++index) {
            const WndSplitEntry_t &entry = *config.normalSplit(index);
            if (windowsOfIndex.contains(index))
                QCOMPARE(entry.count, windowsOfIndex[index]);
            QVERIFY(entry.row * entry.col <= WndSplitEntry_t::kMaxCells);
            QVector<int> cover(entry.row * entry.col, 0);
            int windows = 0;
            for (int c = 0; c < entry.row * entry.col; ++c) {
                const WndSplitCell_t &cell = entry.cells[c];
                if (!cell.enable)
                    continue;
                ++windows;
                QCOMPARE(cell.x1, c % entry.col);
                QCOMPARE(cell.y1, c / entry.col);
                QVERIFY(cell.x2 > cell.x1 && cell.x2 <= entry.col);
                QVERIFY(cell.y2 > cell.y1 && cell.y2 <= entry.row);
                for (int y = cell.y1; y < cell.y2; ++y)
                    for (int x = cell.x1; x < cell.x2; ++x)
                        ++cover[y * entry.col + x];
            }
            QCOMPARE(windows, entry.count);
            QCOMPARE(cover, QVector<int>(entry.row * entry.col, 1));
        }
        QVERIFY(!config.normalSplit(-1));
        QVERIFY(!config.normalSplit(CWndSplitConfig::kNormalCount));

        // Saving writes the documented format (declaration, tab indentation, attribute order,
        // every list) so that a store read from the shipped file writes that file again byte
        // for byte.
        QVERIFY(QFile::remove(kFile));
        QVERIFY(config.save());
        QCOMPARE(readFile(kFile), shippedFile());
    }

    void readsLeniently_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QVector<int>>("rowColCount");
        QTest::addColumn<QVector<int>>("x2OfCells"); // x2 of the first cells; enable = x2 > 0

        const QByteArray split2 = "<Split row='1' col='2' count='2'><Wnd enable='true' x2='1'/>"
                                  "<Wnd enable='true' x1='1' x2='2'/></Split>";
        QByteArray twelve;
        for (int i = 1; i <= 12; ++i)
            twelve += "<Split row='1' col='1' count='" + QByteArray::number(i) + "'/>";
        QByteArray wide = "<Split row='8' col='9' count='72'>";
        for (int i = 1; i <= 72; ++i)
            wide += "<Wnd enable='true' x2='" + QByteArray::number(i) + "'/>";
        wide += "</Split>";

        QTest::newRow("twelve splits give the first eleven")
            << layout(twelve) << true << 10 << QVector<int> {1, 1, 11} << QVector<int> {};
        QTest::newRow("whole file; other children use up no entry")
            << layout("<Layout row='5'/>" + split2) << true << 0 << QVector<int> {1, 2, 2}
            << QVector<int> {1, 2};
        QTest::newRow("comments fill no cell")
            << layout("<Split row='1' col='2' count='2'><!-- a --><Wnd enable='true' x2='1'/>"
                      "<!-- b --><Wnd enable='true' x2='2'/></Split>")
            << true << 0 << QVector<int> {1, 2, 2} << QVector<int> {1, 2};
        QTest::newRow("text is a cell of zeros")
            << layout("<Split row='1' col='3' count='2'><Wnd enable='true' x2='1'/>stray"
                      "<Wnd enable='true' x2='3'/></Split>")
            << true << 0 << QVector<int> {1, 3, 2} << QVector<int> {1, 0, 3};
        QTest::newRow("children named anything, attributes missing")
            << layout("<Split col='2'><Cell enable='true' x2='4'/><Wnd/></Split>") << true << 0
            << QVector<int> {0, 2, 0} << QVector<int> {4, 0};
        QTest::newRow("cells past 64 are dropped")
            << layout(wide) << true << 0 << QVector<int> {8, 9, 72} << QVector<int> {1, 2, 3};
        QTest::newRow("no normal splits")
            << QByteArray("<WndSplit><CustomSplit/></WndSplit>") << false << 0
            << QVector<int> {0, 0, 0} << QVector<int> {};
    }

    void readsLeniently()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, loaded);
        QFETCH(int, entry);
        QFETCH(QVector<int>, rowColCount);
        QFETCH(QVector<int>, x2OfCells);

        QVERIFY(writeFile(kFile, contents));
        CWndSplitConfig config;
        QCOMPARE(config.load(), loaded);
        const WndSplitEntry_t &read = *config.normalSplit(entry);
        QCOMPARE((QVector<int> {read.row, read.col, read.count}), rowColCount);
        for (int i = 0; i < x2OfCells.size(); ++i) {
            QCOMPARE(read.cells[i].x2, x2OfCells[i]);
            QCOMPARE(read.cells[i].enable, x2OfCells[i] > 0);
        }
        QCOMPARE(read.cells[WndSplitEntry_t::kMaxCells - 1].x2, rowColCount[2] > 64 ? 64 : 0);
    }

    void brokenFileIsReplacedByTheBackup()
    {
        const struct
        {
            QByteArray file; // "-": no file
            bool withBackup, loaded;
        } rows[] = {{"<WndSplit><Normal", true, true},
                    {"<Layout/>", true, true},
                    {"-", true, true},
                    {"<WndSplit", false, false}};
        for (const auto &row : rows) {
            init();
            if (row.file != "-")
                QVERIFY(writeFile(kFile, row.file));
            if (row.withBackup)
                QVERIFY(writeFile(kBackup, shippedFile()));
            CWndSplitConfig config;
            QVERIFY2(config.load() == row.loaded, row.file.constData());
            QCOMPARE(config.normalSplit(6)->count, row.loaded ? 16 : 0);
            if (row.withBackup)
                QCOMPARE(readFile(kFile), shippedFile());
        }
    }
};

QTEST_GUILESS_MAIN(tst_CWndSplitConfig)
#include "tst_CWndSplitConfig.moc"
