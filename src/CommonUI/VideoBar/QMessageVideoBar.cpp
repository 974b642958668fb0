#include "CommonUI/VideoBar/QMessageVideoBar.h"

#include "CommonUI/QCustomWidget.h"
#include "CommonUI/VideoBar/VideoBarButtons.h"
#include "ui_QMessageVideoBar.h"

#include <QPushButton>

using VideoBarButtons::Toggle_t;

namespace {

const char kContext[] = "QMessageVideoBar";

const Toggle_t kToggles[] = {
    {"VB_Pause", "bPauseOn", QT_TRANSLATE_NOOP("QMessageVideoBar", "pause"),
     QT_TRANSLATE_NOOP("QMessageVideoBar", "play")},
    {"VB_Audio", "bAudioOn", QT_TRANSLATE_NOOP("QMessageVideoBar", "openAudio"),
     QT_TRANSLATE_NOOP("QMessageVideoBar", "closeAudio")},
    {"VB_FullScreen", "bFullScreen", QT_TRANSLATE_NOOP("QMessageVideoBar", "fullScreen"),
     QT_TRANSLATE_NOOP("QMessageVideoBar", "reset")},
};

} // namespace

QMessageVideoBar::QMessageVideoBar(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::QMessageVideoBar)
{
    m_ui->setupUi(this);
    for (const Toggle_t &toggle : kToggles) {
        connect(findChild<QPushButton *>(toggle.button), &QPushButton::clicked, this,
                &QMessageVideoBar::onButtonClicked);
    }
    QCustomWidget::applySkinStyleSheet(this);
    for (const Toggle_t &toggle : kToggles)
        refresh(toggle.button);
}

QMessageVideoBar::~QMessageVideoBar()
{
    delete m_ui;
}

void QMessageVideoBar::setButtonState(const QString &name, const QVariant &value)
{
    if (const Toggle_t *toggle = VideoBarButtons::findToggle(kToggles, name)) {
        findChild<QPushButton *>(name)->setProperty(toggle->state, value.toBool());
        refresh(name);
    }
}

void QMessageVideoBar::setButtonVisible(const QString &name, bool visible)
{
    if (auto *named = findChild<QPushButton *>(name))
        named->setVisible(visible);
}

void QMessageVideoBar::setButtonsVisible(const QStringList &names, bool visible)
{
    for (const QString &name : names)
        setButtonVisible(name, visible);
}

void QMessageVideoBar::setButtonsSize(int width, int height)
{
    for (QPushButton *each : findChildren<QPushButton *>())
        each->setFixedSize(width, height);
}

bool QMessageVideoBar::triggerShortcut(int key)
{
    QPushButton *pressed = VideoBarButtons::buttonForKey(this, key);
    if (!pressed)
        return false;
    pressed->click();
    return true;
}

void QMessageVideoBar::onButtonClicked()
{
    auto *pressed = qobject_cast<QPushButton *>(sender());
    const Toggle_t *toggle
        = pressed ? VideoBarButtons::findToggle(kToggles, pressed->objectName()) : nullptr;
    if (!toggle)
        return;
    const bool on = !pressed->property(toggle->state).toBool();
    pressed->setProperty(toggle->state, on);
    refresh(toggle->button);
    emit sgnButtonClicked(pressed->objectName(), on);
}

void QMessageVideoBar::refresh(const QString &name)
{
    VideoBarButtons::refreshToggle(findChild<QPushButton *>(name),
                                   *VideoBarButtons::findToggle(kToggles, name), kContext);
}
