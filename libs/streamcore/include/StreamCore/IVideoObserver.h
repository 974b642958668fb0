#pragma once

#include "StreamCore/StreamCoreTypes.h"

namespace StreamCore {

// Receives the events of a play object (on the thread that created it).
class IVideoObserver
{
public:
    virtual ~IVideoObserver() = default;
    // The record is valid during the call only.
    virtual void OnVideoEvent(const VideoEvent *event) = 0;
};

} // namespace StreamCore
