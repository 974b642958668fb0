#include "BranchBin.h"

#include "GstLinks.h"

namespace StreamCore {

namespace {

// Gives the bin a ghost pad for a pad of one of its elements; false when there is none.
bool ghost(GstElement *bin, const std::string &ghostName, const std::string &element,
           const char *padName)
{
    const GstPtr<GstElement> e = BranchBin::child(bin, element.c_str());
    const GstPtr<GstPad> pad(e ? gst_element_get_static_pad(e.get(), padName) : nullptr);
    return pad && gst_element_add_pad(bin, gst_ghost_pad_new(ghostName.c_str(), pad.get()));
}

} // namespace

GstPtr<GstElement> BranchBin::make(const std::string &description,
                                   const std::vector<std::pair<std::string, std::string>> &inputs,
                                   std::string *error, const std::string &output)
{
    GstPtr<GError> gerror;
    GstPtr<GstElement> bin(
        gst_parse_bin_from_description(description.c_str(), FALSE, gerror.out()));
    if (!bin) {
        *error = gerror ? gerror->message : "cannot build " + description;
        return {};
    }
    bool ok = true;
    for (const auto &input : inputs)
        ok = ok && ghost(bin.get(), input.first, input.second, "sink");
    if (!output.empty())
        ok = ok && ghost(bin.get(), "src", output, "src");
    if (!ok) {
        *error = "missing named element in " + description;
        return {};
    }
    return bin;
}

bool BranchBin::plug(GstElement *pipeline, GstElement *bin)
{
    if (!GstLinks::add(pipeline, bin))
        return false;
    if (gst_element_sync_state_with_parent(bin))
        return true;
    unplug(pipeline, bin);
    return false;
}

void BranchBin::unplug(GstElement *pipeline, GstElement *bin)
{
    gst_element_set_state(bin, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline), bin);
}

GstPtr<GstElement> BranchBin::child(GstElement *bin, const char *name)
{
    return GstPtr<GstElement>(gst_bin_get_by_name(GST_BIN(bin), name));
}

bool BranchBin::probe(GstElement *bin, const char *element, const char *pad, GstPadProbeType type,
                      GstPadProbeCallback callback, gpointer data)
{
    const GstPtr<GstElement> e = child(bin, element);
    const GstPtr<GstPad> p(e ? gst_element_get_static_pad(e.get(), pad) : nullptr);
    return p && gst_pad_add_probe(p.get(), type, callback, data, nullptr) != 0;
}

} // namespace StreamCore
