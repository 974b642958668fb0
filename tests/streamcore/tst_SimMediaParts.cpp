// The simulated devices' parts: the picture stamp, the record schedule, the device file, the
// camera's PTZ motion and the open platform's answers to malformed requests.
#include <ParameterSets.h>
#include <PtzState.h>
#include <SimMedia/FrameStamp.h>
#include <SimMedia/MediaDevice.h>
#include <SimMedia/MediaServer.h>
#include <SimMedia/OpenPlatformRoutes.h>
#include <SimMedia/RecordSchedule.h>

#include <httplib.h>

#include <QDateTime>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <thread>

using namespace SimMedia;

namespace {

QJsonObject json(const httplib::Result &r)
{
    return r ? QJsonDocument::fromJson(QByteArray::fromStdString(r->body)).object() : QJsonObject();
}

} // namespace

class tst_SimMediaParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stampSurvivesScalingAndRejectsNoise()
    {
        FrameStamp stamp;
        stamp.deviceTag = FrameStamp::tagOf("NVR0001");
        stamp.channel = 7;
        stamp.seconds = 1733400000;
        stamp.pan = 200;
        stamp.tilt = 3;
        stamp.zoom = 11;
        QImage luma(320, 180, QImage::Format_Grayscale8);
        luma.fill(128);
        stamp.paint(luma.bits(), luma.bytesPerLine(), luma.width(), luma.height());
        const auto fields = [](const FrameStamp &s) {
            return QList<qint64> {s.deviceTag, s.channel, s.seconds, s.pan, s.tilt, s.zoom};
        };
        // Shown as BGRx, at the window's size (smaller and larger, smoothly scaled).
        for (const QSize &size : {QSize(320, 180), QSize(213, 120), QSize(800, 451)}) {
            const QImage shown = luma.convertToFormat(QImage::Format_RGB32)
                                     .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            FrameStamp read;
            QVERIFY(
                read.read(shown.constBits(), shown.bytesPerLine(), shown.width(), shown.height()));
            QCOMPARE(fields(read), fields(stamp));
        }
        // A picture without a stamp, or with one damaged block, is not read.
        QImage plain(320, 180, QImage::Format_RGB32);
        plain.fill(Qt::gray);
        FrameStamp none;
        QVERIFY(!none.read(plain.constBits(), plain.bytesPerLine(), 320, 180));
        QImage damaged = luma.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < 11; ++y) {
            for (int x = 13 * 10; x < 13 * 11; ++x)
                damaged.setPixel(x, y, damaged.pixel(x, y) ^ 0x00FFFFFF);
        }
        QVERIFY(!none.read(damaged.constBits(), damaged.bytesPerLine(), 320, 180));
    }

    void scheduleIsOrderedGappedAndPast()
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QDate today = QDate::currentDate();
        int emptyDays = 0;
        bool crossed = false;
        for (int back = 0; back < 60; ++back) {
            const QDate day = today.addDays(-back);
            const qint64 dayStart = QDateTime(day, QTime(0, 0)).toSecsSinceEpoch();
            const qint64 nextDay = QDateTime(day.addDays(1), QTime(0, 0)).toSecsSinceEpoch();
            for (int source : {0, 1}) {
                const auto records = RecordSchedule::day("NVR0001", 2, source, day.year(),
                                                         day.month(), day.day(), now);
                emptyDays += records.empty() ? 1 : 0;
                for (size_t i = 0; i < records.size(); ++i) {
                    const Record &r = records[i];
                    QVERIFY(r.begin >= dayStart + 15 * 60 && r.begin < nextDay);
                    QVERIFY(r.end > r.begin && r.end <= nextDay + 10 * 60 && r.end <= now);
                    QVERIFY(i == 0 || r.begin > records[i - 1].end); // gaps between recordings
                }
                // A recording running past midnight is found by a search of the next day.
                if (!records.empty() && records.back().end > nextDay) {
                    const auto next
                        = RecordSchedule::between("NVR0001", 2, source, nextDay, nextDay + 60, now);
                    QVERIFY(!next.empty() && next.front().id == records.back().id);
                    crossed = true;
                }
            }
            const std::string bitmap
                = RecordSchedule::monthBitmap("NVR0001", 2, 0, day.year(), day.month(), now);
            QCOMPARE(bitmap[day.day() - 1] == '1',
                     !RecordSchedule::day("NVR0001", 2, 0, day.year(), day.month(), day.day(), now)
                          .empty());
        }
        QVERIFY(emptyDays > 0 && emptyDays < 60);
        QVERIFY(crossed);
        const QDate tomorrow = today.addDays(1);
        QVERIFY(RecordSchedule::day("NVR0001", 2, 0, tomorrow.year(), tomorrow.month(),
                                    tomorrow.day(), now)
                    .empty());
        QCOMPARE(RecordSchedule::monthBitmap("NVR0001", 2, 0, today.year(), 13, now),
                 std::string());
    }

    void parameterSetsLeaveTheStream()
    {
        // SPS and PPS behind four- and three-byte start codes, then two slices.
        const uint8_t unit[] = {0,    0, 0, 1, 0x67, 0x42, 0xC0, 0x1E, 0, 0, 1,    0x68, 0xCE,
                                0x3C, 0, 0, 1, 0x65, 0x88, 0x84, 0,    0, 1, 0x41, 0x9A};
        std::string sprop;
        const std::string kept = ParameterSets::strip(unit, sizeof unit, &sprop);
        QCOMPARE(QByteArray::fromStdString(kept),
                 QByteArray::fromHex("000001658884"
                                     "000001419a"));
        QCOMPARE(sprop, std::string("Z0LAHg==,aM48"));
        // A picture without them leaves the announced sets as they were.
        const uint8_t delta[] = {0, 0, 1, 0x41, 0x9A, 0x02};
        QCOMPARE(ParameterSets::strip(delta, sizeof delta, &sprop).size(), sizeof delta);
        QCOMPARE(sprop, std::string("Z0LAHg==,aM48"));
    }

    void deviceFileParsing()
    {
        std::vector<MediaDevice> devices;
        std::string error;
        QVERIFY(parseDevices(R"({"devices":[{"deviceId":"D1","deviceName":"Shop","channels":[
            {"channelId":1,"channelName":"Door","codec":"h265","audio":true,"high":[1920,1080],
             "standard":[640,360],"inBandParameterSets":false},{"channelId":2,"rtspUrl":"rtsp://10.0.0.9/live"}]}]})",
                             &devices, &error));
        QCOMPARE(devices.size(), size_t(1));
        const ChannelSpec *door = devices[0].channel(1);
        QVERIFY(door->codec == "h265" && door->audio && !door->parameterSetsInBand);
        QCOMPARE(door->width[0], 1920);
        QVERIFY(devices[0].channel(2)->parameterSetsInBand);
        QCOMPARE(devices[0].channel(2)->rtspUrl, std::string("rtsp://10.0.0.9/live"));
        QVERIFY(devices[0].channel(3) == nullptr);

        const char *broken[] = {
            "{\"devices\":[", // not JSON
            "[{\"deviceName\":\"no id\"}]",
            "[{\"deviceId\":\"D\",\"channels\":[{\"channelId\":1,\"codec\":\"mjpeg\"}]}]",
            "[{\"deviceId\":\"D\",\"channels\":[{\"channelId\":1,\"high\":[1921,1080]}]}]",
            "[{\"deviceId\":\"D\",\"channels\":[{\"channelId\":300}]}]",
            "[{\"deviceId\":\"D\",\"channels\":[7]}]",
            "[3]",
        };
        for (const char *text : broken) {
            error.clear();
            QVERIFY2(!parseDevices(text, &devices, &error), text);
            QVERIFY2(!error.empty(), text);
        }
        QCOMPARE(devices.size(), size_t(1)); // a failed parse leaves the list as it was
    }

    // Moves in each direction and stops are shown through the client's PTZ panel.
    void ptzWrapsEndsAndClamps()
    {
        using std::chrono::milliseconds;
        const PtzState::Clock::time_point t0 = PtzState::Clock::now();
        PtzState ptz;
        QVERIFY(ptz.apply(2, 600000, t0)); // left past zero wraps around
        QCOMPARE(ptz.view(t0 + milliseconds(1000)).pan, 224);
        QVERIFY(ptz.apply(1, 500, t0 + milliseconds(1000))); // ends when its duration is over
        QCOMPARE(ptz.view(t0 + milliseconds(3000)).tilt, 16);
        QVERIFY(ptz.apply(9, 600000, t0 + milliseconds(3000))); // zoom in
        QCOMPARE(ptz.view(t0 + milliseconds(60000)).zoom, 15);
        QVERIFY(!ptz.apply(5, 1000, t0 + milliseconds(60000)));
    }

    void openPlatformAnswers()
    {
        ChannelSpec channel;
        channel.id = 1;
        ChannelSpec outside;
        outside.id = 2;
        outside.rtspUrl = "rtsp://192.0.2.7/stream";
        MediaServer media({{"DEV", "Device", {channel, outside}}});
        QVERIFY(media.start(0));
        httplib::Server http;
        registerOpenPlatformRoutes(http, media, [](const std::string &t) { return t == "good"; });
        const int port = http.bind_to_any_port("127.0.0.1");
        std::thread thread([&] { http.listen_after_bind(); });
        httplib::Client client("127.0.0.1", port);
        const httplib::Headers good {{"Authorization", "Bearer good"}};
        const std::string live = "/openapi/v1/stream/live?deviceId=DEV&channel=";
        const std::string soon = std::to_string(QDateTime::currentSecsSinceEpoch() + 60);
        const QString local = QString("rtsp://127.0.0.1:%1/live/DEV/1/").arg(media.rtspPort());

        // What the client's library never sends: the platform still answers it precisely.
        const struct
        {
            const char *method;
            std::string path;
            std::string body;
            int status;
            QString url; // the "url" of the answer, when it has one
        } cases[] = {
            {"GET", live + "1&definition=0", "", 200, local + "0"},
            {"GET", live + "2", "", 200, "rtsp://192.0.2.7/stream"},
            {"GET", live + "x", "", 400, ""},
            {"GET", "/openapi/v1/stream/live?channel=1", "", 400, ""},
            {"GET", "/openapi/v1/records/bitmap?deviceId=DEV&channel=1&year=2024&month=0", "", 400,
             ""},
            {"GET", "/openapi/v1/stream/playback?deviceId=DEV&channel=1&recordId=dev-1-5", "", 404,
             ""},
            {"GET",
             "/openapi/v1/stream/playback?deviceId=DEV&channel=1&begin=" + soon + "&end=9" + soon,
             "", 404, ""},
            {"POST", "/openapi/v1/ptz", "not json", 400, ""},
            {"POST", "/openapi/v1/ptz", R"({"deviceId":"DEV","channel":1,"operation":42})", 400,
             ""},
            {"POST", "/openapi/v1/device/web", R"({"deviceId":"X"})", 404, ""},
        };
        for (const auto &c : cases) {
            const auto r = std::string(c.method) == "GET"
                ? client.Get(c.path.c_str(), good)
                : client.Post(c.path.c_str(), good, c.body, "application/json");
            QVERIFY2(r && r->status == c.status, c.path.c_str());
            if (!c.url.isEmpty())
                QCOMPARE(json(r).value("data").toObject().value("url").toString(), c.url);
        }
        QCOMPARE(json(client.Get((live + "1").c_str())).value("code").toInt(), 100);

        // A refusing camera's address leads nowhere; clearing the fault restores it.
        QVERIFY(client.Post("/sim/media/fault", R"({"deviceId":"DEV","channel":1,"refuse":true})",
                            "application/json"));
        QVERIFY(json(client.Get((live + "1").c_str(), good)).value("data").toObject().value("url")
                != QJsonValue(local + "1"));
        QCOMPARE(client.Delete("/sim/media/fault")->status, 200);
        QCOMPARE(json(client.Get((live + "1").c_str(), good)).value("data").toObject().value("url"),
                 QJsonValue(local + "1"));
        http.stop();
        thread.join();
    }
};

QTEST_GUILESS_MAIN(tst_SimMediaParts)
#include "tst_SimMediaParts.moc"
