#include "KWTitleBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace KWGUI {

KWTitleBar::KWTitleBar(const QString &objectNamePrefix, const QString &title, bool closeButton,
                       QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(title, this))
{
    setObjectName(objectNamePrefix + "TitleBar");
    setAttribute(Qt::WA_StyledBackground);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(16, 6, 6, 6);
    m_title->setObjectName(objectNamePrefix + "Title");
    row->addWidget(m_title, 1);
    if (!closeButton)
        return;
    auto *close = new QPushButton(QStringLiteral("\u00D7"), this);
    close->setObjectName(objectNamePrefix + "CloseBtn");
    close->setToolTip(tr("Close"));
    close->setFocusPolicy(Qt::NoFocus);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &KWTitleBar::closeClicked);
    row->addWidget(close);
}

void KWTitleBar::setTitle(const QString &title)
{
    m_title->setText(title);
}

QString KWTitleBar::title() const
{
    return m_title->text();
}

// Frameless windows have no system title bar: this one moves the window.
void KWTitleBar::mousePressEvent(QMouseEvent *event)
{
    m_dragging = event->button() == Qt::LeftButton;
    m_dragOffset = event->globalPos() - window()->pos();
    QWidget::mousePressEvent(event);
}

void KWTitleBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        window()->move(event->globalPos() - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void KWTitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

} // namespace KWGUI
