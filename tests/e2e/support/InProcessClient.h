#pragma once

#include "DevToolsClient.h"
#include "E2ESession.h"
#include "E2EStep.h"
#include "TesmarClient.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QTest>

#include <memory>

// For end-to-end tests that run the client's main window in their own process.
namespace InProcessClient {

// Starts the sim and points the client of this process at it (the program folder's
// Localcfg.ini); the log goes to ./log, toasts show for two minutes, and the application
// outlives its windows.
inline bool setUp(E2ESession &session, QString *error)
{
    if (!session.startSim(error))
        return false;
    ProgramFolder(QCoreApplication::applicationDirPath())
        .writeIni("Localcfg.ini", session.platformAddresses());
    KPrintLog::instance()->SetFile("./log/e2e");
    KWGUI::KWMessageNotify *notifier = KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
    notifier->StartMessageProcess();
    notifier->SetDisplayTime(120000);
    QApplication::setQuitOnLastWindowClosed(false);
    return true;
}

// Replaces client with a new, shown main window (the old one goes first, so that its page is not
// taken for the new one) and connects the session to its page once that is ready.
inline bool openWindow(E2ESession &session, std::unique_ptr<TesmarClient> &client, QString *error)
{
    client.reset();
    client = std::make_unique<TesmarClient>();
    client->show();
    return session.page().connectToPage(session.simUrl(), error)
        && session.page().waitFor("window.__orvane && window.__orvane.ready", error);
}

// The DevTools port and the shared contexts must be set before the web engine starts.
template<class Test> int run(int argc, char *argv[])
{
    qputenv("QTWEBENGINE_REMOTE_DEBUGGING", QByteArray::number(DevToolsClient::defaultPort));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace InProcessClient
