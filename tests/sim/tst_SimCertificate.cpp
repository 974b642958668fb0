#include "SimServer.h"

#include <QtNetwork>
#include <QtTest>

#include <memory>

namespace {

// A GET through Qt's network stack with the given TLS settings: its error.
QNetworkReply::NetworkError get(const QString &url, const QSslConfiguration &ssl,
                                QList<QSslError> *sslErrors = nullptr)
{
    QNetworkAccessManager manager;
    QNetworkRequest request {QUrl(url)};
    request.setSslConfiguration(ssl);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    if (sslErrors)
        QObject::connect(reply.get(), &QNetworkReply::sslErrors,
                         [sslErrors](const QList<QSslError> &errors) { *sslErrors = errors; });
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    return finished.wait(20000) ? reply->error() : QNetworkReply::TimeoutError;
}

} // namespace

// The platform's HTTPS certificate: signed by itself, naming 127.0.0.1. (What Qt makes of the
// platform's other answers is driven by the client's own tests.)
class tst_SimCertificate : public QObject
{
    Q_OBJECT

private slots:
    void certificateIsSignedByItselfForTheLoopback()
    {
        SimServer server;
        QString error;
        QVERIFY2(server.start({}, &error), qPrintable(error));
        const QString url = server.httpsUrl() + GatewayRoutes::versionPath;
        QList<QSslError> sslErrors;
        QCOMPARE(get(url, QSslConfiguration::defaultConfiguration(), &sslErrors),
                 QNetworkReply::SslHandshakeFailedError);
        QVERIFY(!sslErrors.isEmpty());
        QCOMPARE(sslErrors.first().error(), QSslError::SelfSignedCertificate);

        // The client's HTTPS settings: no peer verification, its old protocol value.
        QSslConfiguration client = QSslConfiguration::defaultConfiguration();
        client.setPeerVerifyMode(QSslSocket::VerifyNone);
        client.setProtocol(QSsl::TlsV1SslV3);
        QCOMPARE(get(url, client), QNetworkReply::NoError);

        // Trusting the certificate the platform hands out: it names 127.0.0.1.
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.setCaCertificates(QSslCertificate::fromData(server.certificatePem()));
        QCOMPARE(get(url, trusting), QNetworkReply::NoError);
        QCOMPARE(server.requestLog().requests().last().scheme, QString("https"));
    }
};

QTEST_GUILESS_MAIN(tst_SimCertificate)
#include "tst_SimCertificate.moc"
