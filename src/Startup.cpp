#include "Startup.h"

#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"
#include "StateFolder.h"
#include "TesmarClient.h"
#include "WM_GETOBJECT_Filter.h"

#include <KWGui/KWFile.h>
#include <KWGui/KWGlobal.h>
#include <KWGui/KWMessageBox.h>
#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KExceptionHandler.h>
#include <kwl/KPrintLog.h>
#include <winport/SharedMemoryGuard.h>
#include <winport/WinRegistry.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QNetworkProxyFactory>
#include <QSharedMemory>
#include <QTextStream>
#include <QTime>
#include <QTranslator>

#include <cstdio>
#include <cstring>

using ConfigInfo::CConfig;
using ConfigInfo::CLocalCfg;

namespace {

// Entries removed when a folder is cleared. Hidden and system entries are included: on Linux
// a dot-file is hidden by its name only, and a broken link is a "system" entry.
constexpr QDir::Filters kAllEntries
    = QDir::Dirs | QDir::Files | QDir::Drives | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// Relative to the program folder; the logger creates the "log" folder.
#ifdef Q_OS_WIN
constexpr char kLogNameFormat[] = "log\\%02d-%02d-%02d";
#else
constexpr char kLogNameFormat[] = "log/%02d-%02d-%02d";
#endif

// A folder to descend into; a link to a folder is removed as a link, never followed.
bool isRealDir(const QFileInfo &entry)
{
    return entry.isDir() && !entry.isSymLink();
}

// The colour scheme is the second part of the skin path ("storeSuite/DustyBlue").
QString colourScheme(const QString &skinPath)
{
    const QString scheme = skinPath.split('/').value(1);
    return scheme.isEmpty() ? QStringLiteral("DustyBlue") : scheme;
}

void loadStyleSheet(const QString &scheme)
{
    const QString folder = QDir::currentPath() + "/Skin/" + scheme + "/KWGUI/CSS/";
    const QStringList files
        = QDir(folder).entryList({"*.CSS"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    KLOG(KPrintLog::Info, "Style sheet from %s: %s", qUtf8Printable(folder),
         qUtf8Printable(files.join(", ")));
    qApp->setStyleSheet(QString::fromUtf8(KWGUI::KWFile::ReadAll(files, folder)));
}

int logLevelOf(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return KPrintLog::Debug;
    case QtInfoMsg:
        return KPrintLog::Info;
    case QtWarningMsg:
        return KPrintLog::Warning;
    case QtCriticalMsg:
        return KPrintLog::Error;
    case QtFatalMsg:
        return KPrintLog::Fatal;
    }
    return KPrintLog::Info;
}

// Qt's own messages, the web engine's (its pages' console in the category "js") among them, go
// to the client's log, marked with their category.
void forwardQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const char *category
        = context.category && std::strcmp(context.category, "default") != 0 ? context.category : "";
    KPrintLog::instance()->Log(KPrintLog::SourceName(context.file).c_str(), context.line,
                               KPrintLog::FunctionName(context.function).c_str(), category,
                               logLevelOf(type), "%s", text.toUtf8().constData());
}

// Steps that run only in the copy that holds the single-instance guard.
void runGuarded(QApplication &app)
{
    KExceptionHandler::StartMonitor(QStringLiteral("ClientDump").toLocal8Bit().constData());
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    ClearWebCache();
    EnableRemoteDebugging();
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    KLOG(KPrintLog::Info, "Start-up done for program type %s: the main window opens",
         qUtf8Printable(CLocalCfg::Instance().GetProgram()));

    auto *window = new TesmarClient;
    window->show();
    window->QueryClientVersion();
    app.exec();
    delete window;
}

} // namespace

bool ReadOpenGLESSwitch()
{
    QFile file("../bin/Config.ini");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
        if (!line.contains("OpenGLES"))
            continue;
        if (!in.readLineInto(&line))
            return false;
        const QLatin1String key("IsOpen=");
        const int at = line.indexOf(key);
        return at >= 0 && line.mid(at + key.size()) == "true";
    }
    return false;
}

void ClearDirectory(const QString &path)
{
    QDir dir(path);
    if (!dir.exists())
        return;
    for (const QFileInfo &entry : dir.entryInfoList(kAllEntries)) {
        if (isRealDir(entry)) {
            ClearDirectory(entry.absoluteFilePath());
            dir.rmdir(entry.fileName());
        } else {
            dir.remove(entry.fileName());
        }
    }
}

void InitLog()
{
    if (!CLocalCfg::Instance().GetLogFlag())
        return;
    const QTime now = QTime::currentTime();
    char name[25] = {};
    std::snprintf(name, sizeof name, kLogNameFormat, now.hour(), now.minute(), now.second());
    KPrintLog *log = KPrintLog::instance();
    log->SetFile(name);
    log->SetStderr(true);
    log->SetSyslog(true);
    qInstallMessageHandler(forwardQtMessage);
}

