#include <KWGui/KWMessageBox.h>

#include "KWMessageBoxDialog.h"

#include <kwl/KPrintLog.h>

#include <QApplication>

#include <cstdio>

namespace KWGUI {

namespace {

// The automatic answer asked for by KWGUI_MESSAGEBOX_ANSWER, 0 when the box is to be shown.
int automaticAnswer(int offered)
{
    const QString wanted = qEnvironmentVariable("KWGUI_MESSAGEBOX_ANSWER").trimmed().toLower();
    const int button = wanted == "ok" ? KWMessageBox::Ok
        : wanted == "cancel"          ? KWMessageBox::Cancel
                                      : 0;
    if (!button)
        return 0;
    // A button that is not offered cannot be pressed: the box is closed instead.
    return (offered & button) ? button : KWMessageBoxDialog::closeAnswer(offered);
}

// One line in the log and on stderr, so that a run without a screen shows what was asked.
void reportAutomaticAnswer(const QString &title, const QString &text, int answer)
{
    const QByteArray line
        = QStringLiteral("KWMessageBox \"%1\": \"%2\" answered %3")
              .arg(title, text,
                   answer == KWMessageBox::Ok ? QStringLiteral("ok") : QStringLiteral("cancel"))
              .toUtf8();
    KLOG(4, "%s", line.constData());
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

} // namespace

int KWMessageBox::ShowInformation(QWidget *parent, const QString &title, const QString &text,
                                  int buttons)
{
    int offered = buttons & (Ok | Cancel);
    if (!offered)
        offered = Ok;
    if (const int answer = automaticAnswer(offered)) {
        reportAutomaticAnswer(title, text, answer);
        return answer;
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        // Nothing can be shown without widgets: the box counts as closed.
        const int answer = KWMessageBoxDialog::closeAnswer(offered);
        KLOG(4, "no widgets, box \"%s\": \"%s\" closed", qUtf8Printable(title),
             qUtf8Printable(text));
        return answer;
    }
    KWMessageBoxDialog box(parent, title, text, offered);
    box.exec();
    return box.answer();
}

} // namespace KWGUI
