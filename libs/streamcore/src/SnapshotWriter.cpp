#include "SnapshotWriter.h"

#include "GstBufferMap.h"
#include "GstPtr.h"

#include <gst/video/video.h>

#include <cstdio>

namespace StreamCore {

bool SnapshotWriter::write(GstSample *picture, const std::string &path, int timeoutMs,
                           std::string *error)
{
    const GstPtr<GstCaps> jpeg(gst_caps_new_empty_simple("image/jpeg"));
    GstPtr<GError> gerror;
    const GstPtr<GstSample> converted(gst_video_convert_sample(
        picture, jpeg.get(), static_cast<GstClockTime>(timeoutMs) * GST_MSECOND, gerror.out()));
    if (!converted) {
        *error = gerror ? gerror->message : "cannot encode the picture";
        return false;
    }
    const GstBufferMap map(gst_sample_get_buffer(converted.get()), GST_MAP_READ);
    bool written = false;
    if (map) {
        if (FILE *file = std::fopen(path.c_str(), "wb")) {
            written = std::fwrite(map.data(), 1, map.size(), file) == map.size();
            written = std::fclose(file) == 0 && written;
        }
    }
    if (!written)
        *error = "cannot write " + path;
    return written;
}

} // namespace StreamCore
