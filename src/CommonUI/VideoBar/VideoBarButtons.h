#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

#include <cstddef>

class QPushButton;
class QWidget;

// What the video bars share: the keyboard shortcuts shown in their tool tips, the toggle buttons
// that show their state through a tool tip and a style-sheet property, and the restyling that
// lets the skin follow a property.
namespace VideoBarButtons {

// One keyboard shortcut of the bars: the key (Qt::Key) presses the button of that object name;
// for the speed keys speedStep is +1 (faster) or -1 (slower) through the speed choices instead.
struct Shortcut_t
{
    int key;
    const char *button;
    int speedStep;
};

// A toggle button: its object name, the state's name (also its dynamic property) and the tool
// tips shown while the state is off and on, untranslated.
struct Toggle_t
{
    const char *button;
    const char *state;
    const char *tipOff;
    const char *tipOn;
};

// The entry of table for the button named name, or nullptr.
template<std::size_t N> const Toggle_t *findToggle(const Toggle_t (&table)[N], const QString &name)
{
    for (const Toggle_t &toggle : table) {
        if (name == QLatin1String(toggle.button))
            return &toggle;
    }
    return nullptr;
}

// Every shortcut of the bars, for the play panel to wire.
const QVector<Shortcut_t> &shortcuts();
// The shortcut entry of key, or nullptr when the key has none.
const Shortcut_t *shortcutOf(int key);
// The frame step of a key pressed with these modifiers, for the play panel: Ctrl+Right 1,
// Ctrl+Left -1 (one picture of a paused playback), else 0.
int frameStepOf(int key, Qt::KeyboardModifiers modifiers);
// The keys of a button as a tool tip shows them ("S", "+/-", "Left; Ctrl+Left: one frame while
// paused"); empty when it has none.
QString keysText(const QString &button);

// Sets text as the accessible name of button, and text with the button's keys ("Snapshot (S)")
// as its tool tip and accessible description.
void setTip(QPushButton *button, const QString &text);
// Unpolishes and polishes button and updates it, so that property rules of the skin apply.
void restyle(QPushButton *button);
// Writes a dynamic property of button and restyles it.
void setStateProperty(QPushButton *button, const char *name, const QVariant &value);
// Shows toggle's state (the button's property) through its tool tip, translated in context.
void refreshToggle(QPushButton *button, const Toggle_t &toggle, const char *context);

// The visible and enabled button of bar that key presses, or nullptr.
QPushButton *buttonForKey(const QWidget *bar, int key);

} // namespace VideoBarButtons
