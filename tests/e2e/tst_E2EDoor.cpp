// The remote door on the real page, with the client's main window in this process and
// orvane-sim as a process: a door station chosen on the access-control page plays in the door
// view, the page receives a JPEG of its camera and shows it, the door button opens that
// station's door through the platform but nothing for a channel the module did not open,
// device news and requests without a channel.
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "E2ESession.h"
#include "InProcessClient.h"
#include "LogText.h"
#include "RemoteDoor/CRemoteDoor.h"
#include "RemoteDoor/QRemoteDoor.h"
#include "TesmarClient.h"
#include "Web/CWebMsgFactory.h"
#include "Web/CWebView.h"
#include "Web/ChannelInfoMsg.h"

#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QJsonArray>
#include <QPushButton>
#include <QtTest>

#define STEP(done) QVERIFY2(done, qPrintable(m_error + "\n" + page().console().join('\n')))

class tst_E2EDoor : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    QString m_error;

    DevToolsClient &page() { return m_session.page(); }
    bool waitFor(const QString &condition, int timeoutMs = 15000)
    {
        return page().waitFor(condition, &m_error, timeoutMs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        STEP(m_session.startSim(&m_error));
        InProcessClient::pointAtSim(m_session);
        KPrintLog::instance()->SetFile("./log/e2e");
    }

    void doorPlaysSendsItsPictureAndOpens()
    {
        TesmarClient client;
        client.show();
        STEP(page().connectToPage(m_session.simUrl(), &m_error)
             && waitFor("window.__orvane && window.__orvane.ready")
             && m_session.logIn("demo", "demo123", &m_error)
             && page().click("#sidebar [data-menu=accessControl]", &m_error)
             && waitFor("document.querySelector('#door-list [data-device=DS0005E]')")
             && page().click("#door-list [data-device=DS0005E]", &m_error));

        // The picture reaches the page as a JPEG of the door camera, and the page shows it.
        STEP(waitFor("window.__orvane.notifications.some((n) => n.method === 'SendFileData')",
                     30000));
        const QJsonObject sent
            = page()
                  .evaluate("window.__orvane.notifications.find((n) => n.method === "
                            "'SendFileData').params")
                  .toObject();
        QCOMPARE(sent["DeviceId"].toString(), QString("DS0005E"));
        QCOMPARE(sent["ChannelId"].toInt(), 1);
        QVERIFY(
            !QImage::fromData(QByteArray::fromBase64(sent["fileData"].toString().toLatin1()), "JPG")
                 .isNull());
        STEP(waitFor("!document.querySelector('#door-picture').hidden"));

        // The door view lies over the page's frame; its button opens the door shown.
        auto *door = client.findChild<QRemoteDoor *>();
        QVERIFY(door && door->isVisible());
        door->play()->bar()->findChild<QPushButton *>("VB_OpenDoor")->click();
        STEP(waitFor("document.querySelector('#door-result').dataset.outcome === 'opened'"));
        const QJsonArray opened = m_session.simRequests("/gateway/device/door/openDoor");
        QCOMPARE(opened.size(), 1);
        QCOMPARE(QJsonDocument::fromJson(opened[0]["body"].toString().toUtf8()).object(),
                 QJsonObject({{"deviceId", "DS0005E"}, {"channelId", 1}}));

        // A channel the module did not open opens nothing.
        QSignalSpy notes(client.findChild<Web::CWebView *>(), &Web::CWebView::sgnRPCNotify);
        const QJsonObject camera {{"deviceID", "IPC0003C"}, {"channelID", 1}};
        door->play()->frame()->openVideo(0, Web::CWebMsgFactory::channel(camera));
        door->play()->bar()->findChild<QPushButton *>("VB_OpenDoor")->click();
        QVERIFY(logText().contains("door not opened: window 0 shows no channel of the door"));
        QVERIFY(std::none_of(notes.cbegin(), notes.cend(), [](const QList<QVariant> &note) {
            return note.first().toString().contains("RemoteOpenDoor");
        }));

        // News of another channel leave the window alone, "offline" closes it; a request without
        // a channel is refused.
        const auto deliver = [door](const auto &msg) { door->controller()->onRPCCall(msg.get()); };
        QJsonObject news {{"status", "delete"}, {"deviceID", "DS0005E"}, {"channelID", 2}};
        deliver(Web::CWebMsgFactory::deviceStatus("NotifyDeviceStatus", news));
        QVERIFY(door->play()->frame()->frame()->wnd(0)->getVideoState() != 0);
        news["status"] = "offline";
        deliver(Web::CWebMsgFactory::deviceStatus("NotifyDeviceStatus", news));
        QCOMPARE(door->play()->frame()->frame()->wnd(0)->getVideoState(), 0);
        deliver(Web::CWebMsgFactory::openVideo("OpenVideo", {{"module", 2}, {"channels", QJsonArray()}}));
        QVERIFY(logText().contains("OpenVideo for the door refused: no channel"));

        // Leaving the page closes the door's video.
        STEP(page().click("#sidebar [data-menu=videoSurveillance]", &m_error));
        QTRY_VERIFY(!door->isVisible());
    }

    void cleanupTestCase() { m_session.stop(); }
};

int main(int argc, char *argv[])
{
    return InProcessClient::run<tst_E2EDoor>(argc, argv);
}

#include "tst_E2EDoor.moc"
