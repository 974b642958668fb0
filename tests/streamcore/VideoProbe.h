#pragma once

#include <SimMedia/FrameStamp.h>
#include <StreamCore/IVideoObserver.h>
#include <StreamCore/VideoPlay.h>

#include <QList>
#include <QString>
#include <QTest>
#include <QWidget>

#include <memory>

// A window showing one play object, recording its events and reading the picture it shows.
class VideoProbe : public StreamCore::IVideoObserver
{
public:
    struct Event
    {
        int code;
        int outcome;
        QString error;
        int kind;
        int width;
        int height;
    };

    // mode: StreamCore::EnumPlayMode; the window is shown at the given size.
    explicit VideoProbe(int mode = 0, QSize size = QSize(320, 180));
    ~VideoProbe() override;

    StreamCore::VideoPlay *play() const { return m_play; }
    QWidget *window() const { return m_window.get(); }
    const QList<Event> &events() const { return m_events; }

    // A wait of ms on this build: ORVANE_TEST_TIME_FACTOR times longer on the slow sanitizer
    // builds. Every wait below is scaled so.
    static int scaled(int ms);
    // Waits for an event with this code (and outcome, unless -1); false after the timeout. The
    // default outlasts the library's 10 s open timeout, so that a failed open logs its steps.
    bool waitFor(int code, int outcome = -1, int timeoutMs = 12000);
    // The first event with this code from index `from` on, or a default one with code -1.
    Event first(int code, int from = 0) const;
    // The stamp of the picture the window shows now; false when none can be read.
    bool readStamp(SimMedia::FrameStamp *stamp) const;
    // Waits until the picture shows a stamp accepted by the predicate; a failed wait says which
    // clock the picture showed instead.
    template<typename Pred>
    bool waitForStamp(Pred pred, SimMedia::FrameStamp *stamp, int timeoutMs = 10000) const
    {
        if (QTest::qWaitFor([&] { return readStamp(stamp) && pred(*stamp); }, scaled(timeoutMs)))
            return true;
        qWarning("the picture shows %s",
                 readStamp(stamp) ? qPrintable(QString::number(stamp->seconds)) : "no stamp");
        return false;
    }

    void OnVideoEvent(const StreamCore::VideoEvent *event) override;

private:
    std::unique_ptr<QWidget> m_window;
    StreamCore::VideoPlay *m_play = nullptr;
    QList<Event> m_events;
};
