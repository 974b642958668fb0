// The three settings holders, reset for each case in a folder of its own, and the OpenGL ES
// switch of start-up.
#include "ConfigInfo/CClientInfo.h"
#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Startup.h"
#include "TestEnv.h"

#include <QTextCodec>
#include <QtTest>

using ConfigInfo::CClientInfo;
using ConfigInfo::CConfig;
using ConfigInfo::CLocalCfg;

namespace {

const QString kBase = "http://127.0.0.1:8460";

// Every key of Config.ini with its default.
const QVariantMap kConfigDefaults = {
    {"VideoShow/frameRate", false},
    {"VideoShow/channelName", false},
    {"VideoShow/deviceName", false},
    {"VideoShow/ivsDraw", false},
    {"PicAccessInfo/Path", QString()},
    {"RecordConfig/RecPath", QString()},
    {"RecordConfig/RecType", 0},
    {"Alarm/sound", true},
    {"Alarm/linkDlg", true},
    {"Alarm/AlarmSuspendBall", true},
    {"AlarmSuspendBall/autoHide", true},
    {"AlarmSuspendBall/topOnWindow", true},
    {"WebInfo/zoomFactor", 1.0},
    {"WebInfo/IsDebug", false},
};

// What the holders hold, under the keys of their files (the keys the cases set, and those made
// from others).
QVariantMap holderValues()
{
    const CConfig &config = CConfig::Instance();
    const CLocalCfg &local = CLocalCfg::Instance();
    return {
        {"VideoShow/ivsDraw", config.GetVideoShow().ivsDraw},
        {"RecordConfig/RecPath", config.GetRecordConfig().RecPath},
        {"RecordConfig/RecType", config.GetRecordConfig().RecType},
        {"Alarm/sound", config.GetAlarm().sound},
        {"URL/versionUrl", local.GetVersionUrl()},
        {"URL/loginUrl", local.GetLoginUrl()},
        {"URL/vtDevListUrl", local.GetVtDevListUrl()},
        {"URL/webDlgUrl", local.GetWebDlgUrl()},
        {"URL/platformUrl", local.GetPlatformUrl()},
        {"Type/program", local.GetProgram()},
        {"VTOpen/port", local.GetVTOpen().port},
        {"CLIENTINFO/name", CClientInfo::Instance().GetName()},
        {"CLIENTINFO/version", CClientInfo::Instance().GetVersion()},
    };
}

// The defaults a case's expectations start from: the settings file's, and the deployment values
// that other values are made from.
QVariantMap defaults()
{
    QVariantMap all = kConfigDefaults;
    all.insert({{"URL/platformUrl", kBase},
                {"URL/versionUrl", kBase + "/gateway//membership/appVersion/getVersion/9"},
                {"URL/loginUrl", kBase + "/#/login?isFromC=1"},
                {"URL/vtDevListUrl", kBase + "/gateway/device/veltra/deviceList"},
                {"URL/webDlgUrl", kBase + "/#/noPage"},
                {"Type/program", "Tesmar"},
                {"VTOpen/port", 443},
                {"CLIENTINFO/name", "Tesmar"},
                {"CLIENTINFO/version", "V1.001.0000000.0.R"}});
    return all;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_ConfigInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_root = QDir::currentPath(); }

    // Each case starts in an empty folder of its own with holders not yet loaded.
    void init()
    {
        const QString folder
            = m_root + "/cases/" + QTest::currentTestFunction() + "-" + QTest::currentDataTag();
        QVERIFY(QDir().mkpath(folder) && QDir::setCurrent(folder));
        KSingleton<CClientInfo>::Reset();
        KSingleton<CConfig>::Reset();
        KSingleton<CLocalCfg>::Reset();
    }

    void cleanup() { QDir::setCurrent(m_root); }

