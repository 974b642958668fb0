#pragma once

#include <QByteArray>
#include <QString>

// Where a test runs. The test runner gives every test a fresh root folder holding its program
// folder (with a copy of the test binary), home, config home and temporary folder.
namespace TestEnv {

// The test's root folder; empty when the test was started by hand outside the runner.
QString root();
// The build's program folder (orvane, orvane-sim and the run-time resources).
QString buildBinDir();
// The source tree.
QString sourceDir();

// Writes contents to path, making its folders first; false when it cannot.
bool writeFile(const QString &path, const QByteArray &contents);
// The contents of path; empty when it cannot be read.
QByteArray readFile(const QString &path);

} // namespace TestEnv
