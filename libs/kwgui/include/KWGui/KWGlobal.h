#pragma once

#include <QString>

// The widget library's global state, set once at start-up before the first styled widget.
namespace KWGUI {

// Language code of the texts ("zh", "en").
void SetLanguage(const QString &language);
QString GetLanguage();

// Skin folder below "<current directory>/Skin/", for example "storeSuite/DustyBlue".
void SetSkinVersion(const QString &skin);
// The skin folder given to SetSkinVersion.
QString GetSkinVersion();

// The program type ("Tesmar"): names the installation.
void SetProgramType(const QString &type);
QString GetProgramType();

} // namespace KWGUI
