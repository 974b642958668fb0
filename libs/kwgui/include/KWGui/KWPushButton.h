#pragma once

#include <QPushButton>

namespace KWGUI {

// The library's push button: a QPushButton that keeps the keyboard focus off itself unless
// tabbed to and styles as "KWPushButton" (object name) until its owner names it.
class KWPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit KWPushButton(QWidget *parent = nullptr);
    explicit KWPushButton(const QString &text, QWidget *parent = nullptr);
};

} // namespace KWGUI
