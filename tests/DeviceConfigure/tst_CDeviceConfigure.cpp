// The device array the media library gets from the gateway's device list: which web port each
// device type is reached on, and what is carried over.
#include "DeviceConfigure/CDeviceConfigure.h"

#include <QJsonObject>
#include <QtTest>

class tst_CDeviceConfigure : public QObject
{
    Q_OBJECT

private slots:
    void devicesOf_data()
    {
        QTest::addColumn<QString>("ability");
        QTest::addColumn<QJsonValue>("streamPort");
        QTest::addColumn<int>("port");
        QTest::newRow("RTSV1 among other words")
            << "PlaybackByFilename RTSV1 Talk" << QJsonValue(554) << 8086;
        QTest::newRow("lower-case rtsv1") << "rtsv1" << QJsonValue(8000) << 8000;
        QTest::newRow("no stream port") << "" << QJsonValue() << 0;
    }

    void devicesOf()
    {
        QFETCH(QString, ability);
        QFETCH(QJsonValue, streamPort);
        QFETCH(int, port);
        QJsonObject device {{"deviceId", "NVR0001A"},
                            {"ability", ability},
                            {"devLoginName", "admin"},
                            {"devLoginPassword", "pw"}};
        if (!streamPort.isNull())
            device.insert("streamPort", streamPort);
        const QJsonArray devices = CDeviceConfigure::DevicesOf({device, QJsonObject()});
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices[0].toObject(),
                 QJsonObject({{"Sn", "NVR0001A"},
                              {"Type", 1},
                              {"Port", port},
                              {"User", "admin"},
                              {"Pwd", "pw"}}));
        QCOMPARE(devices[1]["Port"].toInt(-1), 0);
        QVERIFY(CDeviceConfigure::DevicesOf({}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CDeviceConfigure)
#include "tst_CDeviceConfigure.moc"
