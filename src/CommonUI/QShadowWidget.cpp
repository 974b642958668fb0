#include "CommonUI/QShadowWidget.h"

#include <QRegion>

QShadowWidget::QShadowWidget(double alpha, QWidget *parent)
    : QCustomWidget(parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QString("QWidget{background-color: rgb(00, 00, 00, %1);}").arg(alpha));
}

void QShadowWidget::UpdateShadow(const QRect &hole, const QString &name, bool show, bool shade)
{
    if (show)
        m_holes.insert(name, {hole.adjusted(1, 1, -1, -1), shade});
    else
        m_holes.remove(name);

    QRegion holes;
    bool anyShade = false;
    for (const Hole &stored : qAsConst(m_holes)) {
        holes += stored.rect;
        anyShade = anyShade || stored.shade;
    }
    m_visible = anyShade;
    if (holes.rectCount() > 0)
        SetMask(QRegion(rect()).xored(holes), show); // a new hole at once, a closed one later
    else
        ClearMask();
}

void QShadowWidget::onSetMaskTimeOut()
{
    QCustomWidget::onSetMaskTimeOut();
    followShade();
}

void QShadowWidget::onClearMaskTimeOut()
{
    QCustomWidget::onClearMaskTimeOut();
    followShade();
}

void QShadowWidget::followShade()
{
    if (m_visible)
        show();
    else
        hide();
}
