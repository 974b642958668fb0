#include "CommonUI/WaitLoadWidget.h"

#include "CommonUI/QCustomWidget.h"
#include "ConfigInfo/CLocalCfg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QResizeEvent>

WaitLoadWidget::WaitLoadWidget(QWidget *parent)
    : QWidget(parent)
    , m_movie(nullptr)
{
    setObjectName("WaitLoadWidget");
    setWindowFlags(windowFlags() | Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    if (parent)
        resize(parent->size());

    auto *layout = new QHBoxLayout(this);
    layout->setObjectName("horizontalLayout");
    auto *label = new QLabel(this);
    label->setObjectName("waitLab");
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);

    const QString skin = ConfigInfo::CLocalCfg::Instance().GetSkinPath();
    m_movie = new QMovie(QString("./Skin/%1/startLoading.gif").arg(skin), QByteArray(), this);
    label->setMovie(m_movie);
}

void WaitLoadWidget::Start()
{
    m_movie->start();
    show();
}

void WaitLoadWidget::Stop()
{
    hide();
    m_movie->stop();
}

void WaitLoadWidget::paintEvent(QPaintEvent *)
{
    QCustomWidget::paintStyledBackground(this);
}

void WaitLoadWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setMask(QCustomWidget::roundedMask(event->size()));
}
