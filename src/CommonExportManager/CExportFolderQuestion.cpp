#include "CommonExportManager/CExportFolderQuestion.h"

#include <kwl/KPrintLog.h>

#include <QFileDialog>

#include <cstdio>

namespace {

constexpr const char *kAnswerVariable = "ORVANE_EXPORT_FOLDER";

QString automaticAnswer(const QString &caption)
{
    const QString folder = qEnvironmentVariable(kAnswerVariable);
    const QByteArray line = QStringLiteral("Export folder question \"%1\" answered \"%2\"")
                                .arg(caption, folder)
                                .toUtf8();
    KLOG(KPrintLog::Info, "%s", line.constData());
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
    return folder;
}

} // namespace

QString CExportFolderQuestion::Ask(const QString &caption, const QString &startFolder)
{
    if (qEnvironmentVariableIsSet(kAnswerVariable))
        return automaticAnswer(caption);
    return QFileDialog::getExistingDirectory(nullptr, caption, startFolder,
                                             QFileDialog::ShowDirsOnly);
}
