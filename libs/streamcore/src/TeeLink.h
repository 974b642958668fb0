#pragma once

#include "GstPtr.h"

#include <gst/gst.h>

namespace StreamCore {

// One output of a tee feeding a branch that is added and removed while the stream runs.
class TeeLink
{
public:
    // Requests a tee output and links it to the branch's input (a failure is logged).
    TeeLink(GstElement *tee, GstPad *branchInput);
    ~TeeLink();
    TeeLink(const TeeLink &) = delete;
    TeeLink &operator=(const TeeLink &) = delete;

    bool linked() const { return bool(m_teePad); }
    // Cuts the branch off between two buffers and, when asked, ends its stream with EOS so
    // that it can finish (a file gets its index); releases the tee output.
    void cut(bool endOfStream);

private:
    static GstPadProbeReturn onIdle(GstPad *pad, GstPadProbeInfo *info, gpointer self);
    void unlinkNow();

    GstPtr<GstElement> m_tee;
    GstPtr<GstPad> m_teePad;
    GstPtr<GstPad> m_branchInput;
    bool m_endOfStream = false;
    GMutex m_lock;
    GCond m_done;
    bool m_cut = false;
};

} // namespace StreamCore
