#include "SimHarness.h"
#include "VideoProbe.h"

#include <SimMedia/OpenPlatformRoutes.h>
#include <StreamCore/IStreamCore.h>

#include <httplib.h>
#include <kwl/KPrintLog.h>

#include <QDateTime>

#include <cstring>

SimHarness::SimHarness()
    : SimHarness(devices())
{ }

SimHarness::SimHarness(std::vector<SimMedia::MediaDevice> deviceList)
    : m_media(std::make_unique<SimMedia::MediaServer>(std::move(deviceList)))
    , m_http(std::make_unique<httplib::Server>())
{ }

SimHarness::~SimHarness()
{
    m_http->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_media->stop();
}

SimMedia::ChannelSpec SimHarness::channel(int id, const std::string &codec, bool audio, int width,
                                          int height)
{
    SimMedia::ChannelSpec c;
    c.id = id;
    c.name = "Channel " + std::to_string(id);
    c.codec = codec;
    c.audio = audio;
    c.width[0] = width;
    c.height[0] = height;
    c.width[1] = width / 2;
    c.height[1] = height / 2;
    return c;
}

std::vector<SimMedia::Record> SimHarness::recordedDay(const char *device, int channel, int source,
                                                      size_t count)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QDate day = QDate::currentDate().addDays(-1);; day = day.addDays(-1)) {
        auto records = SimMedia::RecordSchedule::day(device, channel, source, day.year(),
                                                     day.month(), day.day(), now);
        if (records.size() >= count)
            return records;
    }
}

StreamCore::RecordInfo SimHarness::recordInfo(const SimMedia::Record &r, int channel)
{
    StreamCore::RecordInfo info {};
    std::strcpy(info.recordId, r.id.c_str());
    std::strcpy(info.beginTime, localText(r.begin).toUtf8().constData());
    std::strcpy(info.endTime, localText(r.end).toUtf8().constData());
    info.channel = channel;
    return info;
}

QString SimHarness::localText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd HH:mm:ss");
}

std::vector<SimMedia::MediaDevice> SimHarness::devices()
{
    SimMedia::ChannelSpec outOfBand = channel(3, "h264", false);
    outOfBand.parameterSetsInBand = false;
    SimMedia::MediaDevice recorder {
        kRecorder,
        "Test recorder",
        {channel(1, "h264", false), channel(2, "h264", false), outOfBand}};
    SimMedia::MediaDevice camera {kCamera, "Test camera", {channel(1, "h265", true)}};
    return {recorder, camera};
}

bool SimHarness::start()
{
    // The library's log goes to standard error, shown when a test fails.
    KPrintLog::instance()->SetStderr(true);
    if (!m_media->start(0))
        return false;
    SimMedia::registerOpenPlatformRoutes(*m_http, *m_media,
                                         [](const std::string &t) { return t == kToken; });
    m_httpPort = m_http->bind_to_any_port("127.0.0.1");
    if (m_httpPort <= 0)
        return false;
    m_thread = std::thread([this] { m_http->listen_after_bind(); });
    scaleTimeouts();
    return StreamCore::IStreamCore::GetInstance()->InitApi("127.0.0.1", m_httpPort, "", true) == 0;
}

void SimHarness::scaleTimeouts()
{
    StreamCore::IStreamCore::GetInstance()->SetTimeouts(VideoProbe::scaled(10000),
                                                        VideoProbe::scaled(5000));
}
