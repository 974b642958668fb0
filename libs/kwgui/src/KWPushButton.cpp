#include <KWGui/KWPushButton.h>

namespace KWGUI {

KWPushButton::KWPushButton(QWidget *parent)
    : KWPushButton(QString(), parent)
{ }

KWPushButton::KWPushButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
    setObjectName("KWPushButton");
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

} // namespace KWGUI
