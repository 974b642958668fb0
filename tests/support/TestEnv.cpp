#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TestEnv {

QString root()
{
    return qEnvironmentVariable("ORVANE_TEST_ROOT");
}

QString buildBinDir()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}

QString sourceDir()
{
    return qEnvironmentVariable("ORVANE_SOURCE_DIR");
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace TestEnv
