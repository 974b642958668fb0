#pragma once

#include <QString>

// The client's start-up, from a bare process to the end of its event loop. RunClient holds the
// sequence; the other functions are its steps, each usable on its own.

// Runs the client: prepares the process, takes the single-instance guard, opens the main window
// and runs the event loop. Returns 0 on every path, also when another copy already runs.
int RunClient(int argc, char *argv[]);

// The OpenGL ES switch of "../bin/Config.ini", read before the working directory is changed.
bool ReadOpenGLESSwitch();
// Removes every file and subfolder below path; the folder itself stays.
void ClearDirectory(const QString &path);
// Sends the log, and Qt's own messages with it, to a file named after the time of day when
// "Flag/logFlag" is on.
void InitLog();
// Fills an empty picture folder and record folder with their places in the working folder (the
// program folder, or the user's folder of an installed program).
void InitLocalDirs();
// Widget-library language and skin, translators, notifier parameters, application style sheet.
void InitLanguageAndSkin();
// Installs every ".qm" file below path, subfolders included.
void LoadTranslations(const QString &path);
// Loads one translation file and installs it when it loads.
void LoadTranslator(const QString &path);
// Deletes the web engine's cache folder of the last run when "Flag/WebCacheFlag" is on.
void ClearWebCache();
// Deletes the folder tree and then every parent folder left empty. Returns false for an empty
// path, true for a folder that does not exist, else whether the last removal step succeeded.
bool RemoveDirTree(const QString &path);
// Opens the web engine's remote debugging port (9234) when "WebInfo/IsDebug" is on.
void EnableRemoteDebugging();
