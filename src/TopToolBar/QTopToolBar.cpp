#include "TopToolBar/QTopToolBar.h"

#include "CommonUI/QCustomWidget.h"
#include "TopToolBar/CTopToolBar.h"

#include <QMouseEvent>

QTopToolBar::QTopToolBar(QWidget *parent)
    : QWidget(parent)
    , m_controller(nullptr)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    setCursor(Qt::SizeAllCursor);
    setObjectName("QTopToolBar");
    QCustomWidget::applySkinStyleSheet(this);
    m_controller = new CTopToolBar(this);
}

QTopToolBar::~QTopToolBar()
{
    OnLoginStateChanged(false);
    delete m_controller;
}

void QTopToolBar::SetWebViewManager(Web::IWebViewManager *manager)
{
    m_controller->SetWebViewManager(manager);
}

void QTopToolBar::OnLoginStateChanged(bool loggedIn)
{
    if (!loggedIn)
        emit sgnLogout();
}

void QTopToolBar::OnSwitchMenu(const QString &oldPath, const QString &newPath)
{
    emit sgnMenuChange(oldPath, newPath);
}

void QTopToolBar::OnCloseMenu(const QString &path)
{
    emit sgnMenuClose(path);
}

void QTopToolBar::OnCloseApp()
{
    onClickCloseBtn();
}

void QTopToolBar::OnMinSize()
{
    onClickMinBtn();
}

void QTopToolBar::OnFullScreen(bool on)
{
    // The toggle below lands on the state the page asked for.
    m_fullScreen = !on;
    onClickFullScreen();
}

void QTopToolBar::onClickCloseBtn()
{
    emit sgnClose();
}

void QTopToolBar::onClickMinBtn()
{
    emit sgnMinSize();
}

void QTopToolBar::onClickFullScreen()
{
    m_fullScreen = !m_fullScreen;
    emit sgnFullScreen(m_fullScreen);
    m_controller->ReportFullScreen(m_fullScreen);
}

void QTopToolBar::mousePressEvent(QMouseEvent *event)
{
    m_dragging = true;
    m_lastPos = event->globalPos();
    QWidget::mousePressEvent(event);
}

void QTopToolBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void QTopToolBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    onClickFullScreen();
    QWidget::mouseDoubleClickEvent(event);
}

void QTopToolBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        // A maximised window stays where it is.
        if (m_fullScreen) {
            m_dragging = false;
        } else {
            emit sgnMove(event->globalPos() - m_lastPos);
            m_lastPos = event->globalPos();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void QTopToolBar::paintEvent(QPaintEvent *)
{
    QCustomWidget::paintStyledBackground(this);
}
