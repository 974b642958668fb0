#pragma once

// Set-up shared by the tests that show the simulated devices' video in the client's windows.
#include "ConfigInfo/CLocalCfg.h"
#include "Records/VideoRecords.h"
#include "VideoClientOnSim.h"

#include "SimHarness.h"
#include "TestEnv.h"

#include <QSettings>

namespace SimVideo {

// A channel as the page hands it to a window.
inline ChannelInfo_t channel(const char *device, int id, int definition = 1)
{
    ChannelInfo_t c;
    c.deviceID = device;
    c.channelID = id;
    c.definitionMode = definition;
    c.bHasChannel = true;
    return c;
}

// A recorder of count channels, width x height in high definition and half that in standard.
inline std::vector<SimMedia::MediaDevice> recorder(const char *id, int count, int width, int height)
{
    SimMedia::MediaDevice device {id, id, {}};
    for (int n = 1; n <= count; ++n)
        device.channels.push_back(SimHarness::channel(n, "h264", false, width, height));
    return {device};
}

// Starts the simulated devices and points the client's video side and its open-platform
// address (read by the windows' reconnect probes) at them; the program folder gets the shipped
// split layouts. Sound goes nowhere and talk sends a test tone: the test machine has neither
// speaker nor microphone.
inline bool start(SimHarness &sim)
{
    qputenv("STREAMCORE_AUDIO_SINK", "fakesink sync=false");
    qputenv("STREAMCORE_MICROPHONE", "audiotestsrc is-live=true");
    if (!QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml") || !sim.start()
        || !connectVideoClient(sim.httpPort(), SimHarness::kToken))
        return false;
    QSettings("Localcfg.ini", QSettings::IniFormat).setValue("VTOpen/port", sim.httpPort());
    KSingleton<ConfigInfo::CLocalCfg>::Reset();
    return true;
}

} // namespace SimVideo
