// The notification hub with the real notifier: notices and alarms become toasts, and a click on
// an alarm answers the page.
#include "CPublicManager.h"
#include "LogText.h"
#include "RecordingWebManager.h"
#include "Toasts.h"
#include "Web/MessageNotifyMsg.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QDialog>
#include <QtTest>

namespace {

void sendMessage(RecordingWebManager &web, const QString &content, const QString &id)
{
    Web::MessageNotifyMsg msg("MessageNotify");
    msg.content = content;
    msg.messageID = id;
    msg.messageType = 4;
    web.dispatch(&msg);
}

} // namespace

class tst_PublicManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        KPrintLog::instance()->SetFile("./log/hub");
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->StartMessageProcess();
    }

    void init()
    {
        m_web = std::make_unique<RecordingWebManager>();
        m_hub = std::make_unique<CPublicManager>();
        m_hub->SetWebViewManager(m_web.get());
    }

    void cleanup()
    {
        m_hub.reset();
        closeToasts();
    }

    // Alarms with text become toasts (text notices: tst_E2EShell); an alarm's click answers the
    // page with its id, and the eleventh alarm rolls the first one's record out.
    void alarmsBecomeToasts()
    {
        RecordingWebManager &web = *m_web;
        CPublicManager *hub = m_hub.get();
        QSignalSpy activate(hub, &CPublicManager::sgnActivateMainWindow);
        // Messages without text show nothing but take their places among the ten.
        sendMessage(web, "Market Square, Entrance: Motion", "first");
        for (int i = 2; i <= CPublicManager::kMaxPendingLinks; ++i)
            sendMessage(web, "", QString("quiet-%1").arg(i));
        sendMessage(web, "Market Square, Till: Door opened", "eleventh");
        QTRY_COMPARE(shownToasts("link").size(), 2);
        QVERIFY(web.notifications.isEmpty());

        QTest::mouseClick(toastShowing("Market Square, Entrance: Motion"), Qt::LeftButton);
        QTest::mouseClick(toastShowing("Market Square, Till: Door opened"), Qt::LeftButton);
        QCOMPARE(web.notifications,
                 QStringList({"ReplyMessageNotify:", "ReplyMessageNotify:eleventh"}));
        QCOMPARE(activate.size(), 2);
        m_hub.reset(); // leaves the page when destroyed
        QVERIFY(web.methodsOf(hub).isEmpty());
    }

    void clickUnderAModalDialogIsDropped()
    {
        RecordingWebManager &web = *m_web;
        CPublicManager &hub = *m_hub;
        QSignalSpy activate(&hub, &CPublicManager::sgnActivateMainWindow);
        sendMessage(web, "Harbour Street, Till: Door opened", "m-7");
        QTRY_VERIFY(toastShowing("Harbour Street, Till: Door opened"));

        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        QTRY_VERIFY(QApplication::activeModalWidget());
        QTest::mouseClick(toastShowing("Harbour Street, Till: Door opened"), Qt::LeftButton);
        QCOMPARE(activate.size(), 0);
        QVERIFY(logText().contains(
            "CPublicManager####onReplyWebMessageNotifyClick: have another activeModalWidget"));
    }

private:
    std::unique_ptr<RecordingWebManager> m_web;
    std::unique_ptr<CPublicManager> m_hub;
};

QTEST_MAIN(tst_PublicManager)
#include "tst_PublicManager.moc"
