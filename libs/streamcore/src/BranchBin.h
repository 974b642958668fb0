#pragma once

#include <gst/gst.h>

#include <string>
#include <utility>
#include <vector>

namespace StreamCore {

// A bin built from a pipeline description, whose inputs are ghost pads of named elements.
class BranchBin
{
public:
    // inputs: (ghost pad name, element name) pairs; output: the element whose "src" pad
    // becomes the bin's "src" (none when empty). Null with a reason on failure.
    static GstElement *make(const std::string &description,
                            const std::vector<std::pair<std::string, std::string>> &inputs,
                            std::string *error, const std::string &output = std::string());
    // Adds a bin to a running pipeline, in the pipeline's state.
    static bool plug(GstElement *pipeline, GstElement *bin);
    // Stops a bin and takes it out of its pipeline.
    static void unplug(GstElement *pipeline, GstElement *bin);
    // A named element inside a bin (a new reference), or null.
    static GstElement *child(GstElement *bin, const char *name);
};

} // namespace StreamCore
