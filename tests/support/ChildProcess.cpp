#include "ChildProcess.h"

#include "TestEnv.h"

#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

ChildProcess::ChildProcess(QObject *parent)
    : QProcess(parent)
{
    setProcessChannelMode(QProcess::MergedChannels);
}

ChildProcess::~ChildProcess()
{
    stop();
}

void ChildProcess::launch(const QString &program, const QStringList &arguments,
                          const QString &folder, const QProcessEnvironment &environment,
                          const QString &outputFile)
{
    m_output.clear();
    m_outputFile = outputFile;
    setWorkingDirectory(folder);
    setProcessEnvironment(environment);
    start(program, arguments);
}

void ChildProcess::setupChildProcess()
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

bool ChildProcess::startSim(const QString &folder, QString *error, const QStringList &arguments,
                            const QString &program)
{
    launch(program.isEmpty() ? TestEnv::buildBinDir() + "/orvane-sim" : program,
           QStringList {"--http-port", "0", "--https-port", "0"} + arguments, folder,
           QProcessEnvironment::systemEnvironment(), folder + "/orvane-sim.log");
    if (!waitForLine("^orvane-sim ready$").hasMatch()) {
        *error = "orvane-sim did not start: " + errorString() + "\n" + output();
        stop();
        return false;
    }
    const QRegularExpression port(R"(^orvane-sim (\w+) 127\.0\.0\.1:(\d+)$)",
                                  QRegularExpression::MultilineOption);
    for (auto it = port.globalMatch(output()); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        m_ports.insert(match.captured(1), match.captured(2).toInt());
    }
    return true;
}

QString ChildProcess::simUrl(const QString &scheme) const
{
    return QString("%1://127.0.0.1:%2").arg(scheme).arg(simPort(scheme));
}

QRegularExpressionMatch ChildProcess::waitForLine(const QString &pattern, int timeoutMs)
{
    const QRegularExpression line(pattern, QRegularExpression::MultilineOption);
    QRegularExpressionMatch match;
    (void)QTest::qWaitFor(
        [&] {
            match = line.match(output());
            return match.hasMatch() || state() == QProcess::NotRunning;
        },
        timeoutMs);
    return match;
}

QString ChildProcess::output()
{
    collect();
    return QString::fromUtf8(m_output);
}

int ChildProcess::stop()
{
    if (state() == QProcess::NotRunning)
        return exitCode();
    terminate();
    const bool ended = waitForFinished(10000) && exitStatus() == QProcess::NormalExit;
    if (!ended) {
        kill();
        waitForFinished(5000);
    }
    collect();
    return ended ? exitCode() : -1;
}

void ChildProcess::collect()
{
    const QByteArray chunk = readAll();
    m_output += chunk;
    QFile file(m_outputFile);
    if (!chunk.isEmpty() && !m_outputFile.isEmpty() && file.open(QIODevice::Append))
        file.write(chunk);
}
