// The tool bar strip and its controller with a recorder in place of the browser.
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "RecordingWebManager.h"
#include "TopToolBar/CTopToolBar.h"
#include "TopToolBar/QTopToolBar.h"
#include "Web/FullScreenMsg.h"

#include <SimServer.h>

#include <QtTest>

#include <memory>

using ConfigInfo::CBaseInfo;

namespace {

void sendRequest(RecordingWebManager &web, const QString &method)
{
    Web::CWebBaseMsg msg(method);
    web.dispatch(&msg);
}

void sendFullScreen(RecordingWebManager &web, bool on)
{
    Web::FullScreenMsg msg("FullScreen");
    msg.bFullScreen = on;
    web.dispatch(&msg);
}

void mouse(QWidget *widget, QEvent::Type type, const QPoint &global, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class tst_TopToolBar : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_web = std::make_unique<RecordingWebManager>();
        m_bar = std::make_unique<QTopToolBar>(nullptr);
        m_bar->SetWebViewManager(m_web.get());
    }

    void cleanup() { m_bar.reset(); }

    void listensToThePageAndLeavesWhenDestroyed()
    {
        RecordingWebManager web;
        auto *bar = new QTopToolBar(nullptr);
        bar->SetWebViewManager(nullptr); // ignored
        QVERIFY(web.methodsOf(bar->controller()).isEmpty());
        bar->SetWebViewManager(&web);
        CTopToolBar *controller = bar->controller();
        QCOMPARE(web.methodsOf(controller),
                 QStringList({"NotifyLoginSucc", "UserInfoModify", "NotifySwitchMenu", "CloseMenu",
                              "NotifyLoginOut", "CloseApp", "MinSize", "FullScreen"}));

        // Going away counts as a logout, and the page no longer reaches it.
        QSignalSpy logout(bar, &QTopToolBar::sgnLogout);
        delete bar;
        QCOMPARE(logout.size(), 1);
        QVERIFY(web.methodsOf(controller).isEmpty());
    }

    void draggingMovesUnlessMaximised()
    {
        RecordingWebManager &web = *m_web;
        QTopToolBar &bar = *m_bar;
        bar.setGeometry(0, 0, 400, 25);
        bar.show();
        QSignalSpy moves(&bar, &QTopToolBar::sgnMove);

        mouse(&bar, QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
        mouse(&bar, QEvent::MouseMove, {130, 5}, Qt::LeftButton);
        mouse(&bar, QEvent::MouseMove, {135, 25}, Qt::LeftButton);
        mouse(&bar, QEvent::MouseMove, {150, 25}, Qt::NoButton); // button no longer held
        mouse(&bar, QEvent::MouseButtonRelease, {150, 25}, Qt::NoButton);
        mouse(&bar, QEvent::MouseMove, {170, 25}, Qt::LeftButton); // not pressed on the strip
        QCOMPARE(moves.size(), 2);
        QCOMPARE(moves.at(0).at(0).toPoint(), QPoint(30, -5));
        QCOMPARE(moves.at(1).at(0).toPoint(), QPoint(5, 20));

        // Maximised: the drag ends at the first move, also after the window is restored.
        sendFullScreen(web, true);
        mouse(&bar, QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
        mouse(&bar, QEvent::MouseMove, {160, 10}, Qt::LeftButton);
        sendFullScreen(web, false);
        mouse(&bar, QEvent::MouseMove, {190, 10}, Qt::LeftButton);
        QCOMPARE(moves.size(), 2);
    }

    void loginAsksForTheDevicePlatformToken()
    {
        SimServer sim;
        QString error;
        QVERIFY2(sim.start({0, 0, false, {}}, &error), qPrintable(error));
        ConfigInfo::CLocalCfg::Instance().SetPlatformUrl(sim.httpUrl());
        const QString userToken = sim.login("demo", "demo123");
        ConfigInfo::UserInfo user;
        user.userName = "demo";
        user.token = userToken;
        // What the queue stores before it posts the login.
        CBaseInfo::Instance().setUserInfo(user);
        CBaseInfo::Instance().setLogin(true);
        RecordingWebManager &web = *m_web;
        QTopToolBar &bar = *m_bar;
        QSignalSpy token(&CBaseInfo::Instance(), &CBaseInfo::sgnVeltTokenChanged);
        sendRequest(web, "NotifyLoginSucc");
        QTRY_COMPARE(token.size(), 1);
        const QList<SimRequest> asked = sim.requestLog().requests(GatewayRoutes::tokenPath);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().bearerToken(), userToken);

        // A changed user record is taken over.
        user.userName = "demo (night shift)";
        CBaseInfo::Instance().setUserInfo(user);
        sendRequest(web, "UserInfoModify");
        QCOMPARE(bar.controller()->userInfo().userName, QString("demo (night shift)"));
    }

private:
    std::unique_ptr<RecordingWebManager> m_web;
    std::unique_ptr<QTopToolBar> m_bar;
};

QTEST_MAIN(tst_TopToolBar)
#include "tst_TopToolBar.moc"
