#pragma once

#include "SimMedia/MediaDevice.h"

#include <memory>
#include <string>

namespace SimMedia {

// How an outside camera's RTSP server behaves: which transports it accepts, whether it asks
// for a login, where it puts the parameter sets and how it keeps sessions alive.
struct OutsideOptions
{
    enum Transport {
        Tcp = 1, // RTP interleaved on the RTSP connection
        Udp = 2, // RTP over UDP unicast
        Multicast = 4, // RTP over UDP multicast (the server announces the group)
    };
    enum Login {
        Open,
        Basic,
        Digest,
    };
    enum ParameterSets {
        DescriptionAndStream,
        DescriptionOnly, // H.264 only
        StreamOnly, // left out of the session description
    };

    int transports = Tcp | Udp; // others are refused with 461 Unsupported Transport
    Login login = Open;
    ParameterSets parameterSets = DescriptionAndStream;
    // Seconds announced in the SETUP reply ("Session: id;timeout=N"); a session that is not
    // kept alive for that long (by requests or RTCP reports, plus the server's grace of 5 s)
    // is ended and its connection closed. 0: the server's 60 s, not announced, never enforced.
    int sessionTimeout = 0;
    // false: GET_PARAMETER is not offered, so clients keep sessions alive with OPTIONS.
    bool getParameter = true;
    std::string user = "viewer";
    std::string password = "s3cret:pass";
};

// An outside camera: its own RTSP server on 127.0.0.1 (a free port) serving one live stream
// at "/stream", with the picture and fingerprint of the simulated devices (device id
// "OUTSIDE"), restricted as its options say. Stands for the cameras and RTSP servers of other
// makes whose addresses the platform hands out.
class OutsideCamera
{
public:
    static constexpr const char *kDeviceId = "OUTSIDE";

    OutsideCamera(const ChannelSpec &channel, const OutsideOptions &options);
    ~OutsideCamera();
    OutsideCamera(const OutsideCamera &) = delete;
    OutsideCamera &operator=(const OutsideCamera &) = delete;

    // false with a reason when the server cannot listen, or serves multicast only and no
    // route leads multicast out of this machine (then nothing loops it back to a viewer here).
    bool start(std::string *error = nullptr);
    void stop();
    // The stream's address with the camera's login in it (when it asks for one).
    std::string url() const;
    // The stream's address with another login.
    std::string url(const std::string &user, const std::string &password) const;
    // From now on requests and RTCP reports no longer keep sessions alive: a session ends one
    // second after its time-out.
    void dropKeepAlives(bool drop);
    // Keep-alive requests (OPTIONS or GET_PARAMETER within a session) received so far.
    int keepAlives() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace SimMedia
