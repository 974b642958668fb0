#pragma once

#include <QString>
#include <QStringList>

// Where the client keeps what it writes: settings, logs, scratch files, pictures, recordings and
// crash reports, all named relative to the working directory. A portable program folder holds
// them itself. An installed program folder (read-only, or marked by the package) gets a folder
// of the user's own instead, which mirrors the program folder: the read-only parts (skins,
// translations, the deployment file) are linked into it, the files the client rewrites are
// copied once, so every relative name works as in the portable folder.
class StateFolder
{
public:
    // The file an installed package puts into the program folder.
    static const char *const kInstalledMarker;

    // The folder to make the working directory for the program folder. For an installed program
    // folder that is the user's folder, prepared; when it cannot be prepared, the program folder
    // itself (the client then runs without writing, which it reports in its log).
    static QString choose(const QString &programFolder);

    // Whether the program folder is an installed, shared one.
    static bool isInstalled(const QString &programFolder);
    // The user's folder: $XDG_DATA_HOME/orvane, or ~/.local/share/orvane.
    static QString userFolder();
    // Links the read-only entries and copies the rewritten ones that are missing. Entries the
    // user has replaced by their own files are kept. Returns false when the folder cannot be made.
    static bool prepare(const QString &programFolder, const QString &folder);

    static QStringList linkedEntries();
    static QStringList copiedEntries();
};
