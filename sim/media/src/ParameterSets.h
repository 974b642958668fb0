#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace SimMedia {

// H.264 parameter sets (SPS, PPS) inside an Annex B byte stream, for cameras that announce them
// only in the session description.
class ParameterSets
{
public:
    // The access unit without its SPS and PPS units; the removed units go to *sprop as the
    // "sprop-parameter-sets" text (base64, comma-separated) when they were found.
    static std::string strip(const uint8_t *data, size_t size, std::string *sprop);
};

} // namespace SimMedia
