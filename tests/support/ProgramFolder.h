#pragma once

#include "ChildProcess.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

// A program folder for tests that run a program as a real process: a copy of the program (not a
// link: the program finds its folder through its own resolved path), the run-time folders beside
// it, files the test writes, and the processes started from it, stopped with the object.
class ProgramFolder
{
public:
    // Creates the folder (and missing parents); nothing is copied yet.
    explicit ProgramFolder(const QString &path);

    // The client built beside the run-time folders.
    static QString clientProgram();

    // Copies program and, from the build's program folder, those of entries that exist there.
    bool install(const QString &program = clientProgram(),
                 const QStringList &entries
                 = {"Skin", "skin", "Language", "BackupCfgFiles", "WndSplit.xml"});

    QString path() const { return m_path; }
    QString filePath(const QString &relative) const;
    // Writes "group/key" → value pairs into an ini file of the folder, keeping other keys.
    bool writeIni(const QString &name, const QVariantMap &values) const;
    bool writeFile(const QString &relative, const QByteArray &contents) const;
    // A stand-in "Update.exe" that writes its arguments, one a line, to "updater-args".
    bool writeUpdaterStandIn() const;
    QStringList updaterArguments() const;

    // Starts the installed program in the folder; its output goes to "<program>.out" as well.
    ChildProcess *start(const QStringList &arguments = {},
                        const QProcessEnvironment &environment
                        = QProcessEnvironment::systemEnvironment());

private:
    QString m_path;
    QString m_program;
    std::vector<std::unique_ptr<ChildProcess>> m_processes;
};
