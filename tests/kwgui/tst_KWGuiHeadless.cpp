#include "TestEnv.h"

#include <KWGui/KWFile.h>
#include <KWGui/KWMessageBox.h>
#include <KWGui/KWMessageNotify.h>
#include <kwl/KPrintLog.h>

#include <QtTest>

using KWGUI::KWMessageBox;

class tst_KWGuiHeadless : public QObject
{
    Q_OBJECT

private slots:
    // Code that notifies also runs in processes without widgets (tools, headless tests).
    void withoutWidgetsNothingShowsAndNothingBreaks()
    {
        const QString logPath = QDir::currentPath() + "/headless.log";
        QVERIFY(KPrintLog::instance()->SetFile(logPath.toLocal8Bit().constData()));
        KWGUI::KWMessageNotify notify;
        notify.StartMessageProcess();
        notify.AddTextNotification("Failed to Get VeltToken,Please try again later!");
        notify.AddPictureNotification("QRCode download success", "/tmp/none.png");
        const int both = KWMessageBox::Ok | KWMessageBox::Cancel;
        QCOMPARE(
            KWMessageBox::ShowInformation(nullptr, "Notice", "are you sure to exit export?", both),
            int(KWMessageBox::Cancel));
        QCOMPARE(KWMessageBox::ShowInformation(nullptr, "Notice", "Application had runned!",
                                               KWMessageBox::Ok),
                 int(KWMessageBox::Ok));
        KPrintLog::instance()->SetFile("");

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString lines = QString::fromUtf8(log.readAll());
        for (const char *line : {"toast not shown: Failed to Get VeltToken,Please try again later!",
                                 "toast not shown: QRCode download success",
                                 "box \"Notice\": \"Application had runned!\" closed"})
            QVERIFY2(lines.contains(line), line);
    }

    // Style files that are missing, empty or folders are passed over; the rest join in order.
    void styleFilesAreJoined()
    {
        QVERIFY(TestEnv::writeFile("a.css", "A{}\n") && TestEnv::writeFile("b.css", "B{}"));
        QVERIFY(TestEnv::writeFile("empty.css", "") && QDir().mkpath("folder.css"));
        const QStringList names {"a.css", "missing.css", "folder.css", "empty.css", "b.css"};
        QCOMPARE(KWGUI::KWFile::ReadAll(names, QDir::currentPath() + "/"), QByteArray("A{}\nB{}"));
        QCOMPARE(KWGUI::KWFile::ReadAll({"a.css"}, "/nowhere"), QByteArray());
    }

    // lupdate brings new texts in untranslated: every entry of both languages is translated,
    // and the two files list the same texts.
    void translationSourcesAreComplete()
    {
        const QRegularExpression source("<source>(.*?)</source>");
        for (const char *name : {"Orvane", "KWMessageNotify"}) {
            QStringList sources[2];
            for (int i = 0; i < 2; ++i) {
                const QString ts = QString::fromUtf8(
                    TestEnv::readFile(QString("%1/translations/%2_%3.ts")
                                          .arg(TestEnv::sourceDir(), name, i ? "en" : "zh")));
                QVERIFY2(!ts.contains("type=\"unfinished\"") && !ts.contains("<translation></"),
                         name);
                for (auto it = source.globalMatch(ts); it.hasNext();)
                    sources[i] << it.next().captured(1);
            }
            QVERIFY(!sources[0].isEmpty());
            QCOMPARE(sources[1], sources[0]);
        }
    }
};

QTEST_GUILESS_MAIN(tst_KWGuiHeadless)
#include "tst_KWGuiHeadless.moc"
