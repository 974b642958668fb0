#include "TestEnv.h"

#include <KWGui/KWMessageBox.h>
#include <kwl/KPrintLog.h>

#include <QtTest>
#include <QtWidgets>

#include <functional>

using KWGUI::KWMessageBox;

namespace {

constexpr int kOk = KWMessageBox::Ok;
constexpr int kCancel = KWMessageBox::Cancel;

// Runs `act` on the box once it is up (exec() blocks the caller) and returns the box's answer.
int answerShownBox(QWidget *parent, int buttons, const std::function<void(QDialog *)> &act)
{
    QTimer poll;
    bool acted = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (acted || !box || box->objectName() != "KWMessageBox" || !box->isVisible())
            return;
        acted = true;
        act(box);
    });
    poll.start(10);
    return KWMessageBox::ShowInformation(parent, "Notice", "Application had runned!", buttons);
}

} // namespace

class tst_KWMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        qunsetenv("KWGUI_MESSAGEBOX_ANSWER");
        QVERIFY(!QApplication::activeModalWidget());
    }

    void automationAnswersAtOnceAndLogsTheBox()
    {
        const struct
        {
            const char *setting;
            int buttons, expected;
        } rows[] = {{"ok", kOk | kCancel, kOk},
                    {"cancel", kOk | kCancel, kCancel},
                    {" Cancel\n", kOk | kCancel, kCancel},
                    // Without a Cancel button the box can only be closed, which answers Ok.
                    {"cancel", kOk, kOk},
                    {"ok", 0, kOk}};
        const QString logPath = QDir::currentPath() + "/box.log";
        for (const auto &row : rows) {
            QFile::remove(logPath);
            QVERIFY(KPrintLog::instance()->SetFile(logPath.toLocal8Bit().constData()));
            qputenv("KWGUI_MESSAGEBOX_ANSWER", row.setting);
            QCOMPARE(KWMessageBox::ShowInformation(nullptr, "提示", "程序已经在运行！", row.buttons),
                     row.expected);
            KPrintLog::instance()->SetFile("");
            const QString log = QString::fromUtf8(TestEnv::readFile(logPath));
            QVERIFY2(log.contains(QString("KWMessageBox \"提示\": \"程序已经在运行！\" answered %1")
                                      .arg(row.expected == kOk ? "ok" : "cancel")),
                     qPrintable(log));
        }
    }

    void shownBoxReturnsTheButtonPressed_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("expected");
        QTest::newRow("ok of two") << (kOk | kCancel) << "KWMessageBoxOkBtn" << kOk;
        QTest::newRow("cancel of two") << (kOk | kCancel) << "KWMessageBoxCancelBtn" << kCancel;
        QTest::newRow("close with cancel") << (kOk | kCancel) << "KWMessageBoxCloseBtn" << kCancel;
        QTest::newRow("close without cancel") << kOk << "KWMessageBoxCloseBtn" << kOk;
        QTest::newRow("enter confirms") << (kOk | kCancel) << "Return" << kOk;
    }
    void shownBoxReturnsTheButtonPressed()
    {
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(int, expected);
        qputenv("KWGUI_MESSAGEBOX_ANSWER", "yes"); // an answer not understood shows the box
        QWidget parent;
        parent.resize(800, 600);
        parent.show();
        QString text;
        bool modal = false;
        const int answer = answerShownBox(&parent, buttons, [&](QDialog *box) {
            text = box->findChild<QLabel *>("KWMessageBoxText")->text();
            modal = box->isModal() && box->parentWidget() == &parent;
            if (press == "Return")
                QTest::keyClick(box, Qt::Key_Return);
            else
                QTest::mouseClick(box->findChild<QPushButton *>(press), Qt::LeftButton);
        });
        QCOMPARE(answer, expected);
        QCOMPARE(text, QString("Application had runned!"));
        QVERIFY(modal);
    }
};

QTEST_MAIN(tst_KWMessageBox)
#include "tst_KWMessageBox.moc"
