#include <KWGui/KWFile.h>

#include <kwl/KPrintLog.h>

#include <QDir>
#include <QFile>

namespace KWGUI {

QByteArray KWFile::ReadAll(const QStringList &fileNames, const QString &dir)
{
    const QDir folder(dir);
    QByteArray contents;
    for (const QString &name : fileNames) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            KLOG(6, "cannot read %s: %s", qUtf8Printable(file.fileName()),
                 qUtf8Printable(file.errorString()));
            continue;
        }
        contents += file.readAll();
    }
    return contents;
}

} // namespace KWGUI
