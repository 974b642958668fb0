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
};

QTEST_GUILESS_MAIN(tst_KWGuiHeadless)
#include "tst_KWGuiHeadless.moc"
