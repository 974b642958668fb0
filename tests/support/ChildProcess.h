#pragma once

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

// A program run as a child process of a test or benchmark: started in a folder of its own with the
// given environment, its standard output and error read together (and copied to a file, so that a
// failed test leaves them behind), waited on line by line, and stopped (terminate, then kill)
// at the latest with the object, or with the test when that is killed.
class ChildProcess : public QProcess
{
public:
    explicit ChildProcess(QObject *parent = nullptr);
    ~ChildProcess() override;

    // Starts program in folder; its output is also appended to outputFile when one is given.
    void launch(const QString &program, const QStringList &arguments, const QString &folder,
                const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                const QString &outputFile = {});
    // Starts orvane-sim (the build's unless another program is named) in folder on free ports of
    // 127.0.0.1 and waits until it takes requests; false and the reason (with its output) when it
    // does not.
    bool startSim(const QString &folder, QString *error, const QStringList &arguments = {},
                  const QString &program = {});
    // The base URL of a started sim for "http" or "https": "http://127.0.0.1:<port>".
    QString simUrl(const QString &scheme = "http") const;
    // The port of a started sim's listener ("http", "https", "rtsp"); 0 when it has none.
    int simPort(const QString &listener = "http") const { return m_ports.value(listener); }

    // Waits until a line of the output so far matches pattern; the match, or an invalid one when
    // the process ended or timeoutMs passed first.
    QRegularExpressionMatch waitForLine(const QString &pattern, int timeoutMs = 30000);
    // Everything the process wrote so far.
    QString output();
    // Ends the process: asks it to terminate, kills it when it does not. Its exit code, -1 when it
    // had to be killed.
    int stop();

protected:
    void setupChildProcess() override;

private:
    void collect();

    QByteArray m_output;
    QString m_outputFile;
    QMap<QString, int> m_ports;
};
