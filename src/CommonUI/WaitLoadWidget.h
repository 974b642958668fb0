#pragma once

#include <QWidget>

class QMovie;

// The waiting animation that covers the main window while the page loads and the client
// version is checked: the skin's "startLoading.gif" centred on a translucent tool window of the
// parent's size, with rounded corners like the main window's.
class WaitLoadWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WaitLoadWidget(QWidget *parent = nullptr);

    // Starts the animation and shows the widget.
    void Start();
    // Hides the widget and stops the animation.
    void Stop();

    QMovie *movie() const { return m_movie; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QMovie *m_movie;
};
