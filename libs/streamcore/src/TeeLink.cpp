#include "TeeLink.h"

#include "GstLinks.h"
#include "Log.h"

namespace StreamCore {

namespace {

constexpr gint64 kCutWaitUs = 2 * G_TIME_SPAN_SECOND;

} // namespace

TeeLink::TeeLink(GstElement *tee, GstPad *branchInput)
    : m_tee(GstPtr<GstElement>::share(tee))
    , m_branchInput(GstPtr<GstPad>::share(branchInput))
{
    g_mutex_init(&m_lock);
    g_cond_init(&m_done);
    m_teePad.reset(gst_element_request_pad_simple(tee, "src_%u"));
    if (!m_teePad) {
        SCLOG(6, "no output left on %s", GST_OBJECT_NAME(tee));
        return;
    }
    if (!GstLinks::pads(m_teePad.get(), branchInput)) {
        gst_element_release_request_pad(tee, m_teePad.get());
        m_teePad.reset();
    }
}

TeeLink::~TeeLink()
{
    cut(false);
    g_cond_clear(&m_done);
    g_mutex_clear(&m_lock);
}

void TeeLink::unlinkNow()
{
    g_mutex_lock(&m_lock);
    if (!m_cut) {
        gst_pad_unlink(m_teePad.get(), m_branchInput.get());
        if (m_endOfStream)
            gst_pad_send_event(m_branchInput.get(), gst_event_new_eos());
        m_cut = true;
        g_cond_broadcast(&m_done);
    }
    g_mutex_unlock(&m_lock);
}

GstPadProbeReturn TeeLink::onIdle(GstPad *, GstPadProbeInfo *, gpointer self)
{
    static_cast<TeeLink *>(self)->unlinkNow();
    return GST_PAD_PROBE_REMOVE;
}

void TeeLink::cut(bool endOfStream)
{
    if (!m_teePad)
        return;
    m_endOfStream = endOfStream;
    // Unlinking while a buffer is being pushed would cut it in half: wait for an idle moment.
    const gulong probe = gst_pad_add_probe(m_teePad.get(), GST_PAD_PROBE_TYPE_IDLE,
                                           &TeeLink::onIdle, this, nullptr);
    g_mutex_lock(&m_lock);
    const gint64 deadline = g_get_monotonic_time() + kCutWaitUs;
    while (!m_cut) {
        if (!g_cond_wait_until(&m_done, &m_lock, deadline))
            break;
    }
    g_mutex_unlock(&m_lock);
    if (probe)
        gst_pad_remove_probe(m_teePad.get(), probe);
    // A stream stuck in a push never gets idle: cut it anyway.
    unlinkNow();
    gst_element_release_request_pad(m_tee.get(), m_teePad.get());
    m_teePad.reset();
}

} // namespace StreamCore
