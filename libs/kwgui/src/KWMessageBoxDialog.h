#pragma once

#include <QDialog>

class QPushButton;

namespace KWGUI {

// The window behind KWMessageBox: a frameless modal dialog in the skin's style with a title bar
// that drags it, a close button, the text and the offered buttons. Object names: "KWMessageBox"
// (the dialog), "KWMessageBoxTitleBar", "KWMessageBoxTitle", "KWMessageBoxCloseBtn",
// "KWMessageBoxText", "KWMessageBoxOkBtn", "KWMessageBoxCancelBtn".
class KWMessageBoxDialog : public QDialog
{
    Q_OBJECT

public:
    // buttons: KWMessageBox::Ok and/or KWMessageBox::Cancel, at least one.
    KWMessageBoxDialog(QWidget *parent, const QString &title, const QString &text, int buttons);

    // The button pressed; closing the box counts as closeAnswer().
    int answer() const { return m_answer; }
    // What closing the box (close button, Escape) answers: Cancel when offered, else Ok.
    static int closeAnswer(int buttons);

    void reject() override;

private:
    QPushButton *addButton(const char *objectName, const QString &text, int answer);

    int m_buttons;
    int m_answer;
};

} // namespace KWGUI
