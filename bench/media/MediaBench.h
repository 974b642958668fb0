#pragma once

#include "SimLogin.h"

#include <QString>

#include <string>
#include <vector>

// Measures the media library on the simulated devices: CPU of N live windows in a real Qt
// window beside gst-launch-1.0 decoding the same streams (the floor), displayed frame rates,
// first-picture times and seek-to-picture times.
class MediaBench
{
public:
    struct Windows
    {
        double floorCpu = 0; // percent of one core
        double cpu = 0;
        double minFps = 0;
        double avgFps = 0;
        int playing = 0;
    };

    // The demo platform's first recorder, channel 1: 1280x720 high, 640x360 standard.
    static constexpr const char *kDevice = SimLogin::kDevice;

    // token: the device-platform token of a logged-in user (SimLogin::deviceToken).
    MediaBench(int httpPort, std::string token, int seconds);

    Windows windows(int count, int definition);
    // Milliseconds from asking to the first picture painted.
    std::vector<double> firstLivePicture(int repeats);
    std::vector<double> firstPlaybackPicture(int repeats);
    // Milliseconds from a seek to the first picture of the asked moment.
    std::vector<double> seekToPicture(int repeats);

private:
    double floorCpu(int count, int definition);
    QString liveUrl(int definition) const;

    int m_httpPort;
    std::string m_token;
    int m_seconds;
};
