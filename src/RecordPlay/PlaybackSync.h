#pragma once

#include <QDate>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>

class QTimer;
class QVideoFrame;

// Synchronised playback: while on, the playback windows of a frame follow one clock. Seeking,
// pausing, the speed and the 15 s steps act on all of them; a window without a recording at the
// clock's time waits, saying so, and joins when its next recording begins; after every change
// the windows are moved to the same second together, and a window that
// drifts away by two seconds is moved back (docs/playback.md). GUI thread.
class PlaybackSync : public QObject
{
    Q_OBJECT

public:
    // How often the windows are checked against the clock.
    static constexpr int kTickMs = 250;

    explicit PlaybackSync(QVideoFrame *frame, QObject *parent = nullptr);

    // On: every window now playing a recording follows the clock, which starts at the selected
    // (or first) one's time. Off: the windows go on by themselves.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    bool isMember(int index) const { return m_members.contains(index); }
    // The window waits for a recording at the clock's time.
    bool isWaiting(int index) const;
    // The clock, milliseconds since 1970; 0 before it was set.
    qint64 position() const;

    // Every window to time (seconds since 1970); index and every window showing video (live
    // ones too) join first.
    void seek(int index, qint64 time);
    void pause(bool on);
    void setSpeed(int speed);
    // Moves the clock by delta seconds.
    void step(int delta);
    // Window index began playing a recording: it joins, on the clock's time.
    void onWndPlaying(int index);
    // Window index goes its own way (closed, or given another channel).
    void leave(int index);

Q_SIGNALS:
    // Window index needs its records of day to know where the clock's time falls.
    void sgnDayNeeded(int index, QDate day);

private:
    enum class State { Opening, Playing, Waiting };
    struct Member
    {
        State state = State::Waiting;
        QElapsedTimer since; // in this state
        QDate asked; // the last day asked for
    };

    void onTick();
    void follow(int index, Member &member);
    // Window index to the clock's time: plays it, or lets it wait.
    void place(int index);
    void wait(int index, Member &member, int found);
    void enterPlaying(int index, Member &member);
    // Moves the playing windows to the clock's second together.
    void align();
    void setClock(qint64 ms);
    qint64 seconds() const { return position() / 1000; }

    QVideoFrame *m_frame;
    QTimer *m_timer;
    QMap<int, Member> m_members;
    bool m_enabled = false;
    bool m_alignPending = false;
    // The clock: anchor at the moment m_since was restarted, running at m_speed unless paused.
    qint64 m_anchorMs = 0;
    QElapsedTimer m_since;
    int m_speed = 1;
    bool m_paused = false;
};
