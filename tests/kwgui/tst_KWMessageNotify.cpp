#include "TestEnv.h"
#include "Toasts.h"
#include "UrlRecorder.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>

#include <QtTest>
#include <QtWidgets>

#include <thread>

using KWGUI::KWMessageNotify;

namespace {

constexpr int kLong = 600000; // long enough never to end within a test

QWidget *toastWithText(const QString &text)
{
    QLabel *label = toastShowing(text);
    return label ? label->window() : nullptr;
}

// A notifier already taking toasts, which stay until closed.
struct StartedNotify : KWMessageNotify
{
    explicit StartedNotify(int displayTime = kLong)
    {
        SetDisplayTime(displayTime);
        StartMessageProcess();
    }
};

} // namespace

class tst_KWMessageNotify : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // Each test's notifier takes its toasts with it.
        QTRY_VERIFY(shownToastWindows().isEmpty());
    }

    void queuedToastsWaitForTheStartAndShowInOrderFromAnyThread()
    {
        KWMessageNotify notify;
        notify.SetDisplayTime(kLong);
        notify.AddTextNotification("first");
        std::thread([&notify] {
            for (const char *text : {"second", "third"})
                notify.AddTextNotification(text);
        }).join();
        QCoreApplication::processEvents();
        QVERIFY(shownToastWindows().isEmpty());

        notify.SetMessageNotifyTitle("Store alert");
        notify.StartMessageProcess();
        // The newest sits at the bottom; every toast lives on the GUI thread.
        QTRY_COMPARE(shownToasts(), (QStringList {"first", "second", "third"}));
        for (QWidget *toast : shownToastWindows()) {
            QCOMPARE(toast->findChild<QLabel *>("KWToastTitle")->text(), QString("Store alert"));
            QCOMPARE(toast->thread(), qApp->thread());
        }
        notify.AddTextNotification("fourth");
        QTRY_COMPARE(shownToasts().last(), QString("fourth"));

        // The shared notifier is one object, wherever it is first asked for, on the GUI thread.
        KWMessageNotify *fromThread = nullptr;
        std::thread([&] { fromThread = KWGUI::KWSingleton<KWMessageNotify>::Instance(); }).join();
        QCOMPARE(KWGUI::KWSingleton<KWMessageNotify>::Instance(), fromThread);
        QCOMPARE(fromThread->thread(), qApp->thread());
    }

    // Five toasts at most: the oldest roll out.
    void theOldestToastsRollOut()
    {
        StartedNotify notify;
        for (int i = 1; i <= 7; ++i)
            notify.AddTextNotification(QString::number(i));
        QTRY_COMPARE(shownToasts(), (QStringList {"3", "4", "5", "6", "7"}));
        shownToastWindows().last()->findChild<QPushButton *>("KWToastCloseBtn")->click();
        QTRY_COMPARE(shownToastWindows().size(), 4);
    }

    void toastsLeaveAfterTheirTimeUnlessHovered()
    {
        StartedNotify notify(50);
        notify.AddTextNotification("hovered");
        notify.AddTextNotification("ignored");
        QWidget *hovered = toastWithText("hovered");
        QVERIFY(hovered);
        // The toasts were shown by the call above; the mouse reaches one before any time passes.
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(hovered, &enter);

        QTRY_COMPARE(shownToasts(), QStringList {"hovered"});
        QCOMPARE(hovered->windowOpacity(), 1.0);

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(hovered, &leave);
        QTRY_VERIFY(shownToastWindows().isEmpty());
    }

    // A picture that cannot be read leaves the text alone.
    void pictureToastShowsThePicture()
    {
        QImage image(100, 60, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save("small.png"));
        StartedNotify notify;
        notify.AddPictureNotification("QRCode download success", "small.png");
        notify.AddPictureNotification("broken", "missing.png");
        QTRY_COMPARE(shownToasts(), (QStringList {"QRCode download success", "broken"}));
        auto pictureOf = [](const QString &text) {
            auto *label = toastWithText(text)->findChild<QLabel *>("KWToastPicture");
            return label ? label->pixmap(Qt::ReturnByValue).size() : QSize();
        };
        QCOMPARE(pictureOf("QRCode download success"), QSize(100, 60));
        QCOMPARE(pictureOf("broken"), QSize());
    }

    void recordAndFileToastsOpenTheFileAndItsFolder()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        const QString file = QDir::current().filePath("Record/shop 1/ch1.mp4");
        StartedNotify notify;
        notify.AddRecordNotification("Save Record Succeed", file);
        notify.AddFileNotification("SnapShot Succeed", file);
        QTRY_COMPARE(shownToastWindows().size(), 2);
        QCOMPARE(shownToastWindows("record").size(), 1);
        QCOMPARE(shownToastWindows("file").size(), 1);
        for (QWidget *toast : shownToastWindows()) {
            for (const char *button : {"KWToastOpenFileBtn", "KWToastOpenFolderBtn"})
                QTest::mouseClick(toast->findChild<QPushButton *>(button), Qt::LeftButton);
        }
        QDesktopServices::unsetUrlHandler("file");
        const QList<QUrl> both {QUrl::fromLocalFile(file),
                                QUrl::fromLocalFile(QFileInfo(file).absolutePath())};
        QCOMPARE(recorder.urls, both + both);
    }

    // The translation comes with the parameters; a toast never takes the focus from the main
    // window.
    void translationAndFocus()
    {
        QWidget main;
        main.resize(400, 300);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));

        KWMessageNotify notify;
        notify.SetDisplayTime(kLong);
        notify.SetParam({TestEnv::buildBinDir() + "/Language/Language_zh/KWMessageNotify_zh.qm"},
                        {"Harbour"}, "Chinese");
        notify.StartMessageProcess();
        notify.AddFileNotification("SnapShot Succeed", "/tmp/x.jpg");
        QTRY_COMPARE(shownToastWindows().size(), 1);
        QWidget *toast = shownToastWindows().first();
        QCOMPARE(toast->findChild<QPushButton *>("KWToastOpenFileBtn")->text(),
                 QString("打开文件"));
        QCOMPARE(toast->findChild<QLabel *>("KWToastTitle")->text(), QString("提示"));

        QVERIFY(QTest::qWaitForWindowExposed(toast));
        // Let the window system deliver whatever the new window caused.
        QTest::qWait(200);
        QCOMPARE(QApplication::activeWindow(), &main);
        QVERIFY(!toast->isActiveWindow());
    }
};

QTEST_MAIN(tst_KWMessageNotify)
#include "tst_KWMessageNotify.moc"
