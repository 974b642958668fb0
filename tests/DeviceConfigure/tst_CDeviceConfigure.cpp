// The device array the media library gets from the gateway's device list: which web port each
// device type is reached on, and what is carried over.
#include "DeviceConfigure/CDeviceConfigure.h"

#include <QJsonObject>
#include <QtTest>

class tst_CDeviceConfigure : public QObject
{
    Q_OBJECT

private slots:
    void devicesOf()
    {
        const struct
        {
            const char *ability;
            QJsonValue streamPort;
            int port;
        } rows[] = {{"PlaybackByFilename RTSV1 Talk", 554, 8086},
                    {"rtsv1", 8000, 8000},
                    {"", QJsonValue(), 0}}; // no stream port
        for (const auto &row : rows) {
            QJsonObject device {{"deviceId", "NVR0001A"},
                                {"ability", row.ability},
                                {"devLoginName", "admin"},
                                {"devLoginPassword", "pw"}};
            if (!row.streamPort.isNull())
                device.insert("streamPort", row.streamPort);
            const QJsonArray devices = CDeviceConfigure::DevicesOf({device, QJsonObject()});
            QCOMPARE(devices.size(), 2);
            QCOMPARE(devices[0].toObject(),
                     QJsonObject({{"Sn", "NVR0001A"},
                                  {"Type", 1},
                                  {"Port", row.port},
                                  {"User", "admin"},
                                  {"Pwd", "pw"}}));
            QCOMPARE(devices[1]["Port"].toInt(-1), 0);
        }
        QVERIFY(CDeviceConfigure::DevicesOf({}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CDeviceConfigure)
#include "tst_CDeviceConfigure.moc"
