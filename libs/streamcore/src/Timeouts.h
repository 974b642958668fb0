#pragma once

#include <atomic>

namespace StreamCore {

// How long the library waits for a stream's or a talk's first picture or sound ("open
// timeout") and for a snapshot to be encoded. Set by IStreamCore::SetTimeouts; read anywhere.
class Timeouts
{
public:
    static constexpr int kOpenMs = 10000;
    static constexpr int kSnapshotMs = 5000;

    // 0 restores a default.
    static void set(int openMs, int snapshotMs)
    {
        open() = openMs > 0 ? openMs : kOpenMs;
        snapshot() = snapshotMs > 0 ? snapshotMs : kSnapshotMs;
    }
    static int openMs() { return open(); }
    // A step's picture comes in well under a tenth of a second on a network; without it by then
    // the stream stalled (a pause still under way in the source swallowed the step's PLAY). It
    // is a share of the open timeout, so that a setup slow to open is given longer here too.
    static int stepMs() { return open() * 3 / 20; }
    static int snapshotMs() { return snapshot(); }

private:
    static std::atomic<int> &open()
    {
        static std::atomic<int> ms {kOpenMs};
        return ms;
    }
    static std::atomic<int> &snapshot()
    {
        static std::atomic<int> ms {kSnapshotMs};
        return ms;
    }
};

} // namespace StreamCore
