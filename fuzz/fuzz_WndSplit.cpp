// Any bytes as the split layout file: never a crash, and whatever was read survives a save and a
// second load unchanged (row, col, count and every meaningful cell).
#include "CommonUI/VideoFrame/CWndSplitConfig.h"
#include "FuzzInput.h"

#include <QFile>

#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool sameMeaningfulCells(const WndSplitEntry_t &a, const WndSplitEntry_t &b)
{
    if (a.row != b.row || a.col != b.col || a.count != b.count)
        return false;
    const int64_t cells = std::min<int64_t>(std::max<int64_t>(int64_t(a.row) * a.col, 0),
                                            WndSplitEntry_t::kMaxCells);
    for (int64_t i = 0; i < cells; ++i) {
        const WndSplitCell_t &x = a.cells[i];
        const WndSplitCell_t &y = b.cells[i];
        if (x.enable != y.enable || x.combine != y.combine || x.x1 != y.x1 || x.y1 != y.y1
            || x.x2 != y.x2 || x.y2 != y.y2)
            return false;
    }
    return true;
}

// Reads, saves and reads again what the file holds: the two reads agree.
void roundTrip(const char *data, size_t size)
{
    QFile file(CWndSplitConfig::kFileName);
    FuzzInput::require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data, static_cast<qint64>(size));
    file.close();

    CWndSplitConfig first;
    if (!first.load())
        return;
    FuzzInput::require(first.save());
    CWndSplitConfig second;
    FuzzInput::require(second.load());
    for (int i = 0; i < CWndSplitConfig::kNormalCount; ++i)
        FuzzInput::require(sameMeaningfulCells(*first.normalSplit(i), *second.normalSplit(i)));
}

} // namespace

// The layout file is read from the working directory, while the fuzzer keeps its corpus at paths
// relative to where it started: each run goes into the scratch folder and back.
class InScratchFolder
{
public:
    InScratchFolder() { enter(scratch); }
    ~InScratchFolder() { enter(start); }

private:
    static void enter(int folder) { FuzzInput::require(folder >= 0 && ::fchdir(folder) == 0); }
    static int openFolder(const char *path) { return ::open(path, O_RDONLY | O_DIRECTORY); }
    // Opened in this order, before the first run.
    static inline const int start = openFolder(".");
    static inline const int scratch = [] {
        char folder[] = "/tmp/fuzz_WndSplit.XXXXXX";
        return ::mkdtemp(folder) ? openFolder(folder) : -1;
    }();
};

// One whole read and save before fuzzing: the one-off allocations that Qt's file classes keep
// would otherwise make every readable input look like a leak to the fuzzer, which then never
// keeps it.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char warmUp[] = "<WndSplit><NormalSplit><Split row='1' col='1' count='1'>"
                          "<Wnd enable='true' x2='1' y2='1'/></Split></NormalSplit></WndSplit>";
    InScratchFolder scratch;
    roundTrip(warmUp, sizeof warmUp - 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    InScratchFolder scratch;
    roundTrip(reinterpret_cast<const char *>(data), size);
    return 0;
}
