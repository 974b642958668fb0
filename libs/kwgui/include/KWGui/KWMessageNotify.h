#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace KWGUI {

// The pop-up notifier: toasts at the bottom right of the screen that stack, fade after a few
// seconds unless hovered and never take the focus. Every Add... call queues one toast and may
// be made from any thread (the toast is shown on the GUI thread).
// Reached through KWSingleton<KWMessageNotify>::Instance().
class KWMessageNotify : public QObject
{
    Q_OBJECT

public:
    KWMessageNotify();
    ~KWMessageNotify() override;

    // Translation files of the notifier's own texts, skin (colour scheme) folders, language.
    void SetParam(const QStringList &translationFiles, const QStringList &skins,
                  const QString &language);
    // Title shown on every toast ("Notice", translated, when none is set).
    void SetMessageNotifyTitle(const QString &title);
    // How long a toast stays before it fades out (default 5000 ms, or the environment variable
    // KWGUI_NOTIFY_TIME_MS); the time starts again whenever the mouse leaves the toast.
    void SetDisplayTime(int msec);
    // Starts showing queued toasts; toasts queued earlier wait until then.
    void StartMessageProcess();

    void AddTextNotification(const QString &text);
    // A toast whose text is a link; a click emits sgnClickTextLink with linkId.
    void AddLinkTextNotification(const QString &text, const QString &linkId);
    // A toast showing the picture in file under the text.
    void AddPictureNotification(const QString &text, const QString &file);
    // A toast for a finished recording, offering to open the file and its folder.
    void AddRecordNotification(const QString &text, const QString &file);
    // A toast for a saved file, offering to open the file and its folder.
    void AddFileNotification(const QString &text, const QString &file);

signals:
    void sgnClickTextLink(QString &linkId);

private:
    void add(int kind, const QString &text, const QString &extra);
    void scheduleShow();
    void showPending();

    class Private;
    Private *d;
};

} // namespace KWGUI
