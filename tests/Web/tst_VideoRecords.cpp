// The media library's codes translated into the records' status and result; that the records
// cross threads in queued signals shows in the video window and play tests.
#include "Records/VideoRecords.h"

#include <QtTest>

class tst_VideoRecords : public QObject
{
    Q_OBJECT

private slots:
    void libraryCodesAreTranslated_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("result");
        QTest::newRow("0") << 0 << 0 << 0;
        QTest::newRow("1") << 1 << 1 << 1;
        QTest::newRow("2") << 2 << 2 << 0;
        QTest::newRow("3") << 3 << 3 << 3;
        QTest::newRow("4") << 4 << -1 << 4;
        QTest::newRow("5") << 5 << -1 << 0;
        QTest::newRow("13 end of playback") << 13 << 5 << 0;
        QTest::newRow("15 picture size") << 15 << 4 << 0;
        QTest::newRow("99") << 99 << -1 << 0;
    }

    void libraryCodesAreTranslated()
    {
        QFETCH(int, code);
        QFETCH(int, status);
        QFETCH(int, result);
        QCOMPARE(VideoStatus_t::statusFromEvent(code), status);
        QCOMPARE(VideoStatus_t::resultFromOutcome(code), result);
    }
};

QTEST_GUILESS_MAIN(tst_VideoRecords)
#include "tst_VideoRecords.moc"
