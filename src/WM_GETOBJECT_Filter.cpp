#include "WM_GETOBJECT_Filter.h"

#include <winport/WinMsg.h>

#include <QByteArray>

bool WM_GETOBJECT_Filter::nativeEventFilter(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(result)
    // Only Windows delivers MSG records; other platforms' native events are left alone.
    if (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG")
        return false;
    const MSG *msg = static_cast<const MSG *>(message);
    return msg && msg->message == WM_GETOBJECT;
}
