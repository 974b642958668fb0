#include "CommonExportManager/CExportFileName.h"

#include <kwl/KPrintLog.h>

#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool isAbsolute(const QString &name)
{
    static const QRegularExpression drive("^[A-Za-z]:");
    return name.startsWith('/') || name.startsWith('\\') || drive.match(name).hasMatch();
}

bool hasControlCharacter(const QString &name)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

// Device names Windows keeps for itself, with or without an extension.
bool isReservedName(const QString &fileName)
{
    static const QRegularExpression reserved("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$",
                                             QRegularExpression::CaseInsensitiveOption);
    return reserved.match(fileName).hasMatch();
}

bool isRefusedFileName(const QString &fileName)
{
    static const QRegularExpression forbidden("[<>:\"|?*]");
    return fileName.isEmpty() || fileName == "." || fileName == ".." || fileName.endsWith('.')
        || fileName.endsWith(' ') || forbidden.match(fileName).hasMatch()
        || isReservedName(fileName) || fileName.toUtf8().size() > CExportFileName::kMaxNameBytes;
}

QString refused(const QString &name, const QString &fallback)
{
    KLOG(KPrintLog::Info, "Export file name refused, saved as %s: [%s]", qUtf8Printable(fallback),
         qUtf8Printable(name.toUtf8().toPercentEncoding(" ()[]")));
    return fallback;
}

} // namespace

QString CExportFileName::SafeName(const QString &name, const QString &fallback)
{
    if (name.isEmpty())
        return fallback;
    if (isAbsolute(name) || hasControlCharacter(name))
        return refused(name, fallback);
    const QStringList parts = name.split(QRegularExpression("[/\\\\]"));
    if (parts.contains(".."))
        return refused(name, fallback);
    const QString fileName = parts.last();
    return isRefusedFileName(fileName) ? refused(name, fallback) : fileName;
}

QString CExportFileName::UniquePath(const QString &path)
{
    QString candidate = path;
    for (int n = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = PathNumbered(path, n);
    return candidate;
}

QString CExportFileName::PathNumbered(const QString &path, int n)
{
    const int slash = path.lastIndexOf('/');
    const int dot = path.lastIndexOf('.');
    const QString number = QString("(%1)").arg(n);
    // A dot in a folder name, or one that starts the file name, is no extension.
    if (dot <= slash + 1)
        return path + number;
    return path.left(dot) + number + path.mid(dot);
}
