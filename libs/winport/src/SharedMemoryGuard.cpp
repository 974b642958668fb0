#include "winport/SharedMemoryGuard.h"

#include <QSharedMemory>

namespace winport {

void releaseOrphanedSegment(QSharedMemory &memory)
{
#ifdef Q_OS_UNIX
    // Qt removes a System V segment when its last user detaches: attaching and detaching
    // again does exactly that for an orphan and only lowers the count back for a live one.
    if (!memory.isAttached() && memory.attach(QSharedMemory::ReadOnly))
        memory.detach();
#else
    Q_UNUSED(memory) // Windows frees the segment with its last handle.
#endif
}

} // namespace winport
