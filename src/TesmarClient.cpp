#include "TesmarClient.h"

#include "CPublicManager.h"
#include "Common/CGlobalEvent.h"
#include "Common/CNetWork.h"
#include "CommonExportManager/CCommonExportTaskManager.h"
#include "CommonUI/QCustomWidget.h"
#include "CommonUI/WaitLoadWidget.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CClientInfo.h"
#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"
#include "ModuleViews.h"
#include "PTZ/QPTZManager.h"
#include "TopToolBar/QTopToolBar.h"
#include "Web/CWebView.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <StreamCore/IStreamCore.h>
#include <kwl/KPrintLog.h>
#include <winport/Updater.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QVBoxLayout>

using ConfigInfo::CConfig;
using ConfigInfo::CLocalCfg;

namespace {

constexpr int kToolBarHeight = 25;
constexpr int kPtzWidth = 298;
constexpr int kPtzHeight = 426;

double zoomFactor()
{
    return CConfig::Instance().GetWebInfo().zoomFactor;
}

// A member of the version reply as text, also when the platform sends a number.
QString textOf(const QJsonObject &data, const char *key)
{
    return data.value(key).toVariant().toString();
}

} // namespace

TesmarClient::TesmarClient()
{
    QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    setObjectName("KWSStoreClient");
    auto *central = new QWidget(this);
    central->setObjectName("centralWidget");
    setCentralWidget(central);

    const QByteArray program = CLocalCfg::Instance().GetProgram().toUtf8();
    setWindowTitle(tr(program.constData()));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_QuitOnClose);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const double zoom = zoomFactor();
    const QSize size = screen.width() >= 1280
        ? QSize(static_cast<int>(1280 * zoom), static_cast<int>(800 * zoom))
        : QSize(900, 600);
    setMinimumSize(size);
    resize(size);
    move((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);

    buildWebView(central);

    m_topToolBar = new QTopToolBar(this);
    m_topToolBar->SetWebViewManager(m_webView);
    m_topToolBar->show();
    connectToolBar();

    m_publicManager = new CPublicManager;
    m_publicManager->SetWebViewManager(m_webView);
    connect(m_publicManager, &CPublicManager::sgnActivateMainWindow, this,
            &TesmarClient::onActivateWindow);
    m_exportManager = new CCommonExportTaskManager;
    m_exportManager->SetWebViewManager(m_webView);

    // The token service's HTTP client and timer belong to the GUI thread: it is created here,
    // before the web queue's worker first stores a user in it.
    ConfigInfo::CBaseInfo::Instance();
    buildBackdrop(central);

    const CLocalCfg::VTOpen openPlatform = CLocalCfg::Instance().GetVTOpen();
    StreamCore::IStreamCore::GetInstance()->InitApi(openPlatform.host.toLocal8Bit().constData(),
                                                    openPlatform.port, "", true);
    connect(Common::CGlobalEvent::Instance(), &Common::CGlobalEvent::sgnSelectWndInfo, this,
            &TesmarClient::onPTZCtrlNotify);
    RegisterModuleViews(*this);
    SetPtzHostFactory([](QWidget *parent, const ChannelPTZParams_t &request) {
        auto *host = new QPTZManager(parent, request.bFullScreen);
        host->onSetPTZParams(request.deviceID, request.channelID);
        host->setOpticalZoom(request.bPTZFlag);
        return host;
    });
}

TesmarClient::~TesmarClient()
{
    delete m_publicManager;
    delete m_exportManager;
    // Its logout signal deletes the module views while the web view still exists.
    delete m_topToolBar;
    StreamCore::IStreamCore::GetInstance()->UnitApi();
}

void TesmarClient::buildWebView(QWidget *central)
{
    m_webView = new Web::CWebView("Main", central);
    connect(m_webView, &Web::CWebView::sgnCertificateErrorHandler, this,
            &TesmarClient::onHandleCertificateError);
    m_progressConnection = connect(m_webView, &QWebEngineView::loadProgress, this,
                                   &TesmarClient::onBrowseLoadProgressChanged);
    m_finishedConnection = connect(m_webView, &QWebEngineView::loadFinished, this,
                                   &TesmarClient::onBrowseLoadFinised);
    m_webView->setObjectName("CWebView");
    m_webView->show();
    m_webView->load(QUrl(CLocalCfg::Instance().GetLoginUrl()));

    m_waitWidget = new WaitLoadWidget(this);
    m_waitWidget->Start();
    m_waitWidget->move(
        pos()
        + QPoint((width() - m_waitWidget->width()) / 2, (height() - m_waitWidget->height()) / 2));
}

