#pragma once

#include <string>

typedef struct _GError GError;

namespace StreamCore {

// The error texts the library reports in events.
class MediaError
{
public:
    static constexpr const char *kNone = "";
    static constexpr const char *kOpenTimeout = "open timeout"; // no picture in time (10 s)
    static constexpr const char *kTokenRefused = "100";
    static constexpr const char *kNotFound = "404"; // no such device, channel or recording
    static constexpr const char *kConnection = "7"; // connection refused or lost
    static constexpr const char *kOther = "99";

    // The text for an HTTP answer of the open platform (0: no answer at all).
    static std::string fromHttpStatus(int status);
    // The text for an error of the stream's pipeline.
    static std::string fromGstError(const GError *error);
};

} // namespace StreamCore
