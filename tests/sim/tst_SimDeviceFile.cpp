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

// What a broken device file is told. The built-in file and the defaults of missing members are
// used by every test that starts the platform.
class tst_SimDeviceFile : public QObject
{
    Q_OBJECT

private slots:
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
