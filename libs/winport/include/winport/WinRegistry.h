#pragma once

#include <QString>
#include <QVariant>

namespace winport {

// A value of "HKEY_CURRENT_USER\Software\<program type>". Windows keeps it in the registry;
// elsewhere it lives in the user's config folder (XDG_CONFIG_HOME/Software/<program type>.conf).
class WinRegistry
{
public:
    explicit WinRegistry(const QString &programType);

    // The value, or defaultValue when it was never written.
    QVariant value(const QString &name, const QVariant &defaultValue = QVariant()) const;
    // Writes the value at once.
    void setValue(const QString &name, const QVariant &value);
    // Where the values are kept (registry path or file name), for messages and tests.
    QString location() const;

private:
    QString m_programType;
};

} // namespace winport
