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

constexpr int kConfigKeys = 14; // every key of Config.ini

// What the holders hold, under the keys of their files.
QVariantMap holderValues()
{
    const CConfig &config = CConfig::Instance();
    const CLocalCfg &local = CLocalCfg::Instance();
    return {
        {"VideoShow/ivsDraw", config.GetVideoShow().ivsDraw},
        {"RecordConfig/RecPath", config.GetRecordConfig().RecPath},
        {"RecordConfig/RecType", config.GetRecordConfig().RecType},
        {"Alarm/sound", config.GetAlarm().sound},
        {"URL/platformUrl", local.GetPlatformUrl()},
        {"Type/program", local.GetProgram()},
        {"VTOpen/port", local.GetVTOpen().port},
        {"CLIENTINFO/name", CClientInfo::Instance().GetName()},
        {"CLIENTINFO/version", CClientInfo::Instance().GetVersion()},
    };
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
        QTest::newRow("fresh folder")
            << "" << QByteArray() << QVariantMap {{"CLIENTINFO/name", "Tesmar"}};
        QTest::newRow("one of each type")
            << "Config.ini"
            << QByteArray("[RecordConfig]\nRecPath=/srv/rec\nRecType=2\n"
                          "[Alarm]\nsound=false\n[VideoShow]\nivsDraw=true\n")
            << QVariantMap {{"RecordConfig/RecPath", "/srv/rec"},
                            {"RecordConfig/RecType", 2},
                            {"Alarm/sound", false},
                            {"VideoShow/ivsDraw", true}};
        // Without clientInfo.ini the client is named by its program type.
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
        const QVariantMap read = holderValues();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QVariant value = read.value(it.key());
            QVERIFY2(value.convert(it.value().userType()) && value == it.value(),
                     qPrintable(it.key() + ": " + value.toString()));
        }

        // Config.ini now holds every key, the present ones with their text unchanged; the
        // other two files are never written.
        QCOMPARE(QSettings("Config.ini", QSettings::IniFormat).allKeys().size(), kConfigKeys);
        if (file == "Config.ini")
            for (const QByteArray &line : text.split('\n'))
                QVERIFY2(TestEnv::readFile("Config.ini").contains(line), line.constData());
        for (const QString other : {"Localcfg.ini", "clientInfo.ini"})
            QCOMPARE(TestEnv::readFile(other), other == file ? text : QByteArray());
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

    // Read against the folder the process starts in, from "../bin".
    void openGLESSwitch()
    {
        const struct
        {
            QByteArray file; // null: no file at all
            bool expected;
        } rows[] = {{"[OpenGLES]\nIsOpen=true\n", true},
                    {"[General]\r\nx=1\r\n[OpenGLES]\r\nIsOpen=true\r\n", true},
                    {"[OpenGLES]\n\nIsOpen=true\n", false}, // two lines below the header
                    {"x=1\n[OpenGLES]", false}, // the header on the last line
                    {QByteArray(), false}};
        QVERIFY(QDir().mkpath("bin") && QDir::setCurrent("bin"));
        for (const auto &row : rows) {
            QFile::remove("Config.ini");
            if (!row.file.isNull())
                QVERIFY(TestEnv::writeFile("Config.ini", row.file));
            QVERIFY2(ReadOpenGLESSwitch() == row.expected, row.file.constData());
        }
    }

private:
    QString m_root;
};

QTEST_GUILESS_MAIN(tst_ConfigInfo)
#include "tst_ConfigInfo.moc"
