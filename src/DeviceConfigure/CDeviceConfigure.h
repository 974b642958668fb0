#pragma once

#include "Common/CNetWorkListener.h"
#include "Web/IWebListener.h"

#include <StreamCore/IMediaObserver.h>

#include <QByteArray>
#include <QJsonArray>
#include <QObject>
#include <QString>

namespace Common {
class CNetWork;
}

namespace StreamCore {
class IStreamCore;
}

namespace Web {
class IWebViewManager;
}

// Opens a recorder's or camera's own configuration web page in the system browser. The media
// library reaches the device through a local port on 127.0.0.1; for that it must know the
// user's devices and their logins, which this object fetches from the gateway's device list
// and hands over. The page asks with "OpenDeviceWeb" and is told the outcome by "WebP2pState".
//
// Threads: web messages and HTTP results arrive on the GUI thread. The media library's result
// event only copies its values into a queued signal, so the notification, the toast and the
// browser always run on the GUI thread, whatever thread the library calls from.
class CDeviceConfigure : public QObject,
                         public Common::CNetWorkListener,
                         public StreamCore::IMediaObserver,
                         public Web::IWebListener
{
    Q_OBJECT

public:
    // Port the media library uses for devices that announce the ability "RTSV1".
    static constexpr int kRtsv1WebPort = 8086;

    explicit CDeviceConfigure(QObject *parent = nullptr);
    // Leaves the web view's listeners and the media library's observers.
    ~CDeviceConfigure() override;

    // Keeps manager and listens to "OpenDeviceWeb".
    void SetWebViewManager(Web::IWebViewManager *manager);
    // Asks the gateway for the user's devices; the answer goes to the media library.
    void requestDeviceList();

    // The media library's device array built from the gateway's "data" array, in its order.
    static QJsonArray DevicesOf(const QJsonArray &gatewayDevices);

    void onRPCCall(Web::CWebBaseMsg *msg) override;
    void OnMediaEvent(const StreamCore::MediaEvent *event) override;

    void onNetWorkReadyRead(const QByteArray &data, const QString &name) override;
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override;
    void onNetWorkFinished(const QString &name) override;
    void onNetWorkError(int code, const QString &message, const QString &name) override;

signals:
    // A web-port result of the media library, carried to this object's thread.
    void sgnWebP2pResult(int port, int type, QString deviceId);

private slots:
    void onWebP2pResult(int port, int type, QString deviceId);

private:
    void openDeviceWeb(const QString &deviceId);
    void handleDeviceList(const QByteArray &body);

    StreamCore::IStreamCore *m_streamCore;
    Web::IWebViewManager *m_webViewManager = nullptr;
    Common::CNetWork *m_netWork = nullptr;
    QByteArray m_replyBuffer;
};
