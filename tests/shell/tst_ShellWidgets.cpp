// The shell's parts headless: delayed mask changes, the dimming overlay, the frameless helper,
// the tool bar strip and the notification hub with a recorder in place of the browser, and the
// global event hub. (The page's requests through them: tst_E2EShell.)
#include "CPublicManager.h"
#include "Common/CGlobalEvent.h"
#include "Common/FramelessHelper.h"
#include "CommonUI/QCustomWidget.h"
#include "CommonUI/QShadowWidget.h"
#include "LogText.h"
#include "RecordingWebManager.h"
#include "SendMouse.h"
#include "Toasts.h"
#include "TopToolBar/CTopToolBar.h"
#include "TopToolBar/QTopToolBar.h"
#include "Web/FullScreenMsg.h"
#include "Web/MessageNotifyMsg.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QDialog>
#include <QtTest>

#include <future>
#include <memory>
#include <vector>

using Common::FramelessHelper;

namespace {

// Records which mask change ran, in order.
class JournalWidget : public QCustomWidget
{
public:
    QStringList journal;

    void onSetMaskTimeOut() override
    {
        journal << "set";
        QCustomWidget::onSetMaskTimeOut();
    }
    void onClearMaskTimeOut() override
    {
        journal << "clear";
        QCustomWidget::onClearMaskTimeOut();
    }
};

void sendMessage(RecordingWebManager &web, const QString &content, const QString &id)
{
    Web::MessageNotifyMsg msg("MessageNotify");
    msg.content = content;
    msg.messageID = id;
    msg.messageType = 4;
    web.dispatch(&msg);
}

} // namespace

