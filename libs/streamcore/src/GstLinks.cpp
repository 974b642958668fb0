#include "GstLinks.h"

#include "GstPtr.h"
#include "Log.h"

namespace StreamCore {

namespace {

void logFailure(const char *what, GstObject *from, GstObject *to)
{
    const GstPtr<gchar> fromName(from ? gst_object_get_path_string(from) : nullptr);
    const GstPtr<gchar> toName(to ? gst_object_get_path_string(to) : nullptr);
    SCLOG(6, "cannot %s %s to %s", what, fromName ? fromName.get() : "(none)",
          toName ? toName.get() : "(none)");
}

} // namespace

bool GstLinks::add(GstElement *bin, GstElement *element)
{
    if (bin && element && gst_bin_add(GST_BIN(bin), element))
        return true;
    logFailure("add", GST_OBJECT_CAST(element), GST_OBJECT_CAST(bin));
    return false;
}

bool GstLinks::elements(GstElement *from, GstElement *to)
{
    if (from && to && gst_element_link(from, to))
        return true;
    logFailure("link", GST_OBJECT_CAST(from), GST_OBJECT_CAST(to));
    return false;
}

bool GstLinks::pads(GstPad *from, GstPad *to)
{
    if (from && to && gst_pad_link(from, to) == GST_PAD_LINK_OK)
        return true;
    logFailure("link", GST_OBJECT_CAST(from), GST_OBJECT_CAST(to));
    return false;
}

bool GstLinks::padToElement(GstPad *from, GstElement *to)
{
    const GstPtr<GstPad> input(to ? gst_element_get_static_pad(to, "sink") : nullptr);
    if (input)
        return pads(from, input.get());
    logFailure("link", GST_OBJECT_CAST(from), GST_OBJECT_CAST(to));
    return false;
}

} // namespace StreamCore
