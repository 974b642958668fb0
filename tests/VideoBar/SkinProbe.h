#pragma once

#include <QImage>
#include <QString>

class QPushButton;

// What the skin shows on the video bars, for checks against the built pictures.
namespace SkinProbe {

// Makes the build's program folder current and selects its skin, as the client does at start-up.
bool useBuildSkin();
// The skin picture VideoBar/<name>.png of the selected skin.
QImage picture(const QString &name);
// The picture the skin put on button, at the size the bars draw it.
QImage shown(const QPushButton *button);

} // namespace SkinProbe
