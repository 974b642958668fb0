#include "CommonUI/VideoBar/QVideoBar.h"

#include "Common/CGlobalEvent.h"
#include "CommonUI/QCustomWidget.h"
#include "CommonUI/VideoBar/QSpeedSetWidget.h"
#include "CommonUI/VideoBar/QWindowSplit.h"
#include "ui_QVideoBar.h"

#include <QPainter>
#include <QPushButton>

using VideoBarButtons::Toggle_t;

namespace {

const char kContext[] = "QVideoBar";

// Buttons whose state is a flag; the flag's name is also the button's property.
const Toggle_t kToggles[] = {
    {"VB_LocalRecord", "bRecordOn", QT_TRANSLATE_NOOP("QVideoBar", "startRecord"),
     QT_TRANSLATE_NOOP("QVideoBar", "stopRecord")},
    {"VB_Talk", "bTalkOn", QT_TRANSLATE_NOOP("QVideoBar", "openTalk"),
     QT_TRANSLATE_NOOP("QVideoBar", "cloaseTalk")},
    {"VB_Pause", "bPauseOn", QT_TRANSLATE_NOOP("QVideoBar", "pause"),
     QT_TRANSLATE_NOOP("QVideoBar", "play")},
    {"VB_PTZCtrl", "bPTZCtrl", QT_TRANSLATE_NOOP("QVideoBar", "open PTZCtrl"),
     QT_TRANSLATE_NOOP("QVideoBar", "close PTZCtrl")},
    {"VB_SoundAlarm", "bSoundAlarmOn", QT_TRANSLATE_NOOP("QVideoBar", "open sound alarm"),
     QT_TRANSLATE_NOOP("QVideoBar", "close sound alarm")},
    {"VB_LightAlarm", "bLightAlarmOn", QT_TRANSLATE_NOOP("QVideoBar", "open light alarm"),
     QT_TRANSLATE_NOOP("QVideoBar", "close light alarm")},
    {"VB_Audio", "bAudioOn", QT_TRANSLATE_NOOP("QVideoBar", "openAudio"),
     QT_TRANSLATE_NOOP("QVideoBar", "closeAudio")},
    {"VB_FullScreen", "bFullScreen", QT_TRANSLATE_NOOP("QVideoBar", "fullScreen"),
     QT_TRANSLATE_NOOP("QVideoBar", "reset")},
};

// Tool tips that never change, set once; the toggles among them are overwritten by their state.
const struct
{
    const char *button;
    const char *tip;
} kFixedTips[] = {
    {"VB_CircleDetail", QT_TRANSLATE_NOOP("QVideoBar", "Details of Circle Display plan")},
    {"VB_SnapShot", QT_TRANSLATE_NOOP("QVideoBar", "snapShot")},
    {"VB_Back", QT_TRANSLATE_NOOP("QVideoBar", "back15")},
    {"VB_Forward", QT_TRANSLATE_NOOP("QVideoBar", "forward15")},
    {"VB_Stop", QT_TRANSLATE_NOOP("QVideoBar", "stop")},
    {"VB_SpeedSet", QT_TRANSLATE_NOOP("QVideoBar", "speed")},
    {"VB_PTZCtrl", QT_TRANSLATE_NOOP("QVideoBar", "PTZCtrl")},
    {"VB_SoundAlarm", QT_TRANSLATE_NOOP("QVideoBar", "soundAlarm")},
    {"VB_LightAlarm", QT_TRANSLATE_NOOP("QVideoBar", "lightAlarm")},
    {"VB_Split", QT_TRANSLATE_NOOP("QVideoBar", "choose split mode")},
    {"VB_Download", QT_TRANSLATE_NOOP("QVideoBar", "record download")},
    {"VB_OpenDoor", QT_TRANSLATE_NOOP("QVideoBar", "remoteOpenDoor")},
    {"VB_CloseAll", QT_TRANSLATE_NOOP("QVideoBar", "closeAll")},
};

// Where the pop-ups open, from the top-left of their button: their pointer stands over it.
const QPoint kSplitOffset(-160, -77);
const QPoint kSpeedOffset(-65, -40);

} // namespace

