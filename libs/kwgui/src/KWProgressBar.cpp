#include <KWGui/KWProgressBar.h>

namespace KWGUI {

KWProgressBar::KWProgressBar(QWidget *parent)
    : QProgressBar(parent)
{
    setObjectName("KWProgressBar");
    setTextVisible(false);
}

} // namespace KWGUI
