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

    // The entry read and the x2 of its first cells (enable = x2 > 0).
    void readsLeniently()
    {
        const QByteArray split2 = "<Split row='1' col='2' count='2'><Wnd enable='true' x2='1'/>"
                                  "<Wnd enable='true' x1='1' x2='2'/></Split>";
        QByteArray twelve;
        for (int i = 1; i <= 12; ++i)
            twelve += "<Split row='1' col='1' count='" + QByteArray::number(i) + "'/>";
        QByteArray wide = "<Split row='8' col='9' count='72'>";
        for (int i = 1; i <= 72; ++i)
            wide += "<Wnd enable='true' x2='" + QByteArray::number(i) + "'/>";
        wide += "</Split>";
        const struct
        {
            const char *name;
            QByteArray contents;
            bool loaded;
            int entry;
            QVector<int> rowColCount, x2OfCells;
        } rows[] = {
            {"twelve splits give the first eleven", layout(twelve), true, 10, {1, 1, 11}, {}},
            {"other children use up no entry", layout("<Layout row='5'/>" + split2), true, 0,
             {1, 2, 2}, {1, 2}},
            {"comments fill no cell",
             layout("<Split row='1' col='2' count='2'><!-- a --><Wnd enable='true' x2='1'/>"
                    "<!-- b --><Wnd enable='true' x2='2'/></Split>"),
             true, 0, {1, 2, 2}, {1, 2}},
            {"text is a cell of zeros",
             layout("<Split row='1' col='3' count='2'><Wnd enable='true' x2='1'/>stray"
                    "<Wnd enable='true' x2='3'/></Split>"),
             true, 0, {1, 3, 2}, {1, 0, 3}},
            {"children named anything, attributes missing",
             layout("<Split col='2'><Cell enable='true' x2='4'/><Wnd/></Split>"), true, 0,
             {0, 2, 0}, {4, 0}},
            {"cells past 64 are dropped", layout(wide), true, 0, {8, 9, 72}, {1, 2, 3}},
            {"no normal splits", "<WndSplit><CustomSplit/></WndSplit>", false, 0, {0, 0, 0}, {}}};
        for (const auto &row : rows) {
            QVERIFY(writeFile(kFile, row.contents));
            CWndSplitConfig config;
            QVERIFY2(config.load() == row.loaded, row.name);
            const WndSplitEntry_t &read = *config.normalSplit(row.entry);
            QCOMPARE((QVector<int> {read.row, read.col, read.count}), row.rowColCount);
            for (int i = 0; i < row.x2OfCells.size(); ++i) {
                QVERIFY2(read.cells[i].x2 == row.x2OfCells[i], row.name);
                QCOMPARE(read.cells[i].enable, row.x2OfCells[i] > 0);
            }
            QVERIFY2(read.cells[WndSplitEntry_t::kMaxCells - 1].x2
                         == (row.rowColCount[2] > 64 ? 64 : 0),
                     row.name);
        }
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
