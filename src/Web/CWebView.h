#pragma once

#include "Web/IWebViewManager.h"

#include <QJsonObject>
#include <QMultiMap>
#include <QString>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineView>

class QWebChannel;

namespace Web {

class CWebChannelServer;
class CWebMessageQueue;
class CWebPage;

// The embedded browser that shows the platform's web application, and the bridge between that
// page and the native modules: it checks each request text of the page, has the message queue
// parse it, hands the message to every listener registered for its method on the GUI thread,
// and sends the modules' notifications to the page.
class CWebView : public QWebEngineView, public IWebViewManager
{
    Q_OBJECT

public:
    // name: the page's name in the log ("Main" for the main window).
    CWebView(QString name, QWidget *parent);
    ~CWebView() override;

    // Sends a finished notification text to the page.
    virtual void RPCNotify(QString json);
    // Takes a request text of the page: checked here, parsed and dispatched later.
    virtual void RPCCall(QString json);

    void RegisterListener(QString method, IWebListener *listener) override;
    void UnregisterListener(IWebListener *listener) override;
    void UnregisterMethod(const QString &method) override;
    void PostRPCCall(CWebMsgRef msg) override;
    void ReplyClientInfo() override;
    void MenuClicked(const QString &menuCode, const QString &menuPath) override;
    void FullScreen(bool bFullScreen) override;
    void VideoStatusChanged(const WebWndStatus_t &status) override;
    void PlayWndSelected(const WebWndStatus_t &status) override;
    void RemoteOpenDoor() override;
    void SendFileData(const channelSnapShotInfo_t &file) override;
    void ReplyMessageNotify(const QString &messageID) override;
    void RightClickCloseAPP() override;
    void WebP2pState(int state) override;

signals:
    // A certificate error of the page; the handler answers true to let the load go on.
    bool sgnCertificateErrorHandler(QWebEngineCertificateError error);
    // A notification text on its way to the page.
    void sgnRPCNotify(QString json);
    // A parsed message on its way to the GUI thread for dispatch.
    void sgnRPCCall(Web::CWebMsgRef msg);

public slots:
    // The page's render process ended: unless it ended normally, reload one second later.
    void onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status,
                                   int exitCode);
    void onRPCNotify(QString json);
    // Hands msg to every listener of its method, the last registered first; the message ends
    // with its last reference.
    void onPRCCall(Web::CWebMsgRef msg);

private:
    // Builds the notification and sends it from the GUI thread, where its id is taken, so that
    // the page receives the ids in increasing order.
    void notify(const QString &method, const QJsonObject &params = QJsonObject());
    void setAcceptLanguage();
    void rememberCachePath();

    CWebPage *m_page;
    CWebChannelServer *m_server;
    QWebChannel *m_channel;
    CWebMessageQueue *m_queue;
    QMultiMap<QString, IWebListener *> m_listeners;
};

} // namespace Web
