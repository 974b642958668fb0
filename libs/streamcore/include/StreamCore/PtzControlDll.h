#pragma once

#include "StreamCore/StreamCoreTypes.h"

namespace StreamCore {

// Moves the cameras of device channels through the open platform.
class PtzControlDll
{
public:
    // Sends a move or stop command without waiting for the answer; -1 when the library is not
    // initialised or the parameters are incomplete.
    int PtzMoveControl(const PtzMoveParam &param);
};

} // namespace StreamCore
