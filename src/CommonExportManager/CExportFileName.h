#pragma once

#include <QString>

// Names of exported files: what the platform or the page calls a file is made safe to create
// inside the chosen folder, and a name already taken there is numbered.
class CExportFileName
{
public:
    // name reduced to a plain file name of the folder: folders in front are dropped; an absolute
    // path, a ".." part, a control character or a name the file systems of the client refuse
    // (Windows rules everywhere) gives fallback instead, with a log line.
    static QString SafeName(const QString &name, const QString &fallback);
    // path itself when no file has it, otherwise the first free numbered path (PathNumbered with
    // n = 1, 2, ...).
    static QString UniquePath(const QString &path);
    // path with "(n)" before the extension of its file name ("a.pdf" -> "a(2).pdf"), or at the
    // end when the file name has none ("README" -> "README(2)", ".profile" -> ".profile(2)").
    static QString PathNumbered(const QString &path, int n);

    // Longest safe name in UTF-8 bytes: room is left for the numbering and ".part".
    static constexpr int kMaxNameBytes = 240;
};
