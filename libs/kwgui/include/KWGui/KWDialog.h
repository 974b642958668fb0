#pragma once

#include <QDialog>

namespace KWGUI {

class KWTitleBar;

// A frameless dialog in the skin's style: a title bar that drags it (with a close button when
// asked for) above a central widget that the subclass fills. Escape acts as the close button;
// Enter presses the default button, or accepts when there is none. Object names: "KWDialog"
// until the subclass names itself, "KWDialogTitleBar", "KWDialogTitle", "KWDialogCloseBtn",
// "KWDialogCentralWidget".
class KWDialog : public QDialog
{
    Q_OBJECT

public:
    enum Flag { NoCloseButton = 0, CloseButton = 1 };

    // flags: CloseButton (1) puts a close button into the title bar.
    explicit KWDialog(QWidget *parent = nullptr, int flags = CloseButton);

    void SetTitle(const QString &title);
    QString Title() const;
    // The area below the title bar that holds the dialog's content.
    QWidget *GetCentralWidget() const { return m_central; }

public slots:
    // The title bar's close button and Escape: rejects the dialog unless a subclass says more.
    virtual void OnCloseBtmClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    KWTitleBar *m_titleBar;
    QWidget *m_central;
};

} // namespace KWGUI