class tst_ShellWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        KPrintLog::instance()->SetFile("./log/shell");
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->StartMessageProcess();
    }

    void cleanup() { closeToasts(); }

    void laterOfSetAndClearMaskWins()
    {
        const QRegion region(10, 10, 40, 30);

        // Cleared right after a delayed set: the clear (180 ms) runs first, the set wins.
        JournalWidget early;
        early.SetMask(region, false);
        QVERIFY(early.mask().isEmpty());
        early.ClearMask();
        QTRY_COMPARE(early.journal, QStringList({"clear", "set"}));
        QCOMPARE(early.mask(), region);

        // Cleared half-way through the set's delay: the clear runs last and wins.
        JournalWidget late;
        late.SetMask(region, false);
        QTimer::singleShot(150, &late, [&late] { late.ClearMask(); });
        QTRY_COMPARE(late.journal, QStringList({"set", "clear"}));
        QVERIFY(late.mask().isEmpty());

        JournalWidget now;
        now.SetMask(region, true);
        QCOMPARE(now.mask(), region); // before the call returns
    }

    void shadowWidgetHolesAndVisibility()
    {
        QShadowWidget shadow(128);
        shadow.resize(400, 300);
        const QRegion whole(0, 0, 400, 300);
        const QRect dialog(20, 30, 100, 50), toast(200, 200, 60, 40);

        // A new hole shows at once, one pixel inside the page's rectangle.
        shadow.UpdateShadow(dialog, "dialog", true, true);
        QVERIFY(shadow.isVisible());

        // A second, unshaded one: still dimmed because the first asks for it.
        shadow.UpdateShadow(toast, "toast", true, false);
        QVERIFY(shadow.isVisible());

        // The same name again replaces its hole rather than adding one.
        shadow.UpdateShadow(dialog.translated(0, 100), "dialog", true, true);
        QCOMPARE(shadow.mask(), whole.xored(QRegion(21, 131, 98, 48) + QRect(201, 201, 58, 38)));

        // Closing the shaded one: the change waits, then the overlay keeps the unshaded hole
        // but hides, as nothing asks for dimming any more.
        shadow.UpdateShadow(dialog, "dialog", false, true);
        QVERIFY(shadow.isVisible());
        QTRY_VERIFY(!shadow.isVisible());
        QCOMPARE(shadow.mask(), whole.xored(QRect(201, 201, 58, 38)));

        // The last hole gone: the mask is cleared, and the overlay stays hidden.
        shadow.UpdateShadow(toast, "toast", false, false);
        QTRY_VERIFY(shadow.mask().isEmpty());
    }

    void framelessHelperResizesByTheEdgesAndMovesByTheTitle()
    {
        QWidget panel(nullptr, Qt::FramelessWindowHint);
        panel.setGeometry(100, 100, 300, 200);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        FramelessHelper helper;
        helper.attachWidget(&panel);
        helper.attachWidget(&panel); // watched once: one drag resizes once
        helper.setMovable(true);
        helper.setResizable(true);
        helper.setTitleHeight(40);
        helper.setBorderWidth(0); // leaves the default of 4

        // 3 pixels inside the right edge grips it; the right side follows the cursor.
        QRect frame = panel.frameGeometry();
        const int rightEdge = frame.x() + frame.width();
        dragMouse(&panel, QPoint(rightEdge - 3, frame.y() + 100),
                  QPoint(rightEdge + 40, frame.y() + 100));
        QCOMPARE(panel.geometry(), QRect(QPoint(100, 100), QPoint(rightEdge + 40, 299)));

        // The title area moves the window.
        frame = panel.frameGeometry();
        dragMouse(&panel, panel.mapToGlobal(QPoint(150, 39)), panel.mapToGlobal(QPoint(180, 89)));
        QCOMPARE(panel.frameGeometry(), frame.translated(30, 50));

        // The helper outlives a widget it watches.
        auto *gone = new QWidget;
        helper.attachWidget(gone);
        delete gone;
    }

    // The strip moves the window by a drag unless it is maximised; it leaves the page when it
    // goes, which counts as a logout.
    void stripDragsAndLeavesThePage()
    {
        RecordingWebManager web;
        auto bar = std::make_unique<QTopToolBar>(nullptr);
        bar->SetWebViewManager(nullptr); // ignored
        bar->SetWebViewManager(&web);
        bar->setGeometry(0, 0, 400, 25);
        bar->show();
        QSignalSpy moves(bar.get(), &QTopToolBar::sgnMove);
        const auto maximised = [&web](bool on) {
            Web::FullScreenMsg msg("FullScreen");
            msg.bFullScreen = on;
            web.dispatch(&msg);
        };

        sendMouse(bar.get(), QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
        sendMouse(bar.get(), QEvent::MouseMove, {130, 5}, Qt::LeftButton);
        sendMouse(bar.get(), QEvent::MouseMove, {135, 25}, Qt::LeftButton);
        sendMouse(bar.get(), QEvent::MouseMove, {150, 25}, Qt::NoButton); // button no longer held
        sendMouse(bar.get(), QEvent::MouseButtonRelease, {150, 25}, Qt::NoButton);
        sendMouse(bar.get(), QEvent::MouseMove, {170, 25},
                  Qt::LeftButton); // not pressed on the strip
        QCOMPARE(moves.size(), 2);
        QCOMPARE(moves.at(0).at(0).toPoint(), QPoint(30, -5));
        QCOMPARE(moves.at(1).at(0).toPoint(), QPoint(5, 20));

        // Maximised: the drag ends at the first move, also after the window is restored.
        maximised(true);
        sendMouse(bar.get(), QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
        sendMouse(bar.get(), QEvent::MouseMove, {160, 10}, Qt::LeftButton);
        maximised(false);
        sendMouse(bar.get(), QEvent::MouseMove, {190, 10}, Qt::LeftButton);
        QCOMPARE(moves.size(), 2);

        CTopToolBar *controller = bar->controller();
        QVERIFY(!web.methodsOf(controller).isEmpty());
        QSignalSpy logout(bar.get(), &QTopToolBar::sgnLogout);
        bar.reset();
        QCOMPARE(logout.size(), 1);
        QVERIFY(web.methodsOf(controller).isEmpty());
    }

    // An alarm's click answers the page with its id; the eleventh alarm rolls the first one's
    // record out.
    void alarmsBecomeToasts()
    {
        RecordingWebManager web;
        auto hub = std::make_unique<CPublicManager>();
        hub->SetWebViewManager(&web);
        QSignalSpy activate(hub.get(), &CPublicManager::sgnActivateMainWindow);
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
        CPublicManager *gone = hub.get();
        hub.reset(); // leaves the page when destroyed
        QVERIFY(web.methodsOf(gone).isEmpty());
    }

    void clickUnderAModalDialogIsDropped()
    {
        RecordingWebManager web;
        CPublicManager hub;
        hub.SetWebViewManager(&web);
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

    void globalEventHubIsOneObjectForEveryThread()
    {
        // No hub yet: the threads race to make it.
        KSingleton<Common::CGlobalEvent, KSingletonEnd::Never>::Reset();
        std::vector<std::future<Common::CGlobalEvent *>> callers;
        for (int i = 0; i < 8; ++i)
            callers.push_back(std::async(std::launch::async, &Common::CGlobalEvent::Instance));
        for (auto &caller : callers)
            QCOMPARE(caller.get(), Common::CGlobalEvent::Instance());
    }
};

QTEST_MAIN(tst_ShellWidgets)
#include "tst_ShellWidgets.moc"
