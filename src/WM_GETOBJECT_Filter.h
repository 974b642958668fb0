#pragma once

#include <QAbstractNativeEventFilter>

// Swallows WM_GETOBJECT, the accessibility object request Windows sends to every window, so
// that the client never answers it. Every other message passes.
class WM_GETOBJECT_Filter : public QAbstractNativeEventFilter
{
public:
    // True (message consumed) exactly for WM_GETOBJECT; result is never written.
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;
};
