#include "PTZ/QPTZWidget.h"

#include "CommonUI/QCustomWidget.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double kCentre = QPTZWidget::kPadSize / 2.0;
constexpr double kInnerRadius = 47.0;
constexpr double kOuterRadius = 100.0;
const char *const kStatusProperty = "ptzStatus";

QLabel *caption(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// The pad's arrow for a direction code, pointing away from the centre.
QPolygonF arrow(int code)
{
    const QPolygonF up({{kCentre, 8.0}, {kCentre - 12, 26.0}, {kCentre + 12, 26.0}});
    QTransform turn;
    turn.translate(kCentre, kCentre);
    turn.rotate(code == QPTZWidget::Down        ? 180
                    : code == QPTZWidget::Left  ? -90
                    : code == QPTZWidget::Right ? 90
                                                : 0);
    turn.translate(-kCentre, -kCentre);
    return turn.map(up);
}

} // namespace

QPTZWidget::QPTZWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("QPTZWidget");
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::Dialog);
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->setSpacing(8);
    layout->addWidget(buildTitleBar());
    layout->addWidget(caption("PTZTitleLabel", tr("方向控制"), this));
    layout->addWidget(buildPadArea());
    layout->addWidget(caption("FocusWidgetTitle", tr("焦距控制"), this));
    layout->addWidget(buildZoomArea());
    layout->addStretch();
    QCustomWidget::applySkinStyleSheet(this);
}

QWidget *QPTZWidget::buildTitleBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName("TitleWidget");
    bar->setFixedHeight(kTitleHeight);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(12, 0, 6, 0);
    layout->addWidget(caption("WidgetTitleLabel", tr("云台操作"), bar));
    layout->addStretch();
    auto *close = new QPushButton(QStringLiteral("×"), bar);
    close->setObjectName("CloseBtn");
    close->setFixedSize(28, 28);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QPushButton::released, this, &QPTZWidget::sgnPtzWidgetClose);
    layout->addWidget(close);
    return bar;
}

QWidget *QPTZWidget::buildPadArea()
{
    auto *area = new QWidget(this);
    area->setObjectName("PTZBgWidget");
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pad = new QWidget(area);
    m_pad->setObjectName("PTZCtrlWidget");
    m_pad->setFixedSize(kPadSize, kPadSize);
    m_pad->setProperty(kStatusProperty, 0);
    m_pad->installEventFilter(this);
    layout->addWidget(m_pad, 0, Qt::AlignCenter);
    return area;
}

QWidget *QPTZWidget::buildZoomArea()
{
    auto *area = new QWidget(this);
    area->setObjectName("ZoomBgWidget");
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(40, 0, 40, 0);
    QPushButton *zoomIn = zoomButton("ZoomIn", QStringLiteral("+"));
    connect(zoomIn, &QPushButton::pressed, this, &QPTZWidget::onPtzZoomInPrssed);
    connect(zoomIn, &QPushButton::released, this, &QPTZWidget::onPtzZoomInReleased);
    auto *line = new QWidget(area);
    line->setObjectName("lineWidget");
    line->setFixedWidth(1);
    QPushButton *zoomOut = zoomButton("ZoomOut", QStringLiteral("−"));
    connect(zoomOut, &QPushButton::pressed, this, &QPTZWidget::onPtzZoomOutPrssed);
    connect(zoomOut, &QPushButton::released, this, &QPTZWidget::onPtzZoomOutReleased);
    layout->addWidget(zoomIn);
    layout->addWidget(line);
    layout->addWidget(zoomOut);
    return area;
}

QPushButton *QPTZWidget::zoomButton(const char *name, const QString &text)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setFixedHeight(36);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

int QPTZWidget::directionAt(const QPointF &point)
{
    const double dx = point.x() - kCentre;
    const double dy = point.y() - kCentre;
    const double distance2 = dx * dx + dy * dy;
    if (!(kInnerRadius * kInnerRadius < distance2 && distance2 < kOuterRadius * kOuterRadius))
        return 0;
    // The angle to the reference pointing right; points above the centre count positive.
    const double cross = -dy;
    const double sign = cross < 0 ? -1.0 : 1.0;
    const double angle = sign * std::acos(dx / std::sqrt(distance2)) * 180.0 / M_PI;
    if (-45 < angle && angle < 45)
        return Right;
    if (45 < angle && angle < 135)
        return Up;
    if (angle > 135 || angle < -135)
        return Left;
    if (-135 < angle && angle < -45)
        return Down;
    return 0;
}

void QPTZWidget::handlePad(int action, const QPointF &point)
{
    const int code = directionAt(point);
    if (code == 0)
        return;
    // The skin shows the pressed direction by this property.
    m_pad->setProperty(kStatusProperty, action == Pressed ? code : 0);
    m_pad->style()->unpolish(m_pad);
    m_pad->style()->polish(m_pad);
    m_pad->update();
    emit sgnPtzBtnEvent(code, action);
}

bool QPTZWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pad) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            handlePad(Pressed, static_cast<QMouseEvent *>(event)->localPos());
            break;
        case QEvent::MouseButtonRelease:
            handlePad(Released, static_cast<QMouseEvent *>(event)->localPos());
            break;
        case QEvent::Paint:
            paintPad();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QPTZWidget::paintPad()
{
    QPainter painter(m_pad);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath ring;
    ring.addEllipse(QPointF(kCentre, kCentre), kOuterRadius - 1, kOuterRadius - 1);
    ring.addEllipse(QPointF(kCentre, kCentre), kInnerRadius, kInnerRadius);
    painter.fillPath(ring, QColor("#3A4B5E"));
    const int pressed = m_pad->property(kStatusProperty).toInt();
    for (int code : {Up, Down, Left, Right}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(code == pressed ? QColor("#DA382E") : QColor("#C9D3DD"));
        painter.drawPolygon(arrow(code));
    }
}

void QPTZWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor("#26323F"));
    painter.drawRoundedRect(rect(), 8, 8);
    painter.end();
    // A skin's style sheet paints over the built-in look.
    QCustomWidget::paintStyledBackground(this);
}

void QPTZWidget::onPtzZoomInPrssed()
{
    emit sgnPtzBtnEvent(ZoomIn, Pressed);
}

void QPTZWidget::onPtzZoomInReleased()
{
    emit sgnPtzBtnEvent(ZoomIn, Released);
}

void QPTZWidget::onPtzZoomOutPrssed()
{
    emit sgnPtzBtnEvent(ZoomOut, Pressed);
}

void QPTZWidget::onPtzZoomOutReleased()
{
    emit sgnPtzBtnEvent(ZoomOut, Released);
}
