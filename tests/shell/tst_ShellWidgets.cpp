// The shell widgets: delayed mask changes, the dimming overlay, the frameless helper and the
// global event hub.
#include "Common/CGlobalEvent.h"
#include "Common/FramelessHelper.h"
#include "CommonUI/QCustomWidget.h"
#include "CommonUI/QShadowWidget.h"
#include "SendMouse.h"

#include <QApplication>
#include <QtTest>

#include <future>
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

// A left-button drag from one global point to another.
void drag(QWidget *widget, const QPoint &from, const QPoint &to)
{
    sendMouse(widget, QEvent::MouseButtonPress, from);
    sendMouse(widget, QEvent::MouseMove, to);
    sendMouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A window without a cursor of its own shows the arrow.
constexpr int kNoCursor = Qt::ArrowCursor;

} // namespace

class tst_ShellWidgets : public QObject
{
    Q_OBJECT

private slots:
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
        QCOMPARE(shadow.grab().toImage().pixelColor(5, 5), QColor(0, 0, 0, 128));
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
        panel.setMinimumSize(120, 100);
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
        drag(&panel, QPoint(rightEdge - 3, frame.y() + 100),
             QPoint(rightEdge + 40, frame.y() + 100));
        QCOMPARE(panel.geometry(), QRect(QPoint(100, 100), QPoint(rightEdge + 40, 299)));

        // 5 pixels inside (and below the title) is the body: nothing changes.
        frame = panel.frameGeometry();
        drag(&panel, QPoint(frame.x() + frame.width() - 5, frame.y() + 100),
             QPoint(frame.x() + frame.width() + 60, frame.y() + 150));
        QCOMPARE(panel.frameGeometry(), frame);

        // The title area ends above local y 40.
        drag(&panel, panel.mapToGlobal(QPoint(150, 40)), panel.mapToGlobal(QPoint(180, 90)));
        QCOMPARE(panel.frameGeometry(), frame);
        drag(&panel, panel.mapToGlobal(QPoint(150, 39)), panel.mapToGlobal(QPoint(180, 89)));
        QCOMPARE(panel.frameGeometry(), frame.translated(30, 50));

        // Below the minimum width the moved side stays: dragging the left edge past the right.
        frame = panel.frameGeometry();
        drag(&panel, QPoint(frame.x() + 1, frame.y() + 100),
             QPoint(frame.right() - 50, frame.y() + 100));
        QCOMPARE(panel.frameGeometry().left(), frame.left());
        QCOMPARE(panel.frameGeometry().right(), frame.right());
    }

    void maximisedWidgetIsNotResized()
    {
        QWidget panel(nullptr, Qt::FramelessWindowHint);
        panel.setGeometry(300, 300, 200, 160);
        panel.showMaximized();
        QTRY_VERIFY(panel.isMaximized());
        FramelessHelper helper;
        helper.attachWidget(&panel);
        helper.setResizable(true);
        const QRect maximised = panel.frameGeometry();
        const QPoint edge(maximised.x() + maximised.width() - 1, maximised.center().y());
        sendMouse(&panel, QEvent::MouseMove, edge, Qt::NoButton);
        QCOMPARE(panel.cursor().shape(), kNoCursor);
        drag(&panel, edge, edge - QPoint(100, 0));
        QCOMPARE(panel.frameGeometry(), maximised);
    }

    void helperSurvivesItsWidget()
    {
        auto *panel = new QWidget;
        FramelessHelper helper;
        helper.attachWidget(panel);
        delete panel;
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
