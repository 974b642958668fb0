#pragma once

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

// A program run by a test or benchmark: its output and errors read together (and copied to a file
// that a failed test leaves behind), waited on line by line, and stopped with the object, or with
// the test when that is killed.
class ChildProcess : public QProcess
{
public:
    explicit ChildProcess(QObject *parent = nullptr);
    ~ChildProcess() override;

    void launch(const QString &program, const QStringList &arguments, const QString &folder,
                const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                const QString &outputFile = {});
    // Starts orvane-sim (the build's unless another program is named) on free ports and waits
    // until it takes requests; false and the reason, with its output, when it does not.
    bool startSim(const QString &folder, QString *error, const QStringList &arguments = {},
                  const QString &program = {});
    // "http://127.0.0.1:<port>" of a started sim.
    QString simUrl(const QString &scheme = "http") const;
    // The port of a started sim's listener ("http", "https", "rtsp"); 0 when it has none.
    int simPort(const QString &listener = "http") const { return m_ports.value(listener); }

    // The first output line matching pattern; no match when the process ended or time ran out.
    QRegularExpressionMatch waitForLine(const QString &pattern, int timeoutMs = 30000);
    QString output();
    // Terminates the process, killing it when it does not end: its exit code, -1 when killed.
    int stop();

protected:
    void setupChildProcess() override;

private:
    void collect();

    QByteArray m_output;
    QString m_outputFile;
    QMap<QString, int> m_ports;
};