void TesmarClient::buildBackdrop(QWidget *central)
{
    auto *backdrop = new QWidget(central);
    backdrop->setObjectName("WebBlackWidget");
    auto *backdropLayout = new QVBoxLayout(backdrop);
    backdropLayout->setContentsMargins(0, 0, 0, 0);
    backdropLayout->addWidget(m_webView);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(backdrop);
    QCustomWidget::applySkinStyleSheet(backdrop);
}

void TesmarClient::connectToolBar()
{
    connect(m_topToolBar, &QTopToolBar::sgnFullScreen, this, &TesmarClient::onFullScreen);
    connect(m_topToolBar, &QTopToolBar::sgnMinSize, this, &TesmarClient::onMinSize);
    connect(m_topToolBar, &QTopToolBar::sgnClose, this, &TesmarClient::onClose);
    connect(m_topToolBar, &QTopToolBar::sgnMove, this, &TesmarClient::onMove);
    connect(m_topToolBar, &QTopToolBar::sgnMenuChange, this, &TesmarClient::onMenuChange);
    connect(m_topToolBar, &QTopToolBar::sgnMenuClose, this, &TesmarClient::onMenuClose);
    connect(m_topToolBar, &QTopToolBar::sgnLogout, this, &TesmarClient::onLogout);
}

void TesmarClient::QueryClientVersion()
{
    if (!m_versionQuery) {
        m_versionQuery = new Common::CNetWork("queryVersion");
        m_versionQuery->setParent(this);
        m_versionQuery->setListener(this);
    }
    m_reply.clear();
    m_versionQuery->setUrl(CLocalCfg::Instance().GetVersionUrl());
    m_versionQuery->get();
}

qint64 TesmarClient::VersionNumber(const QString &version)
{
    const QStringList parts = version.split('.');
    if (parts.size() != 5)
        return 0;
    QString minor = parts.at(3);
    if (minor.toInt() < 10)
        minor.prepend('0');
    return (parts.at(2) + minor).toLongLong();
}

void TesmarClient::SetModuleFactory(const QString &path, ModuleFactory factory)
{
    m_moduleFactories.insert(path, std::move(factory));
}

void TesmarClient::SetPtzHostFactory(PtzHostFactory factory)
{
    m_ptzHostFactory = std::move(factory);
}

void TesmarClient::onNetWorkReadyRead(const QByteArray &data, const QString &)
{
    m_reply.append(data);
}

void TesmarClient::onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &,
                                              const QString &)
{ }

void TesmarClient::onNetWorkFinished(const QString &)
{
    handleVersionReply(m_reply);
    m_versionChecked = true;
    stopWaitingWhenReady();
}

void TesmarClient::onNetWorkError(int code, const QString &message, const QString &)
{
    KLOG(KPrintLog::Info, "Falied getClientVersion! ErrorCode = %d, ErrorDes = %s", code,
         message.toLocal8Bit().constData());
    m_versionChecked = true;
    stopWaitingWhenReady();
}

void TesmarClient::handleVersionReply(const QByteArray &body)
{
    const QJsonObject reply = QJsonDocument::fromJson(body).object();
    if (!reply.contains("code") || !reply.contains("data")) {
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(
            tr("Failed to Get Client version information!"));
        return;
    }
    const QJsonObject data = reply.value("data").toObject();
    const QString version = textOf(data, "version");
    const QString localVersion = ConfigInfo::CClientInfo::Instance().GetVersion();
    // Only versions of this product line are offered to this client.
    if (!version.contains("V1.000."))
        return;
    const qint64 local = VersionNumber(localVersion);
    if (VersionNumber(version) <= local)
        return;
    const bool forced = VersionNumber(textOf(data, "leastVersion")) > local;
    startUpdater({textOf(data, "url"), textOf(data, "filesize"), forced ? "true" : "false",
                  localVersion, textOf(data, "desc"),
                  QString::number(QCoreApplication::applicationPid())});
}

void TesmarClient::startUpdater(const QStringList &arguments)
{
    const QString updater
        = QCoreApplication::applicationDirPath() + "/" + winport::updaterFileName();
    if (!QProcess::startDetached(updater, arguments))
        KLOG(KPrintLog::Info, "cannot start the updater %s", updater.toLocal8Bit().constData());
}

void TesmarClient::onBrowseLoadProgressChanged(int progress)
{
    if (progress == 100)
        markPageLoaded(m_progressConnection);
}

void TesmarClient::onBrowseLoadFinised(bool)
{
    markPageLoaded(m_finishedConnection);
}

void TesmarClient::markPageLoaded(QMetaObject::Connection &connection)
{
    disconnect(connection);
    m_pageLoaded = true;
    stopWaitingWhenReady();
}

