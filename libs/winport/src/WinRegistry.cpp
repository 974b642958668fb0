#include "winport/WinRegistry.h"

#include <QSettings>

namespace winport {

namespace {

#ifdef _WIN32
QSettings openKey(const QString &programType)
{
    return QSettings("HKEY_CURRENT_USER\\Software\\" + programType, QSettings::NativeFormat);
}
#else
QSettings openKey(const QString &programType)
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Software", programType);
}
#endif

} // namespace

WinRegistry::WinRegistry(const QString &programType) : m_programType(programType) {}

QVariant WinRegistry::value(const QString &name, const QVariant &defaultValue) const
{
    return openKey(m_programType).value(name, defaultValue);
}

void WinRegistry::setValue(const QString &name, const QVariant &value)
{
    QSettings key = openKey(m_programType);
    key.setValue(name, value);
    key.sync();
}

QString WinRegistry::location() const
{
    return openKey(m_programType).fileName();
}

} // namespace winport
