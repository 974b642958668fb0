#include "StateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <kwl/KPrintLog.h>

const char *const StateFolder::kInstalledMarker = "orvane-installed";

namespace {

// A link left by an older installation may point elsewhere: it is renewed. A real file or folder
// of the same name is the user's own and stays.
bool linkEntry(const QString &target, const QString &link)
{
    const QFileInfo existing(link);
    if (existing.isSymLink()) {
        if (existing.symLinkTarget() == target)
            return true;
        QFile::remove(link);
    } else if (existing.exists()) {
        return true;
    }
    return QFile::link(target, link);
}

bool copyEntry(const QString &source, const QString &copy)
{
    return QFileInfo::exists(copy)
        || (QFile::copy(source, copy)
            && QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner));
}

} // namespace

QStringList StateFolder::linkedEntries()
{
    return {"Skin", "skin", "Language", "BackupCfgFiles", "Localcfg.ini"};
}

QStringList StateFolder::copiedEntries()
{
    return {"WndSplit.xml", "Config.ini"};
}

bool StateFolder::isInstalled(const QString &programFolder)
{
    return QFileInfo::exists(programFolder + '/' + kInstalledMarker)
        || !QFileInfo(programFolder).isWritable();
}

QString StateFolder::userFolder()
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString data = env.value("XDG_DATA_HOME");
    const QString base = QDir::isAbsolutePath(data) ? data : QDir::homePath() + "/.local/share";
    return base + "/orvane";
}

bool StateFolder::prepare(const QString &programFolder, const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    bool complete = true;
    for (const QString &entry : linkedEntries()) {
        const QString source = programFolder + '/' + entry;
        if (QFileInfo::exists(source))
            complete = linkEntry(source, folder + '/' + entry) && complete;
    }
    for (const QString &entry : copiedEntries()) {
        const QString source = programFolder + '/' + entry;
        if (QFileInfo::exists(source))
            complete = copyEntry(source, folder + '/' + entry) && complete;
    }
    return complete;
}

QString StateFolder::choose(const QString &programFolder)
{
    if (!isInstalled(programFolder))
        return programFolder;
    const QString folder = userFolder();
    if (prepare(programFolder, folder))
        return folder;
    if (QFileInfo(folder).isDir()) {
        KLOG(KPrintLog::Error, "Some entries of %s could not be linked or copied into %s",
             qPrintable(programFolder), qPrintable(folder));
        return folder;
    }
    KLOG(KPrintLog::Error, "Cannot create the user folder %s; running in %s", qPrintable(folder),
         qPrintable(programFolder));
    return programFolder;
}
