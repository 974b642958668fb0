#include <KWGui/KWVerScrollBar.h>

namespace KWGUI {

KWVerScrollBar::KWVerScrollBar(QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
{
    setObjectName("KWVerScrollBar");
}

} // namespace KWGUI
