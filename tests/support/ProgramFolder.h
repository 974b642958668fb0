#pragma once

#include "ChildProcess.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

// A whole program folder for tests that run a program as a real process: a copy of the program
// (a copy, not a link: the program finds its folder through its own resolved path), the run-time
// folders beside it, files written by the test, and the processes started from it, which are
// stopped with the object, also when a check failed half-way.
class ProgramFolder
{
public:
    // Creates the folder (and missing parents); nothing is copied yet.
    explicit ProgramFolder(const QString &path);

    // The client built beside the run-time folders: <build program folder>/orvane.
    static QString clientProgram();

    // Copies program and, from the build's program folder, the entries that exist there (by
    // default the run-time folders the client reads); false when something could not be copied.
    bool install(const QString &program = clientProgram(),
                 const QStringList &entries
                 = {"Skin", "skin", "Language", "BackupCfgFiles", "WndSplit.xml"});

    QString path() const { return m_path; }
    // Absolute path of a file or folder given relative to the program folder.
    QString filePath(const QString &relative) const;
    // Writes "group/key" → value pairs into an ini file of the folder, keeping other keys.
    bool writeIni(const QString &name, const QVariantMap &values) const;
    // Writes a file, creating its folders.
    bool writeFile(const QString &relative, const QByteArray &contents) const;

    // Starts the installed program in the folder; the process belongs to this object, its
    // output goes to "<program>.out" in the folder as well.
    ChildProcess *start(const QStringList &arguments = {},
                        const QProcessEnvironment &environment
                        = QProcessEnvironment::systemEnvironment());

private:
    QString m_path;
    QString m_program;
    std::vector<std::unique_ptr<ChildProcess>> m_processes;
};
