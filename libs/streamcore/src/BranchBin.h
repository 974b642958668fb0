#pragma once

#include "GstPtr.h"

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
    static GstPtr<GstElement> make(const std::string &description,
                                   const std::vector<std::pair<std::string, std::string>> &inputs,
                                   std::string *error, const std::string &output = std::string());
    // Adds a bin to a running pipeline, in the pipeline's state; false (and the bin out of
    // the pipeline again) when it cannot be added or started.
    static bool plug(GstElement *pipeline, GstElement *bin);
    // Stops a bin and takes it out of its pipeline.
    static void unplug(GstElement *pipeline, GstElement *bin);
    // A named element inside a bin, or null.
    static GstPtr<GstElement> child(GstElement *bin, const char *name);
    // Adds a probe to a pad of a named element of a bin; false when there is no such pad.
    static bool probe(GstElement *bin, const char *element, const char *pad, GstPadProbeType type,
                      GstPadProbeCallback callback, gpointer data);
};

} // namespace StreamCore
