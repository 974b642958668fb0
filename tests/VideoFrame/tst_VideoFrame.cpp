// The split frame without video: automatic splits, selection, enlarging, and the record answers
// of the media library as the frame receives them.
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoFrame/SplitGeometry.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "TestEnv.h"

#include <StreamCore/StreamCoreTypes.h>

#include <QtTest>

namespace {

qint64 at(const char *text)
{
    return QDateTime::fromString(text, "yyyy-MM-dd HH:mm:ss").toSecsSinceEpoch();
}

StreamCore::RecordInfo record(const char *begin, const char *end)
{
    StreamCore::RecordInfo r {};
    qstrcpy(r.beginTime, begin);
    qstrcpy(r.endTime, end);
    return r;
}

} // namespace

class tst_VideoFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        m_view.createWnds(16);
        m_view.resize(642, 402);
        m_view.show();
    }
    void init()
    {
        m_view.frame()->setSplitByCount(4);
        m_view.select(0);
    }

    // The step to each larger split, from the first window and from a later one: current split,
    // selected window, channels opened, split after.
    void automaticSplit()
    {
        const int rows[][4]
            = {{1, 0, 1, 1}, {1, 0, 5, 6}, {1, 0, 7, 8}, {1, 0, 10, 16}, {4, 2, 2, 4},
               {4, 2, 4, 6}, {4, 2, 7, 9}, {6, 5, 3, 8}, {8, 7, 3, 16},  {16, 15, 9, 16}};
        for (const auto &r : rows)
            QVERIFY2(SplitGeometry::autoSplitCount(r[0], r[0] - r[1], r[2]) == r[3],
                     qPrintable(QString("%1/%2+%3").arg(r[0]).arg(r[1]).arg(r[2])));
    }

    // Three channels from window 2 of four: six windows, the channels in 2, 3 and 4.
    void openVideosSplitsAndMovesTheSelection()
    {
        QSignalSpy opened(&m_view, &QVideoFrame::sgnBeforeOpenNewVideo);
        m_view.select(2);
        QList<ChannelInfo_t> channels;
        for (const char *device : {"A", "B", "C"}) {
            channels << ChannelInfo_t();
            channels.last().deviceID = device;
        }
        m_view.openVideos(channels);
        QCOMPARE(m_view.frame()->splitWndCount(), 6);
        QCOMPARE(opened.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m_view.wndInfo(2 + i).channel.deviceID, channels[i].deviceID);
        QCOMPARE(m_view.selectedWnd(), 5);
        m_view.select(5);
        m_view.openVideos({channels[0]}); // the last window keeps the selection
        QCOMPARE(m_view.selectedWnd(), 5);
        m_view.frame()->setSplitMode(10);
        QCOMPARE(m_view.frame()->splitMode(), 6);
    }

    void selectionAndEnlarging()
    {
        QSignalSpy selected(&m_view, &QVideoFrame::sgnWndSelectedNotify);
        m_view.onWndAction(3, Wnd_Action_Select, 0);
        QCOMPARE(selected.takeFirst().at(0).toInt(), 3);
        m_view.onWndAction(3, Wnd_Action_DoubleClick, QPoint());
        QCOMPARE(m_view.frame()->wnd(3)->geometry(), QRect(2, 2, 638, 397));
        QVERIFY(!m_view.frame()->wnd(0)->isVisible());
        m_view.select(1); // not shown: refused, unannounced
        QCOMPARE(selected.size(), 0);
        QCOMPARE(m_view.selectedWnd(), 3);
        m_view.onWndAction(3, Wnd_Action_DoubleClick, QPoint());
        QVERIFY(m_view.frame()->wnd(0)->isVisible());
        m_view.onWndAction(0, Wnd_Action_Select, 0);
        m_view.onWndAction(0, Wnd_Action_DoubleClick, QPoint());
        m_view.openVideos({ChannelInfo_t(), ChannelInfo_t()}); // enlarged: split back first
        QCOMPARE(m_view.frame()->visibleCount(), 4);
    }

    // Answers of another frame or of the other record source are dropped; the frame's own is
    // cached without the records that began the day before.
    void recordAnswers()
    {
        m_view.setRecordSource(0);
        QSignalSpy ended(&m_view, &QVideoFrame::sgnEndQueryRecordNotify);
        const StreamCore::RecordInfo records[]
            = {record("2026-03-01 23:50:00", "2026-03-02 00:10:00"),
               record("2026-03-02 08:00:00", "2026-03-02 09:00:00"),
               record("2026-03-02 23:50:00", "2026-03-03 00:10:00")};
        StreamCore::MediaEvent event {};
        event.type = StreamCore::MEDIA_EVENT_RECORD_QUERY;
        event.result = 3;
        event.records = records;
        event.recordCount = 3;
        event.queryTime = at("2026-03-02 00:00:00");
        for (auto [frameType, source] : {std::pair {200, 0}, {1, 1}, {1, 0}}) {
            event.frameType = frameType;
            event.source = source;
            m_view.frame()->OnMediaEvent(&event);
        }
        QTRY_COMPARE(ended.size(), 1);
        const QList<RecordSegment_t> day = m_view.recordsOf(0).value("2026-03-02");
        QCOMPARE(day.size(), 2);
        QCOMPARE(day[0].beginTime, QString("2026-03-02 08:00:00"));
        const QList<QPair<const char *, int>> found = {
            {"2026-03-03 00:05:00", 0}, {"2026-03-02 09:00:01", -2}, {"2026-03-05 00:05:00", -1}};
        for (const auto &f : found)
            QVERIFY2(m_view.findRecordAt(0, at(f.first)) == f.second, f.first);
        QCOMPARE(m_view.hasRecordIn(0, at("2026-03-02 07:00:00"), at("2026-03-02 08:00:01")), 0);
        QCOMPARE(m_view.hasRecordIn(0, at("2026-03-02 10:00:00"), at("2026-03-02 11:00:00")), -2);
    }

private:
    QVideoFrame m_view {CVideoFrame::kOwnerPlayback};
};

QTEST_MAIN(tst_VideoFrame)
#include "tst_VideoFrame.moc"
