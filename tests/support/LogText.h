#pragma once

#include <kwl/KPrintLog.h>

#include <QFile>
#include <QString>

// What the client's log file holds so far (empty when no file was set).
inline QString logText()
{
    QFile file(QString::fromStdString(KPrintLog::instance()->FilePath()));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
