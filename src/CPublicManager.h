#pragma once

#include "Web/IWebListener.h"

#include <QList>
#include <QObject>
#include <QString>

namespace Web {
class IWebViewManager;
}

// The notification hub: turns the page's text notices and alarm messages into desktop toasts,
// and sends a click on an alarm toast back to the page with the message's id.
class CPublicManager : public QObject, public Web::IWebListener
{
    Q_OBJECT

public:
    explicit CPublicManager(QObject *parent = nullptr);
    // Leaves the web view's listeners.
    ~CPublicManager() override;

    // Keeps manager and listens to "TextNotify" and "MessageNotify".
    void SetWebViewManager(Web::IWebViewManager *manager);

    void onRPCCall(Web::CWebBaseMsg *msg) override;

    // How many alarm toasts are remembered for their clicks; older ones roll out.
    static constexpr int kMaxPendingLinks = 10;

signals:
    // A click on an alarm toast was passed on: bring the main window to the front.
    void sgnActivateMainWindow();

public slots:
    // A toast's link was clicked: the page gets its messageID, unless a modal dialog is open.
    void onReplyWebMessageNotifyClick(QString &linkId);

private:
    struct PendingLink
    {
        QString linkId;
        QString messageID;
    };

    void addMessageNotify(const QString &content, const QString &messageID);
    QString messageIdOf(const QString &linkId) const;

    Web::IWebViewManager *m_webViewManager = nullptr;
    QList<PendingLink> m_links; // oldest first
};
