// The simulated devices' parts below the streams: parameter sets taken out of the stream (the
// out-of-band channels of the media tests rely on it), and the device file with its refusals.
#include <ParameterSets.h>
#include <SimMedia/MediaDevice.h>

#include <QtTest>

using namespace SimMedia;

class tst_SimMediaParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_GUILESS_MAIN(tst_SimMediaParts)
#include "tst_SimMediaParts.moc"
