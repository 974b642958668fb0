#pragma once

#include <kwl/KPrintLog.h>

#include <QFile>
#include <QString>

// Everything the log has written to its file so far.
inline QString logText()
{
    QFile file(QString::fromStdString(KPrintLog::instance()->FilePath()));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
