// The media library's parts that need no stream: what a play plan asks for and where jumps
// land, the bit rate meter, the error texts of the platform client against a real HTTP server,
// observer lists changed during delivery, and the surface's picture converter against
// GStreamer's own.
#include <BitRateMeter.h>
#include <GstPtr.h>
#include <MediaError.h>
#include <ObserverList.h>
#include <PictureConverter.h>
#include <PlatformClient.h>
#include <PlaybackPlan.h>

#include <httplib.h>

#include <QDateTime>
#include <QImage>
#include <QtTest>

#include <cstring>
#include <thread>
#include <tuple>

using namespace StreamCore;

namespace {

RecordInfo record(const char *id, const QString &begin, const QString &end, int channel = 3)
{
    RecordInfo r {};
    std::strcpy(r.recordId, id);
    std::strcpy(r.beginTime, begin.toUtf8().constData());
    std::strcpy(r.endTime, end.toUtf8().constData());
    r.channel = channel;
    return r;
}

qint64 at(const char *text)
{
    return QDateTime::fromString(text, "yyyy-MM-dd HH:mm:ss").toSecsSinceEpoch();
}

std::string param(const PlatformClient::Params &p, const char *key)
{
    auto it = p.find(key);
    return it == p.end() ? std::string("<none>") : it->second;
}

struct Counter
{
    int calls = 0;
};

// A mapped I420 picture of 16x16 blocks of varied colour.
struct TestPicture
{
    TestPicture(QSize size, const char *matrix)
    {
        gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, guint(size.width()),
                                  guint(size.height()));
        gst_video_colorimetry_from_string(&info.colorimetry, matrix);
        buffer.reset(gst_buffer_new_allocate(nullptr, info.size, nullptr));
        gst_video_frame_map(&frame, &info, buffer.get(), GST_MAP_READWRITE);
        for (int plane = 0; plane < 3; ++plane) {
            auto *data = static_cast<quint8 *>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
            const int block = plane == 0 ? 16 : 8;
            for (int y = 0; y < GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane); ++y) {
                for (int x = 0; x < GST_VIDEO_FRAME_COMP_WIDTH(&frame, plane); ++x) {
                    const quint32 seed = quint32((y / block) * 1000 + x / block + 77 * plane);
                    data[y * GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane) + x]
                        = quint8((seed * 2654435761u) >> 24);
                }
            }
        }
    }
    ~TestPicture() { gst_video_frame_unmap(&frame); }

    GstVideoInfo info;
    GstPtr<GstBuffer> buffer;
    GstVideoFrame frame;
};

// Runs GStreamer's converter from a frame into a new frame of `out`, sampling the part
// nearest-neighbour.
GstPtr<GstBuffer> gstreamerConverts(GstVideoFrame &in, const QRect &part, GstVideoInfo *out)
{
    GstPtr<GstBuffer> buffer(gst_buffer_new_allocate(nullptr, out->size, nullptr));
    GstVideoConverter *converter = gst_video_converter_new(
        &in.info, out,
        gst_structure_new("options", GST_VIDEO_CONVERTER_OPT_DITHER_METHOD,
                          GST_TYPE_VIDEO_DITHER_METHOD, GST_VIDEO_DITHER_NONE,
                          GST_VIDEO_CONVERTER_OPT_RESAMPLER_METHOD,
                          GST_TYPE_VIDEO_RESAMPLER_METHOD, GST_VIDEO_RESAMPLER_METHOD_NEAREST,
                          GST_VIDEO_CONVERTER_OPT_SRC_X, G_TYPE_INT, part.x(),
                          GST_VIDEO_CONVERTER_OPT_SRC_Y, G_TYPE_INT, part.y(),
                          GST_VIDEO_CONVERTER_OPT_SRC_WIDTH, G_TYPE_INT, part.width(),
                          GST_VIDEO_CONVERTER_OPT_SRC_HEIGHT, G_TYPE_INT, part.height(),
                          nullptr));
    GstVideoFrame frame;
    gst_video_frame_map(&frame, out, buffer.get(), GST_MAP_WRITE);
    gst_video_converter_frame(converter, &in, &frame);
    gst_video_frame_unmap(&frame);
    gst_video_converter_free(converter);
    return buffer;
}

// The part drawn as the display branch drew it before: scaled in I420, then converted.
QImage drawnBefore(GstVideoFrame &picture, const QRect &part, QSize size)
{
    GstVideoInfo scaled = picture.info;
    gst_video_info_set_format(&scaled, GST_VIDEO_FORMAT_I420, guint(size.width()),
                              guint(size.height()));
    scaled.colorimetry = picture.info.colorimetry;
    GstPtr<GstBuffer> small = gstreamerConverts(picture, part, &scaled);
    GstVideoFrame smallFrame;
    gst_video_frame_map(&smallFrame, &scaled, small.get(), GST_MAP_READ);
    GstVideoInfo bgrx;
    gst_video_info_set_format(&bgrx, GST_VIDEO_FORMAT_BGRx, guint(size.width()),
                              guint(size.height()));
    GstPtr<GstBuffer> pixels = gstreamerConverts(smallFrame, QRect(QPoint(), size), &bgrx);
    gst_video_frame_unmap(&smallFrame);
    GstMapInfo map;
    gst_buffer_map(pixels.get(), &map, GST_MAP_READ);
    const QImage image = QImage(map.data, size.width(), size.height(), bgrx.stride[0],
                                QImage::Format_RGB32)
                             .copy();
    gst_buffer_unmap(pixels.get(), &map);
    return image;
}

} // namespace

