#pragma once

#include <functional>

class QObject;

namespace StreamCore {

// Runs a call on the thread of a Qt object (queued), or at once when there is no event loop.
// The call is dropped when the object is destroyed first.
class GuiPost
{
public:
    static void to(QObject *context, std::function<void()> call);
};

} // namespace StreamCore
