#include "VideoProbe.h"

#include <StreamCore/IStreamCore.h>

#include <QImage>
#include <QTest>

VideoProbe::VideoProbe(int mode, QSize size)
    : m_window(std::make_unique<QWidget>())
{
    m_window->resize(size);
    m_window->show();
    m_play = StreamCore::IStreamCore::GetInstance()->CreateVideoPlay(mode);
    m_play->AddObserver(this);
    m_play->InitVideoPlay(m_window->winId());
}

VideoProbe::~VideoProbe()
{
    m_play->RemoveObserver(this);
    StreamCore::IStreamCore::GetInstance()->DestroyVideoPlay(m_play);
}

void VideoProbe::OnVideoEvent(const StreamCore::VideoEvent *e)
{
    m_events.append(
        {e->code, e->outcome, QString::fromUtf8(e->error), e->kind, e->width, e->height});
}

bool VideoProbe::waitUntil(const std::function<bool()> &done, int timeoutMs) const
{
    return QTest::qWaitFor(done, timeoutMs);
}

bool VideoProbe::waitFor(int code, int outcome, int timeoutMs)
{
    return waitUntil(
        [&] {
            for (const Event &e : m_events) {
                if (e.code == code && (outcome < 0 || e.outcome == outcome))
                    return true;
            }
            return false;
        },
        timeoutMs);
}

VideoProbe::Event VideoProbe::first(int code) const
{
    for (const Event &e : m_events) {
        if (e.code == code)
            return e;
    }
    return {-1, -1, QString(), -1, 0, 0};
}

bool VideoProbe::readStamp(SimMedia::FrameStamp *stamp) const
{
    const QImage image = m_window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return stamp->read(image.constBits(), image.bytesPerLine(), image.width(), image.height());
}
