#include "ProgramFolder.h"

#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

bool copyEntry(const QString &from, const QString &to)
{
    if (!QFileInfo(from).isDir()) {
        QFile::remove(to);
        return QFile::copy(from, to);
    }
    if (!QDir().mkpath(to))
        return false;
    const QStringList names
        = QDir(from).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!copyEntry(from + '/' + name, to + '/' + name))
            return false;
    }
    return true;
}

} // namespace

ProgramFolder::ProgramFolder(const QString &path)
    : m_path(QDir(path).absolutePath())
{
    QDir().mkpath(m_path);
}

QString ProgramFolder::clientProgram()
{
    return TestEnv::buildBinDir() + "/orvane";
}

bool ProgramFolder::install(const QString &program, const QStringList &entries)
{
    m_program = filePath(QFileInfo(program).fileName());
    if (!copyEntry(program, m_program))
        return false;
    for (const QString &entry : entries) {
        const QString source = TestEnv::buildBinDir() + '/' + entry;
        if (QFileInfo::exists(source) && !copyEntry(source, filePath(entry)))
            return false;
    }
    return true;
}

QString ProgramFolder::filePath(const QString &relative) const
{
    return m_path + '/' + relative;
}

bool ProgramFolder::writeIni(const QString &name, const QVariantMap &values) const
{
    QSettings ini(filePath(name), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ini.setValue(it.key(), it.value());
    ini.sync();
    return ini.status() == QSettings::NoError;
}

bool ProgramFolder::writeFile(const QString &relative, const QByteArray &contents) const
{
    return TestEnv::writeFile(filePath(relative), contents);
}

bool ProgramFolder::writeUpdaterStandIn() const
{
    const QString updater = filePath("Update.exe");
    return writeFile(
               "Update.exe",
               "#!/bin/sh\ncd \"$(dirname \"$0\")\"\n"
               "printf '%s\\n' \"$@\" > updater-args.tmp && mv updater-args.tmp updater-args\n")
        && QFile::setPermissions(updater, QFile::permissions(updater) | QFile::ExeOwner);
}

QStringList ProgramFolder::updaterArguments() const
{
    return QString::fromUtf8(TestEnv::readFile(filePath("updater-args")))
        .split('\n', Qt::SkipEmptyParts);
}

ChildProcess *ProgramFolder::start(const QStringList &arguments,
                                   const QProcessEnvironment &environment)
{
    m_processes.push_back(std::make_unique<ChildProcess>());
    m_processes.back()->launch(m_program, arguments, m_path, environment, m_program + ".out");
    return m_processes.back().get();
}
