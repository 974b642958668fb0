#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QStringList>

// orvane-sim, the reference platform, as a child process of a test or benchmark: started with
// its arguments, its "orvane-sim <listener> 127.0.0.1:<port>" lines read up to "orvane-sim
// ready". Stopped with the object (SIGTERM, then SIGKILL), and with the test or benchmark even
// when that is killed.
class SimProcess
{
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // The build's orvane-sim, as the test runner names it.
    static QString binary();
    // Starts the program (free ports unless the arguments name them) and waits until it is
    // ready; false and the reason when it does not come up. Its standard error goes to logFile
    // (kept in the process when empty).
    bool start(const QString &program, const QStringList &arguments, QString *error,
               const QString &logFile = {});
    // Stops it: SIGTERM, then SIGKILL; its exit code (-1 when it had to be killed).
    int stop();
    // Runs the program to its end; its exit code, or -1 when it did not end normally in time.
    static int run(const QString &program, const QStringList &arguments,
                   QByteArray *output = nullptr, QByteArray *errors = nullptr);

    // The port of a listener ("http", "https", "rtsp"); 0 when it has none.
    int port(const QString &listener) const { return m_ports.value(listener); }
    QMap<QString, int> ports() const { return m_ports; }
    QProcess &process() { return m_process; }

private:
    class Child : public QProcess
    {
    protected:
        void setupChildProcess() override;
    };

    Child m_process;
    QMap<QString, int> m_ports;
};
