#include "CommonExportManager/CCommonExportTaskManager.h"

#include "CommonExportManager/CCommonExportNetworkRequest.h"
#include "CommonExportManager/CExportFile.h"
#include "CommonExportManager/CExportFileName.h"
#include "CommonExportManager/CExportFolderQuestion.h"
#include "CommonExportManager/QCommonExportDlg.h"
#include "ConfigInfo/CBaseInfo.h"
#include "Web/CommonExportFileMsg.h"
#include "Web/IWebViewManager.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace {

KWGUI::KWMessageNotify *notifier()
{
    return KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
}

enum ExportType { Download = 0, Content = 2 };

} // namespace

CCommonExportTaskManager::CCommonExportTaskManager(QWidget *parent)
    : QWidget(parent)
    , m_exportDlg(new QCommonExportDlg(this))
    , m_request(new CCommonExportNetworkRequest(this))
{
    connect(m_request, &CCommonExportNetworkRequest::sgnExportFinished, m_exportDlg,
            &QCommonExportDlg::OnExportFinished);
    connect(m_request, &CCommonExportNetworkRequest::sgnNetworkError, m_exportDlg,
            &QCommonExportDlg::OnExportError);
    connect(m_request, &CCommonExportNetworkRequest::sgnExportError, m_exportDlg,
            &QCommonExportDlg::OnExportError);
    connect(m_request, &CCommonExportNetworkRequest::sgnExportProgress, m_exportDlg,
            &QCommonExportDlg::OnExportProgress);
    // The dialog only says that it failed; a file that cannot be written also says why.
    connect(m_request, &CCommonExportNetworkRequest::sgnExportError, this,
            &CCommonExportTaskManager::showExportError);
    connect(m_exportDlg, &QCommonExportDlg::SgnOpenFolderBtnClicked, this,
            &CCommonExportTaskManager::openLastFolder);
    connect(m_exportDlg, &QCommonExportDlg::SgnReExportBtnClicked, this,
            &CCommonExportTaskManager::OnReExport);
    connect(m_exportDlg, &QCommonExportDlg::SgnCancalExportBtnClicked, this,
            &CCommonExportTaskManager::onCancleExport);
}

CCommonExportTaskManager::~CCommonExportTaskManager()
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
}

void CCommonExportTaskManager::SetWebViewManager(Web::IWebViewManager *manager)
{
    m_webViewManager = manager;
    if (m_webViewManager)
        m_webViewManager->RegisterListener("CommonExportFile", this);
}

void CCommonExportTaskManager::onRPCCall(Web::CWebBaseMsg *msg)
{
    if (auto *exportMsg = dynamic_cast<Web::CommonExportFileMsg *>(msg))
        startExport(*exportMsg);
}

void CCommonExportTaskManager::startExport(const Web::CommonExportFileMsg &msg)
{
    m_token = ConfigInfo::CBaseInfo::Instance().getUserInfo().token;
    networkParams_t &params = m_exportParams.params;
    params = networkParams_t();
    params.requestParams = msg.requestParams;
    params.requestType = msg.requestType;
    params.requestUrl = msg.requestUrl;
    params.exportType = msg.exportType;
    params.name = msg.name;
    params.size = msg.size;
    params.isBase64 = msg.isBase64;
    params.token = m_token;
    m_exportParams.token = m_token;
    if (params.exportType == Download)
        download();
    else if (params.exportType == Content)
        saveContent();
}

void CCommonExportTaskManager::download()
{
    const QString folder = askFolder();
    if (folder.isEmpty())
        return;
    showExportDlg();
    m_lastFolder = folder;
    m_exportParams.params.savePath = folder;
    m_request->onExportNetworkRequest(m_exportParams.params);
}

void CCommonExportTaskManager::saveContent()
{
    const QString folder = askFolder();
    if (folder.isEmpty())
        return;
    m_lastFolder = folder;
    const networkParams_t &params = m_exportParams.params;
    const QString name = CExportFileName::SafeName(params.name, tr("NoName"));
    const QByteArray text = params.requestParams.toLocal8Bit();
    CExportFile file;
    if (!file.Open(CExportFileName::UniquePath(folder + "/" + name))
        || !file.Write(params.isBase64 ? QByteArray::fromBase64(text) : text) || !file.Commit()) {
        KLOG(KPrintLog::Error, "CCommonExportTaskManager: %s", qUtf8Printable(file.ErrorText()));
        file.Discard();
        notifier()->AddTextNotification(tr("openFile fail, QRCode download fail"));
        return;
    }
    notifier()->AddPictureNotification(tr("QRCode download success"), file.Target());
}

QString CCommonExportTaskManager::askFolder() const
{
    return CExportFolderQuestion::Ask(tr("Please select the path"),
                                      QCoreApplication::applicationDirPath());
}

void CCommonExportTaskManager::showExportDlg()
{
    m_exportDlg->SetExportingState();
    m_exportDlg->resize(500, 304);
    m_exportDlg->setModal(true);
    m_exportDlg->raise();
    m_exportDlg->show();
}

void CCommonExportTaskManager::OnReExport()
{
    showExportDlg();
    m_request->onExportNetworkRequest(m_exportParams.params);
}

void CCommonExportTaskManager::onCancleExport()
{
    m_request->onCancleExport();
}

void CCommonExportTaskManager::openLastFolder() const
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_lastFolder));
}

void CCommonExportTaskManager::showExportError(int, const QString &error) const
{
    notifier()->AddTextNotification(tr("The export could not be saved: %1").arg(error));
}
