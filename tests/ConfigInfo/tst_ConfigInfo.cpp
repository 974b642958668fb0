// The three settings holders read their files once per process, so every case runs the holders
// in a child process (this binary with --holders) inside a folder of its own, and checks what
// the child reports and what it left in the folder.
#include "ConfigInfo/CClientInfo.h"
#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"
#include "ProgramFolder.h"
#include "Startup.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextCodec>
#include <QtTest>

#include <cstdio>
#include <cstring>

using ConfigInfo::CClientInfo;
using ConfigInfo::CConfig;
using ConfigInfo::CLocalCfg;

namespace {

QJsonObject holderValues()
{
    const CConfig &config = CConfig::Instance();
    const CLocalCfg &local = CLocalCfg::Instance();
    const CClientInfo &client = CClientInfo::Instance();
    const CConfig::VideoShow show = config.GetVideoShow();
    const CConfig::RecordConfig record = config.GetRecordConfig();
    const CConfig::Alarm alarm = config.GetAlarm();
    const CConfig::AlarmSuspendBall ball = config.GetAlarmSuspendBall();
    const CConfig::WebInfo web = config.GetWebInfo();
    return {
        {"VideoShow/frameRate", show.frameRate},
        {"VideoShow/channelName", show.channelName},
        {"VideoShow/deviceName", show.deviceName},
        {"VideoShow/ivsDraw", show.ivsDraw},
        {"PicAccessInfo/Path", config.GetPicAccessInfo()},
        {"RecordConfig/RecPath", record.RecPath},
        {"RecordConfig/RecType", record.RecType},
        {"Alarm/sound", alarm.sound},
        {"Alarm/linkDlg", alarm.linkDlg},
        {"Alarm/AlarmSuspendBall", alarm.AlarmSuspendBall},
        {"AlarmSuspendBall/autoHide", ball.autoHide},
        {"AlarmSuspendBall/topOnWindow", ball.topOnWindow},
        {"WebInfo/zoomFactor", web.zoomFactor},
        {"WebInfo/IsDebug", web.IsDebug},
        {"isDebug", config.GetIsDebug()},
        {"Skin/path", local.GetSkinPath()},
        {"URL/versionUrl", local.GetVersionUrl()},
        {"URL/loginUrl", local.GetLoginUrl()},
        {"URL/vtDevListUrl", local.GetVtDevListUrl()},
        {"URL/webDlgUrl", local.GetWebDlgUrl()},
        {"URL/platformUrl", local.GetPlatformUrl()},
        {"Type/language", local.GetLanguage()},
        {"Type/program", local.GetProgram()},
        {"VTOpen/host", local.GetVTOpen().host},
        {"VTOpen/port", local.GetVTOpen().port},
        {"Flag/WebCacheFlag", local.GetWebCacheFlag()},
        {"Flag/logFlag", local.GetLogFlag()},
        {"CLIENTINFO/name", client.GetName()},
        {"CLIENTINFO/version", client.GetVersion()},
    };
}

// Child mode: load the holders of the current folder, print their values ("loaded"), apply the
// changes named on the command line and print the values again ("changed").
//   local       every in-memory setter of CLocalCfg
//   pic=PATH    CConfig::SetPicAccessInfo
//   rec=PATH,N  CConfig::SetRecordConfig
int runHolders(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QJsonObject loaded = holderValues();
    for (const QString &change : app.arguments().mid(2)) {
        CLocalCfg &local = CLocalCfg::Instance();
        if (change == "local") {
            local.SetSkinPath("changed/skin");
            local.SetVersionUrl("changed:version");
            local.SetLoginUrl("changed:login");
            local.SetVtDevListUrl("changed:devices");
            local.SetWebDlgUrl("changed:dialog");
            local.SetPlatformUrl("changed:platform");
            local.SetLanguage("en");
            local.SetProgram("Changed");
            local.SetWebCacheFlag(!local.GetWebCacheFlag());
            local.SetLogFlag(!local.GetLogFlag());
        } else if (change.startsWith("pic=")) {
            CConfig::Instance().SetPicAccessInfo(change.mid(4));
        } else if (change.startsWith("rec=")) {
            const QStringList parts = change.mid(4).split(',');
            CConfig::Instance().SetRecordConfig({parts.value(0), parts.value(1).toInt()});
        }
    }
    const QJsonObject out {{"loaded", loaded}, {"changed", holderValues()}};
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}

const QString kBase = "http://127.0.0.1:8460";

QVariantMap localDefaults()
{
    return {{"Skin/path", "storeSuite/DustyBlue"},
            {"URL/platformUrl", kBase},
            {"URL/versionUrl", kBase + "/gateway//membership/appVersion/getVersion/9"},
            {"URL/loginUrl", kBase + "/#/login?isFromC=1"},
            {"URL/vtDevListUrl", kBase + "/gateway/device/veltra/deviceList"},
            {"URL/webDlgUrl", kBase + "/#/noPage"},
            {"Type/language", "zh"},
            {"Type/program", "Tesmar"},
            {"VTOpen/host", "127.0.0.1"},
            {"VTOpen/port", 443},
            {"Flag/WebCacheFlag", false},
            {"Flag/logFlag", false},
            {"CLIENTINFO/name", "Tesmar"},
            {"CLIENTINFO/version", "V1.001.0000000.0.R"}};
}

// The defaults with the given values in their place.
QVariantMap overlaid(QVariantMap defaults, const QVariantMap &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        defaults.insert(it.key(), it.value());
    return defaults;
}

QVariantMap configDefaults()
{
    return {
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
}

// Runs the holders in a fresh folder prepared by the caller.
class HolderRun
{
public:
    explicit HolderRun(const QString &name)
        : folder(QDir::currentPath() + "/cases/" + name)
    {
        folder.install(QCoreApplication::applicationFilePath(), {});
    }

    // Runs the child with the changes; false when it did not end cleanly with a JSON report.
    bool run(const QStringList &changes = {})
    {
        QProcess *child = folder.start(QStringList {"--holders"} + changes);
        if (!child->waitForFinished(30000) || child->exitCode() != 0)
            return false;
        const QJsonObject out = QJsonDocument::fromJson(child->readAllStandardOutput()).object();
        loaded = out.value("loaded").toObject().toVariantMap();
        changed = out.value("changed").toObject().toVariantMap();
        return !loaded.isEmpty();
    }

    ProgramFolder folder;
    QVariantMap loaded;
    QVariantMap changed;
};

// Compares the settings of expected with what the child reported, each in its own type.
void compareValues(const QVariantMap &reported, const QVariantMap &expected)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QVariant value = reported.value(it.key());
        const QString what = it.key() + ": " + value.toString() + " != " + it.value().toString();
        QVERIFY2(value.convert(it.value().userType()) && value == it.value(), qPrintable(what));
    }
}

