#include "SimProcess.h"

#include "TestEnv.h"

#include <QJsonDocument>
#include <QRegularExpression>

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::start(const QString &logFile, QString *error, const QStringList &arguments)
{
    stop();
    m_process.setStandardErrorFile(logFile);
    m_process.start(TestEnv::buildBinDir() + "/orvane-sim",
                    QStringList {"--http-port", "0", "--https-port", "0"} + arguments);
    const QRegularExpression line(R"(^orvane-sim (https?) 127\.0\.0\.1:(\d+)$)");
    while (m_process.waitForReadyRead(15000) || m_process.canReadLine()) {
        while (m_process.canReadLine()) {
            const QString text = QString::fromUtf8(m_process.readLine()).trimmed();
            if (text == "orvane-sim ready")
                return true;
            const QRegularExpressionMatch match = line.match(text);
            if (match.hasMatch())
                (match.captured(1) == "http" ? m_httpPort : m_httpsPort)
                    = match.captured(2).toInt();
        }
    }
    *error = QString("orvane-sim did not start (%1); its log: %2")
                 .arg(m_process.errorString(), logFile);
    stop();
    return false;
}

void SimProcess::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    m_httpPort = 0;
    m_httpsPort = 0;
}

QString SimProcess::httpUrl() const
{
    return QString("http://127.0.0.1:%1").arg(m_httpPort);
}

QString SimProcess::httpsUrl() const
{
    return QString("https://127.0.0.1:%1").arg(m_httpsPort);
}

SyncHttp::Reply SimProcess::request(const QByteArray &verb, const QString &path,
                                    const QJsonObject &body, const QString &bearer) const
{
    SyncHttp::Headers headers;
    if (!bearer.isEmpty())
        headers.append({"Authorization", "Bearer " + bearer.toUtf8()});
    const QByteArray data = body.isEmpty() && verb == "GET"
        ? QByteArray()
        : QJsonDocument(body).toJson(QJsonDocument::Compact);
    return SyncHttp::send(verb, QUrl(httpUrl() + path), data, headers);
}
