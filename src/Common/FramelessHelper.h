#pragma once

#include <QHash>
#include <QObject>

class QWidget;

namespace Common {

// Makes frameless top-level widgets movable by their title area and resizable by their edges
// with the mouse, optionally showing a rubber band instead of changing the widget until the
// button is released. The border width and the title height are shared by every helper of the
// process.
class FramelessHelper : public QObject
{
    Q_OBJECT

public:
    explicit FramelessHelper(QObject *parent = nullptr);
    // Gives every watched widget its mouse tracking and hover state back.
    ~FramelessHelper() override;

    // Starts watching widget; a widget already watched is not added twice.
    void attachWidget(QWidget *widget);

    // Dragging in the title area moves the widget.
    void setMovable(bool on);
    // Dragging an edge or corner resizes the widget.
    void setResizable(bool on);
    // Moving shows a rubber band and moves the widget only on release.
    void setMoveRubberBand(bool on);
    // Resizing shows a rubber band and resizes the widget only on release.
    void setResizeRubberBand(bool on);
    // Width of the grip along the edges, for every helper; 0 leaves it unchanged.
    void setBorderWidth(int width);
    // Height of the title area from the widget's top, for every helper; 0 leaves it unchanged.
    void setTitleHeight(int height);

    static int borderWidth();
    static int titleHeight();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Flag {
        Movable = 0x1,
        Resizable = 0x2,
        ResizeRubberBand = 0x4,
        MoveRubberBand = 0x8,
    };
    class WidgetRecord;

    void setFlag(Flag flag, bool on);
    bool testFlag(Flag flag) const { return m_flags & flag; }

    QHash<QWidget *, WidgetRecord *> m_records;
    int m_flags = 0;

    static int s_borderWidth;
    static int s_titleHeight;
};

} // namespace Common