QVideoBar::QVideoBar(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::QVideoBar)
    , m_split(new QWindowSplit)
    , m_speed(new QSpeedSetWidget)
{
    m_ui->setupUi(this);
    setFixedTips();

    connect(m_split.get(), &QWindowSplit::sgnSplitSet, this, &QVideoBar::onSplitValueChanged);
    connect(m_speed.get(), &QSpeedSetWidget::sgnSpeedSet, this, &QVideoBar::onSpeedValueChanged);
    for (QPushButton *each : m_ui->widgetVideoBtn->findChildren<QPushButton *>())
        connect(each, &QPushButton::clicked, this, &QVideoBar::onButtonClicked);

    QCustomWidget::applySkinStyleSheet(this);

    for (const Toggle_t &toggle : kToggles)
        refreshToggle(toggle.button);
    refreshDefinition();
    refreshRecordType();
    refreshSplit();
    refreshSpeed();
    setSoundAlarmState(false, 0);

    setButtonsVisible({"VB_LocalRecord", "VB_SnapShot", "VB_OpenDoor", "VB_Talk", "VB_Definition",
                       "VB_Back", "VB_Pause", "VB_Forward", "VB_Stop", "VB_SpeedSet",
                       "VB_LightAlarm", "VB_PTZCtrl", "VB_SoundAlarm", "VB_Download"},
                      false);
    setButtonsVisible({"VB_RecordType", "VB_Audio", "VB_FullScreen", "VB_CloseAll"}, true);

    connect(Common::CGlobalEvent::Instance(), &Common::CGlobalEvent::sgnPTZWidgetClose, this,
            &QVideoBar::onPTZWidgetClose);
}

QVideoBar::~QVideoBar()
{
    delete m_ui;
}

void QVideoBar::setButtonState(const QString &name, const QVariant &value)
{
    if (name == "VB_Definition") {
        m_definition = value.toInt();
        refreshDefinition();
    } else if (name == "VB_RecordType") {
        m_recordSource = value.toInt();
        refreshRecordType();
    } else if (name == "VB_SpeedSet") {
        m_playSpeed = value.toInt();
        refreshSpeed();
    } else if (name == "VB_Split") {
        m_splitCount = value.toInt();
        refreshSplit();
    } else if (const Toggle_t *toggle = VideoBarButtons::findToggle(kToggles, name);
               toggle && name != "VB_SoundAlarm") {
        // The siren's state comes only with its countdown (setSoundAlarmState).
        button(name)->setProperty(toggle->state, value.toBool());
        refreshToggle(name);
    }
}

void QVideoBar::setSoundAlarmState(bool on, int seconds)
{
    QPushButton *siren = m_ui->VB_SoundAlarm;
    const bool counting = on && seconds > 0;
    siren->setProperty("bSoundAlarmTime", counting ? seconds : 0);
    siren->setProperty("bSoundAlarmOn", counting);
    siren->setEnabled(!counting);
    // The tool tip follows what was asked; the picture follows the countdown.
    VideoBarButtons::setTip(siren, on ? tr("close sound alarm") : tr("open sound alarm"));
    VideoBarButtons::restyle(siren);
}

void QVideoBar::setButtonVisible(const QString &name, bool visible)
{
    if (QPushButton *named = button(name))
        named->setVisible(visible);
}

void QVideoBar::setButtonsVisible(const QStringList &names, bool visible)
{
    for (const QString &name : names)
        setButtonVisible(name, visible);
}

const QVector<VideoBarButtons::Shortcut_t> &QVideoBar::shortcuts()
{
    return VideoBarButtons::shortcuts();
}

bool QVideoBar::triggerShortcut(int key)
{
    QPushButton *pressed = VideoBarButtons::buttonForKey(this, key);
    if (!pressed)
        return false;
    const int step = VideoBarButtons::shortcutOf(key)->speedStep;
    if (step == 0) {
        pressed->click();
        return true;
    }
    const int speed = QSpeedSetWidget::steppedSpeed(m_playSpeed, step);
    if (speed == m_playSpeed)
        return false;
    onSpeedValueChanged(speed);
    return true;
}

