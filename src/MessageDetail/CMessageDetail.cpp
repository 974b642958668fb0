#include "MessageDetail/CMessageDetail.h"

#include "Web/ChannelInfoMsg.h"
#include "Web/IWebViewManager.h"
#include "Web/OpenRecordMsg.h"
#include "Web/WebDialogRectMsg.h"
#include "Web/WndRectMsg.h"

namespace {

const char *const kMethods[]
    = {"SetWndRect", "OpenVideo", "CloseVideo", "OpenRecord", "DialogRectNotify"};

// The channels as this module opens them: marked as put into a window.
QList<ChannelInfo_t> windowChannels(QList<ChannelInfo_t> channels)
{
    for (ChannelInfo_t &channel : channels)
        channel.bHasChannel = true;
    return channels;
}

// Calls fn(x, y, width, height) with a rectangle of the page, numbers cut toward zero.
template<typename Msg, typename Fn> void withRect(const Msg &msg, Fn fn)
{
    const int left = int(msg.left);
    const int top = int(msg.top);
    fn(left, top, int(msg.right) - left, int(msg.bottom) - top);
}

} // namespace

CMessageDetail::CMessageDetail(int moduleType, IMessageDetailListener *listener)
    : m_moduleType(moduleType)
    , m_listener(listener)
{ }

CMessageDetail::~CMessageDetail()
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
}

void CMessageDetail::setWebViewManager(Web::IWebViewManager *manager)
{
    m_webViewManager = manager;
    if (!m_webViewManager)
        return;
    for (const char *method : kMethods)
        m_webViewManager->RegisterListener(method, this);
}

void CMessageDetail::videoStatusChanged(int wndIndex, int status, const VideoWndInfo_t &info)
{
    if (!m_webViewManager)
        return;
    m_webViewManager->VideoStatusChanged(
        Web::WebWndStatus_t::of(wndIndex, m_moduleType, status, info));
}

void CMessageDetail::onRPCCall(Web::CWebBaseMsg *msg)
{
    if (!msg || !m_listener)
        return;
    IMessageDetailListener *view = m_listener;
    if (auto *rect = dynamic_cast<Web::WndRectMsg *>(msg)) {
        if (rect->module == m_moduleType)
            withRect(*rect, [view](int x, int y, int w, int h) { view->setRect(x, y, w, h); });
    } else if (auto *dialog = dynamic_cast<Web::WebDialogRectMsg *>(msg)) {
        if (dialog->module == m_moduleType)
            withRect(*dialog,
                     [view](int x, int y, int w, int h) { view->setDialogRect(x, y, w, h); });
    } else if (auto *record = dynamic_cast<Web::OpenRecordMsg *>(msg)) {
        if (record->module != m_moduleType)
            return;
        m_message = {record->module, record->recordTime, record->recordLengthOfTime,
                     windowChannels(record->channels)};
        view->openRecord(m_message);
    } else if (auto *channels = dynamic_cast<Web::ChannelInfoMsg *>(msg)) {
        if (channels->module != m_moduleType)
            return;
        if (msg->method == QLatin1String("OpenVideo"))
            view->openVideos(windowChannels(channels->channels));
        else if (msg->method == QLatin1String("CloseVideo"))
            view->closeVideos(windowChannels(channels->channels));
    }
}
