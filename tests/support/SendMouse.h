#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Sends a mouse event at a global point of the screen: a press or release of the left button, or
// a move with the buttons held.
inline void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &global,
                      Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, widget->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
