#include "RecordPlay/PlaybackSync.h"

#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoSurface.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"

#include <QDateTime>
#include <QTimer>

namespace {

constexpr int kPlaying = 3;
constexpr qint64 kDriftSeconds = 2; // a playing window this far off the clock is moved back
constexpr qint64 kOpenTimeoutMs = 10000; // an open without a picture by then is tried again

} // namespace

PlaybackSync::PlaybackSync(QVideoFrame *frame, QObject *parent)
    : QObject(parent)
    , m_frame(frame)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &PlaybackSync::onTick);
}

void PlaybackSync::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    m_members.clear();
    m_anchorMs = 0;
    m_paused = false;
    if (!on) {
        m_timer->stop();
        return;
    }
    CVideoFrame *frame = m_frame->frame();
    QList<int> playing;
    for (int i = 0; i < frame->wndCount(); ++i) {
        if (frame->wnd(i)->getFrameTime() > 0)
            playing << i;
    }
    const int selected = m_frame->selectedWnd();
    if (!playing.isEmpty()) {
        const int lead = playing.contains(selected) ? selected : playing.first();
        m_speed = frame->wndInfo(lead).playSpeed;
        setClock(frame->wnd(lead)->getFrameTime() * 1000);
    }
    for (int i : qAsConst(playing))
        enterPlaying(i, m_members[i]);
    m_alignPending = playing.size() > 1;
    m_timer->start();
}

bool PlaybackSync::isWaiting(int index) const
{
    const auto member = m_members.constFind(index);
    return member != m_members.cend() && member->state == State::Waiting;
}

void PlaybackSync::leave(int index)
{
    m_members.remove(index);
}

qint64 PlaybackSync::position() const
{
    if (m_paused || m_anchorMs == 0)
        return m_anchorMs;
    return m_anchorMs + m_since.elapsed() * m_speed;
}

void PlaybackSync::setClock(qint64 ms)
{
    m_anchorMs = ms;
    m_since.restart();
}

void PlaybackSync::seek(int index, qint64 time)
{
    // Every window showing something goes along, live ones too.
    m_members[index];
    CVideoFrame *frame = m_frame->frame();
    for (int i = 0; i < frame->wndCount(); ++i) {
        if (frame->wnd(i)->getVideoState() != 0)
            m_members[i];
    }
    setClock(time * 1000);
    for (auto it = m_members.begin(); it != m_members.end(); ++it)
        place(it.key());
}

void PlaybackSync::step(int delta)
{
    if (m_anchorMs != 0)
        seek(m_frame->selectedWnd(), seconds() + delta);
}

void PlaybackSync::pause(bool on)
{
    setClock(position());
    m_paused = on;
    for (auto it = m_members.begin(); it != m_members.end(); ++it) {
        if (it->state == State::Playing)
            m_frame->frame()->wnd(it.key())->pauseVideo(on);
    }
    m_alignPending = !on;
}

void PlaybackSync::setSpeed(int speed)
{
    setClock(position());
    m_speed = speed;
    for (auto it = m_members.begin(); it != m_members.end(); ++it) {
        if (it->state == State::Playing)
            m_frame->frame()->wnd(it.key())->setPlaySpeed(speed);
    }
    m_alignPending = true;
}

void PlaybackSync::onWndPlaying(int index)
{
    if (!m_enabled || m_members.contains(index))
        return;
    Member &member = m_members[index];
    const qint64 at = m_frame->frame()->wnd(index)->getFrameTime();
    if (m_anchorMs == 0)
        setClock(at * 1000);
    if (qAbs(at - seconds()) >= kDriftSeconds) {
        place(index);
        return;
    }
    enterPlaying(index, member);
    m_alignPending = true;
}

void PlaybackSync::place(int index)
{
    Member &member = m_members[index];
    const int found = m_frame->findRecordAt(index, seconds());
    if (found != 0) {
        wait(index, member, found);
        return;
    }
    m_frame->frame()->wnd(index)->surface()->setStatusText(QString());
    m_frame->playAt(index, seconds());
    member.state = State::Opening;
    member.since.restart();
    m_alignPending = true;
}

void PlaybackSync::wait(int index, Member &member, int found)
{
    QVideoWnd *w = m_frame->frame()->wnd(index);
    if (member.state != State::Waiting) {
        member.state = State::Waiting;
        m_frame->closeWnd(index);
    }
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(position());
    w->surface()->setStatusText(tr("No recording at %1").arg(at.toString("HH:mm:ss")));
    // Records not cached: ask for the day once; the answer lets the window join.
    if (found == -1 && member.asked != at.date()) {
        member.asked = at.date();
        emit sgnDayNeeded(index, at.date());
    }
}

void PlaybackSync::enterPlaying(int index, Member &member)
{
    member.state = State::Playing;
    member.since.restart();
    QVideoWnd *w = m_frame->frame()->wnd(index);
    if (w->getVideoWndInfo().playSpeed != m_speed)
        w->setPlaySpeed(m_speed);
    if (m_paused)
        w->pauseVideo(true);
}

void PlaybackSync::follow(int index, Member &member)
{
    QVideoWnd *w = m_frame->frame()->wnd(index);
    const bool playing = w->getVideoState() == kPlaying && w->getFrameTime() > 0;
    switch (member.state) {
    case State::Opening:
        if (playing)
            enterPlaying(index, member);
        else if (member.since.elapsed() > kOpenTimeoutMs)
            place(index);
        break;
    case State::Playing:
        if (!playing || qAbs(w->getFrameTime() - seconds()) >= kDriftSeconds)
            place(index);
        break;
    case State::Waiting:
        place(index);
        break;
    }
}

void PlaybackSync::onTick()
{
    if (m_anchorMs == 0)
        return;
    for (auto it = m_members.begin(); it != m_members.end(); ++it)
        follow(it.key(), it.value());
    if (m_alignPending)
        align();
}

void PlaybackSync::align()
{
    QList<QVideoWnd *> playing;
    for (auto it = m_members.cbegin(); it != m_members.cend(); ++it) {
        if (it->state == State::Opening)
            return; // once every opened window shows its first picture
        if (it->state == State::Playing)
            playing << m_frame->frame()->wnd(it.key());
    }
    m_alignPending = false;
    if (playing.size() < 2)
        return;
    // Seeking is the one call that puts a playing window at a given picture; paused windows
    // take their place and resume from it together.
    const qint64 second = seconds();
    for (QVideoWnd *w : qAsConst(playing))
        w->seek(second);
    setClock(second * 1000);
}
