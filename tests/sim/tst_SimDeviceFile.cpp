#include "DeviceFile.h"

#include <QtTest>

namespace {

// A small valid file; each broken case changes one thing in it.
QJsonObject validFile()
{
    return QJsonDocument::fromJson(R"({
        "shops": [{"shopCode": "A", "shopName": "Alpha"}],
        "menus": [{"menuName": "Live", "menuPath": "videoSurveillance"}],
        "devices": [{"deviceId": "D1", "deviceName": "Cam", "deviceType": "camera",
                     "shopCode": "A", "channels": [{"channelId": 0, "channelName": "Door"}]}],
        "users": [{"userName": "u", "password": "p", "token": "t"}]
    })")
        .object();
}

QJsonObject firstOf(const QJsonObject &file, const QString &list)
{
    return file.value(list).toArray().first().toObject();
}

QJsonObject with(QJsonObject object, const QString &key, const QJsonValue &value)
{
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return object;
}

// The valid file with member key of the first element of list replaced (removed when undefined).
QByteArray withFirst(const QString &list, const QString &key, const QJsonValue &value)
{
    QJsonArray array = validFile().value(list).toArray();
    array.replace(0, with(array.first().toObject(), key, value));
    return QJsonDocument(with(validFile(), list, array)).toJson();
}

// The valid file with a top-level member replaced.
QByteArray withTop(const QString &key, const QJsonValue &value)
{
    return QJsonDocument(with(validFile(), key, value)).toJson();
}

} // namespace

class tst_SimDeviceFile : public QObject
{
    Q_OBJECT

private slots:
    void builtInFileDescribesTheDemoPlatform()
    {
        const DeviceFile file = DeviceFile::builtIn();
        QCOMPARE(file.shops().size(), 3);
        QStringList types;
        int recorderChannels = 0;
        for (const QJsonValue &device : file.devices()) {
            types << device["deviceType"].toString();
            if (device["deviceType"] == "recorder")
                recorderChannels = device["channels"].toArray().size();
            QVERIFY(!file.shopName(device["shopCode"].toString()).isEmpty());
        }
        QCOMPARE(recorderChannels, 4);
        QCOMPARE(types.count("door"), 1);
        QVERIFY(types.count("camera") >= 2);
        QCOMPARE(file.users().size(), 2);

        // The menus the client opens modules for are there; the restricted user sees only them.
        QStringList paths;
        for (const QJsonValue &menu : file.menusOf(file.user("guard")))
            paths << menu["menuPath"].toString();
        QCOMPARE(paths, QStringList({"videoSurveillance", "accessControl", "messageCenter"}));
        QCOMPARE(file.menusOf(file.user("demo")).size(), file.menus().size());
        QVERIFY(file.user("nobody").isEmpty());

        // The published version is the client's own default, so no update is offered.
        QCOMPARE(file.version()["version"].toString(), QString("V1.001.0000000.0.R"));
        QCOMPARE(file.tokenLifetime(), 3600);
    }

    void missingMembersGetTheirDefaultsAndUnknownOnesStay()
    {
        QJsonObject given = validFile();
        given.insert("openPlatform", QJsonObject {{"schedule", "weekdays"}});
        QString error;
        const std::optional<DeviceFile> file
            = DeviceFile::parse(QJsonDocument(given).toJson(), &error);
        QVERIFY2(file, qPrintable(error));
        const QJsonObject device = firstOf(file->document(), "devices");
        QCOMPARE(device["brand"].toString(), QString("general"));
        QCOMPARE(device["streamPort"].toInt(), 554);
        QCOMPARE(device["devLoginName"].toString(), QString("admin"));
        QCOMPARE(device["online"].toBool(), true);
        QCOMPARE(device["ability"].toString(), QString(""));
        const QJsonObject channel = device["channels"].toArray().first().toObject();
        QCOMPARE(channel["online"].toBool(), true);
        QVERIFY(!channel.contains("rtspUrl"));
        QCOMPARE(firstOf(file->document(), "menus")["menuNavigation"].toBool(), true);
        QCOMPARE(file->version()["leastVersion"].toString(), QString("V1.001.0000000.0.R"));
        QCOMPARE(file->document().value("openPlatform")["schedule"].toString(),
                 QString("weekdays"));
        QCOMPARE(file->menusOf(file->user("u")).size(), 1);
    }

    void brokenFilesNameWhatIsWrongAndWhere_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");

        QTest::newRow("syntax") << QByteArray("{\n  \"shops\": [,]\n}")
                                << "line 2, column 14: illegal value";
        QTest::newRow("array at top") << QByteArray("[]") << "top level: must be an object";
        QTest::newRow("no shops") << withTop("shops", QJsonValue::Undefined)
                                  << "top level: \"shops\" must be a non-empty array";
        QTest::newRow("device id missing")
            << withFirst("devices", "deviceId", QJsonValue::Undefined)
            << "devices[0]: \"deviceId\" must be a non-empty string";
        QTest::newRow("device type unknown") << withFirst("devices", "deviceType", "toaster")
                                             << "devices[0]: \"deviceType\" must be one of "
                                                "recorder, camera, door";
        QTest::newRow("unknown shop") << withFirst("devices", "shopCode", "Z")
                                      << "devices[0]: \"shopCode\" \"Z\" names no shop";
        QTest::newRow("port out of range") << withFirst("devices", "streamPort", 70000)
                                           << "devices[0]: \"streamPort\" must be a whole number "
                                              "from 0 to 65535";
        QTest::newRow("no channels") << withFirst("devices", "channels", QJsonArray())
                                     << "devices[0]: \"channels\" must be a non-empty array";
        QTest::newRow("channel twice")
            << withFirst("devices", "channels",
                         QJsonArray {QJsonObject {{"channelId", 1}, {"channelName", "a"}},
                                     QJsonObject {{"channelId", 1}, {"channelName", "b"}}})
            << "devices[0].channels[1]: \"channelId\" \"1\" is used twice";
        QTest::newRow("channel without name")
            << withFirst("devices", "channels", QJsonArray {QJsonObject {{"channelId", 1}}})
            << "devices[0].channels[0]: \"channelName\" must be a non-empty string";
        QTest::newRow("device not an object")
            << withTop("devices", QJsonArray {42}) << "devices[0]: must be an object";
        QTest::newRow("unknown user menu")
            << withFirst("users", "menus", QJsonArray {"nowhere"})
            << "users[0]: \"menus\" names an unknown menu path [\"nowhere\"]";
        QTest::newRow("version not text")
            << withTop("version", QJsonObject {{"url", 5}}) << "version: \"url\" must be a string";
        QTest::newRow("negative lifetime")
            << withTop("tokenLifetime", -1)
            << "top level: \"tokenLifetime\" must be a whole number from 0 to 315360000";
    }

    void brokenFilesNameWhatIsWrongAndWhere()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!DeviceFile::parse(content, &error));
        QCOMPARE(error, message);
    }
};

QTEST_GUILESS_MAIN(tst_SimDeviceFile)
#include "tst_SimDeviceFile.moc"
