#pragma once

#include "Common/CNetWorkListener.h"
#include "Records/VideoRecords.h"

#include <QByteArray>
#include <QMainWindow>
#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QWebEngineCertificateError>

#include <functional>

class CCommonExportTaskManager;
class CPublicManager;
class QTopToolBar;
class WaitLoadWidget;

namespace Common {
class CNetWork;
}

namespace Web {
class CWebView;
class IWebViewManager;
} // namespace Web

// The client's one top-level window: frameless, filled by the web view that shows the
// platform's web application, with the tool bar strip over its top edge. It owns the modules
// not tied to a menu, creates the module view of a menu when the page first switches to it,
// covers itself with a waiting animation until the page has loaded and the client version was
// checked, starts the updater when the platform publishes a newer version, and turns window
// commands of the tool bar and the page into window actions.
class TesmarClient : public QMainWindow, public Common::CNetWorkListener
{
    Q_OBJECT

public:
    // Creates the view of a menu's module as a child of parent and gives it the web view.
    using ModuleFactory = std::function<QWidget *(QWidget *parent, Web::IWebViewManager *web)>;
    // Creates the PTZ panel host for a request (device, channel, full-screen flag).
    using PtzHostFactory
        = std::function<QWidget *(QWidget *parent, const ChannelPTZParams_t &request)>;

    TesmarClient();
    ~TesmarClient() override;

    // Asks the platform for the published client version; the answer may start the updater.
    void QueryClientVersion();
    // The comparable number of a version text "V1.000.0000012.3.R" (1203); 0 unless it has
    // five parts.
    static qint64 VersionNumber(const QString &version);

    // Sets how the view of a menu path is made; a path without a factory creates nothing.
    void SetModuleFactory(const QString &path, ModuleFactory factory);
    // Sets how the PTZ panel host is made; without one PTZ requests show nothing.
    void SetPtzHostFactory(PtzHostFactory factory);

    void onNetWorkReadyRead(const QByteArray &data, const QString &name) override;
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override;
    void onNetWorkFinished(const QString &name) override;
    void onNetWorkError(int code, const QString &message, const QString &name) override;

public slots:
    void onFullScreen(bool bFullScreen);
    void onMinSize();
    // The client itself closes the window, which quits the application.
    void onClose();
    void onMove(QPoint delta);
    void onMenuChange(QString oldPath, QString newPath);
    void onMenuClose(QString path);
    // Deletes every module view.
    void onLogout();
    // Asks the user about a certificate the web engine refused; true lets the load go on.
    bool onHandleCertificateError(QWebEngineCertificateError error);
    void onBrowseLoadProgressChanged(int progress);
    void onBrowseLoadFinised(bool ok);
    // Brings the window to the front, as it was (maximised or normal).
    void onActivateWindow();
    void onPTZCtrlNotify(ChannelPTZParams_t params);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Closing from outside (task bar, window manager) only asks the page.
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildWebView(QWidget *central);
    void buildBackdrop(QWidget *central);
    void connectToolBar();
    void handleVersionReply(const QByteArray &body);
    void startUpdater(const QStringList &arguments);
    // The page has loaded (either way): stops listening to the signal that said so.
    void markPageLoaded(QMetaObject::Connection &connection);
    void stopWaitingWhenReady();
    void closePtzHost();
    void placePtzHost(int mode);

    QTopToolBar *m_topToolBar = nullptr;
    Web::CWebView *m_webView = nullptr;
    WaitLoadWidget *m_waitWidget = nullptr;
    QMap<QString, QWidget *> m_modules; // menu path -> its module view
    CPublicManager *m_publicManager = nullptr;
    CCommonExportTaskManager *m_exportManager = nullptr;
    QByteArray m_reply;
    bool m_versionChecked = false;
    bool m_pageLoaded = false;
    bool m_closeAllowed = false;
    QPointer<QWidget> m_ptzManager;
    bool m_fullScreen = false;

    Common::CNetWork *m_versionQuery = nullptr;
    QMetaObject::Connection m_progressConnection;
    QMetaObject::Connection m_finishedConnection;
    QMap<QString, ModuleFactory> m_moduleFactories;
    PtzHostFactory m_ptzHostFactory;
};