class tst_StreamCoreParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Recordings given in any order play in time order; unreadable ones and those outside the
    // span are left out. Walking and seeking them on real streams is in the playback test.
    void playByFileOrdersAndFiltersRecordings()
    {
        const RecordInfo list[] = {
            record("c", "2024-03-01 12:00:00", "2024-03-01 12:30:00"),
            record("a", "2024-03-01 08:00:00", "2024-03-01 09:00:00"),
            record("bad", "noon", "2024-03-01 10:00:00"),
            record("b", "2024-03-01 10:00:00", "2024-03-01 11:00:00"),
            record("late", "2024-03-01 20:00:00", "2024-03-01 21:00:00"),
        };
        PlaybackPlan plan;
        QVERIFY(plan.setByFile(1, "tok", "DEV", at("2024-03-01 08:30:00"),
                               at("2024-03-01 13:00:00"), list, 5));
        QCOMPARE(param(plan.requestParams(), "source"), std::string("1"));
        QStringList walked {plan.currentRecord()->recordId};
        while (plan.next())
            walked << plan.currentRecord()->recordId;
        QCOMPARE(walked, QStringList({"a", "b", "c"}));

        QVERIFY(!plan.setByFile(0, "tok", "DEV", at("2024-03-02 00:00:00"),
                                at("2024-03-02 01:00:00"), list, 5));
        QVERIFY(!plan.setByFile(0, "tok", "DEV", 0, at("2030-01-01 00:00:00"), nullptr, 3));
        QCOMPARE(PlaybackPlan::parseTime("2024-13-01 00:00:00"), -1LL);
    }

    void playByTimeClipsAndJoins()
    {
        PlaybackPlan plan;
        QVERIFY(!plan.setByTime(0, "tok", "DEV", 2, 1000, 1000));
        QVERIFY(plan.setByTime(0, "tok", "DEV", 2, 1000, 5000));
        QVERIFY(plan.needsRecordings());
        QCOMPARE(param(plan.searchParams(), "end"), std::string("5000"));
        QVERIFY(!plan.setRecordings({{100, 900}, {5000, 6000}}));
        // Clipped to the span; overlapping recordings play as one.
        QVERIFY(plan.setRecordings({{3000, 4000}, {500, 1200}, {2000, 3500}, {6000, 7000}}));
        QVERIFY(!plan.needsRecordings());
        PlaybackPlan::Target t;
        QVERIFY(plan.target(1100, &t));
        QCOMPARE(t.position, 100.0);
        QVERIFY(!t.reopen);
        // A moment in the gap lands on the next recording.
        QVERIFY(plan.target(1500, &t));
        QVERIFY(t.reopen);
        QCOMPARE(plan.timeAt(0), 2000LL);
        QCOMPARE(param(plan.requestParams(), "begin"), std::string("2000"));
        QCOMPARE(param(plan.requestParams(), "end"), std::string("4000"));
        QVERIFY(!plan.next());
        QVERIFY(!plan.target(999, &t));
        QVERIFY(!plan.target(4500, &t));
        // A failed search plays the whole span as one stream.
        QVERIFY(plan.setByTime(0, "tok", "DEV", 2, 1000, 5000));
        plan.playWholeSpan();
        QCOMPARE(param(plan.requestParams(), "end"), std::string("5000"));
    }

    // Shrinking or the same size takes the library's own sampler, enlarging GStreamer's.
    void pictureConverterMatchesGStreamer_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QRectF>("region");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<QString>("matrix");
        // Share of the pixels within 2 levels of the picture drawn before: all of them when
        // shrinking; an enlarged part is now filtered bilinearly, which differs at the blocks'
        // edges only.
        QTest::addColumn<double>("share");
        const QRectF quarter(0.25, 0.5, 0.5, 0.5);
        QTest::newRow("odd size") << QSize(37, 21) << QRectF(0, 0, 1, 1) << QSize(37, 21)
                                  << "bt709" << 1.0;
        QTest::newRow("zoomed, shrunk to an odd width")
            << QSize(1280, 720) << quarter << QSize(211, 117) << "bt709" << 1.0;
        QTest::newRow("zoomed, enlarged") << QSize(640, 360) << quarter << QSize(412, 232)
                                          << "bt601" << 0.7;
    }

    void pictureConverterMatchesGStreamer()
    {
        QFETCH(QSize, source);
        QFETCH(QRectF, region);
        QFETCH(QSize, target);
        QFETCH(QString, matrix);
        QFETCH(double, share);
        gst_init(nullptr, nullptr);
        TestPicture picture(source, qPrintable(matrix));
        QImage ours(target, QImage::Format_RGB32);
        PictureConverter converter;
        QVERIFY(converter.convert(picture.frame, region, ours.bits(), ours.bytesPerLine(),
                                  target.width(), target.height()));
        const QRect part(int(region.x() * source.width()), int(region.y() * source.height()),
                         int(region.width() * source.width()),
                         int(region.height() * source.height()));
        const QImage theirs = drawnBefore(picture.frame, part, target);
        int close = 0;
        for (int y = 0; y < target.height(); ++y) {
            for (int x = 0; x < target.width(); ++x) {
                const QRgb a = ours.pixel(x, y);
                const QRgb b = theirs.pixel(x, y);
                QCOMPARE(qAlpha(a), 255);
                close += std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2
                    && std::abs(qBlue(a) - qBlue(b)) <= 2;
            }
        }
        const double found = double(close) / (target.width() * target.height());
        QVERIFY2(found >= share, qPrintable(QString::number(found)));
    }

    void bitRateFollowsTheStream()
    {
        using Clock = BitRateMeter::Clock;
        using std::chrono::milliseconds;
        BitRateMeter meter;
        const Clock::time_point start = Clock::now();
        QCOMPARE(meter.kbps(start), 0.0f);
        // 25 pictures a second of 2500 bytes: 500 kbit/s.
        for (int i = 0; i <= 100; ++i)
            meter.add(2500, start + milliseconds(40 * i));
        const float rate = meter.kbps(start + milliseconds(4000));
        QVERIFY2(rate > 470 && rate < 530, qPrintable(QString::number(rate)));
        // The figure holds for a second, whatever arrives meanwhile.
        meter.add(100000, start + milliseconds(4100));
        QCOMPARE(meter.kbps(start + milliseconds(4900)), rate);
        // A stream that stops fades out as the window passes.
        QVERIFY(meter.kbps(start + milliseconds(30000)) < 50);
    }

    void platformAnswersBecomeErrorTexts()
    {
        httplib::Server server;
        server.Get("/ok", [](const httplib::Request &req, httplib::Response &res) {
            res.set_content("{\"code\":0,\"data\":{\"url\":\"rtsp://x/" + req.get_param_value("a")
                                + "\",\"auth\":\"" + req.get_header_value("Authorization") + "\"}}",
                            "application/json");
        });
        // Path, status, body: what the platform answers, and the error text it becomes.
        const std::tuple<std::string, int, std::string, std::string> answers[] = {
            {"/refused", 401, "", "100"},
            {"/missing", 404, "", "404"},
            {"/broken", 200, "{\"code\":0,", "99"},
            {"/failed", 200, "{\"code\":12,\"message\":\"busy\"}", "99"},
            {"/crashed", 500, "", "99"},
        };
        for (const auto &[path, status, body, error] : answers) {
            server.Get(
                path,
                [status = status, body = body](const httplib::Request &, httplib::Response &res) {
                    res.status = status;
                    res.set_content(body, "application/json");
                });
        }
        const int port = server.bind_to_any_port("127.0.0.1");
        std::thread thread([&] { server.listen_after_bind(); });

        PlatformClient client;
        QVERIFY(!client.configured());
        QCOMPARE(client.get("/ok", {}, "t").error, std::string(MediaError::kConnection));
        client.setEndpoint("127.0.0.1", port);
        QVERIFY(client.configured());
        const PlatformClient::Reply ok = client.get("/ok", {{"a", "b c"}}, "tok");
        QCOMPARE(ok.error, std::string());
        QCOMPARE(ok.data.value("url").toString(), QString("rtsp://x/b c"));
        QCOMPARE(ok.data.value("auth").toString(), QString("Bearer tok"));
        for (const auto &[path, status, body, error] : answers)
            QCOMPARE(client.get(path, {}, "t").error, error);
        server.stop();
        thread.join();
        // Nobody listens any more.
        QCOMPARE(client.post("/ok", QJsonObject(), "t").error, std::string("7"));
    }

    void observersChangedDuringDelivery()
    {
        KMutex mutex;
        ObserverList<Counter> list(mutex);
        Counter a, b, c;
        QCOMPARE(list.add(&a), 0);
        QCOMPARE(list.add(&b), 0);
        QCOMPARE(list.add(&b), -1);
        QCOMPARE(list.add(nullptr), -1);
        // The first observer removes the second one and adds a third: the removed one is not
        // called any more, the new one only from the next delivery.
        list.forEach([&](Counter *o) {
            ++o->calls;
            if (o == &a) {
                list.remove(&b);
                list.add(&c);
            }
        });
        QCOMPARE(a.calls, 1);
        QCOMPARE(b.calls, 0);
        QCOMPARE(c.calls, 0);
        list.forEach([](Counter *o) { ++o->calls; });
        QCOMPARE(c.calls, 1);
        QCOMPARE(list.remove(&b), -1);
    }
};

QTEST_GUILESS_MAIN(tst_StreamCoreParts)
#include "tst_StreamCoreParts.moc"
