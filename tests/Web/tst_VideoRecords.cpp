// The shared records: registered for queued signals (also by name), and the media library's
// codes translated.
#include "Records/VideoRecords.h"

#include <QtTest>

class tst_VideoRecords : public QObject
{
    Q_OBJECT

private slots:
    void everyRecordIsKnownByItsName()
    {
        // Registered by the first record built; the window record under two names.
        const ChannelInfo_t channel;
        const VideoEnc_t enc;
        const VideoWndInfo_t wnd;
        const VideoStatus_t status;
        const VideoTalkStatus_t talk;
        const RecordSegment_t segment;
        const RecordQueryResult_t query;
        const QueryRecordBitmapResult_t bitmap;
        const channelSnapShotInfo_t snapshot;
        const ChannelPTZParams_t ptz;
        for (const char *name :
             {"ChannelInfo_t", "VideoEnc_t", "VideoWndInfo_t", "VideoStatus_t", "VideoTalkStatus_t",
              "RecordSegment_t", "RecordQueryResult_t", "QueryRecordBitmapResult_t",
              "channelSnapShotInfo_t", "ChannelPTZParams_t", "Wnd_ActionType_e"})
            QVERIFY2(QMetaType::type(name) != QMetaType::UnknownType, name);
        QCOMPARE(QMetaType::type("VideoWndInfo"), qMetaTypeId<VideoWndInfo_t>());
        QCOMPARE(VideoWndInfo_t(1).recordSource, 1); // given by the window that builds it
    }

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
