#pragma once

#include <string>

class ChildProcess;

// The simulated platform's demo user, logged in over HTTP: its device-platform token, the one
// the media library needs to open the simulated devices' streams. Empty when the login failed.
namespace SimLogin {

constexpr const char *kDevice = "NVR0001A"; // a recorder of the built-in device list

std::string deviceToken(int httpPort);

// Starts the build's orvane-sim over plain HTTP on a free port (in a process of its own, so that
// its encoding is not the benchmark's CPU); its HTTP port, or 0 after printing why it failed.
int start(ChildProcess &sim, const char *benchmark);

} // namespace SimLogin
