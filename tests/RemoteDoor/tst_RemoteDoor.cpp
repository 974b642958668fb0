// The remote door against the simulated devices: the door button, device news and requests it
// refuses (tests/e2e/tst_E2EDoor shows the door on the real page).
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "LogText.h"
#include "RecordingWebManager.h"
#include "RemoteDoor/CRemoteDoor.h"
#include "RemoteDoor/QRemoteDoor.h"
#include "VideoClientOnSim.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/CWebMsgFactory.h"
#include "Web/WndRectMsg.h"

#include "SimHarness.h"

#include <QJsonArray>
#include <QPushButton>
#include <QtTest>

namespace {

QJsonObject channel(int id)
{
    return {{"deviceID", SimHarness::kRecorder}, {"channelID", id}, {"shopCode", "S003"}};
}

} // namespace

class tst_RemoteDoor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        KPrintLog::instance()->SetFile("./log/test");
        QVERIFY(m_sim.start());
        QVERIFY(connectVideoClient(m_sim.httpPort(), SimHarness::kToken));
    }

    void init()
    {
        m_door.reset(); // it still talks to the last page
        m_page = std::make_unique<RecordingWebManager>();
        m_door = std::make_unique<QRemoteDoor>();
        m_door->setWebViewManager(m_page.get());
        using Web::CWebMsgFactory;
        call(CWebMsgFactory::wndRect("SetWndRect", {{"module", 2}, {"left", 10}, {"top", 10},
                                                   {"right", 490}, {"bottom", 330}}));
    }

    // Only a channel this module opened opens the door.
    void doorButtonOpensOnlyOwnChannels()
    {
        auto *button = m_door->play()->bar()->findChild<QPushButton *>("VB_OpenDoor");
        QVERIFY(button && button->isVisible());
        ChannelInfo_t foreign = Web::CWebMsgFactory::channel(channel(1));
        m_door->play()->frame()->openVideo(0, foreign);
        button->click();
        QVERIFY(!m_page->notifications.contains("RemoteOpenDoor"));
        QVERIFY(logText().contains("door not opened: window 0 shows no channel of the door"));

        // Of two channels the first plays.
        open(QJsonArray {channel(1), channel(3)});
        QCOMPARE(m_door->geometry(), QRect(10, 10, 480, 320));
        QCOMPARE(m_door->play()->frame()->wndInfo(0).channel.channelID, 1);
        button->click();
        QCOMPARE(m_page->notifications.count("RemoteOpenDoor"), 1);
    }

    void deviceNews_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("channelId");
        QTest::addColumn<bool>("closes");
        QTest::newRow("offline") << "offline" << 9 << true;
        QTest::newRow("delete of the channel") << "delete" << 2 << true;
        QTest::newRow("delete of another channel") << "delete" << 3 << false;
        QTest::newRow("other news") << "online" << 2 << false;
    }

    void deviceNews()
    {
        QFETCH(QString, status);
        QFETCH(int, channelId);
        QFETCH(bool, closes);
        open(QJsonArray {channel(2)});
        QJsonObject news = channel(channelId);
        news.insert("status", status);
        call(Web::CWebMsgFactory::deviceStatus("NotifyDeviceStatus", news));
        QCOMPARE(!plays(), closes);
    }

    // Requests without a channel or for another module change nothing.
    void badRequestsAreRefused()
    {
        open(QJsonArray {});
        QVERIFY(logText().contains("OpenVideo for the door refused: no channel"));
        call(Web::CWebMsgFactory::openVideo("OpenVideo",
                                            {{"module", 1}, {"channels", QJsonArray {channel(2)}}}));
        call(Web::CWebMsgFactory::closeVideo("CloseVideo", {{"module", 2}}));
        QVERIFY(!plays());
        QVERIFY(!m_door->isVisible());
    }

private:
    template<typename Msg> void call(const KRefPtr<Msg> &msg) { m_page->dispatch(msg.get()); }

    // The door window has a stream, opening or playing.
    bool plays() const { return m_door->play()->frame()->frame()->wnd(0)->getVideoState() != 0; }

    void open(const QJsonArray &channels)
    {
        call(Web::CWebMsgFactory::openVideo("OpenVideo", {{"module", 2}, {"channels", channels}}));
    }

    SimHarness m_sim;
    std::unique_ptr<RecordingWebManager> m_page;
    std::unique_ptr<QRemoteDoor> m_door;
};

QTEST_MAIN(tst_RemoteDoor)
#include "tst_RemoteDoor.moc"
