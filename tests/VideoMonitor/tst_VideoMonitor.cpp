// The live view on a screen, fed the page's requests as the message factory parses them: only
// its own module's, its place from the page's rectangle, dialogs cut out of the video by name,
// what the page is told, and the main window making one live view per menu session.
// The media test helpers switch Qt's keywords off for GLib; the client's headers use them.
#undef QT_NO_KEYWORDS
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
#include "VideoProbe.h"
#include "Web/CWebMsgFactory.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/MaskMsg.h"
#include "Web/WndRectMsg.h"

#include <QJsonDocument>
#include <QtTest>

using Web::CWebMsgFactory;

class tst_VideoMonitor : public QObject
{
    Q_OBJECT

    // A request as the page sends it, through the message factory.
    template<typename Make> void send(Make make, const char *method, const char *params)
    {
        m_web->dispatch(make(method, QJsonDocument::fromJson(params).object()).get());
    }
    void setMask(const QRect &r, const char *name, bool show)
    {
        const char *format = R"({"module":1,"left":%d,"top":%d,"width":%d,"height":%d,)"
                             R"("name":"%s","show":%s,"shade":false})";
        send(CWebMsgFactory::mask, "SetMask",
             qPrintable(QString::asprintf(format, r.left(), r.top(), r.width(), r.height(), name,
                                          show ? "true" : "false")));
    }
    // Pixels of area (parent's coordinates) where the red page under the video shows through,
    // as Qt draws it (the shared screen may be covered by other tests' windows).
    int pageShowing(const QRect &area) const
    {
        const QImage shot = m_page->grab().toImage();
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                count += shot.pixelColor(x, y) == Qt::red;
        }
        return count;
    }

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
    // requests are not ours; an empty window's selection is not told (device status:
    // tst_E2ELiveView).
    void requestsOfItsModule()
    {
        QCOMPARE(m_web->methodsOf(m_view->monitor()).size(), 5);
        send(CWebMsgFactory::wndRect, "SetWndRect", R"({"module":2,"right":300,"bottom":300})");
        QVERIFY(m_view->isHidden());
        send(CWebMsgFactory::wndRect, "SetWndRect",
             R"({"module":1,"left":10.7,"top":5.9,"right":110.2,"bottom":55.1})");
        QCOMPARE(m_view->geometry(), QRect(10, 5, 100, 50));
        QVERIFY(m_view->isVisible());
        QCOMPARE(m_view->recordVideoPlay()->geometry(), QRect(0, 0, 100, 50));

        QVideoFrame *frame = m_view->recordVideoPlay()->frame();
        send(CWebMsgFactory::openVideo, "OpenVideo",
             R"({"module":3,"channels":[{"deviceID":"NVR-T1","channelID":1}]})");
        send(CWebMsgFactory::openVideo, "OpenVideo",
             R"({"module":1,"channels":[{"deviceID":"NVR-T1","channelID":1}]})");
        QCOMPARE(frame->wndInfo(0).channel.deviceID, QString("NVR-T1"));
        QVERIFY(frame->wndInfo(0).channel.bHasChannel);
        QVERIFY(frame->wndInfo(1).channel.deviceID.isEmpty()); // module 3 opened nothing
        QTRY_VERIFY_WITH_TIMEOUT(m_web->notifications.contains("VideoStatusChanged"),
                                 VideoProbe::scaled(15000));
        QCOMPARE(m_web->notifications.count("PlayWndSelected"), 0);
        frame->select(0);
        QCOMPARE(m_web->notifications.count("PlayWndSelected"), 1);
    }

    // Each named dialog is cut out one pixel inside its rectangle until it is hidden.
    void masksCutDialogsOut()
    {
        send(CWebMsgFactory::wndRect, "SetWndRect",
             R"({"module":1,"left":50,"top":40,"right":550,"bottom":390})");
        const QRect first(100, 100, 100, 50);
        const QRect second(300, 60, 60, 60);
        setMask(first, "menu", true);
        setMask(second, "dialog", true);
        QTRY_COMPARE(pageShowing(first.adjusted(1, 1, -1, -1)), 98 * 48);
        QCOMPARE(pageShowing(second), 58 * 58);
        setMask(first, "menu", false);
        QTRY_COMPARE(pageShowing(first), 0);
        QCOMPARE(pageShowing(second), 58 * 58);
        setMask(second, "dialog", false);
        QTRY_COMPARE(pageShowing(second), 0);
        QVERIFY(m_view->mask().isEmpty());
        setMask(first, "menu", true);
        setMask(second, "dialog", true);
        setMask(first, "menu", false); // takes effect later, after another menu hid the view
        m_view->hide();
        QTest::qWait(400);
        QVERIFY(m_view->isHidden());
    }

    // Switching to the live view's menu twice makes one live view; after logging out the next
    // switch makes a new one.
    void oneLiveViewPerMenuSession()
    {
        TesmarClient client;
        client.onMenuChange("", "videoSurveillance");
        client.onMenuChange("videoSurveillance", "accessControl");
        client.onMenuChange("accessControl", "videoSurveillance");
        QCOMPARE(client.findChildren<QVideoMonitor *>().size(), 1);
        QPointer<QVideoMonitor> first = client.findChild<QVideoMonitor *>();
        client.onLogout();
        QVERIFY(first.isNull());
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
