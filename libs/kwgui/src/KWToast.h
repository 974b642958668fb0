#pragma once

#include <QFrame>
#include <QTimer>

class QLabel;
class QPropertyAnimation;
class QVBoxLayout;

namespace KWGUI {

// One toast of the notifier: a frameless top-level window that never takes the focus, with a
// title, a close button, the text and, by kind, a picture or buttons to open a file and its
// folder. It stays for its display time, longer while the mouse is over it, then fades out and
// reports finished(). Object names: "KWMessageNotifyToast" (the window, property "kind"),
// "KWToastTitle", "KWToastText", "KWToastCloseBtn", "KWToastPicture", "KWToastOpenFileBtn",
// "KWToastOpenFolderBtn".
class KWToast : public QFrame
{
    Q_OBJECT

public:
    enum Kind { Text, Link, Picture, Record, File };

    // What one toast shows; `extra` is the link id (Link) or the file (Picture, Record, File).
    struct Content
    {
        Kind kind = Text;
        QString title;
        QString text;
        QString extra;
    };

    static constexpr int kWidth = 320;
    static constexpr int kPictureHeight = 180;

    KWToast(const Content &content, const QString &styleSheet, int displayMs);

    // Starts counting the display time; call once the toast is on screen.
    void start();
    // Leaves at once, without fading.
    void dismiss();

signals:
    // The link text was clicked.
    void linkClicked(const QString &linkId);
    // The toast has left the screen (faded, closed or dismissed); it is deleted later.
    void finished(KWGUI::KWToast *toast);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addHeader(const QString &title);
    void addText(const QString &text);
    void addPicture(const QString &file);
    void addFileButtons(const QString &file);
    void fadeOut();

    Content m_content;
    int m_displayMs;
    bool m_finished = false;
    QVBoxLayout *m_layout = nullptr;
    QLabel *m_text = nullptr;
    QTimer m_displayTimer;
    QPropertyAnimation *m_fade = nullptr;
};

} // namespace KWGUI
