#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

// A whole program folder for tests that run a program as a real process: a copy of the program
// (a copy, not a link: the program finds its folder through its own resolved path), the run-time
// folders beside it, files written by the test, and the processes started from it. Every process
// still running is stopped when the object goes, also when a check failed half-way.
class ProgramFolder
{
public:
    // Creates the folder (and missing parents); nothing is copied yet.
    explicit ProgramFolder(const QString &path);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder &) = delete;
    ProgramFolder &operator=(const ProgramFolder &) = delete;

    // The client built beside the run-time folders: <build program folder>/orvane.
    static QString clientProgram();
    // Run-time entries of the build's program folder that the client reads.
    static QStringList runtimeEntries();

    // Copies program and, from the build's program folder, the entries that exist there; false
    // when the program could not be copied.
    bool install(const QString &program = clientProgram(),
                 const QStringList &entries = runtimeEntries());

    QString path() const { return m_path; }
    // Absolute path of a file or folder given relative to the program folder.
    QString filePath(const QString &relative) const;
    // Writes "group/key" → value pairs into an ini file of the folder, keeping other keys.
    bool writeIni(const QString &name, const QVariantMap &values) const;
    // Writes a file, creating its folders.
    bool writeFile(const QString &relative, const QByteArray &contents) const;

    // Starts the installed program in the folder; the process belongs to this object.
    QProcess *start(const QStringList &arguments = {},
                    const QProcessEnvironment &environment
                    = QProcessEnvironment::systemEnvironment());
    // Ends a process: asks it to terminate, kills it when it does not.
    void stop(QProcess *process);

    // Runs the event loop until condition holds; false when timeoutMs passed first.
    static bool waitFor(const std::function<bool()> &condition, int timeoutMs = 30000);

private:
    QString m_path;
    QString m_program;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
