#include "SkinProbe.h"

#include "TestEnv.h"

#include <KWGui/KWGlobal.h>

#include <QDir>
#include <QPushButton>

namespace SkinProbe {

namespace {
const char kSkin[] = "storeSuite/DustyBlue";
}

bool useBuildSkin()
{
    KWGUI::SetSkinVersion(kSkin);
    return QDir::setCurrent(TestEnv::buildBinDir());
}

QImage picture(const QString &name)
{
    return QImage(QString("%1/Skin/%2/VideoBar/%3.png").arg(QDir::currentPath(), kSkin, name))
        .convertToFormat(QImage::Format_ARGB32);
}

QImage shown(const QPushButton *button)
{
    return button->icon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace SkinProbe
