#include "GuiPost.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace StreamCore {

void GuiPost::to(QObject *context, std::function<void()> call)
{
    if (!QCoreApplication::instance()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

} // namespace StreamCore
