// The shared channel and window records: their registration with Qt's type system, the
// translation of the media library's codes, and a trip through a queued call between threads.
#include "Records/VideoRecords.h"

#include <QPoint>
#include <QThread>
#include <QtTest>

// Receives records on its own thread through queued calls named by their type names, which only
// works when the records are registered under those names.
class RecordSink : public QObject
{
    Q_OBJECT

public slots:
    void takeWnd(VideoWndInfo_t info)
    {
        wnd = info;
        thread = QThread::currentThread();
    }
    void takeAction(int index, Wnd_ActionType_e action, QVariant argument)
    {
        actions.append({index, action, argument});
    }
    void takeQuery(RecordQueryResult_t result) { query = result; }

public:
    struct Action
    {
        int index;
        Wnd_ActionType_e action;
        QVariant argument;
    };
    VideoWndInfo_t wnd;
    RecordQueryResult_t query;
    QList<Action> actions;
    QThread *thread = nullptr;
};

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
        QTest::newRow("-1") << -1 << -1 << 0;
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

    void talkRunsOnlyWhenBothCodesAreZero()
    {
        const QList<QPair<int, int>> notTalking = {{-1, -1}, {0, 5}, {-1, 0}};
        for (const auto &[result, state] : notTalking) {
            VideoTalkStatus_t talk;
            talk.result = result;
            talk.talkState = state;
            QVERIFY(!talk.isTalking());
        }
        VideoTalkStatus_t talk;
        talk.result = talk.talkState = 0;
        QVERIFY(talk.isTalking());
    }

    void recordsCrossThreadsInQueuedCalls()
    {
        QThread thread;
        RecordSink sink;
        sink.moveToThread(&thread);
        thread.start();

        VideoWndInfo_t wnd;
        wnd.channel.deviceID = "DEV-7";
        wnd.channel.bHasChannel = true;
        wnd.bRecordOn = true;
        wnd.recordStartTime = QDateTime(QDate(2024, 3, 1), QTime(8, 30));
        wnd.videoEnc.width = 1280;
        RecordQueryResult_t query;
        query.wndIndex = 4;
        RecordSegment_t segment;
        segment.size = 5000000000LL;
        query.records << segment;

        QVERIFY(QMetaObject::invokeMethod(&sink, "takeWnd", Qt::QueuedConnection,
                                          Q_ARG(VideoWndInfo_t, wnd)));
        QVERIFY(QMetaObject::invokeMethod(&sink, "takeQuery", Qt::QueuedConnection,
                                          Q_ARG(RecordQueryResult_t, query)));
        QVERIFY(QMetaObject::invokeMethod(&sink, "takeAction", Qt::QueuedConnection, Q_ARG(int, 2),
                                          Q_ARG(Wnd_ActionType_e, Wnd_Action_DoubleClick),
                                          Q_ARG(QVariant, QPoint(5, 6))));
        QTRY_COMPARE(sink.actions.size(), 1);
        thread.quit();
        thread.wait();

        QCOMPARE(sink.thread, &thread);
        QCOMPARE(sink.wnd.channel.deviceID, QString("DEV-7"));
        QVERIFY(sink.wnd.channel.bHasChannel && sink.wnd.bRecordOn);
        QCOMPARE(sink.wnd.recordStartTime, wnd.recordStartTime);
        QCOMPARE(sink.wnd.videoEnc.width, 1280);
        QCOMPARE(sink.query.wndIndex, 4);
        QCOMPARE(sink.query.records.first().size, 5000000000LL);
        QCOMPARE(sink.actions.first().action, Wnd_Action_DoubleClick);
        QCOMPARE(sink.actions.first().argument.toPoint(), QPoint(5, 6));
    }
};

QTEST_GUILESS_MAIN(tst_VideoRecords)
#include "tst_VideoRecords.moc"
