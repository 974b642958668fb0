#pragma once

#include <QString>

class QWidget;

namespace KWGUI {

// Modal message boxes in the skin's style.
class KWMessageBox
{
public:
    enum Button { Ok = 0x400, Cancel = 0x2000 };

    // Shows a modal box with the buttons in `buttons` (Ok, or Ok | Cancel) and returns the one
    // pressed; closing the box counts as Cancel when it is offered, otherwise as Ok.
    // Automation: when the environment variable KWGUI_MESSAGEBOX_ANSWER is "ok" or "cancel" the
    // box is not shown and that button is returned at once (tests and unattended runs).
    static int ShowInformation(QWidget *parent, const QString &title, const QString &text, int buttons);
};

} // namespace KWGUI
