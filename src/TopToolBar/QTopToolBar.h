#pragma once

#include "TopToolBar/ITopToolBarListener.h"

#include <QPoint>
#include <QWidget>

class CTopToolBar;

namespace Web {
class IWebViewManager;
}

// The thin strip over the main window's top edge: drags move the frameless window, a double
// click toggles full screen, and the page's login, menu and window requests come out as signals
// for the main window. Its look comes only from its style sheet.
class QTopToolBar : public QWidget, public ITopToolBarListener
{
    Q_OBJECT

public:
    explicit QTopToolBar(QWidget *parent);
    ~QTopToolBar() override;

    // Gives the controller the web view, whose requests it then receives.
    void SetWebViewManager(Web::IWebViewManager *manager);
    CTopToolBar *controller() const { return m_controller; }

    void OnLoginStateChanged(bool loggedIn) override;
    void OnSwitchMenu(const QString &oldPath, const QString &newPath) override;
    void OnCloseMenu(const QString &path) override;
    void OnCloseApp() override;
    void OnMinSize() override;
    void OnFullScreen(bool on) override;

signals:
    void sgnFullScreen(bool bEnable);
    void sgnMinSize();
    void sgnClose();
    void sgnMove(QPoint delta);
    void sgnMenuChange(QString oldPath, QString newPath);
    void sgnMenuClose(QString path);
    void sgnHelp();
    void sgnLogout();

public slots:
    void onClickCloseBtn();
    void onClickMinBtn();
    // Toggles full screen and tells the main window and the page.
    void onClickFullScreen();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_fullScreen = false;
    bool m_dragging = false;
    QPoint m_lastPos; // global
    CTopToolBar *m_controller;
};
