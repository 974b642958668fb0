#pragma once

class QSharedMemory;

namespace winport {

// On Unix a shared-memory segment outlives a process that crashed while holding it, and would
// then refuse every later start. Call this before QSharedMemory::create: it removes such an
// orphan (nobody attached) and leaves a segment that a running process holds untouched.
void releaseOrphanedSegment(QSharedMemory &memory);

} // namespace winport
