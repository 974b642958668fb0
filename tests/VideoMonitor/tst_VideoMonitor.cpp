// The live view on a screen: the page's requests reach it only for its own module, its place
// from the page's rectangle, dialogs cut out of the video by name, what the page is told, and
// the main window making one live view per menu session.
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "RecordPlay/QRecordVideoPlay.h"
#include "RecordingWebManager.h"
#include "TesmarClient.h"
#include "TestEnv.h"
#include "VideoMonitor/CVideoMonitor.h"
#include "VideoMonitor/QVideoMonitor.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/MaskMsg.h"
#include "Web/WndRectMsg.h"

#include <QtTest>

namespace {

void sendRect(RecordingWebManager &web, int module, double left, double top, double right,
              double bottom)
{
    Web::WndRectMsg msg("SetWndRect");
    msg.module = module;
    msg.left = left;
    msg.top = top;
    msg.right = right;
    msg.bottom = bottom;
    web.dispatch(&msg);
}

void sendMask(RecordingWebManager &web, const QRect &rect, const QString &name, bool show)
{
    Web::MaskMsg msg("SetMask");
    msg.module = CVideoMonitor::kModuleType;
    msg.left = rect.left();
    msg.top = rect.top();
    msg.width = rect.width();
    msg.height = rect.height();
    msg.name = name;
    msg.show = show;
    msg.shade = false;
    web.dispatch(&msg);
}

// Pixels of area (parent's coordinates) where the page under the video shows through.
int pageShowing(QWidget *page, const QRect &area)
{
    // Drawn by Qt rather than read from the screen, which other tests' windows may cover.
    const QImage shot = page->grab().toImage();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += shot.pixelColor(x, y) == Qt::red;
    }
    return count;
}

} // namespace

class tst_VideoMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
    }

    void init()
    {
        m_page = std::make_unique<QWidget>();
        m_page->setStyleSheet("background: red");
        m_page->setGeometry(0, 0, 600, 400);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        m_view = new QVideoMonitor(m_page.get());
        m_view->hide();
        m_web = std::make_unique<RecordingWebManager>();
        m_view->setWebViewManager(m_web.get());
    }
    void cleanup()
    {
        CVideoMonitor *monitor = m_view->monitor();
        m_page.reset();
        QVERIFY(m_web->methodsOf(monitor).isEmpty()); // gone from the page's listeners
    }

    // The rectangle's numbers are cut toward zero before the size is taken; another module's
    // rectangle and channels are not ours; a device status needs no module.
    void requestsOfItsModule()
    {
        QCOMPARE(m_web->methodsOf(m_view->monitor()),
                 QStringList(
                     {"SetWndRect", "OpenVideo", "CloseVideo", "SetMask", "NotifyDeviceStatus"}));
        sendRect(*m_web, 2, 0, 0, 300, 300);
        QVERIFY(m_view->isHidden());
        sendRect(*m_web, CVideoMonitor::kModuleType, 10.7, 5.9, 110.2, 55.1);
        QVERIFY(m_view->isVisible());
        QCOMPARE(m_view->geometry(), QRect(10, 5, 100, 50));
        QCOMPARE(m_view->recordVideoPlay()->geometry(), QRect(0, 0, 100, 50));

        ChannelInfo_t channel;
        channel.deviceID = "NVR-T1";
        channel.channelID = 1;
        QVideoFrame *frame = m_view->recordVideoPlay()->frame();
        Web::ChannelInfoMsg other("OpenVideo");
        other.module = 3;
        other.channels = {channel};
        m_web->dispatch(&other);
        QVERIFY(frame->wndInfo(0).channel.deviceID.isEmpty());
        Web::ChannelInfoMsg open("OpenVideo");
        open.module = CVideoMonitor::kModuleType;
        open.channels = {channel};
        m_web->dispatch(&open);
        QCOMPARE(frame->wndInfo(0).channel.deviceID, QString("NVR-T1"));
        QVERIFY(frame->wndInfo(0).channel.bHasChannel);
        QTRY_VERIFY_WITH_TIMEOUT(m_web->notifications.contains("VideoStatusChanged"), 15000);

        Web::ChannelInfoMsg offline("NotifyDeviceStatus");
        offline.status = "offline";
        offline.channels = {channel};
        m_web->dispatch(&offline);
        QCOMPARE(frame->frame()->wnd(0)->getVideoState(), 0);
    }

    // Selecting an empty window tells the page nothing; a window with a channel is told.
    void emptySelectionNotReported()
    {
        m_view->show();
        QVideoFrame *frame = m_view->recordVideoPlay()->frame();
        frame->select(1);
        QVERIFY(!m_web->notifications.contains("PlayWndSelected"));
        VideoWndInfo_t info = frame->wndInfo(2);
        info.channel.deviceID = "NVR-T1";
        info.channel.bHasChannel = true;
        frame->frame()->wnd(2)->controller()->setVideoWndInfo(info);
        frame->select(2);
        QCOMPARE(m_web->notifications.count("PlayWndSelected"), 1);
    }

    // Each named dialog is cut out one pixel inside its rectangle until it is hidden; the cut
    // follows the page's coordinates.
    void masksCutDialogsOut()
    {
        sendRect(*m_web, CVideoMonitor::kModuleType, 50, 40, 550, 390);
        const QRect first(100, 100, 100, 50);
        const QRect second(300, 60, 60, 60);
        sendMask(*m_web, first, "menu", true);
        sendMask(*m_web, second, "dialog", true);
        QTRY_COMPARE(pageShowing(m_page.get(), first), 98 * 48);
        QCOMPARE(pageShowing(m_page.get(), first.adjusted(1, 1, -1, -1)), 98 * 48);
        QTRY_COMPARE(pageShowing(m_page.get(), second), 58 * 58);

        sendMask(*m_web, first, "menu", false);
        QTRY_COMPARE(pageShowing(m_page.get(), first), 0);
        QCOMPARE(pageShowing(m_page.get(), second), 58 * 58);
        sendMask(*m_web, second, "dialog", false);
        QTRY_COMPARE(pageShowing(m_page.get(), second), 0);
        QVERIFY(m_view->mask().isEmpty());
    }

    // Switching to the live view's menu twice makes one live view; after logging out the
    // next switch makes a new one.
    void oneLiveViewPerMenuSession()
    {
        TesmarClient client;
        client.onMenuChange("", "videoSurveillance");
        client.onMenuChange("videoSurveillance", "accessControl");
        client.onMenuChange("accessControl", "videoSurveillance");
        const QList<QVideoMonitor *> views = client.findChildren<QVideoMonitor *>();
        QCOMPARE(views.size(), 1);
        QPointer<QVideoMonitor> first = views.first();
        client.onLogout();
        QVERIFY(first.isNull());
        client.onMenuChange("videoSurveillance", "videoSurveillance");
        QCOMPARE(client.findChildren<QVideoMonitor *>().size(), 0); // the same path: no switch
        client.onMenuChange("accessControl", "videoSurveillance");
        QCOMPARE(client.findChildren<QVideoMonitor *>().size(), 1);
    }

private:
    std::unique_ptr<QWidget> m_page;
    QVideoMonitor *m_view = nullptr;
    std::unique_ptr<RecordingWebManager> m_web;
};

QTEST_MAIN(tst_VideoMonitor)
#include "tst_VideoMonitor.moc"
