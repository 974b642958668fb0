#pragma once

#include "StreamCore/StreamCoreTypes.h"

namespace StreamCore {

// Receives the library's events: record searches, month bitmaps, web ports (on the thread
// that runs the application's event loop).
class IMediaObserver
{
public:
    virtual ~IMediaObserver() = default;
    // The record is valid during the call only.
    virtual void OnMediaEvent(const MediaEvent *event) = 0;
};

} // namespace StreamCore
