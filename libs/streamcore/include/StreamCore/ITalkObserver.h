#pragma once

#include "StreamCore/StreamCoreTypes.h"

namespace StreamCore {

// Receives the events of the talk object (on the thread that runs the application's event
// loop).
class ITalkObserver
{
public:
    virtual ~ITalkObserver() = default;
    // The record is valid during the call only.
    virtual void OnTalkEvent(const TalkEvent *event) = 0;
};

} // namespace StreamCore
