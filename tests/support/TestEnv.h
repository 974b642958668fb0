#pragma once

#include <QByteArray>
#include <QString>

// Where a test runs: the runner gives every test a fresh root folder holding its program folder
// (with a copy of the test binary), home, config home and temporary folder.
namespace TestEnv {

// Empty when the test was started by hand outside the runner.
inline QString root()
{
    return qEnvironmentVariable("ORVANE_TEST_ROOT");
}
// The build's program folder (orvane, orvane-sim and the run-time resources).
inline QString buildBinDir()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}
inline QString sourceDir()
{
    return qEnvironmentVariable("ORVANE_SOURCE_DIR");
}

// Writes contents to path, making its folders first.
bool writeFile(const QString &path, const QByteArray &contents);
// Empty when path cannot be read.
QByteArray readFile(const QString &path);

} // namespace TestEnv
