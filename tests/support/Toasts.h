#pragma once

#include <QApplication>
#include <QLabel>
#include <QStringList>

// The texts of the notifier's toasts now on screen.
inline QStringList shownToasts()
{
    QStringList shown;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        for (QLabel *text : widget->findChildren<QLabel *>("KWToastText"))
            shown << text->text();
    }
    return shown;
}
