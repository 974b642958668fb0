// Export downloads from the reference platform on loopback into a temporary folder, through the
// manager as the page's "CommonExportFile" drives it; the folder question and the cancel
// question are answered by their automation switches.
#include "CommonExportManager/CCommonExportNetworkRequest.h"
#include "CommonExportManager/CCommonExportTaskManager.h"
#include "CommonExportManager/QCommonExportDlg.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Web/CommonExportFileMsg.h"

#include <ExportRoutes.h>
#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <SimServer.h>
#include <Toasts.h>

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class tst_CommonExport : public QObject
{
    Q_OBJECT

    SimServer m_sim;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<CCommonExportTaskManager> m_manager;

    CCommonExportNetworkRequest *request()
    {
        return m_manager->findChild<CCommonExportNetworkRequest *>();
    }
    QStringList files() const
    {
        return QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden);
    }
    QByteArray sample(qint64 bytes) const
    {
        QByteArray content;
        for (qint64 i = 0; i < bytes; ++i)
            content += ExportRoutes::sampleByte(i);
        return content;
    }
    QByteArray read(const QString &name) const
    {
        QFile file(m_folder->filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    // Sends "CommonExportFile" as the page would.
    void exportFile(const QString &url, const QString &type = "GET", int exportType = 0,
                    const QString &params = {}, const QString &name = {}, bool base64 = false)
    {
        Web::CommonExportFileMsg msg("CommonExportFile");
        msg.requestUrl = url;
        msg.requestType = type;
        msg.exportType = exportType;
        msg.requestParams = params;
        msg.name = name;
        msg.isBase64 = base64;
        m_manager->onRPCCall(&msg);
    }
    // Waits for the download's end: "finished", or the error's code and text.
    QString outcome()
    {
        QSignalSpy finished(request(), &CCommonExportNetworkRequest::sgnExportFinished);
        QSignalSpy network(request(), &CCommonExportNetworkRequest::sgnNetworkError);
        QSignalSpy failed(request(), &CCommonExportNetworkRequest::sgnExportError);
        if (!QTest::qWaitFor([&] { return finished.size() + network.size() + failed.size(); },
                             20000))
            return "nothing";
        const QSignalSpy &error = network.isEmpty() ? failed : network;
        return finished.size()
            ? "finished"
            : QString("%1 %2").arg(error[0][0].toInt()).arg(error[0][1].toString());
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sim.start({0, 0, false, {}}, &error), qPrintable(error));
        ConfigInfo::UserInfo user;
        user.token = m_sim.login("demo", "demo123");
        ConfigInfo::CBaseInfo::Instance().setUserInfo(user);
        ConfigInfo::CLocalCfg::Instance().SetPlatformUrl(m_sim.httpUrl());
        qputenv("KWGUI_MESSAGEBOX_ANSWER", "ok");
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->StartMessageProcess();
    }
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        qputenv("ORVANE_EXPORT_FOLDER", m_folder->path().toUtf8());
        m_manager = std::make_unique<CCommonExportTaskManager>();
        m_sim.faults().clear();
    }

    void namesAreNumberedAndStayInTheFolder_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("name"); // the "name" header; empty: none, the page's name
        QTest::addColumn<QString>("saved");
        QTest::newRow("free") << QStringList() << "a.pdf"
                              << "a.pdf";
        QTest::newRow("a.pdf, a(1).pdf taken") << QStringList {"a.pdf", "a(1).pdf"} << "a.pdf"
                                               << "a(2).pdf";
        QTest::newRow("no dot") << QStringList {"README", "README(1)"} << "README"
                                << "README(2)";
        QTest::newRow("leading dot") << QStringList {".profile"} << ".profile"
                                     << ".profile(1)";
        QTest::newRow("brackets") << QStringList {"r(x).pdf"} << "r(x).pdf"
                                  << "r(x)(1).pdf";
        QTest::newRow("page's name") << QStringList() << ""
                                     << "fromPage.csv";
        QTest::newRow("folders") << QStringList() << "sub/dir/inner.txt"
                                 << "inner.txt";
        QTest::newRow("non-ASCII") << QStringList() << "报表 2024.csv"
                                   << "报表 2024.csv";
        QTest::newRow("..") << QStringList() << "../../escape.txt"
                            << "NoName";
        QTest::newRow("..\\") << QStringList {"NoName"} << "..\\escape.txt"
                              << "NoName(1)";
        QTest::newRow("absolute") << QStringList() << "/etc/passwd"
                                  << "NoName";
        QTest::newRow("drive") << QStringList() << "C:\\x.txt"
                               << "NoName";
        QTest::newRow("tab") << QStringList() << "a\tb.txt"
                             << "NoName";
        QTest::newRow("device") << QStringList() << "CON.txt"
                                << "NoName";
        QTest::newRow("long") << QStringList() << QString(300, 'x') << "NoName";
    }
    void namesAreNumberedAndStayInTheFolder()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, name);
        for (const QString &file : existing)
            QVERIFY(QFile(m_folder->filePath(file)).open(QIODevice::WriteOnly));
        const QString query = name.isEmpty() ? "noName=1" : "name=" + QUrl::toPercentEncoding(name);
        exportFile(QString(ExportRoutes::samplePath) + "?bytes=100&" + query, "GET", 0, {},
                   "fromPage.csv");
        QCOMPARE(outcome(), "finished");
        QCOMPARE(files().size(), existing.size() + 1);
        QFETCH(QString, saved);
        QCOMPARE(read(saved), sample(100));
    }

    void sizelessReplyKeepsTheBusyBarToTheEnd()
    {
        QSignalSpy progress(request(), &CCommonExportNetworkRequest::sgnExportProgress);
        exportFile(QString(ExportRoutes::samplePath)
                   + "?bytes=40000&size=0&pieceBytes=10000&trickleMs=50");
        auto *bar = m_manager->Dialog()->findChild<QProgressBar *>("progressBar");
        QTRY_VERIFY(QFileInfo(m_folder->filePath("sample.txt.part")).size() > 0);
        QCOMPARE(bar->maximum(), 0);
        QCOMPARE(outcome(), "finished");
        QCOMPARE(progress.size(), 0);
        QCOMPARE(bar->value(), 100);
        QCOMPARE(read("sample.txt"), sample(40000));
    }

    void unknownRequestTypeSendsNothingAndFails()
    {
        m_sim.requestLog().clear();
        QSignalSpy failed(request(), &CCommonExportNetworkRequest::sgnExportError);
        exportFile(ExportRoutes::samplePath, "Get");
        QCOMPARE(failed.size(), 1);
        QVERIFY(m_manager->Dialog()->IsDone());
        QVERIFY(m_sim.requestLog().requests(ExportRoutes::samplePath).isEmpty());
        QVERIFY(files().isEmpty());
    }

    void cancelLeavesNoFile_data()
    {
        QTest::addColumn<bool>("afterFirstByte");
        QTest::newRow("before the first byte") << false;
        QTest::newRow("mid-download") << true;
    }
    void cancelLeavesNoFile()
    {
        QFETCH(bool, afterFirstByte);
        Fault late;
        late.path = ExportRoutes::samplePath;
        late.delayMs = afterFirstByte ? 0 : 2000;
        m_sim.faults().add(late);
        exportFile(QString(ExportRoutes::samplePath)
                   + "?bytes=1000000&pieceBytes=10000&trickleMs=20");
        if (afterFirstByte)
            QTRY_VERIFY(QFileInfo(m_folder->filePath("sample.txt.part")).size() > 0);
        QTimer::singleShot(0, m_manager->Dialog(), &QCommonExportDlg::OnCloseBtmClicked);
        QCOMPARE(outcome().left(2), "5 ");
        QVERIFY(m_manager->Dialog()->IsDone());
        QVERIFY2(files().isEmpty(), qPrintable(files().join(", ")));
    }

    void failuresLeaveNoFinalFileAndReExportSaves()
    {
        exportFile(QString(ExportRoutes::samplePath)
                   + "?bytes=200000&failAt=100000&pieceBytes=10000");
        QVERIFY(outcome() != "finished");
        QCOMPARE(files(), QStringList {"sample.txt.part"});
        QVERIFY(QFileInfo(m_folder->filePath("sample.txt.part")).size() <= 100000);

        QString error;
        m_sim.faults().add(
            Fault::fromJson(
                {{"path", ExportRoutes::samplePath}, {"action", "status"}, {"status", 500}}, &error)
                .value());
        exportFile(ExportRoutes::samplePath);
        QVERIFY(outcome() != "finished");
        QTimer::singleShot(0, m_manager->Dialog()->findChild<QPushButton *>("btnReExport"),
                           &QPushButton::click);
        QCOMPARE(outcome(), "finished");
        QCOMPARE(read("sample.txt"), sample(1024));
        QCOMPARE(files().filter(QRegularExpression("^sample.txt$|^big")),
                 QStringList {"sample.txt"});

        // A full disk: the write fails, the partial file goes, the user is told why.
        rlimit limit {200000, RLIM_INFINITY};
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        exportFile(QString(ExportRoutes::samplePath) + "?bytes=1000000&name=big.bin");
        const QString result = outcome();
        limit.rlim_cur = RLIM_INFINITY;
        setrlimit(RLIMIT_FSIZE, &limit);
        QCOMPARE(result, "-1 Export file write fail!");
        QVERIFY(files().filter("big").isEmpty());
        QTRY_VERIFY(shownToasts().filter("Export file write fail!").size() == 1);
    }

    void base64Envelopes_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("result");
        QTest::newRow("not JSON") << QByteArray("{\"data\":") << "-1 data from server error";
        QTest::newRow("not an object")
            << QByteArray("[1]") << "-1 data jsonobject from server error";
        QTest::newRow("success false") << QByteArray("{\"success\":false,\"data\":\"aGk=\"}")
                                       << "-1 data jsonobject from server error";
        QTest::newRow("no success")
            << QByteArray("{\"data\":\"aGk=\"}") << "-1 data jsonobject from server error";
        QTest::newRow("good") << QByteArray("{\"success\":true,\"data\":\"aGVsbG8=\"}")
                              << "finished";
    }
    void base64Envelopes()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, result);
        QString error;
        m_sim.faults().add(
            Fault::fromJson({{"path", ExportRoutes::samplePath},
                             {"action", "body"},
                             {"body", QString(body)},
                             {"headers", QJsonObject {{"isBase64", "1"}, {"name", "b.txt"}}}},
                            &error)
                .value());
        exportFile(ExportRoutes::samplePath, "POST", 0, "{}");
        QCOMPARE(outcome(), result);
        QCOMPARE(read(result == "finished" ? "b.txt" : "b.txt.part"),
                 result == "finished" ? QByteArray("hello") : QByteArray());
    }

    void contentInTheMessageIsSavedWithAPictureToast()
    {
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(Qt::black);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        picture.save(&png, "PNG");
        exportFile({}, "GET", 2, png.data().toBase64(), "qr.png", true);
        QCOMPARE(read("qr.png"), png.data());
        QTRY_VERIFY(shownToasts().contains("QRCode download success"));

        qputenv("ORVANE_EXPORT_FOLDER", m_folder->filePath("missing").toUtf8());
        exportFile({}, "GET", 2, "plain", "qr.txt");
        QTRY_VERIFY(shownToasts().contains("openFile fail, QRCode download fail"));
        QCOMPARE(files(), QStringList {"qr.png"});
    }

    void dialogStates()
    {
        QCommonExportDlg dialog;
        QSignalSpy cancel(&dialog, &QCommonExportDlg::SgnCancalExportBtnClicked);
        auto *bar = dialog.findChild<QProgressBar *>("progressBar");
        auto *label = dialog.findChild<QLabel *>("progressLabel");
        dialog.OnExportProgress(40);
        dialog.OnExportProgress(100);
        QCOMPARE(label->text(), "40%");
        qputenv("KWGUI_MESSAGEBOX_ANSWER", "cancel");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(cancel.size(), 0);
        qputenv("KWGUI_MESSAGEBOX_ANSWER", "ok");
        dialog.OnCloseBtmClicked();
        QCOMPARE(cancel.size(), 1);
        QVERIFY(!dialog.IsDone());
        dialog.OnExportFinished();
        QCOMPARE(bar->value(), 100);
        QCOMPARE(label->text(), "100%");
        dialog.SetExportingState();
        QCOMPARE(label->text(), "0%");
        QCOMPARE(bar->maximum(), 0);
        QVERIFY(dialog.findChild<QWidget *>("widgetExportFinished")->isHidden());
    }
};

QTEST_MAIN(tst_CommonExport)
#include "tst_CommonExport.moc"
