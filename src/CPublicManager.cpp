#include "CPublicManager.h"

#include "Web/IWebViewManager.h"
#include "Web/MessageNotifyMsg.h"
#include "Web/TextMsg.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QUuid>

namespace {

KWGUI::KWMessageNotify *notifier()
{
    return KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
}

} // namespace

CPublicManager::CPublicManager(QObject *parent)
    : QObject(parent)
{
    // Direct: the link id travels by reference.
    connect(notifier(), &KWGUI::KWMessageNotify::sgnClickTextLink, this,
            &CPublicManager::onReplyWebMessageNotifyClick, Qt::DirectConnection);
}

CPublicManager::~CPublicManager()
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
}

void CPublicManager::SetWebViewManager(Web::IWebViewManager *manager)
{
    m_webViewManager = manager;
    if (!m_webViewManager)
        return;
    m_webViewManager->RegisterListener("TextNotify", this);
    m_webViewManager->RegisterListener("MessageNotify", this);
}

void CPublicManager::onRPCCall(Web::CWebBaseMsg *msg)
{
    if (auto *text = dynamic_cast<Web::TextMsg *>(msg)) {
        if (!text->content.isEmpty())
            notifier()->AddTextNotification(text->content);
    } else if (auto *message = dynamic_cast<Web::MessageNotifyMsg *>(msg)) {
        addMessageNotify(message->content, message->messageID);
    }
}

void CPublicManager::onReplyWebMessageNotifyClick(QString &linkId)
{
    if (QApplication::activeModalWidget()) {
        KLOG(KPrintLog::Info,
             "CPublicManager####onReplyWebMessageNotifyClick: have another activeModalWidget");
        return;
    }
    if (!m_webViewManager)
        return;
    // A toast whose record rolled out still answers, with an empty id.
    m_webViewManager->ReplyMessageNotify(messageIdOf(linkId));
    emit sgnActivateMainWindow();
}

void CPublicManager::addMessageNotify(const QString &content, const QString &messageID)
{
    const QString linkId = QUuid::createUuid().toString();
    if (m_links.size() >= kMaxPendingLinks)
        m_links.removeFirst();
    m_links.append({linkId, messageID});
    // A message without text still takes its place in the list.
    if (!content.isEmpty())
        notifier()->AddLinkTextNotification(content, linkId);
}

QString CPublicManager::messageIdOf(const QString &linkId) const
{
    for (const PendingLink &link : m_links) {
        if (link.linkId == linkId)
            return link.messageID;
    }
    return QString();
}
