// The tool bar strip and its controller with a recorder in place of the browser.
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "RecordingWebManager.h"
#include "TopToolBar/CTopToolBar.h"
#include "TopToolBar/QTopToolBar.h"
#include "Web/FullScreenMsg.h"
#include "Web/MenuMsg.h"

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

void sendMenu(RecordingWebManager &web, const QString &method, const QString &path)
{
    Web::MenuMsg msg(method);
    msg.menuPath = path;
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

    void menuAndWindowRequestsBecomeSignals()
    {
        RecordingWebManager &web = *m_web;
        QTopToolBar &bar = *m_bar;
        QSignalSpy menuChange(&bar, &QTopToolBar::sgnMenuChange);
        QSignalSpy menuClose(&bar, &QTopToolBar::sgnMenuClose);
        QSignalSpy minSize(&bar, &QTopToolBar::sgnMinSize);
        QSignalSpy close(&bar, &QTopToolBar::sgnClose);
        QSignalSpy logout(&bar, &QTopToolBar::sgnLogout);

        // The first switch comes from no menu; closing a menu does not change the current one.
        sendMenu(web, "NotifySwitchMenu", "videoSurveillance");
        sendMenu(web, "NotifySwitchMenu", "accessControl");
        sendMenu(web, "CloseMenu", "accessControl");
        sendMenu(web, "NotifySwitchMenu", "messageCenter");
        QCOMPARE(menuChange.size(), 3);
        QCOMPARE(menuChange.at(0), QVariantList({"", "videoSurveillance"}));
        QCOMPARE(menuChange.at(2), QVariantList({"accessControl", "messageCenter"}));
        QCOMPARE(menuClose.at(0).at(0).toString(), QString("accessControl"));

        sendRequest(web, "MinSize");
        sendRequest(web, "CloseApp");
        QCOMPARE(minSize.size(), 1);
        QCOMPARE(close.size(), 1);
        CBaseInfo::Instance().setLogin(false); // as the queue leaves it after a logout
        sendRequest(web, "NotifyLoginOut");
        QCOMPARE(logout.size(), 1);
        QVERIFY(web.notifications.isEmpty());
    }

    void fullScreenIsEchoedToThePage()
    {
        RecordingWebManager &web = *m_web;
        QTopToolBar &bar = *m_bar;
        QSignalSpy fullScreen(&bar, &QTopToolBar::sgnFullScreen);

        // A request lands on the asked state, also when asked twice; a double click toggles.
        sendFullScreen(web, true);
        sendFullScreen(web, true);
        QTest::mouseDClick(&bar, Qt::LeftButton);
        QTest::mouseDClick(&bar, Qt::LeftButton);
        QCOMPARE(web.notifications,
                 QStringList({"FullScreen:true", "FullScreen:true", "FullScreen:false",
                              "FullScreen:true"}));
        QCOMPARE(fullScreen.size(), 4);
        QCOMPARE(fullScreen.at(2).at(0).toBool(), false);
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
