#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;

namespace KWGUI {

// The title bar of the library's frameless dialogs: the title, an optional close button, and a
// press-and-drag anywhere on the bar that moves the whole window. Object names are the given
// prefix followed by "TitleBar", "Title" and "CloseBtn", so each dialog keeps its own style rules.
class KWTitleBar : public QWidget
{
    Q_OBJECT

public:
    KWTitleBar(const QString &objectNamePrefix, const QString &title, bool closeButton,
               QWidget *parent);

    void setTitle(const QString &title);
    QString title() const;

signals:
    void closeClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLabel *m_title;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

} // namespace KWGUI
