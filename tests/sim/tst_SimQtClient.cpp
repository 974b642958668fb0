#include "SimServer.h"

#include <QtNetwork>
#include <QtTest>

#include <memory>

namespace {

const QString versionPath = GatewayRoutes::versionPath;
const QString tokenPath = GatewayRoutes::tokenPath;

struct Outcome
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QList<QSslError> sslErrors;
};

// Sends a GET the way the client's HTTP client does and waits for its end.
Outcome get(const QString &url,
            const QSslConfiguration &ssl = QSslConfiguration::defaultConfiguration())
{
    QNetworkAccessManager manager;
    QNetworkRequest request {QUrl(url)};
    request.setSslConfiguration(ssl);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    Outcome outcome;
    QObject::connect(reply.get(), &QNetworkReply::sslErrors,
                     [&](const QList<QSslError> &errors) { outcome.sslErrors = errors; });
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!finished.wait(20000))
        return outcome;
    outcome.error = reply->error();
    outcome.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    outcome.body = reply->readAll();
    return outcome;
}

Fault fault(const QJsonObject &json)
{
    QString error;
    return Fault::fromJson(json, &error).value();
}

} // namespace

// What Qt's network stack, which the client is built on, makes of the platform's answers.
class tst_SimQtClient : public QObject
{
    Q_OBJECT

private:
    SimServer m_server;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_server.start({}, &error), qPrintable(error));
    }

    void cleanup()
    {
        m_server.faults().clear();
        m_server.requestLog().clear();
    }

    void statusCodesBecomeQtErrors()
    {
        m_server.faults().add(
            fault({{"path", versionPath}, {"action", "status"}, {"status", 404}}));
        Outcome outcome = get(m_server.httpUrl() + versionPath);
        QCOMPARE(outcome.error, QNetworkReply::ContentNotFoundError); // 203
        QCOMPARE(outcome.status, 404);
        QVERIFY(outcome.body.contains("\"success\":false"));

        // The gateway's own refusal of a request without a logged-in user.
        outcome = get(m_server.httpUrl() + tokenPath);
        QCOMPARE(outcome.error, QNetworkReply::AuthenticationRequiredError);
        QCOMPARE(outcome.status, 401);
    }

    void closedConnectionBecomesRemoteHostClosed()
    {
        // Qt sends a request again when the connection closes before any answer, so a fault
        // meant for Qt clients is sticky.
        m_server.faults().add(
            fault({{"path", versionPath}, {"action", "close"}, {"sticky", true}}));
        const Outcome outcome = get(m_server.httpUrl() + versionPath);
        QCOMPARE(outcome.error, QNetworkReply::RemoteHostClosedError);
        QVERIFY(outcome.body.isEmpty());
        QVERIFY(m_server.requestLog().requests(versionPath).size() >= 2);
    }

    void httpsCertificateIsSignedByItself()
    {
        const QString url = m_server.httpsUrl() + versionPath;

        // Checking certificates, Qt refuses the platform's.
        Outcome outcome = get(url);
        QCOMPARE(outcome.error, QNetworkReply::SslHandshakeFailedError);
        QVERIFY(!outcome.sslErrors.isEmpty());
        QCOMPARE(outcome.sslErrors.first().error(), QSslError::SelfSignedCertificate);

        // The client's HTTPS settings: no peer verification, its old protocol value.
        QSslConfiguration client = QSslConfiguration::defaultConfiguration();
        client.setPeerVerifyMode(QSslSocket::VerifyNone);
        client.setProtocol(QSsl::TlsV1SslV3);
        outcome = get(url, client);
        QCOMPARE(outcome.error, QNetworkReply::NoError);
        QVERIFY(outcome.body.contains("\"version\""));

        // Trusting the certificate the platform hands out: it names 127.0.0.1.
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.setCaCertificates(QSslCertificate::fromData(m_server.certificatePem()));
        outcome = get(url, trusting);
        QCOMPARE(outcome.error, QNetworkReply::NoError);
        QCOMPARE(m_server.requestLog().requests().last().scheme, QString("https"));
    }
};

QTEST_GUILESS_MAIN(tst_SimQtClient)
#include "tst_SimQtClient.moc"