void QVideoBar::onButtonClicked()
{
    auto *pressed = qobject_cast<QPushButton *>(sender());
    if (!pressed)
        return;
    const QString name = pressed->objectName();
    QVariant value = false;
    if (const Toggle_t *toggle = VideoBarButtons::findToggle(kToggles, name)) {
        pressed->setProperty(toggle->state, !pressed->property(toggle->state).toBool());
        refreshToggle(name);
        value = pressed->property(toggle->state);
    } else if (name == "VB_Definition") {
        m_definition = m_definition == 1 ? 0 : 1;
        refreshDefinition();
        value = m_definition;
    } else if (name == "VB_RecordType") {
        m_recordSource = m_recordSource == 0 ? 1 : 0;
        refreshRecordType();
        value = m_recordSource;
    } else if (name == "VB_Split") {
        togglePopup(m_split.get(), name, kSplitOffset);
    } else if (name == "VB_SpeedSet") {
        togglePopup(m_speed.get(), name, kSpeedOffset);
    }
    emit sgnButtonClicked(name, value);
}

void QVideoBar::onSplitValueChanged(int nType)
{
    m_splitCount = nType;
    refreshSplit();
    emit sgnSplitChanged(nType);
    m_split->hide();
}

void QVideoBar::onSpeedValueChanged(int nType)
{
    m_speed->hide();
    m_playSpeed = nType;
    refreshSpeed();
    emit sgnRecordSpeedSet(nType);
}

void QVideoBar::onPTZWidgetClose()
{
    setButtonState("VB_PTZCtrl", false);
    emit sgnButtonClicked("VB_PTZCtrl", false);
}

void QVideoBar::paintEvent(QPaintEvent *)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(255, 255, 255, 255));
    }
    QCustomWidget::paintStyledBackground(this);
}

void QVideoBar::hideEvent(QHideEvent *event)
{
    m_split->hide();
    m_speed->hide();
    QWidget::hideEvent(event);
}

QPushButton *QVideoBar::button(const QString &name) const
{
    return m_ui->widgetVideoBtn->findChild<QPushButton *>(name);
}

void QVideoBar::setFixedTips()
{
    for (const auto &fixed : kFixedTips)
        VideoBarButtons::setTip(button(fixed.button), tr(fixed.tip));
    m_ui->VB_OpenDoor->setText(tr("remoteOpenDoor"));
}

void QVideoBar::refreshToggle(const QString &name)
{
    VideoBarButtons::refreshToggle(button(name), *VideoBarButtons::findToggle(kToggles, name),
                                   kContext);
}

void QVideoBar::refreshDefinition()
{
    const bool standard = m_definition == 1;
    m_ui->VB_Definition->setText(standard ? tr("standard definition") : tr("high definition"));
    VideoBarButtons::setTip(m_ui->VB_Definition,
                            standard ? tr("change high definition")
                                     : tr("change standard definition"));
}

void QVideoBar::refreshRecordType()
{
    const bool device = m_recordSource == 0;
    m_ui->VB_RecordType->setText(device ? tr("device") : tr("cloud"));
    VideoBarButtons::setTip(m_ui->VB_RecordType,
                            device ? tr("change cloudRecord") : tr("change deviceRecord"));
}

void QVideoBar::refreshSpeed()
{
    VideoBarButtons::setStateProperty(m_ui->VB_SpeedSet, "VB_SpeedSet", m_playSpeed);
}

void QVideoBar::refreshSplit()
{
    VideoBarButtons::setStateProperty(m_ui->VB_Split, "Split_Mode",
                                      QString("SPLIT_MODE_%1").arg(m_splitCount));
    m_split->selectCount(m_splitCount);
}

void QVideoBar::togglePopup(QWidget *popup, const QString &buttonName, const QPoint &offset)
{
    if (popup->isVisible()) {
        popup->close();
        return;
    }
    popup->move(button(buttonName)->mapToGlobal(QPoint(0, 0)) + offset);
    popup->show();
    popup->raise();
}
