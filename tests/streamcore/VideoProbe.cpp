#include "VideoProbe.h"

#include <StreamCore/IStreamCore.h>

#include <QImage>
#include <QTest>

#include <algorithm>

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

int VideoProbe::scaled(int ms)
{
    static const int factor = qMax(1, qEnvironmentVariableIntValue("ORVANE_TEST_TIME_FACTOR"));
    return ms * factor;
}

bool VideoProbe::waitFor(int code, int outcome, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            return std::any_of(m_events.begin(), m_events.end(), [&](const Event &e) {
                return e.code == code && (outcome < 0 || e.outcome == outcome);
            });
        },
        scaled(timeoutMs));
}

VideoProbe::Event VideoProbe::first(int code, int from) const
{
    const auto it = std::find_if(m_events.begin() + from, m_events.end(),
                                 [code](const Event &e) { return e.code == code; });
    return it == m_events.end() ? Event {-1, -1, QString(), -1, 0, 0} : *it;
}

bool VideoProbe::readStamp(SimMedia::FrameStamp *stamp) const
{
    const QImage image = m_window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return stamp->read(image.constBits(), image.bytesPerLine(), image.width(), image.height());
}
