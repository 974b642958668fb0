#pragma once

#include <QApplication>
#include <QLabel>
#include <QStringList>

#include <algorithm>

// The notifier's toasts on screen, top to bottom; only those of one kind ("text", "link",
// "record", "file", "picture") when one is given.
inline QList<QWidget *> shownToastWindows(const QString &kind = {})
{
    QList<QWidget *> shown;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == "KWMessageNotifyToast"
            && (kind.isEmpty() || widget->property("kind").toString() == kind))
            shown << widget;
    }
    std::sort(shown.begin(), shown.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    return shown;
}

inline QLabel *toastText(QWidget *toast)
{
    return toast->findChild<QLabel *>("KWToastText");
}

inline QStringList shownToasts(const QString &kind = {})
{
    QStringList texts;
    for (QWidget *toast : shownToastWindows(kind))
        texts << toastText(toast)->text();
    return texts;
}

// The text label of the toast on screen showing text, or null.
inline QLabel *toastShowing(const QString &text)
{
    const QList<QWidget *> shown = shownToastWindows();
    const auto it = std::find_if(shown.cbegin(), shown.cend(),
                                 [&](QWidget *toast) { return toastText(toast)->text() == text; });
    return it == shown.cend() ? nullptr : toastText(*it);
}

// Closes every toast, shown or waiting, so that the next case starts with none.
inline void closeToasts()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "KWMessageNotifyToast")
            widget->close();
    }
}