void InitLocalDirs()
{
    CConfig &config = CConfig::Instance();
    const QString programFolder = QDir::currentPath();
    if (config.GetPicAccessInfo().isEmpty())
        config.SetPicAccessInfo(programFolder + "/Picture");
    CConfig::RecordConfig record = config.GetRecordConfig();
    if (record.RecPath.isEmpty()) {
        record.RecPath = programFolder + "/Record";
        config.SetRecordConfig(record);
    }
}

void InitLanguageAndSkin()
{
    const CLocalCfg &local = CLocalCfg::Instance();
    const QString language = local.GetLanguage();
    KWGUI::SetLanguage(language);
    LoadTranslations(QDir::currentPath() + QString("/Language/Language_%1/").arg(language));
    const QString notifierTranslation = QCoreApplication::applicationDirPath()
        + QString("/Language/Language_%1/KWMessageNotify_%1.qm").arg(language);

    const QString skinPath = local.GetSkinPath();
    KWGUI::SetSkinVersion(skinPath);
    const QString scheme = colourScheme(skinPath);
    // The notifier's language argument names the built-in texts, whatever the language.
    KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->SetParam({notifierTranslation},
                                                                     {scheme}, "Chinese");
    loadStyleSheet(scheme);
}

void LoadTranslations(const QString &path)
{
    const QDir dir(path);
    if (!dir.exists())
        return;
    const QFileInfoList entries
        = dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::DirsFirst);
    for (const QFileInfo &entry : entries) {
        if (isRealDir(entry))
            LoadTranslations(entry.filePath());
        else if (entry.fileName().endsWith(".qm"))
            LoadTranslator(entry.filePath());
    }
}

void LoadTranslator(const QString &path)
{
    if (path.isEmpty())
        return;
    // Owned by the application, so installed for as long as the process runs.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(path))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void ClearWebCache()
{
    CLocalCfg &local = CLocalCfg::Instance();
    if (!local.GetWebCacheFlag())
        return;
    const QString cachePath
        = winport::WinRegistry(local.GetProgram()).value("cachePath", QString()).toString();
    if (!cachePath.isEmpty()) {
        KLOG(KPrintLog::Info, "Removing the web cache of the last run: %s",
             qUtf8Printable(cachePath));
        RemoveDirTree(QDir::fromNativeSeparators(cachePath));
    }
    local.SetWebCacheFlag(false);
}

bool RemoveDirTree(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QDir dir(path);
    if (!dir.exists())
        return true;
    for (const QFileInfo &entry : dir.entryInfoList(kAllEntries)) {
        if (isRealDir(entry))
            RemoveDirTree(entry.absoluteFilePath());
        else
            entry.dir().remove(entry.fileName());
    }
    return dir.rmpath(dir.absolutePath());
}

void EnableRemoteDebugging()
{
    if (!CConfig::Instance().GetIsDebug())
        return;
    qputenv("QTWEBENGINE_REMOTE_DEBUGGING", "9234");
    KLOG(KPrintLog::Info, "Web remote debugging on port 9234");
}

int RunClient(int argc, char *argv[])
{
    if (ReadOpenGLESSwitch())
        QCoreApplication::setAttribute(Qt::AA_UseOpenGLES);
    WM_GETOBJECT_Filter getObjectFilter; // outlives the application: never removed from it
    QApplication app(argc, argv);
    app.installNativeEventFilter(&getObjectFilter);

    QFont font = QApplication::font();
    font.setFamily("Microsoft YaHei");
    QApplication::setFont(font);

    QDir::setCurrent(StateFolder::choose(QCoreApplication::applicationDirPath()));
    const QString program = CLocalCfg::Instance().GetProgram();
    QApplication::setWindowIcon(
        QIcon(QString("./Skin/%1/OutFile.ico").arg(CLocalCfg::Instance().GetSkinPath())));
    QCoreApplication::setOrganizationName(QObject::tr("Orvane"));
    QCoreApplication::setApplicationName(QObject::tr("Orvane"));
    KWGUI::SetProgramType(program);
    ClearDirectory("./tmp");
    InitLog();
    InitLocalDirs();
    QCoreApplication::addLibraryPath(QCoreApplication::applicationDirPath() + "/plugins");
    InitLanguageAndSkin();
    KWGUI::KWMessageNotify *notifier = KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
    notifier->StartMessageProcess();
    notifier->SetMessageNotifyTitle(QObject::tr("Notice"));

    auto *guard = new QSharedMemory(program);
    // A copy that crashed leaves its segment behind on Unix; only a live copy may refuse us.
    winport::releaseOrphanedSegment(*guard);
    if (guard->create(32, QSharedMemory::ReadWrite)) {
        runGuarded(app);
    } else {
        KLOG(KPrintLog::Info, "QSharedMemoryError:%d", static_cast<int>(guard->error()));
        KWGUI::KWMessageBox::ShowInformation(nullptr, QObject::tr("Notice"),
                                             QObject::tr("Application had runned!"),
                                             KWGUI::KWMessageBox::Ok);
    }
    if (guard->isAttached())
        guard->detach();
    delete guard;
    return 0;
}
