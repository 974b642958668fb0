#pragma once

#include <functional>
#include <string>

namespace httplib {
class Server;
}

namespace SimMedia {

class MediaServer;

// Decides whether a device-platform token is valid.
using TokenValidator = std::function<bool(const std::string &token)>;

// Registers the open platform's routes ("/openapi/v1/...": stream addresses, record searches,
// month bitmaps, PTZ, device web pages) on an HTTP server. Every request must carry
// "Authorization: Bearer <token>"; a token the validator refuses gets 401. The media server must
// outlive the HTTP server's use of them.
void registerOpenPlatformRoutes(httplib::Server &http, MediaServer &media,
                                TokenValidator validator);

} // namespace SimMedia
