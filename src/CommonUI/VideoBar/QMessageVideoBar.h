#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

namespace Ui {
class QMessageVideoBar;
}

// The small button bar over the alarm message video: pause, sound and full screen. It keeps and
// shows the three toggle states, like the video bar, and reports presses to its owner.
class QMessageVideoBar : public QWidget
{
    Q_OBJECT

public:
    explicit QMessageVideoBar(QWidget *parent = nullptr);
    ~QMessageVideoBar() override;

    // Sets the state of "VB_Audio", "VB_Pause" or "VB_FullScreen" (a bool); other names are
    // ignored. No signal.
    void setButtonState(const QString &name, const QVariant &value);
    // Shows or hides the button named name.
    void setButtonVisible(const QString &name, bool visible);
    // Shows or hides each named button.
    void setButtonsVisible(const QStringList &names, bool visible);
    // Gives every button the fixed size width x height.
    void setButtonsSize(int width, int height);
    // Presses the button of key (the video bar's keys) when it is shown; false otherwise.
    bool triggerShortcut(int key);

signals:
    // A button was pressed; variant is its new state.
    void sgnButtonClicked(QString strObjName, QVariant variant);

public slots:
    void onButtonClicked();

private:
    void refresh(const QString &name);

    Ui::QMessageVideoBar *m_ui;
};
