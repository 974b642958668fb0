#pragma once

#include "CommonUI/VideoBar/VideoBarButtons.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>

namespace Ui {
class QVideoBar;
}
class QPushButton;
class QSpeedSetWidget;
class QWindowSplit;

// The row of tool buttons under a video frame. It does not act on video: it keeps each button's
// toggle state, shows it through texts, tool tips and style-sheet properties (the skin picks the
// pictures by property), opens the split and speed pop-ups, and tells its owner which button was
// pressed with which new value. The owner acts and, on failure, sets the state back.
class QVideoBar : public QWidget
{
    Q_OBJECT

public:
    explicit QVideoBar(QWidget *parent = nullptr);
    ~QVideoBar() override;

    // Stores value as the state of the button named name and shows it; unknown names and
    // "VB_SoundAlarm" (see setSoundAlarmState) are ignored. No signal.
    void setButtonState(const QString &name, const QVariant &value);
    // The siren: on with seconds > 0 shows it on and disables the button while the countdown runs.
    void setSoundAlarmState(bool on, int seconds);
    // Shows or hides the button named name.
    void setButtonVisible(const QString &name, bool visible);
    // Shows or hides each named button.
    void setButtonsVisible(const QStringList &names, bool visible);

    // The keys of the bar and the buttons they press, for the play panel to wire.
    static const QVector<VideoBarButtons::Shortcut_t> &shortcuts();
    // Acts as the shortcut of key would: presses its button, or steps the speed, when that
    // button is shown and enabled. False when the key does nothing here.
    bool triggerShortcut(int key);

    // The pop-ups, top-level windows owned by the bar.
    QWindowSplit *splitPopup() const { return m_split.get(); }
    QSpeedSetWidget *speedPopup() const { return m_speed.get(); }

signals:
    // A button was pressed; variant is its new state (false for buttons without one).
    void sgnButtonClicked(QString strObjName, QVariant variant);
    // A split count was chosen in the split pop-up.
    void sgnSplitChanged(int nType);
    // A speed was chosen in the speed pop-up.
    void sgnRecordSpeedSet(int nType);

public slots:
    void onButtonClicked();
    void onSplitValueChanged(int nType);
    void onSpeedValueChanged(int nType);
    // The PTZ panel was closed: the PTZ button goes off, and the owner hears of it.
    void onPTZWidgetClose();

protected:
    void paintEvent(QPaintEvent *event) override;
    // The pop-ups are windows of their own: they go with the bar.
    void hideEvent(QHideEvent *event) override;

private:
    QPushButton *button(const QString &name) const;
    void setFixedTips();
    void refreshToggle(const QString &name);
    void refreshDefinition();
    void refreshRecordType();
    void refreshSpeed();
    void refreshSplit();
    void togglePopup(QWidget *popup, const QString &buttonName, const QPoint &offset);

    Ui::QVideoBar *m_ui;
    std::unique_ptr<QWindowSplit> m_split;
    std::unique_ptr<QSpeedSetWidget> m_speed;
    int m_definition = 1;
    int m_recordSource = 0;
    int m_playSpeed = 1;
    int m_splitCount = 4;
};
