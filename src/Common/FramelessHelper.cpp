#include "Common/FramelessHelper.h"

#include <QEvent>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWidget>

namespace Common {

int FramelessHelper::s_borderWidth = 4;
int FramelessHelper::s_titleHeight = 30;

namespace {

// Where a point lies against a frame rectangle, with the border width as the grip.
struct EdgeFlags
{
    bool left = false;
    bool right = false;
    bool top = false;
    bool bottom = false;

    EdgeFlags() = default;
    EdgeFlags(const QPoint &point, const QRect &frame, int border)
    {
        // The frame's right and bottom sides lie at x + width and y + height.
        const int x = frame.x(), y = frame.y();
        const int width = frame.width(), height = frame.height();
        left = x <= point.x() && point.x() <= x + border;
        right = x + width - border <= point.x() && point.x() <= x + width;
        top = y <= point.y() && point.y() <= y + border;
        bottom = y + height - border <= point.y() && point.y() <= y + height;
    }

    bool topLeft() const { return top && left; }
    bool bottomLeft() const { return bottom && left; }
    bool topRight() const { return top && right; }
    bool bottomRight() const { return bottom && right; }
    bool onEdges() const { return left || right || top || bottom; }
};

Qt::CursorShape cursorFor(const EdgeFlags &at)
{
    if (at.topLeft() || at.bottomRight())
        return Qt::SizeFDiagCursor;
    if (at.topRight() || at.bottomLeft())
        return Qt::SizeBDiagCursor;
    if (at.left || at.right)
        return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

} // namespace

// What the helper knows of one watched widget: its rubber band and the state of a press.
class FramelessHelper::WidgetRecord
{
public:
    WidgetRecord(FramelessHelper *helper, QWidget *widget)
        : m_helper(helper)
        , m_widget(widget)
        , m_rubberBand(new QRubberBand(QRubberBand::Rectangle))
    {
        m_widget->setMouseTracking(true);
        m_widget->setAttribute(Qt::WA_Hover, true);
    }
    ~WidgetRecord() { delete m_rubberBand; }

    // Gives the widget its tracking and hover state back (not when it is being destroyed).
    void restoreWidget()
    {
        m_widget->setMouseTracking(false);
        m_widget->setAttribute(Qt::WA_Hover, false);
        m_widget->removeEventFilter(m_helper);
    }

    void handle(QEvent *event)
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            press(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseMove: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (m_leftPressed)
                drag(mouse->globalPos());
            else
                updateCursor(mouse->globalPos());
            break;
        }
        case QEvent::HoverMove:
            if (!m_leftPressed)
                updateCursor(m_widget->mapToGlobal(static_cast<QHoverEvent *>(event)->pos()));
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                release();
            break;
        case QEvent::Leave:
            m_widget->unsetCursor();
            break;
        default:
            break;
        }
    }

private:
    bool fixedSize() const { return m_widget->isMaximized() || m_widget->isFullScreen(); }

    void press(QMouseEvent *event)
    {
        if (event->button() != Qt::LeftButton)
            return;
        const QRect frame = m_widget->frameGeometry();
        m_leftPressed = true;
        m_pressedInTitle = event->pos().y() < FramelessHelper::titleHeight();
        m_pressEdges = EdgeFlags(event->globalPos(), frame, FramelessHelper::borderWidth());
        m_pressOffset = event->globalPos() - frame.topLeft();
        const bool onEdges = m_pressEdges.onEdges();
        if ((onEdges && m_helper->testFlag(ResizeRubberBand))
            || (!onEdges && m_helper->testFlag(MoveRubberBand))) {
            m_rubberBand->setGeometry(frame);
            m_rubberBand->show();
        }
    }

    void drag(const QPoint &global)
    {
        if (m_pressEdges.onEdges() && m_helper->testFlag(Resizable)) {
            if (!fixedSize())
                resizeTo(global);
        } else if (m_pressedInTitle && m_helper->testFlag(Movable)) {
            const QPoint topLeft = global - m_pressOffset;
            if (m_helper->testFlag(MoveRubberBand))
                m_rubberBand->move(topLeft);
            else
                m_widget->move(topLeft);
        }
    }

