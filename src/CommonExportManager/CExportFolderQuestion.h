#pragma once

#include <QString>

// The question for the folder an export is saved in. Automation: with the environment variable
// ORVANE_EXPORT_FOLDER set, no dialog is shown and its value is the answer (empty: cancelled),
// so that tests and unattended runs can export; each such answer is logged and written to stderr.
class CExportFolderQuestion
{
public:
    // The folder chosen, starting in startFolder; empty when the user cancelled.
    static QString Ask(const QString &caption, const QString &startFolder);
};
