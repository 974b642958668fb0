#pragma once

#include <KWGui/KWDialog.h>

#include <memory>

namespace Ui {
class QCommonExportWidget;
}

// The modal dialog of one export download: a busy or percentage bar while the file arrives,
// then a finished panel (open the folder, done) or a failed panel (export again, leave). Cancel
// and the close button ask first; the download's end reaches the dialog through its slots.
class QCommonExportDlg : public KWGUI::KWDialog
{
    Q_OBJECT

public:
    explicit QCommonExportDlg(QWidget *parent = nullptr);
    ~QCommonExportDlg() override;

    // Back to the exporting state: busy bar, "0%", cancel shown, result panels hidden.
    void SetExportingState();
    // False while a download runs, true once it finished or failed.
    bool IsDone() const { return m_done; }

    // While exporting, closing in any way asks whether to cancel instead.
    void done(int result) override;

signals:
    void SgnReExportBtnClicked();
    void SgnOpenFolderBtnClicked();
    void SgnCancalExportBtnClicked();

public slots:
    void OnCloseBtmClicked() override;
    void OnExportFinished();
    void OnExportProgress(qint64 progress);
    void OnExportError(int code, QString error);
    void OnCancalExportBtnClicked();

protected:
    // Enter does nothing while exporting: only cancel or the close button stop a download.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setTexts();
    void connectButtons();
    void applySkin();
    void setProgressText(int percent);

    std::unique_ptr<Ui::QCommonExportWidget> m_ui;
    bool m_done = false;
};
