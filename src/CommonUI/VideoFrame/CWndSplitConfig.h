#pragma once

#include "WndSplitEntry.h"

#include <QList>

// The split layouts of the video frames, read from "WndSplit.xml" in the working directory.
// One store per process, loaded on first use and never destroyed; only the normal splits are
// read from the file, the other lists keep their initial values.
class CWndSplitConfig
{
public:
    static constexpr int kNormalCount = 11;
    static constexpr int kLastThree = 3;
    static constexpr int kMasterCount = 3;
    static constexpr const char *kFileName = "WndSplit.xml";
    static constexpr const char *kBackupFolder = "BackupCfgFiles";

    // The process-wide store; the first call creates it and loads the file.
    static CWndSplitConfig *instance();

    // An empty store (every entry zero, one empty custom entry); nothing is read yet.
    CWndSplitConfig();

    // Normal entry 0 … 10, or null outside that range.
    const WndSplitEntry_t *normalSplit(int index) const;
    // The custom entries.
    const QList<WndSplitEntry_t> &customSplits() const { return m_customSplits; }

    // Reads the normal splits, replacing a broken file by the backup copy; true when they were read.
    bool load();
    // Writes the whole store to the file; true when the file was written.
    bool save() const;

private:
    int32_t m_rmCount = 0;
    int32_t m_pbCount = 0;
    WndSplitEntry_t m_rmLastThree[kLastThree];
    WndSplitEntry_t m_pbLastThree[kLastThree];
    WndSplitEntry_t m_normalSplits[kNormalCount];
    QList<WndSplitEntry_t> m_customSplits;
    WndSplitEntry_t m_masterSplits[kMasterCount];
};
