// Any bytes as the gateway's answer to a video window's siren or white-light request, under
// any request name, delivered in two chunks: never a crash, and the siren state stays coherent
// (a countdown runs only while the siren is on, and never below zero).
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "FuzzInput.h"

#include <QCoreApplication>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::application<QCoreApplication>();
    if (size == 0)
        return 0;

    static const QString names[] = {"openSoundAlarm_NVR0001A_1",
                                    "openLightAlarm_NVR0001A_1",
                                    "openSoundAlarm_NVR0001A_2",
                                    "openSoundAlarm",
                                    "_",
                                    ""};
    CVideoWnd wnd(nullptr, 0);
    VideoWndInfo_t info;
    info.channel.deviceID = "NVR0001A";
    info.channel.channelID = 1;
    // The first byte picks the request name and whether the device has per-channel sirens.
    info.channel.devAbility = (data[0] & 0x80) ? "ChnSiren ChnWhiteLight" : "";
    info.bSoundAlarmOn = data[0] & 0x40;
    wnd.setVideoWndInfo(info);
    const QString &request = names[data[0] % (sizeof(names) / sizeof(names[0]))];

    FuzzInput::answer(wnd.alarms(), FuzzInput::bytes(data + 1, size - 1), request);

    FuzzInput::require(
        wnd.alarms().sirenRemaining() == 0
        || (wnd.alarms().sirenRemaining() > 0 && wnd.getVideoWndInfo().bSoundAlarmOn));
    return 0;
}
