#include "CommonUI/VideoBar/VideoBarButtons.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QStyle>

namespace VideoBarButtons {

const QVector<Shortcut_t> &shortcuts()
{
    static const QVector<Shortcut_t> table = {
        {Qt::Key_S, "VB_SnapShot", 0},     {Qt::Key_R, "VB_LocalRecord", 0},
        {Qt::Key_M, "VB_Audio", 0},        {Qt::Key_T, "VB_Talk", 0},
        {Qt::Key_D, "VB_Definition", 0},   {Qt::Key_Space, "VB_Pause", 0},
        {Qt::Key_Left, "VB_Back", 0},      {Qt::Key_Right, "VB_Forward", 0},
        {Qt::Key_Plus, "VB_SpeedSet", +1}, {Qt::Key_Minus, "VB_SpeedSet", -1},
        {Qt::Key_F11, "VB_FullScreen", 0},
    };
    return table;
}

const Shortcut_t *shortcutOf(int key)
{
    for (const Shortcut_t &shortcut : shortcuts()) {
        if (shortcut.key == key)
            return &shortcut;
    }
    return nullptr;
}

namespace {

// A key that, held with Ctrl, steps a paused playback one picture; the tool tip of button
// names it.
struct FrameStepKey_t
{
    int key;
    const char *button;
    int direction;
};

const FrameStepKey_t kFrameSteps[]
    = {{Qt::Key_Left, "VB_Back", -1}, {Qt::Key_Right, "VB_Forward", 1}};

} // namespace

int frameStepOf(int key, Qt::KeyboardModifiers modifiers)
{
    // The keypad's arrows carry Qt::KeypadModifier as well.
    if ((modifiers & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return 0;
    for (const FrameStepKey_t &step : kFrameSteps) {
        if (step.key == key)
            return step.direction;
    }
    return 0;
}

QString keysText(const QString &button)
{
    QStringList keys;
    for (const Shortcut_t &shortcut : shortcuts()) {
        if (button == QLatin1String(shortcut.button))
            keys << QKeySequence(shortcut.key).toString(QKeySequence::NativeText);
    }
    QString text = keys.join('/');
    for (const FrameStepKey_t &step : kFrameSteps) {
        if (button == QLatin1String(step.button))
            text += "; "
                + QCoreApplication::translate("VideoBarButtons", "%1: one frame while paused")
                      .arg(QKeySequence(Qt::CTRL | step.key).toString(QKeySequence::NativeText));
    }
    return text;
}

void setTip(QPushButton *button, const QString &text)
{
    const QString keys = keysText(button->objectName());
    const QString tip = keys.isEmpty() ? text : QString("%1 (%2)").arg(text, keys);
    button->setToolTip(tip);
    button->setAccessibleName(text);
    button->setAccessibleDescription(tip);
}

void restyle(QPushButton *button)
{
    button->style()->unpolish(button);
    button->style()->polish(button);
    button->update();
}

void setStateProperty(QPushButton *button, const char *name, const QVariant &value)
{
    button->setProperty(name, value);
    restyle(button);
}

void refreshToggle(QPushButton *button, const Toggle_t &toggle, const char *context)
{
    const bool on = button->property(toggle.state).toBool();
    setTip(button, QCoreApplication::translate(context, on ? toggle.tipOn : toggle.tipOff));
    setStateProperty(button, toggle.state, on);
}

QPushButton *buttonForKey(const QWidget *bar, int key)
{
    const Shortcut_t *shortcut = shortcutOf(key);
    if (!shortcut)
        return nullptr;
    auto *button = bar->findChild<QPushButton *>(shortcut->button);
    if (!button || !button->isVisibleTo(bar) || !button->isEnabled())
        return nullptr;
    return button;
}

} // namespace VideoBarButtons
