#include "CommonExportManager/QCommonExportDlg.h"

#include "ui_QCommonExportWidget.h"

#include <KWGui/KWGlobal.h>
#include <KWGui/KWMessageBox.h>

#include <QDir>
#include <QFile>
#include <QKeyEvent>

QCommonExportDlg::QCommonExportDlg(QWidget *parent)
    : KWGUI::KWDialog(parent, KWGUI::KWDialog::CloseButton)
    , m_ui(std::make_unique<Ui::QCommonExportWidget>())
{
    m_ui->setupUi(GetCentralWidget());
    setTexts();
    connectButtons();
    setObjectName("QCommonExportDlg");
    applySkin();
    SetExportingState();
}

QCommonExportDlg::~QCommonExportDlg() = default;

void QCommonExportDlg::setTexts()
{
    SetTitle(tr("export"));
    const QList<QPair<QPushButton *, QString>> buttons = {
        {m_ui->btnCancal, tr("cancal")},     {m_ui->btnEsc, tr("esc")},
        {m_ui->btnFinished, tr("finished")}, {m_ui->btnOpenFolder, tr("openFolder")},
        {m_ui->btnReExport, tr("reExport")},
    };
    for (const auto &button : buttons) {
        button.first->setText(button.second);
        button.first->setToolTip(button.second);
    }
}

void QCommonExportDlg::connectButtons()
{
    connect(m_ui->btnOpenFolder, &QPushButton::clicked, this,
            &QCommonExportDlg::SgnOpenFolderBtnClicked);
    connect(m_ui->btnFinished, &QPushButton::clicked, this, &QCommonExportDlg::close);
    connect(m_ui->btnEsc, &QPushButton::clicked, this, &QCommonExportDlg::close);
    connect(m_ui->btnReExport, &QPushButton::clicked, this,
            &QCommonExportDlg::SgnReExportBtnClicked);
    connect(m_ui->btnCancal, &QPushButton::clicked, this,
            &QCommonExportDlg::OnCancalExportBtnClicked);
}

void QCommonExportDlg::applySkin()
{
    QFile qss(QDir::currentPath() + "/Skin/" + KWGUI::GetSkinVersion() + "/" + objectName()
              + ".qss");
    // The dialog's own rules come after the library's, which style the frame and title bar.
    if (qss.open(QIODevice::ReadOnly))
        setStyleSheet(styleSheet() + "\n" + QString::fromUtf8(qss.readAll()));
}

void QCommonExportDlg::SetExportingState()
{
    m_done = false;
    m_ui->btnCancal->show();
    m_ui->widgetExportProgress->show();
    m_ui->widgetExportFinished->hide();
    m_ui->widgetExportFailed->hide();
    m_ui->exportLabel->setText(tr("exporting, please waite a faw minus"));
    m_ui->progressBar->setRange(0, 0);
    m_ui->progressBar->setTextVisible(false);
    setProgressText(0);
    m_ui->btnFinished->setDefault(false);
    m_ui->btnReExport->setDefault(false);
}

void QCommonExportDlg::OnExportFinished()
{
    m_done = true;
    m_ui->btnCancal->hide();
    m_ui->widgetExportFinished->show();
    m_ui->widgetExportFailed->hide();
    m_ui->exportLabel->setText(tr("export finished"));
    m_ui->progressBar->setRange(0, 100);
    m_ui->progressBar->setValue(100);
    setProgressText(100);
    m_ui->btnFinished->setDefault(true);
}

void QCommonExportDlg::OnExportProgress(qint64 progress)
{
    m_ui->progressBar->setRange(0, 100);
    if (progress <= 0 || progress >= 100)
        return;
    m_ui->progressBar->setValue(int(progress));
    setProgressText(int(progress));
}

void QCommonExportDlg::OnExportError(int, QString)
{
    m_done = true;
    m_ui->btnCancal->hide();
    m_ui->widgetExportProgress->hide();
    m_ui->widgetExportFinished->hide();
    m_ui->widgetExportFailed->show();
    m_ui->exportLabel->setText(tr("export error"));
    m_ui->btnReExport->setDefault(true);
}

void QCommonExportDlg::OnCloseBtmClicked()
{
    if (m_done)
        close();
    else
        OnCancalExportBtnClicked();
}

void QCommonExportDlg::OnCancalExportBtnClicked()
{
    const int answer = KWGUI::KWMessageBox::ShowInformation(
        this, tr("Notice"), tr("are you sure to exit export?"),
        KWGUI::KWMessageBox::Ok | KWGUI::KWMessageBox::Cancel);
    if (answer == KWGUI::KWMessageBox::Ok)
        emit SgnCancalExportBtnClicked();
}

void QCommonExportDlg::done(int result)
{
    if (m_done)
        KWGUI::KWDialog::done(result);
    else
        OnCancalExportBtnClicked();
}

void QCommonExportDlg::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !m_done)
        return;
    KWGUI::KWDialog::keyPressEvent(event);
}

void QCommonExportDlg::setProgressText(int percent)
{
    m_ui->progressLabel->setText(QString::number(percent) + "%");
}
