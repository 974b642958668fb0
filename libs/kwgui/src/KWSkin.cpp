#include "KWSkin.h"

#include <KWGui/KWFile.h>

#include <QDir>
#include <QFile>

namespace KWGUI {

namespace {
const char kDefaultScheme[] = "DustyBlue";
const char kBuiltInRules[] = ":/kwgui/KWGui.css";
} // namespace

QString KWSkin::SchemeOf(const QString &skinPath)
{
    const QStringList parts = skinPath.split('/');
    if (parts.size() < 2 || parts.at(1).isEmpty())
        return kDefaultScheme;
    return parts.at(1);
}

QStringList KWSkin::CssFiles(const QString &folder)
{
    return QDir(folder).entryList({"*.css"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString KWSkin::StyleSheet(const QString &scheme)
{
    const QString folder = QDir::currentPath() + "/Skin/" + scheme + "/KWGUI/CSS/";
    const QByteArray skin = KWFile::ReadAll(CssFiles(folder), folder);
    if (!skin.isEmpty())
        return QString::fromUtf8(skin);
    QFile builtIn(kBuiltInRules);
    builtIn.open(QIODevice::ReadOnly);
    return QString::fromUtf8(builtIn.readAll());
}

} // namespace KWGUI
