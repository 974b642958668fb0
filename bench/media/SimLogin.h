#pragma once

#include <string>

// The simulated platform's demo user, logged in over HTTP: its device-platform token, the one
// the media library needs to open the simulated devices' streams. Empty when the login failed.
namespace SimLogin {

constexpr const char *kDevice = "NVR0001A"; // a recorder of the built-in device list

std::string deviceToken(int httpPort);

} // namespace SimLogin
