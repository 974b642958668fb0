#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace KWGUI {

// Small file helpers.
class KWFile
{
public:
    // The contents of the named files of dir, joined in the given order; files that cannot be
    // read add nothing.
    static QByteArray ReadAll(const QStringList &fileNames, const QString &dir);
};

} // namespace KWGUI
