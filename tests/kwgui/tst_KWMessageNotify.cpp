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

    void toastsStackWithoutOverlapAndTheOldestRollOut()
    {
        StartedNotify notify;
        for (int i = 1; i <= 7; ++i)
            notify.AddTextNotification(i == 6 ? QString("a long text that wraps ").repeated(8)
                                              : QString::number(i));
        QTRY_COMPARE(shownToastWindows().size(), 5);
        QCOMPARE(shownToasts().first(), QString("3"));
        QCOMPARE(shownToasts().last(), QString("7"));

        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QList<QWidget *> shown = shownToastWindows();
        QVERIFY(shown.at(3)->height() > shown.at(4)->height()); // the wrapped text is taller
        for (int i = 0; i < shown.size(); ++i) {
            const QRect box = shown.at(i)->frameGeometry();
            QVERIFY(area.contains(box));
            if (i > 0)
                QVERIFY2(box.top() > shown.at(i - 1)->frameGeometry().bottom(), "toasts overlap");
        }

        // When one leaves, the ones above it move down into its place.
        const int bottom = shown.last()->frameGeometry().bottom();
        shown.last()->findChild<QPushButton *>("KWToastCloseBtn")->click();
        QTRY_COMPARE(shownToastWindows().size(), 4);
        QCOMPARE(shownToastWindows().last()->frameGeometry().bottom(), bottom);
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

    void pictureToastShowsThePictureScaledToTheToast()
    {
        for (const QSize size : {QSize(800, 400), QSize(100, 60)}) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            QVERIFY(image.save(size.width() > 100 ? "wide.png" : "small.png"));
        }
        StartedNotify notify;
        notify.AddPictureNotification("QRCode download success",
                                      QDir::current().filePath("wide.png"));
        notify.AddPictureNotification("small", "small.png");
        notify.AddPictureNotification("broken", "missing.png");
        QTRY_COMPARE(shownToastWindows().size(), 3);

        auto pictureOf = [](const QString &text) {
            auto *label = toastWithText(text)->findChild<QLabel *>("KWToastPicture");
            return label ? label->pixmap(Qt::ReturnByValue).size() : QSize();
        };
        QWidget *wideToast = toastWithText("QRCode download success");
        const QSize wide = pictureOf("QRCode download success");
        QVERIFY2(wide.width() < wideToast->width(), qPrintable(QString::number(wide.width())));
        QCOMPARE(wide.width(), 2 * wide.height()); // the aspect is kept
        QCOMPARE(pictureOf("small"), QSize(100, 60));
        // A picture that cannot be read leaves the text alone.
        QCOMPARE(pictureOf("broken"), QSize());
        QVERIFY(wideToast->height() > toastWithText("broken")->height() + wide.height() / 2);
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

    // The translation and the scheme's look come with the parameters; a toast never takes the
    // focus from the main window.
    void parametersAndFocus()
    {
        QVERIFY(TestEnv::writeFile(QDir::currentPath() + "/Skin/Harbour/KWGUI/CSS/toast.css",
                                   "#KWToastText { color: #010203; }"));
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
        QVERIFY(toast->styleSheet().contains("#010203"));

        QVERIFY(QTest::qWaitForWindowExposed(toast));
        // Let the window system deliver whatever the new window caused.
        QTest::qWait(200);
        QCOMPARE(QApplication::activeWindow(), &main);
        QVERIFY(!toast->isActiveWindow());
    }
};

QTEST_MAIN(tst_KWMessageNotify)
#include "tst_KWMessageNotify.moc"
