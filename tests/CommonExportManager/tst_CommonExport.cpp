// Export downloads from the reference platform on loopback into a temporary folder, through the
// manager as the page's "CommonExportFile" drives it; the folder question and the cancel
// question are answered by their automation switches.
#include "CommonExportManager/CCommonExportNetworkRequest.h"
#include "CommonExportManager/CCommonExportTaskManager.h"
#include "CommonExportManager/QCommonExportDlg.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Web/CWebMsgFactory.h"
#include "Web/CommonExportFileMsg.h"

#include <ExportRoutes.h>
#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <SimServer.h>
#include <Toasts.h>

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
    // One row of a table of text columns.
    template<typename... Texts> static void row(const char *tag, const Texts &...texts)
    {
        (QTest::newRow(tag) << ... << QString(texts));
    }
    static QString sampleUrl(const QString &query)
    {
        return QString(ExportRoutes::samplePath) + "?" + query;
    }
    void addFault(const QJsonObject &fault)
    {
        QString error;
        m_sim.faults().add(Fault::fromJson(fault, &error).value());
    }
    QByteArray read(const QString &name) const
    {
        QFile file(m_folder->filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    // Sends "CommonExportFile" as the page would: a download by GET unless params say otherwise.
    void exportFile(const QString &url, QJsonObject params = {})
    {
        params.insert("requestUrl", url);
        params.insert("requestType", params.value("requestType").toString("GET"));
        m_manager->onRPCCall(
            Web::CWebMsgFactory::commonExportFile("CommonExportFile", params).get());
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
        QTest::addColumn<QString>("existing"); // files already in the folder
        QTest::addColumn<QString>("name"); // the "name" header; empty: none, the page's name
        QTest::addColumn<QString>("saved");
        row("free", "", "a.pdf", "a.pdf");
        row("a.pdf, a(1).pdf taken", "a.pdf a(1).pdf", "a.pdf", "a(2).pdf");
        row("no dot", "README README(1)", "README", "README(2)");
        row("leading dot", ".profile", ".profile", ".profile(1)");
        row("brackets", "r(x).pdf", "r(x).pdf", "r(x)(1).pdf");
        row("page's name", "", "", "fromPage.csv");
        row("folders", "", "sub/dir/inner.txt", "inner.txt");
        row("non-ASCII", "", "报表 2024.csv", "报表 2024.csv");
        row("..", "", "../../escape.txt", "NoName");
        row("..\\", "NoName", "..\\escape.txt", "NoName(1)");
        row("absolute", "", "/etc/passwd", "NoName");
        row("drive", "", "C:\\x.txt", "NoName");
        row("tab", "", "a\tb.txt", "NoName");
        row("device", "", "CON.txt", "NoName");
        row("long", "", QString(300, 'x'), "NoName");
    }
    void namesAreNumberedAndStayInTheFolder()
    {
        QFETCH(QString, existing);
        QFETCH(QString, name);
        QFETCH(QString, saved);
        const QStringList taken = existing.split(' ', Qt::SkipEmptyParts);
        for (const QString &file : taken)
            QVERIFY(QFile(m_folder->filePath(file)).open(QIODevice::WriteOnly));
        const QString query = name.isEmpty() ? "noName=1" : "name=" + QUrl::toPercentEncoding(name);
        exportFile(sampleUrl("bytes=100&" + query), {{"name", "fromPage.csv"}});
        QCOMPARE(outcome(), "finished");
        QCOMPARE(files().size(), taken.size() + 1);
        QCOMPARE(read(saved), sample(100));
    }

    void sizelessReplyKeepsTheBusyBarToTheEnd()
    {
        QSignalSpy progress(request(), &CCommonExportNetworkRequest::sgnExportProgress);
        exportFile(sampleUrl("bytes=40000&size=0&pieceBytes=10000&trickleMs=200"));
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
        exportFile(ExportRoutes::samplePath, {{"requestType", "Get"}});
        QCOMPARE(failed.size(), 1);
        QVERIFY(m_manager->Dialog()->IsDone());
        QVERIFY(m_sim.requestLog().requests(ExportRoutes::samplePath).isEmpty());
        QVERIFY(files().isEmpty());
    }

    // Before the first byte and mid-download.
    void cancelLeavesNoFile()
    {
        for (const bool afterFirstByte : {false, true}) {
            init();
            addFault({{"path", ExportRoutes::samplePath}, {"delayMs", afterFirstByte ? 0 : 2000}});
            exportFile(sampleUrl("bytes=1000000&pieceBytes=10000&trickleMs=20"));
            if (afterFirstByte)
                QTRY_VERIFY(QFileInfo(m_folder->filePath("sample.txt.part")).size() > 0);
            QTimer::singleShot(0, m_manager->Dialog(), &QCommonExportDlg::OnCloseBtmClicked);
            QCOMPARE(outcome().left(2), "5 ");
            QVERIFY(m_manager->Dialog()->IsDone());
            QVERIFY2(files().isEmpty(), qPrintable(files().join(", ")));
        }
    }

    void failuresLeaveNoFinalFileAndReExportSaves()
    {
        exportFile(sampleUrl("bytes=200000&failAt=100000&pieceBytes=10000"));
        QVERIFY(outcome() != "finished");
        QCOMPARE(files(), QStringList {"sample.txt.part"});
        QVERIFY(QFileInfo(m_folder->filePath("sample.txt.part")).size() <= 100000);

        addFault({{"path", ExportRoutes::samplePath}, {"action", "status"}, {"status", 500}});
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
        exportFile(sampleUrl("bytes=1000000&name=big.bin"));
        const QString result = outcome();
        limit.rlim_cur = RLIM_INFINITY;
        setrlimit(RLIMIT_FSIZE, &limit);
        QCOMPARE(result, "-1 Export file write fail!");
        QVERIFY(files().filter("big").isEmpty());
        QTRY_VERIFY(shownToasts().filter("Export file write fail!").size() == 1);
    }

    void base64Envelopes_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("result");
        const QString refused = "-1 data jsonobject from server error";
        row("not JSON", R"({"data":)", "-1 data from server error");
        row("not an object", "[1]", refused);
        row("success false", R"({"success":false,"data":"aGk="})", refused);
        row("no success", R"({"data":"aGk="})", refused);
        row("good", R"({"success":true,"data":"aGVsbG8="})", "finished");
    }
    void base64Envelopes()
    {
        QFETCH(QString, body);
        QFETCH(QString, result);
        const QJsonObject headers {{"isBase64", "1"}, {"name", "b.txt"}};
        addFault({{"path", ExportRoutes::samplePath},
                  {"action", "body"},
                  {"body", body},
                  {"headers", headers}});
        exportFile(ExportRoutes::samplePath, {{"requestType", "POST"}, {"requestParams", "{}"}});
        QCOMPARE(outcome(), result);
        QCOMPARE(read(result == "finished" ? "b.txt" : "b.txt.part"),
                 result == "finished" ? QByteArray("hello") : QByteArray());
    }

    // A file in the message that cannot be written is reported (one that can:
    // tst_E2EClient::logsInAndExports).
    void contentThatCannotBeSavedIsReported()
    {
        qputenv("ORVANE_EXPORT_FOLDER", m_folder->filePath("missing").toUtf8());
        exportFile({}, {{"exportType", 2}, {"requestParams", "plain"}, {"name", "qr.txt"}});
        QTRY_VERIFY(shownToasts().contains("openFile fail, QRCode download fail"));
        QVERIFY(files().isEmpty());
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
        dialog.OnCloseBtmClicked(); // answered with the other button: the download goes on
        QCOMPARE(cancel.size(), 0);
        qputenv("KWGUI_MESSAGEBOX_ANSWER", "ok");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(cancel.size(), 1);
        QVERIFY(!dialog.IsDone());
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return); // asks nothing while exporting
        QCOMPARE(cancel.size(), 1);
        dialog.OnExportFinished();
        QCOMPARE(bar->value(), 100);
        QCOMPARE(label->text(), "100%");
        QTest::keyClick(&dialog, Qt::Key_Return); // "finished"
        QVERIFY(dialog.isHidden());
        dialog.SetExportingState();
        QCOMPARE(label->text(), "0%");
        QCOMPARE(bar->maximum(), 0);
        QVERIFY(dialog.findChild<QWidget *>("widgetExportFinished")->isHidden());
    }
};

QTEST_MAIN(tst_CommonExport)
#include "tst_CommonExport.moc"
