#pragma once

#include <gst/gst.h>

namespace StreamCore {

// Adding elements to bins and linking them, each failure logged with both ends named, so that
// a broken pipeline is reported at once rather than by a picture that never comes.
class GstLinks
{
public:
    // Adds an element to a bin (false: the bin refuses it, for instance a name taken).
    static bool add(GstElement *bin, GstElement *element);
    static bool elements(GstElement *from, GstElement *to);
    static bool pads(GstPad *from, GstPad *to);
    // Links a pad to the "sink" pad of an element.
    static bool padToElement(GstPad *from, GstElement *to);
};

} // namespace StreamCore
