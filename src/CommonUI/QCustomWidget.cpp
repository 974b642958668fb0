#include "CommonUI/QCustomWidget.h"

#include <KWGui/KWGlobal.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QStyleOption>
#include <QTimer>

namespace {

constexpr int kSetMaskDelayMs = 300;
constexpr int kClearMaskDelayMs = 180;

} // namespace

QCustomWidget::QCustomWidget(QWidget *parent)
    : QWidget(parent)
{ }

void QCustomWidget::SetMask(const QRegion &region, bool immediately)
{
    m_mask = region;
    if (immediately)
        onSetMaskTimeOut();
    else
        QTimer::singleShot(kSetMaskDelayMs, this, &QCustomWidget::onSetMaskTimeOut);
}

void QCustomWidget::ClearMask()
{
    QTimer::singleShot(kClearMaskDelayMs, this, &QCustomWidget::onClearMaskTimeOut);
}

void QCustomWidget::onSetMaskTimeOut()
{
    setMask(m_mask);
    hide();
    show();
}

void QCustomWidget::onClearMaskTimeOut()
{
    clearMask();
}

void QCustomWidget::paintStyledBackground(QWidget *widget)
{
    QStyleOption option;
    option.initFrom(widget);
    QPainter painter(widget);
    widget->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, widget);
}

void QCustomWidget::applySkinStyleSheet(QWidget *widget)
{
    QFile style(QDir::currentPath() + "/Skin/" + KWGUI::GetSkinVersion() + "/"
                + widget->objectName() + ".qss");
    if (style.open(QIODevice::ReadOnly))
        widget->setStyleSheet(QString::fromLatin1(style.readAll()));
}

QBitmap QCustomWidget::roundedMask(const QSize &size, int radius)
{
    QBitmap bitmap(size);
    bitmap.fill(Qt::color0);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(bitmap.rect(), radius, radius);
    return bitmap;
}

void QCustomWidget::paintEvent(QPaintEvent *)
{
    paintStyledBackground(this);
}