void TesmarClient::stopWaitingWhenReady()
{
    if (m_versionChecked && m_pageLoaded)
        m_waitWidget->Stop();
}

void TesmarClient::onFullScreen(bool bFullScreen)
{
    m_fullScreen = bFullScreen;
    if (bFullScreen)
        showMaximized();
    else
        showNormal();
    update();
}

void TesmarClient::onMinSize()
{
    showMinimized();
}

void TesmarClient::onClose()
{
    m_closeAllowed = true;
    close();
}

void TesmarClient::onMove(QPoint delta)
{
    move(pos() + delta);
}

void TesmarClient::onMenuChange(QString oldPath, QString newPath)
{
    if (oldPath == newPath)
        return;
    if (QWidget *old = m_modules.value(oldPath))
        old->hide();
    // A view that exists is shown again by the page's own requests.
    if (m_modules.contains(newPath))
        return;
    closePtzHost();
    const ModuleFactory factory = m_moduleFactories.value(newPath);
    QWidget *view = factory ? factory(this, m_webView) : nullptr;
    if (!view)
        return;
    view->installEventFilter(this);
    view->hide();
    m_modules.insert(newPath, view);
}

void TesmarClient::onMenuClose(QString path)
{
    delete m_modules.take(path);
}

void TesmarClient::onLogout()
{
    qDeleteAll(m_modules);
    m_modules.clear();
}

bool TesmarClient::onHandleCertificateError(QWebEngineCertificateError error)
{
    QMessageBox box;
    box.setTextFormat(Qt::RichText);
    if (!error.isOverridable()) {
        box.setIcon(QMessageBox::Critical);
        box.setText(QString("<h3>%1</h3>").arg(tr("CertificateError")));
        box.setInformativeText(tr("CertificateError"));
        box.setStandardButtons(QMessageBox::Ok);
        box.setButtonText(QMessageBox::Ok, tr("OK"));
        box.exec();
        return false;
    }
    box.setIcon(QMessageBox::Warning);
    box.setText(QString("<h3>%1</h3>").arg(tr("CertificateNotTrusted")));
    box.setInformativeText(
        tr("CertificateNotTrustedDetail").arg(error.url().host(), QString::number(error.error())));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setButtonText(QMessageBox::Yes, tr("Proceed anyway"));
    box.setButtonText(QMessageBox::No, tr("Back to safety"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TesmarClient::onActivateWindow()
{
    if (isMaximized())
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
}

void TesmarClient::onPTZCtrlNotify(ChannelPTZParams_t params)
{
    if (!params.bShow) {
        closePtzHost();
        return;
    }
    delete m_ptzManager;
    if (!m_ptzHostFactory)
        return;
    m_ptzManager = m_ptzHostFactory(this, params);
    if (params.bFullScreen)
        placePtzHost(2);
    else
        placePtzHost(m_fullScreen ? 1 : 0);
}

void TesmarClient::closePtzHost()
{
    if (m_ptzManager)
        m_ptzManager->close();
}

void TesmarClient::placePtzHost(int mode)
{
    if (!m_ptzManager)
        return;
    m_ptzManager->resize(kPtzWidth, kPtzHeight);
    const QRect window = geometry();
    QPoint at;
    if (mode == 0) {
        at = QPoint(window.left() + 104, window.bottom() - 431);
    } else if (mode == 1) {
        at = QPoint(window.left() + 110, window.bottom() - 440);
    } else {
        const int desktopHeight = QGuiApplication::primaryScreen()->geometry().height();
        at = QPoint(150, desktopHeight - 600);
    }
    m_ptzManager->move(m_ptzManager->isWindow() ? at : mapFromGlobal(at));
    m_ptzManager->show();
    m_ptzManager->raise();
}

void TesmarClient::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!m_topToolBar)
        return; // still being built
    m_topToolBar->setGeometry(0, 0, width(), static_cast<int>(kToolBarHeight * zoomFactor()));
    m_topToolBar->show();
    if (m_ptzManager && m_ptzManager->isVisible())
        placePtzHost(m_fullScreen ? 1 : 0);
    setMask(QCustomWidget::roundedMask(size()));
}

void TesmarClient::closeEvent(QCloseEvent *event)
{
    if (m_closeAllowed) {
        QMainWindow::closeEvent(event);
        return;
    }
    // The page asks the user and answers with "CloseApp" if the client should quit.
    onActivateWindow();
    m_webView->RightClickCloseAPP();
    event->ignore();
}

void TesmarClient::showEvent(QShowEvent *event)
{
    setAttribute(Qt::WA_Mapped);
    QMainWindow::showEvent(event);
}