    // Files as found at start (empty: none) and the values the holders must read from them.
    void filesAreReadAndMissingConfigKeysWrittenBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QVariantMap>("expected");
        QTest::newRow("fresh folder") << "" << QByteArray() << QVariantMap();
        QTest::newRow("one of each type")
            << "Config.ini"
            << QByteArray("[RecordConfig]\nRecPath=/srv/rec\nRecType=2\n"
                          "[Alarm]\nsound=false\n[VideoShow]\nivsDraw=true\n")
            << QVariantMap {{"RecordConfig/RecPath", "/srv/rec"},
                            {"RecordConfig/RecType", 2},
                            {"Alarm/sound", false},
                            {"VideoShow/ivsDraw", true}};
        // Each URL stands alone; without clientInfo.ini the client is named by its program type.
        QTest::newRow("deployment")
            << "Localcfg.ini"
            << QByteArray("[URL]\nplatformUrl=https://gw.example:9443\n[Type]\nprogram=Acme\n"
                          "[VTOpen]\nport=8443\n")
            << QVariantMap {{"URL/platformUrl", "https://gw.example:9443"},
                            {"Type/program", "Acme"},
                            {"VTOpen/port", 8443},
                            {"CLIENTINFO/name", "Acme"}};
        const QString name = QString::fromUtf8("门店卫士客户端");
        QTest::newRow("Chinese client name")
            << "clientInfo.ini"
            << QTextCodec::codecForName("GB18030")->fromUnicode(
                   "[CLIENTINFO]\r\nname=" + name + "\r\nversion=V1.000.0000012.3.R\r\n")
            << QVariantMap {{"CLIENTINFO/name", name},
                            {"CLIENTINFO/version", "V1.000.0000012.3.R"}};
    }

    void filesAreReadAndMissingConfigKeysWrittenBack()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, text);
        QFETCH(QVariantMap, expected);
        if (!file.isEmpty())
            QVERIFY(TestEnv::writeFile(file, text));
        QVariantMap want = defaults();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            want.insert(it.key(), it.value());
        const QVariantMap read = holderValues();
        for (auto it = read.cbegin(); it != read.cend(); ++it) {
            QVariant value = it.value();
            QVERIFY2(value.convert(want[it.key()].userType()) && value == want[it.key()],
                     qPrintable(it.key() + ": " + value.toString()));
        }

        // Config.ini now holds every key, the present ones with their text unchanged; the
        // other two files are never written.
        QSettings config("Config.ini", QSettings::IniFormat);
        QCOMPARE(config.allKeys().size(), kConfigDefaults.size());
        for (const QString &key : kConfigDefaults.keys())
            QCOMPARE(config.value(key).toString(), want.value(key).toString());
        if (file == "Config.ini")
            for (const QByteArray &line : text.split('\n'))
                QVERIFY2(readAll("Config.ini").contains(line), line.constData());
        for (const QString other : {"Localcfg.ini", "clientInfo.ini"})
            QCOMPARE(readAll(other), other == file ? text : QByteArray());
    }

    void settersWriteOnlyPictureAndRecordSettings()
    {
        CLocalCfg &local = CLocalCfg::Instance();
        local.SetPlatformUrl("changed:platform");
        CConfig &config = CConfig::Instance();
        config.SetPicAccessInfo("/data/pictures");
        config.SetRecordConfig({"/data/records", 2});
        config.SetRecordConfig({"/data/records", 3}); // the type alone is a change too
        config.SetWebInfo({2.0, true});
        QCOMPARE(local.GetPlatformUrl(), QString("changed:platform"));
        QVERIFY(!QFile::exists("Localcfg.ini"));

        KSingleton<CConfig>::Reset();
        KSingleton<CLocalCfg>::Reset();
        QCOMPARE(CConfig::Instance().GetPicAccessInfo(), QString("/data/pictures"));
        QCOMPARE(CConfig::Instance().GetRecordConfig().RecType, 3);
        QCOMPARE(CConfig::Instance().GetWebInfo().zoomFactor, 1.0); // memory only
        QCOMPARE(CLocalCfg::Instance().GetPlatformUrl(), kBase);
    }

    void unreadableConfigKeepsDefaults()
    {
        QVERIFY(QDir().mkpath("Config.ini")); // a folder, not a file
        QCOMPARE(CConfig::Instance().GetRecordConfig().RecType, 0);
        QVERIFY(CConfig::Instance().GetAlarm().sound);
        CConfig::Instance().SetPicAccessInfo("/elsewhere");
        QCOMPARE(CConfig::Instance().GetPicAccessInfo(), QString("/elsewhere"));
    }

    void openGLESSwitch_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file at all
        QTest::addColumn<bool>("expected");
        QTest::newRow("on") << QByteArray("[OpenGLES]\nIsOpen=true\n") << true;
        QTest::newRow("after other sections, Windows line ends")
            << QByteArray("[General]\r\nx=1\r\n[OpenGLES]\r\nIsOpen=true\r\n") << true;
        QTest::newRow("no final line end") << QByteArray("[OpenGLES]\nIsOpen=true") << true;
        QTest::newRow("trailing blank") << QByteArray("[OpenGLES]\nIsOpen=true \n") << false;
        QTest::newRow("two lines below the header")
            << QByteArray("[OpenGLES]\n\nIsOpen=true\n") << false;
        QTest::newRow("header on the last line") << QByteArray("x=1\n[OpenGLES]") << false;
        QTest::newRow("no header") << QByteArray("IsOpen=true\n") << false;
        QTest::newRow("no file") << QByteArray() << false;
    }

    // Read against the folder the process starts in, from "../bin".
    void openGLESSwitch()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, expected);
        QVERIFY(QDir().mkpath("bin") && QDir::setCurrent("bin"));
        if (!file.isNull())
            QVERIFY(TestEnv::writeFile("Config.ini", file));
        QCOMPARE(ReadOpenGLESSwitch(), expected);
    }

private:
    QString m_root;
};

QTEST_GUILESS_MAIN(tst_ConfigInfo)
#include "tst_ConfigInfo.moc"