QStringList sortedKeys(const QVariantMap &map)
{
    QStringList keys = map.keys();
    keys.sort();
    return keys;
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
    void freshFolderGetsDefaultsAndAFullConfigFile()
    {
        HolderRun holders("fresh");
        QVERIFY(holders.run({"local"}));
        compareValues(holders.loaded, configDefaults());

        QSettings written(holders.folder.filePath("Config.ini"), QSettings::IniFormat);
        QStringList keys = written.allKeys();
        keys.sort();
        QCOMPARE(keys, sortedKeys(configDefaults()));
        QVariantMap fromFile;
        for (const QString &key : keys)
            fromFile.insert(key, written.value(key));
        compareValues(fromFile, configDefaults());

        compareValues(holders.loaded, localDefaults());

        // The deployment settings change in memory only: no Localcfg.ini appears.
        compareValues(holders.changed,
                      {{"URL/platformUrl", "changed:platform"},
                       {"Type/program", "Changed"},
                       {"Flag/WebCacheFlag", true},
                       {"Flag/logFlag", true}});
        QVERIFY(!QFile::exists(holders.folder.filePath("Localcfg.ini")));
        QVERIFY(!QFile::exists(holders.folder.filePath("clientInfo.ini")));
    }

    void presentConfigKeysAreKept_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QVariantMap>("expected");
        QTest::newRow("zoom only") << QByteArray("[WebInfo]\nzoomFactor=1.5\n")
                                   << QVariantMap {{"WebInfo/zoomFactor", 1.5}};
        QTest::newRow("one of each type")
            << QByteArray("[RecordConfig]\nRecPath=/srv/rec\nRecType=2\n"
                          "[Alarm]\nsound=false\n[VideoShow]\nivsDraw=true\n")
            << QVariantMap {{"RecordConfig/RecPath", "/srv/rec"},
                            {"RecordConfig/RecType", 2},
                            {"Alarm/sound", false},
                            {"VideoShow/ivsDraw", true}};
    }

    void presentConfigKeysAreKept()
    {
        QFETCH(QByteArray, file);
        QFETCH(QVariantMap, expected);
        HolderRun holders(QTest::currentDataTag());
        QVERIFY(holders.folder.writeFile("Config.ini", file));
        QVERIFY(holders.run());

        compareValues(holders.loaded, overlaid(configDefaults(), expected));
        // The file gains the missing keys; the present ones keep their text.
        const QByteArray after = readAll(holders.folder.filePath("Config.ini"));
        for (const QByteArray &line : file.split('\n')) {
            if (line.contains('='))
                QVERIFY2(after.contains(line), line.constData());
        }
        QCOMPARE(
            QSettings(holders.folder.filePath("Config.ini"), QSettings::IniFormat).allKeys().size(),
            configDefaults().size());
    }

    void unreadableConfigKeepsDefaults()
    {
        HolderRun holders("unreadable");
        QVERIFY(QDir().mkpath(holders.folder.filePath("Config.ini"))); // a folder, not a file
        QVERIFY(holders.run({"pic=/elsewhere"}));
        compareValues(holders.loaded, configDefaults());
        QCOMPARE(holders.changed.value("PicAccessInfo/Path").toString(), QString("/elsewhere"));
    }

    void deploymentSettingsAreReadOnlyAndEachUrlStandsAlone()
    {
        HolderRun holders("local");
        QVERIFY(holders.folder.writeIni("Localcfg.ini",
                                        {{"URL/platformUrl", "https://gw.example:9443"},
                                         {"Type/program", "Acme"},
                                         {"VTOpen/port", 8443},
                                         {"Flag/logFlag", true}}));
        const QByteArray before = readAll(holders.folder.filePath("Localcfg.ini"));
        QVERIFY(holders.run({"local"}));

        // Without clientInfo.ini the client is named after its program type.
        compareValues(holders.loaded,
                      overlaid(localDefaults(),
                               {{"URL/platformUrl", "https://gw.example:9443"},
                                {"Type/program", "Acme"},
                                {"VTOpen/port", 8443},
                                {"Flag/logFlag", true},
                                {"CLIENTINFO/name", "Acme"}}));
        compareValues(holders.changed, {{"Flag/logFlag", false}, {"Type/language", "en"}});
        QCOMPARE(readAll(holders.folder.filePath("Localcfg.ini")), before);
    }

    void clientInfoReadsChineseNames()
    {
        HolderRun holders("clientinfo");
        const QString name = QString::fromUtf8("门店卫士客户端");
        QTextCodec *gb18030 = QTextCodec::codecForName("GB18030");
        QVERIFY(gb18030);
        const QByteArray text = gb18030->fromUnicode("[CLIENTINFO]\r\nname=" + name
                                                     + "\r\nversion=V1.000.0000012.3.R\r\n");
        QVERIFY(text != ("[CLIENTINFO]\r\nname=" + name).toUtf8()); // really another encoding
        QVERIFY(holders.folder.writeFile("clientInfo.ini", text));
        QVERIFY(holders.run());
        QCOMPARE(holders.loaded.value("CLIENTINFO/name").toString(), name);
        QCOMPARE(holders.loaded.value("CLIENTINFO/version").toString(),
                 QString("V1.000.0000012.3.R"));
        QCOMPARE(readAll(holders.folder.filePath("clientInfo.ini")), text);
    }

    void pictureAndRecordSettingsAreWrittenThrough()
    {
        HolderRun holders("write-through");
        QVERIFY(holders.run({"pic=/data/pictures", "rec=/data/records,2"}));
        compareValues(holders.changed,
                      {{"PicAccessInfo/Path", "/data/pictures"},
                       {"RecordConfig/RecPath", "/data/records"},
                       {"RecordConfig/RecType", 2}});
        // A change of the type alone is written too, and the next process starts from the file.
        QVERIFY(holders.run({"rec=/data/records,3"}));
        compareValues(holders.loaded,
                      {{"PicAccessInfo/Path", "/data/pictures"}, {"RecordConfig/RecType", 2}});
        QVERIFY(holders.run());
        compareValues(holders.loaded,
                      {{"RecordConfig/RecPath", "/data/records"}, {"RecordConfig/RecType", 3}});
    }

    void openGLESSwitch_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file at all
        QTest::addColumn<bool>("expected");
        QTest::newRow("on") << QByteArray("[OpenGLES]\nIsOpen=true\n") << true;
        QTest::newRow("after other sections, Windows line ends")
            << QByteArray("[General]\r\nx=1\r\n[OpenGLES]\r\nIsOpen=true\r\n") << true;
        QTest::newRow("no final line end") << QByteArray("[OpenGLES]\nIsOpen=true") << true;
        QTest::newRow("off") << QByteArray("[OpenGLES]\nIsOpen=false\n") << false;
        QTest::newRow("capital True") << QByteArray("[OpenGLES]\nIsOpen=True\n") << false;
        QTest::newRow("trailing blank") << QByteArray("[OpenGLES]\nIsOpen=true \n") << false;
        QTest::newRow("two lines below the header")
            << QByteArray("[OpenGLES]\n\nIsOpen=true\n") << false;
        QTest::newRow("header on the last line") << QByteArray("x=1\n[OpenGLES]") << false;
        QTest::newRow("no header") << QByteArray("IsOpen=true\n") << false;
        QTest::newRow("no file") << QByteArray() << false;
    }

    void openGLESSwitch()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, expected);
        // The switch is read against the folder the process starts in, from "../bin".
        const QString start = QDir::currentPath() + "/gles/" + QTest::currentDataTag() + "/bin";
        QVERIFY(QDir().mkpath(start));
        if (!file.isNull()) {
            QFile config(start + "/Config.ini");
            QVERIFY(config.open(QIODevice::WriteOnly) && config.write(file) == file.size());
        }
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(start));
        const bool on = ReadOpenGLESSwitch();
        QVERIFY(QDir::setCurrent(saved));
        QCOMPARE(on, expected);
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "--holders") == 0)
        return runHolders(argc, argv);
    QCoreApplication app(argc, argv);
    tst_ConfigInfo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ConfigInfo.moc"
