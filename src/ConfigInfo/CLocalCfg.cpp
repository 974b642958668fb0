#include "CLocalCfg.h"

#include <QSettings>

namespace ConfigInfo {

namespace {

// Replaces field with the file's value when the key is there.
template<typename T> void readKey(const QSettings &file, const QString &key, T &field)
{
    field = file.value(key, QVariant::fromValue(field)).template value<T>();
}

} // namespace

// Plain HTTP on loopback: a fresh start talks to a local platform without any certificate.
// A deployment names its own HTTPS platform in Localcfg.ini.
const QString CLocalCfg::kDefaultPlatformUrl = QStringLiteral("http://127.0.0.1:8460");
const QString CLocalCfg::kDefaultVTOpenHost = QStringLiteral("127.0.0.1");

CLocalCfg &CLocalCfg::Instance()
{
    return KSingleton<CLocalCfg>::Instance();
}

CLocalCfg::CLocalCfg()
{
    m_skin.path = "storeSuite/DustyBlue";
    m_url.platformUrl = kDefaultPlatformUrl;
    m_url.versionUrl = kDefaultPlatformUrl + "/gateway//membership/appVersion/getVersion/9";
    m_url.loginUrl = kDefaultPlatformUrl + "/#/login?isFromC=1";
    m_url.vtDevListUrl = kDefaultPlatformUrl + "/gateway/device/veltra/deviceList";
    m_url.webDlgUrl = kDefaultPlatformUrl + "/#/noPage";
    m_type.language = "zh";
    m_type.program = "Tesmar";
    m_vtOpen.host = kDefaultVTOpenHost;

    const QSettings file("./Localcfg.ini", QSettings::IniFormat);
    readKey(file, "URL/versionUrl", m_url.versionUrl);
    readKey(file, "URL/loginUrl", m_url.loginUrl);
    readKey(file, "URL/vtDevListUrl", m_url.vtDevListUrl);
    readKey(file, "URL/webDlgUrl", m_url.webDlgUrl);
    readKey(file, "URL/platformUrl", m_url.platformUrl);
    readKey(file, "Type/language", m_type.language);
    readKey(file, "Type/program", m_type.program);
    readKey(file, "VTOpen/host", m_vtOpen.host);
    readKey(file, "VTOpen/port", m_vtOpen.port);
    readKey(file, "Flag/WebCacheFlag", m_flag.WebCacheFlag);
    readKey(file, "Flag/logFlag", m_flag.logFlag);
    readKey(file, "Skin/path", m_skin.path);
}

} // namespace ConfigInfo
