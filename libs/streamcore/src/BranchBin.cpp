#include "BranchBin.h"

namespace StreamCore {

namespace {

// Gives the bin a ghost pad for a pad of one of its elements; false when there is none.
bool ghost(GstElement *bin, const std::string &ghostName, const std::string &element,
           const char *padName)
{
    GstElement *e = gst_bin_get_by_name(GST_BIN(bin), element.c_str());
    GstPad *pad = e ? gst_element_get_static_pad(e, padName) : nullptr;
    if (pad) {
        gst_element_add_pad(bin, gst_ghost_pad_new(ghostName.c_str(), pad));
        gst_object_unref(pad);
    }
    if (e)
        gst_object_unref(e);
    return pad != nullptr;
}

} // namespace

GstElement *BranchBin::make(const std::string &description,
                            const std::vector<std::pair<std::string, std::string>> &inputs,
                            std::string *error, const std::string &output)
{
    GError *gerror = nullptr;
    GstElement *bin = gst_parse_bin_from_description(description.c_str(), FALSE, &gerror);
    if (!bin) {
        *error = gerror ? gerror->message : "cannot build " + description;
        g_clear_error(&gerror);
        return nullptr;
    }
    bool ok = true;
    for (const auto &input : inputs)
        ok = ok && ghost(bin, input.first, input.second, "sink");
    if (!output.empty())
        ok = ok && ghost(bin, "src", output, "src");
    if (!ok) {
        *error = "missing named element in " + description;
        gst_object_unref(bin);
        return nullptr;
    }
    return bin;
}

bool BranchBin::plug(GstElement *pipeline, GstElement *bin)
{
    if (!gst_bin_add(GST_BIN(pipeline), bin))
        return false;
    return gst_element_sync_state_with_parent(bin);
}

void BranchBin::unplug(GstElement *pipeline, GstElement *bin)
{
    gst_element_set_state(bin, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline), bin);
}

GstElement *BranchBin::child(GstElement *bin, const char *name)
{
    return gst_bin_get_by_name(GST_BIN(bin), name);
}

} // namespace StreamCore
