#pragma once

#include <QString>

namespace KWGUI {

// Where the library's own look comes from: the colour scheme's style folder
// "<current directory>/Skin/<scheme>/KWGUI/CSS/", or the built-in DustyBlue rules.
class KWSkin
{
public:
    // The colour scheme of a skin path "suite/scheme"; "DustyBlue" when the second part is
    // missing or empty.
    static QString SchemeOf(const QString &skinPath);
    // The "*.css" files of the scheme's style folder joined by name, or the built-in rules when
    // the folder holds none.
    static QString StyleSheet(const QString &scheme);
    // Names of the "*.css" files (any case) of folder, sorted by name without regard to case.
    static QStringList CssFiles(const QString &folder);
};

} // namespace KWGUI
