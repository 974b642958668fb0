#include "CommonUI/VideoBar/VideoBarRows.h"

#include "CommonUI/VideoBar/QVideoBar.h"

namespace VideoBarRows {

namespace {

const QStringList kAlways = {"VB_RecordType", "VB_Audio", "VB_FullScreen", "VB_CloseAll"};
const QStringList kLiveOnly
    = {"VB_Talk", "VB_Definition", "VB_PTZCtrl", "VB_SoundAlarm", "VB_LightAlarm"};
const QStringList kPlaybackOnly = {"VB_Back", "VB_Pause", "VB_Forward", "VB_SpeedSet"};
const QStringList kAll
    = {"VB_CircleDetail", "VB_LocalRecord", "VB_SnapShot",   "VB_OpenDoor",   "VB_Talk",
       "VB_Definition",   "VB_Back",        "VB_Pause",      "VB_Forward",    "VB_Stop",
       "VB_SpeedSet",     "VB_LightAlarm",  "VB_PTZCtrl",    "VB_SoundAlarm", "VB_RecordType",
       "VB_Download",     "VB_Audio",       "VB_FullScreen", "VB_CloseAll"};
// The channel kind that offers only recording, snapshot, full screen and close-all.
const int kRecordOnlyAccess = 11;

bool hasAbility(const ChannelInfo_t &channel, const char *word)
{
    return channel.chnAbility.contains(word) || channel.devAbility.contains(word);
}

// An ability button: shown while playing when the channel has the ability, then with its state.
void showAbility(QVideoBar *bar, const QString &button, bool offered, bool on)
{
    bar->setButtonVisible(button, offered);
    if (offered)
        bar->setButtonState(button, on);
}

void applyLive(QVideoBar *bar, bool playing, const VideoWndInfo_t &info)
{
    bar->setButtonsVisible(kLiveOnly, playing);
    bar->setButtonsVisible(kPlaybackOnly, false);
    bar->setButtonState("VB_Talk", info.bTalkOn);
    bar->setButtonState("VB_Definition", info.channel.definitionMode);
    showAbility(bar, "VB_PTZCtrl", playing && hasAbility(info.channel, "PT"), info.bPTZWidgetShow);
    // The siren's state arrives with its countdown (setSoundAlarmState).
    bar->setButtonVisible("VB_SoundAlarm", playing && hasAbility(info.channel, "Siren"));
    showAbility(bar, "VB_LightAlarm", playing && hasAbility(info.channel, "WhiteLight"),
                info.bLightAlarmOn);
}

void applyPlayback(QVideoBar *bar, bool playing, const VideoWndInfo_t &info)
{
    bar->setButtonsVisible(kLiveOnly, false);
    bar->setButtonsVisible(kPlaybackOnly, playing);
    bar->setButtonState("VB_Pause", info.bPauseOn);
    bar->setButtonState("VB_SpeedSet", info.playSpeed);
}

} // namespace

void apply(QVideoBar *bar, int status, const VideoWndInfo_t &info)
{
    const bool playing = status == kPlaying;
    bar->setButtonsVisible(kAlways, true);
    if (info.channel.accessSource == kRecordOnlyAccess) {
        bar->setButtonsVisible(kAll, false);
        bar->setButtonsVisible({"VB_FullScreen", "VB_CloseAll"}, true);
    }
    bar->setButtonsVisible({"VB_LocalRecord", "VB_SnapShot"}, playing);
    bar->setButtonState("VB_LocalRecord", info.bRecordOn);
    bar->setButtonState("VB_Audio", info.bAudioOn);
    bar->setButtonState("VB_RecordType", info.recordSource);
    if (info.channel.accessSource == kRecordOnlyAccess)
        return;
    if (info.playType == 0)
        applyLive(bar, playing, info);
    else
        applyPlayback(bar, playing, info);
}

} // namespace VideoBarRows
