#pragma once

#include <kwl/KSingleton.h>

#include <QString>

namespace ConfigInfo {

// Deployment settings of "./Localcfg.ini": skin, platform URLs, language, program type,
// open-platform endpoint and start-up flags. Loaded once; the file is never written, setters
// change the values of this run only.
class CLocalCfg
{
public:
    // Open-platform endpoint handed to the media library.
    struct VTOpen
    {
        QString host;
        int port = 443;
    };

    // Built-in platform base URL; the four default URLs are composed from it.
    static const QString kDefaultPlatformUrl;
    // Built-in open-platform host.
    static const QString kDefaultVTOpenHost;

    // The one holder, loaded from "./Localcfg.ini" on the first call.
    static CLocalCfg &Instance();

    // "Skin/path", for example "storeSuite/DustyBlue".
    QString GetSkinPath() const { return m_skin.path; }
    // "URL/versionUrl": the client version check.
    QString GetVersionUrl() const { return m_url.versionUrl; }
    // "URL/loginUrl": the page the main window loads.
    QString GetLoginUrl() const { return m_url.loginUrl; }
    // "URL/vtDevListUrl": the device list of device web configuration.
    QString GetVtDevListUrl() const { return m_url.vtDevListUrl; }
    // "URL/webDlgUrl".
    QString GetWebDlgUrl() const { return m_url.webDlgUrl; }
    // "URL/platformUrl": base of every gateway request.
    QString GetPlatformUrl() const { return m_url.platformUrl; }
    // "Type/language", for example "zh".
    QString GetLanguage() const { return m_type.language; }
    // "Type/program": the program type naming this installation.
    QString GetProgram() const { return m_type.program; }
    // "VTOpen/host" and "VTOpen/port".
    VTOpen GetVTOpen() const { return m_vtOpen; }
    // "Flag/WebCacheFlag": clear the web engine's cache of the last run at start-up.
    bool GetWebCacheFlag() const { return m_flag.WebCacheFlag; }
    // "Flag/logFlag": write the log to a file.
    bool GetLogFlag() const { return m_flag.logFlag; }

    // In-memory setters; nothing reaches the file.
    void SetSkinPath(const QString &path) { m_skin.path = path; }
    void SetVersionUrl(const QString &url) { m_url.versionUrl = url; }
    void SetLoginUrl(const QString &url) { m_url.loginUrl = url; }
    void SetVtDevListUrl(const QString &url) { m_url.vtDevListUrl = url; }
    void SetWebDlgUrl(const QString &url) { m_url.webDlgUrl = url; }
    void SetPlatformUrl(const QString &url) { m_url.platformUrl = url; }
    void SetLanguage(const QString &language) { m_type.language = language; }
    void SetProgram(const QString &program) { m_type.program = program; }
    void SetWebCacheFlag(bool on) { m_flag.WebCacheFlag = on; }
    void SetLogFlag(bool on) { m_flag.logFlag = on; }

private:
    friend struct KSingletonMaker<CLocalCfg>;
    CLocalCfg();

    struct Skin
    {
        QString path;
    };
    struct URL
    {
        QString versionUrl;
        QString loginUrl;
        QString vtDevListUrl;
        QString webDlgUrl;
        QString platformUrl;
    };
    struct Type
    {
        QString language;
        QString program;
    };
    struct Flag
    {
        bool WebCacheFlag = false;
        bool logFlag = false;
    };

    Skin m_skin;
    URL m_url;
    Type m_type;
    VTOpen m_vtOpen;
    Flag m_flag;
};

} // namespace ConfigInfo
