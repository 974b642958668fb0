#pragma once

#include "CommonExportManager/networkParams_t.h"
#include "Web/IWebListener.h"

#include <QWidget>

class CCommonExportNetworkRequest;
class QCommonExportDlg;

namespace Web {
class CommonExportFileMsg;
class IWebViewManager;
} // namespace Web

// Saves the files the web page exports ("CommonExportFile"): asks for a folder, then downloads
// the file from the gateway with the progress dialog (export type 0), or writes the content the
// message carries at once and tells with a picture toast (export type 2, QR code pictures).
// Never shown itself; GUI thread only.
class CCommonExportTaskManager : public QWidget, public Web::IWebListener
{
    Q_OBJECT

public:
    explicit CCommonExportTaskManager(QWidget *parent = nullptr);
    // Leaves the web view's listeners.
    ~CCommonExportTaskManager() override;

    // Keeps manager and listens to "CommonExportFile".
    void SetWebViewManager(Web::IWebViewManager *manager);
    void onRPCCall(Web::CWebBaseMsg *msg) override;

    // The folder chosen for the last export, empty before the first.
    QString LastFolder() const { return m_lastFolder; }
    QCommonExportDlg *Dialog() const { return m_exportDlg; }

public slots:
    void onCancleExport();
    // Downloads the last export again into the same folder.
    void OnReExport();

private:
    struct ExportParams
    {
        networkParams_t params;
        QString token;
    };

    void startExport(const Web::CommonExportFileMsg &msg);
    void download();
    void saveContent();
    QString askFolder() const;
    void showExportDlg();
    void openLastFolder() const;
    void showExportError(int code, const QString &error) const;

    QCommonExportDlg *m_exportDlg;
    ExportParams m_exportParams;
    CCommonExportNetworkRequest *m_request;
    Web::IWebViewManager *m_webViewManager = nullptr;
    QString m_token;
    QString m_lastFolder;
};
