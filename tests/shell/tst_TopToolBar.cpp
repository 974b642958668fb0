// The tool bar strip and its controller with a recorder in place of the browser; the page's
// requests through the strip are driven end to end (tst_E2EShell, tst_E2EClient).
#include "RecordingWebManager.h"
#include "SendMouse.h"
#include "TopToolBar/CTopToolBar.h"
#include "TopToolBar/QTopToolBar.h"
#include "Web/FullScreenMsg.h"

#include <QtTest>

namespace {

void sendFullScreen(RecordingWebManager &web, bool on)
{
    Web::FullScreenMsg msg("FullScreen");
    msg.bFullScreen = on;
    web.dispatch(&msg);
}

} // namespace

class tst_TopToolBar : public QObject
{
    Q_OBJECT

private slots:
    void leavesThePageWhenDestroyed()
    {
        RecordingWebManager web;
        auto *bar = new QTopToolBar(nullptr);
        bar->SetWebViewManager(nullptr); // ignored
        bar->SetWebViewManager(&web);
        CTopToolBar *controller = bar->controller();
        QVERIFY(!web.methodsOf(controller).isEmpty());

        // Going away counts as a logout, and the page no longer reaches it.
        QSignalSpy logout(bar, &QTopToolBar::sgnLogout);
        delete bar;
        QCOMPARE(logout.size(), 1);
        QVERIFY(web.methodsOf(controller).isEmpty());
    }

    void draggingMovesUnlessMaximised()
    {
        RecordingWebManager web;
        QTopToolBar bar(nullptr);
        bar.SetWebViewManager(&web);
        bar.setGeometry(0, 0, 400, 25);
        bar.show();
        QSignalSpy moves(&bar, &QTopToolBar::sgnMove);

        sendMouse(&bar, QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
        sendMouse(&bar, QEvent::MouseMove, {130, 5}, Qt::LeftButton);
        sendMouse(&bar, QEvent::MouseMove, {135, 25}, Qt::LeftButton);
        sendMouse(&bar, QEvent::MouseMove, {150, 25}, Qt::NoButton); // button no longer held
        sendMouse(&bar, QEvent::MouseButtonRelease, {150, 25}, Qt::NoButton);
        sendMouse(&bar, QEvent::MouseMove, {170, 25}, Qt::LeftButton); // not pressed on the strip
        QCOMPARE(moves.size(), 2);
        QCOMPARE(moves.at(0).at(0).toPoint(), QPoint(30, -5));
        QCOMPARE(moves.at(1).at(0).toPoint(), QPoint(5, 20));

        // Maximised: the drag ends at the first move, also after the window is restored.
        sendFullScreen(web, true);
        sendMouse(&bar, QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
        sendMouse(&bar, QEvent::MouseMove, {160, 10}, Qt::LeftButton);
        sendFullScreen(web, false);
        sendMouse(&bar, QEvent::MouseMove, {190, 10}, Qt::LeftButton);
        QCOMPARE(moves.size(), 2);
    }
};

QTEST_MAIN(tst_TopToolBar)
#include "tst_TopToolBar.moc"
