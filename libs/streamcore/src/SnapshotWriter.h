#pragma once

#include <string>

typedef struct _GstSample GstSample;

namespace StreamCore {

// Encodes a decoded picture as JPEG into a file. May take a while: run it off the GUI thread.
class SnapshotWriter
{
public:
    // False with a reason when the picture cannot be encoded within timeoutMs or the file
    // cannot be written.
    static bool write(GstSample *picture, const std::string &path, int timeoutMs,
                      std::string *error);
};

} // namespace StreamCore
