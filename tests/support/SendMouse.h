#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Sends a mouse event at a global point: a press or release of the left button, or a move with
// the buttons held.
inline void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &global,
                      Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A left-button drag from one global point to another.
inline void dragMouse(QWidget *widget, const QPoint &from, const QPoint &to)
{
    sendMouse(widget, QEvent::MouseButtonPress, from);
    sendMouse(widget, QEvent::MouseMove, to);
    sendMouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}
