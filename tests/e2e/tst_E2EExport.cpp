// Exports from the platform's exports page through the whole client as a process: a report by
// GET and one by POST downloaded into the folder the folder question's automation switch names,
// and a device's QR code picture saved from the message itself.
#include "E2ESession.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#define STEP(done) QVERIFY2(done, qPrintable(m_error))

class tst_E2EExport : public QObject
{
    Q_OBJECT

    E2ESession m_session;
    QTemporaryDir m_folder;
    QString m_error;

    // The folder's file matching pattern once it is there, complete (no ".part" left).
    QString savedFile(const QString &pattern)
    {
        QStringList found;
        const bool saved = QTest::qWaitFor(
            [&] {
                found = QDir(m_folder.path()).entryList({pattern}, QDir::Files);
                return !found.isEmpty();
            },
            15000);
        return saved ? m_folder.filePath(found.first()) : QString();
    }
    QByteArray content(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        qputenv("ORVANE_EXPORT_FOLDER", m_folder.path().toUtf8());
        STEP(m_session.startSim(&m_error));
        STEP(m_session.startClient(&m_error));
        STEP(m_session.logIn("demo", "demo123", &m_error));
        STEP(m_session.page().click("#sidebar [data-menu=exportCenter]", &m_error));
        STEP(m_session.page().waitFor(
            "document.querySelectorAll('#export-qr-device option').length > 0", &m_error));
    }
    void cleanupTestCase() { m_session.stop(); }

    void reportsByGetAndPostAreDownloaded()
    {
        STEP(m_session.page().click("#export-devices button[type=submit]", &m_error));
        QVERIFY(content(savedFile("devices-*.csv")).startsWith("Device,Name,Type"));
        QVERIFY(m_session.client()->waitForLine("Export folder question .* answered").hasMatch());
        QVERIFY(m_session.client()
                    ->waitForLine("CCommonExportNetworkRequest saved .*devices-")
                    .hasMatch());

        m_session.sim("POST", "/sim/alarms", {{"deviceId", "NVR0001A"}, {"messageType", 4}});
        STEP(m_session.page()
                 .evaluate("document.getElementById('export-alarm-type').value = '4'", &m_error)
                 .isString());
        STEP(m_session.page().click("#export-alarms button[type=submit]", &m_error));
        const QByteArray alarms = content(savedFile("alarms-*.csv"));
        QVERIFY2(alarms.contains(",4,Door opened,"), alarms.constData());
        const QJsonArray sent = m_session.simRequests("/gateway/export/alarmReport");
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0]["method"].toString(), "POST");
        QCOMPARE(sent[0]["body"].toString(), "{\"messageType\":4}");
        QCOMPARE(sent[0]["headers"]["Authorization"].toString(), "Bearer ut-demo-7f3a9c21");
    }

    void qrCodePictureIsSavedFromTheMessage()
    {
        STEP(m_session.page().click("#export-qrcode button[type=submit]", &m_error));
        const QImage picture(savedFile("NVR0001A-qrcode.png"));
        QVERIFY(picture.width() > 100 && picture.width() == picture.height());
    }
};

QTEST_GUILESS_MAIN(tst_E2EExport)
#include "tst_E2EExport.moc"
