#include "SimProcess.h"

#include "TestEnv.h"

#include <QRegularExpression>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int kStartMs = 15000;
constexpr int kEndMs = 20000;

} // namespace

void SimProcess::Child::setupChildProcess()
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

SimProcess::~SimProcess()
{
    stop();
}

QString SimProcess::binary()
{
    return TestEnv::buildBinDir() + "/orvane-sim";
}

bool SimProcess::start(const QString &program, const QStringList &arguments, QString *error,
                       const QString &logFile)
{
    stop();
    if (!logFile.isEmpty())
        m_process.setStandardErrorFile(logFile);
    m_process.start(program, arguments);
    const QRegularExpression line(R"(^orvane-sim (\w+) 127\.0\.0\.1:(\d+)$)");
    while (m_process.waitForReadyRead(kStartMs) || m_process.canReadLine()) {
        while (m_process.canReadLine()) {
            const QString text = QString::fromUtf8(m_process.readLine()).trimmed();
            if (text == "orvane-sim ready")
                return true;
            const QRegularExpressionMatch match = line.match(text);
            if (match.hasMatch())
                m_ports.insert(match.captured(1), match.captured(2).toInt());
        }
    }
    *error = QString("%1 did not start (%2): %3")
                 .arg(program, m_process.errorString(),
                      logFile.isEmpty() ? QString::fromUtf8(m_process.readAllStandardError())
                                        : "its log: " + logFile);
    stop();
    return false;
}

int SimProcess::stop()
{
    m_ports.clear();
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitCode();
    m_process.terminate();
    if (m_process.waitForFinished(kEndMs) && m_process.exitStatus() == QProcess::NormalExit)
        return m_process.exitCode();
    m_process.kill();
    m_process.waitForFinished(kEndMs);
    return -1;
}

int SimProcess::run(const QString &program, const QStringList &arguments, QByteArray *output,
                    QByteArray *errors)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kEndMs) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = process.readAllStandardOutput();
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitCode();
}
