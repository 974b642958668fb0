#include <KWGui/KWGlobal.h>
#include <KWGui/KWMessageNotify.h>

#include "KWSkin.h"
#include "KWToast.h"
#include "KWToastStack.h"

#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QTranslator>

namespace KWGUI {

namespace {
constexpr int kMaxToasts = 5;
constexpr int kDefaultDisplayMs = 5000;

int initialDisplayTime()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("KWGUI_NOTIFY_TIME_MS", &ok);
    return ok && ms > 0 ? ms : kDefaultDisplayMs;
}
} // namespace

// Everything behind the notifier. The pending list, the start flag, the title and the display
// time are shared with the callers' threads (under `mutex`); the toasts, the translators and the
// style live on the notifier's (GUI) thread.
class KWMessageNotify::Private
{
public:
    QMutex mutex;
    QList<KWToast::Content> pending;
    bool started = false;
    QString title;
    int displayMs = initialDisplayTime();

    QString styleSheet;
    QList<QTranslator *> translators;
    KWToastStack stack {kMaxToasts};
};

KWMessageNotify::KWMessageNotify()
    : d(new Private)
{
    // The singleton may be created by whichever thread asks first: toasts belong to the GUI.
    if (QCoreApplication *app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());
    d->stack.moveToThread(thread());
}

KWMessageNotify::~KWMessageNotify()
{
    qDeleteAll(d->translators);
    delete d;
}

void KWMessageNotify::SetParam(const QStringList &translationFiles, const QStringList &skins,
                               const QString &language)
{
    Q_UNUSED(language) // the translation files already name the language
    for (QTranslator *old : qAsConst(d->translators))
        QCoreApplication::removeTranslator(old);
    qDeleteAll(d->translators);
    d->translators.clear();
    for (const QString &file : translationFiles) {
        auto *translator = new QTranslator;
        if (translator->load(file) && QCoreApplication::installTranslator(translator)) {
            d->translators.append(translator);
        } else {
            KLOG(4, "notifier translation %s not loaded", qUtf8Printable(file));
            delete translator;
        }
    }
    const QString scheme = skins.isEmpty() ? KWSkin::SchemeOf(GetSkinVersion()) : skins.first();
    d->styleSheet = KWSkin::StyleSheet(scheme);
}

void KWMessageNotify::SetMessageNotifyTitle(const QString &title)
{
    QMutexLocker lock(&d->mutex);
    d->title = title;
}

void KWMessageNotify::SetDisplayTime(int msec)
{
    QMutexLocker lock(&d->mutex);
    d->displayMs = msec > 0 ? msec : kDefaultDisplayMs;
}

void KWMessageNotify::StartMessageProcess()
{
    {
        QMutexLocker lock(&d->mutex);
        d->started = true;
    }
    scheduleShow();
}

void KWMessageNotify::AddTextNotification(const QString &text)
{
    add(KWToast::Text, text, QString());
}

void KWMessageNotify::AddLinkTextNotification(const QString &text, const QString &linkId)
{
    add(KWToast::Link, text, linkId);
}

void KWMessageNotify::AddPictureNotification(const QString &text, const QString &file)
{
    add(KWToast::Picture, text, file);
}

void KWMessageNotify::AddRecordNotification(const QString &text, const QString &file)
{
    add(KWToast::Record, text, file);
}

void KWMessageNotify::AddFileNotification(const QString &text, const QString &file)
{
    add(KWToast::File, text, file);
}

void KWMessageNotify::add(int kind, const QString &text, const QString &extra)
{
    {
        QMutexLocker lock(&d->mutex);
        d->pending.append({static_cast<KWToast::Kind>(kind), QString(), text, extra});
        if (!d->started)
            return;
    }
    scheduleShow();
}

void KWMessageNotify::scheduleShow()
{
    // One shared list keeps the callers' order whichever thread they are on.
    if (QThread::currentThread() == thread())
        showPending();
    else
        QMetaObject::invokeMethod(this, &KWMessageNotify::showPending, Qt::QueuedConnection);
}

void KWMessageNotify::showPending()
{
    QList<KWToast::Content> contents;
    QString title;
    int displayMs;
    {
        QMutexLocker lock(&d->mutex);
        if (!d->started)
            return;
        contents.swap(d->pending);
        title = d->title.isEmpty() ? tr("Notice") : d->title;
        displayMs = d->displayMs;
    }
    if (contents.isEmpty())
        return;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        // A process without widgets (a console tool, a headless test) cannot show toasts.
        for (const KWToast::Content &content : qAsConst(contents))
            KLOG(4, "no widgets, toast not shown: %s", qUtf8Printable(content.text));
        return;
    }
    if (d->styleSheet.isEmpty())
        d->styleSheet = KWSkin::StyleSheet(KWSkin::SchemeOf(GetSkinVersion()));
    for (KWToast::Content &content : contents) {
        content.title = title;
        auto *toast = new KWToast(content, d->styleSheet, displayMs);
        connect(toast, &KWToast::linkClicked, this, [this](const QString &linkId) {
            QString id = linkId; // the signal hands out a modifiable reference
            emit sgnClickTextLink(id);
        });
        d->stack.push(toast);
    }
}

} // namespace KWGUI
