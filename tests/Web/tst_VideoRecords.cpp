// The shared channel and window records: defaults, their registration with Qt's type system, the
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
    void defaultsAndRegisteredNames()
    {
        const ChannelInfo_t channel;
        QCOMPARE(channel.brand, QString("general"));
        QCOMPARE(channel.platForm, -1);
        QCOMPARE(channel.accessSource, -1);
        QCOMPARE(channel.wndID, -1);
        QCOMPARE(channel.channelID, -1);
        QCOMPARE(channel.definitionMode, 1);
        QCOMPARE(channel.isOnline, 0);
        QVERIFY(!channel.bHasChannel);

        const VideoStatus_t status;
        QCOMPARE(status.status, -1);
        QCOMPARE(status.playKind, -1);
        const QueryRecordBitmapResult_t bitmap;
        QCOMPARE(bitmap.year, 2021);
        QCOMPARE(bitmap.month, 1);
        const RecordSegment_t segment;
        QCOMPARE(segment.channel, -1);
        const VideoWndInfo_t wnd;
        QCOMPARE(wnd.playSpeed, 1);
        QVERIFY(wnd.recordStartTime.isNull());

        // Every record is known by its own name once one was built; the window record twice.
        VideoEnc_t enc;
        VideoTalkStatus_t talk;
        RecordQueryResult_t query;
        channelSnapShotInfo_t snapshot;
        ChannelPTZParams_t ptz;
        const QStringList names = {"ChannelInfo_t",         "VideoEnc_t",
                                   "VideoWndInfo_t",        "VideoStatus_t",
                                   "VideoTalkStatus_t",     "RecordSegment_t",
                                   "RecordQueryResult_t",   "QueryRecordBitmapResult_t",
                                   "channelSnapShotInfo_t", "ChannelPTZParams_t",
                                   "Wnd_ActionType_e"};
        for (const QString &name : names)
            QVERIFY2(QMetaType::type(name.toLatin1()) != QMetaType::UnknownType, qPrintable(name));
        QCOMPARE(QMetaType::type("VideoWndInfo"), qMetaTypeId<VideoWndInfo_t>());
    }

    void windowRecordTakesTheRecordSourceItIsGiven()
    {
        QCOMPARE(VideoWndInfo_t().recordSource, 0);
        const VideoWndInfo_t cloud(1);
        QCOMPARE(cloud.recordSource, 1);
        QCOMPARE(VideoWndInfo_t(cloud).recordSource, 1); // copies keep it
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
        VideoTalkStatus_t talk;
        QVERIFY(!talk.isTalking());
        talk.result = 0;
        talk.talkState = 5;
        QVERIFY(!talk.isTalking());
        talk.talkState = 0;
        QVERIFY(talk.isTalking());
        talk.result = -1;
        QVERIFY(!talk.isTalking());
    }

    void recordsCrossThreadsInQueuedCalls()
    {
        QThread thread;
        RecordSink sink;
        sink.moveToThread(&thread);
        thread.start();

        VideoWndInfo_t wnd;
        wnd.channel.deviceID = "DEV-7";
        wnd.channel.channelID = 3;
        wnd.channel.bHasChannel = true;
        wnd.bRecordOn = true;
        wnd.recordStartTime = QDateTime(QDate(2024, 3, 1), QTime(8, 30));
        wnd.videoEnc.width = 1280;
        RecordQueryResult_t query;
        query.wndIndex = 4;
        RecordSegment_t segment;
        segment.recordId = "rec-1";
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
        QCOMPARE(sink.wnd.channel.channelID, 3);
        QVERIFY(sink.wnd.channel.bHasChannel);
        QVERIFY(sink.wnd.bRecordOn);
        QCOMPARE(sink.wnd.recordStartTime, wnd.recordStartTime);
        QCOMPARE(sink.wnd.videoEnc.width, 1280);
        QCOMPARE(sink.query.wndIndex, 4);
        QCOMPARE(sink.query.records.size(), 1);
        QCOMPARE(sink.query.records.first().recordId, QString("rec-1"));
        QCOMPARE(sink.query.records.first().size, 5000000000LL);
        QCOMPARE(sink.actions.first().action, Wnd_Action_DoubleClick);
        QCOMPARE(sink.actions.first().argument.toPoint(), QPoint(5, 6));
    }
};

QTEST_GUILESS_MAIN(tst_VideoRecords)
#include "tst_VideoRecords.moc"
