#pragma once

#include <QList>
#include <QObject>
#include <QThread>
#include <QUrl>

// Stands in for the desktop's URL handler (QDesktopServices::setUrlHandler with the slot "open")
// and keeps what the client asked it to open, and whether any of it came off its own thread.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
    bool offItsThread = false;
public Q_SLOTS:
    void open(const QUrl &url)
    {
        urls << url;
        offItsThread |= QThread::currentThread() != thread();
    }
};