    void resizeTo(const QPoint &global)
    {
        const QRect frame = m_widget->frameGeometry();
        int left = frame.left(), top = frame.top(), right = frame.right(), bottom = frame.bottom();
        const EdgeFlags &at = m_pressEdges;
        if (at.topLeft()) {
            left = global.x();
            top = global.y();
        } else if (at.bottomLeft()) {
            left = global.x();
            bottom = global.y();
        } else if (at.topRight()) {
            right = global.x();
            top = global.y();
        } else if (at.bottomRight()) {
            right = global.x();
            bottom = global.y();
        } else if (at.left) {
            left = global.x();
        } else if (at.right) {
            right = global.x();
        } else if (at.top) {
            top = global.y();
        } else {
            bottom = global.y();
        }
        QRect target(QPoint(left, top), QPoint(right, bottom));
        if (!target.isValid())
            return;
        // Below the minimum size the side that moved stays where it was.
        if (target.width() < m_widget->minimumWidth()) {
            if (at.left)
                target.setLeft(frame.left());
            else
                target.setRight(frame.right());
        }
        if (target.height() < m_widget->minimumHeight()) {
            if (at.top)
                target.setTop(frame.top());
            else
                target.setBottom(frame.bottom());
        }
        if (m_helper->testFlag(ResizeRubberBand))
            m_rubberBand->setGeometry(target);
        else
            m_widget->setGeometry(target);
    }

    void updateCursor(const QPoint &global)
    {
        if (!m_helper->testFlag(Resizable))
            return;
        const EdgeFlags at(global, m_widget->frameGeometry(), FramelessHelper::borderWidth());
        if (fixedSize() || !at.onEdges())
            m_widget->unsetCursor();
        else
            m_widget->setCursor(cursorFor(at));
    }

    void release()
    {
        m_leftPressed = false;
        m_pressedInTitle = false;
        m_pressEdges = EdgeFlags();
        if (m_rubberBand->isVisible()) {
            m_rubberBand->hide();
            m_widget->setGeometry(m_rubberBand->geometry());
        }
    }

    FramelessHelper *m_helper;
    QWidget *m_widget;
    QRubberBand *m_rubberBand;
    bool m_leftPressed = false;
    bool m_pressedInTitle = false;
    QPoint m_pressOffset;
    EdgeFlags m_pressEdges;
};

FramelessHelper::FramelessHelper(QObject *parent)
    : QObject(parent)
{ }

FramelessHelper::~FramelessHelper()
{
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        it.value()->restoreWidget();
        delete it.value();
    }
}

void FramelessHelper::attachWidget(QWidget *widget)
{
    if (!widget || m_records.contains(widget))
        return;
    widget->installEventFilter(this);
    m_records.insert(widget, new WidgetRecord(this, widget));
    // A widget that goes first takes its record along, without being touched any more.
    connect(widget, &QObject::destroyed, this, [this, widget] { delete m_records.take(widget); });
}

void FramelessHelper::setMovable(bool on)
{
    setFlag(Movable, on);
}

void FramelessHelper::setResizable(bool on)
{
    setFlag(Resizable, on);
}

void FramelessHelper::setMoveRubberBand(bool on)
{
    setFlag(MoveRubberBand, on);
}

void FramelessHelper::setResizeRubberBand(bool on)
{
    setFlag(ResizeRubberBand, on);
}

void FramelessHelper::setBorderWidth(int width)
{
    if (width > 0)
        s_borderWidth = width;
}

void FramelessHelper::setTitleHeight(int height)
{
    if (height > 0)
        s_titleHeight = height;
}

int FramelessHelper::borderWidth()
{
    return s_borderWidth;
}

int FramelessHelper::titleHeight()
{
    return s_titleHeight;
}

bool FramelessHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (WidgetRecord *record = m_records.value(qobject_cast<QWidget *>(watched)))
        record->handle(event);
    return QObject::eventFilter(watched, event);
}

void FramelessHelper::setFlag(Flag flag, bool on)
{
    if (on)
        m_flags |= flag;
    else
        m_flags &= ~flag;
}

} // namespace Common
