#include "CommonUI/VideoWnd/QVideoSurface.h"

#include "ConfigInfo/CLocalCfg.h"

#include <QDir>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QTextOption>

namespace {

QString skinFile(const QString &name)
{
    return QString("./Skin/%1/%2").arg(ConfigInfo::CLocalCfg::Instance().GetSkinPath(), name);
}

// The default picture is drawn for a surface whose shorter side is this long.
constexpr double kDefaultPictureSide = 284.0;

} // namespace

QVideoSurface::QVideoSurface(QWidget *parent)
    : QWidget(parent)
    , m_defaultPicture(skinFile("default.png"))
    , m_loadingMovie(new QMovie(skinFile("loading.gif"), QByteArray(), this))
    , m_loadingLabel(new QLabel(this))
    , m_stillLabel(new QLabel(this))
{
    // The media library puts its own raster child into this native window.
    setAttribute(Qt::WA_NativeWindow);
    m_loadingLabel->setMovie(m_loadingMovie);
    m_loadingLabel->setScaledContents(true);
    m_loadingLabel->hide();
    m_stillLabel->setScaledContents(true);
    m_stillLabel->hide();
    for (QLabel *label : {m_loadingLabel, m_stillLabel})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QVideoSurface::setStatusText(const QString &text)
{
    m_statusText = text;
    update();
}

void QVideoSurface::setDefaultPictureOn(bool on)
{
    m_defaultPictureOn = on;
    update();
}

void QVideoSurface::startLoading()
{
    m_loadingLabel->setGeometry(rect());
    m_loadingLabel->raise();
    m_loadingLabel->show();
    m_loadingMovie->start();
    update();
}

void QVideoSurface::stopLoading()
{
    m_loadingMovie->stop();
    m_loadingLabel->hide();
    update();
}

bool QVideoSurface::isLoading() const
{
    return m_loadingLabel->isVisible();
}

void QVideoSurface::setStillPicture(const QPixmap &picture)
{
    m_stillLabel->setPixmap(picture);
    m_stillLabel->setGeometry(rect());
    m_stillLabel->setVisible(!picture.isNull());
    if (!picture.isNull())
        m_stillLabel->raise();
    // The animation stays above a still picture.
    if (isLoading())
        m_loadingLabel->raise();
}

bool QVideoSurface::hasStillPicture() const
{
    return m_stillLabel->isVisible();
}

void QVideoSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
    if (isLoading())
        return;
    if (m_defaultPictureOn && !m_defaultPicture.isNull()) {
        const double scale = qMin(width(), height()) / kDefaultPictureSide;
        const QSizeF size = QSizeF(m_defaultPicture.size()) * scale;
        const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2),
                            size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(target, m_defaultPicture, QRectF(m_defaultPicture.rect()));
    }
    if (!m_statusText.isEmpty())
        paintStatusText(painter);
}

void QVideoSurface::paintStatusText(QPainter &painter)
{
    int pointSize = width() / 25;
    if (m_minimumFontSize > 0)
        pointSize = qMax(pointSize, m_minimumFontSize);
    QFont font = painter.font();
    font.setPointSize(qMax(pointSize, 1));
    painter.setFont(font);
    painter.setPen(m_textColor);
    const QRectF box(width() / 10.0, 0, width() * 0.8, height());
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(box, m_statusText, option);
}

void QVideoSurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_loadingLabel->setGeometry(rect());
    m_stillLabel->setGeometry(rect());
}
