#pragma once

#include "DevToolsClient.h"
#include "E2ESession.h"

#include <QApplication>
#include <QJsonArray>
#include <QList>
#include <QSettings>
#include <QTest>

// Pieces of the end-to-end tests that run the client's main window in their own process.
namespace InProcessClient {

// Points the client of this process at the session's sim: the program folder's Localcfg.ini.
inline void pointAtSim(const E2ESession &session)
{
    QSettings local(QCoreApplication::applicationDirPath() + "/Localcfg.ini", QSettings::IniFormat);
    const QVariantMap addresses = session.platformAddresses();
    for (auto it = addresses.cbegin(); it != addresses.cend(); ++it)
        local.setValue(it.key(), it.value());
}

// The parameters of what the page sent ("calls") or received ("notifications") under one
// method, oldest first.
inline QList<QJsonObject> exchanged(DevToolsClient &page, const QString &kind,
                                    const QString &method)
{
    QList<QJsonObject> found;
    for (const QJsonValue &entry : page.evaluate("window.__orvane." + kind).toArray()) {
        if (entry["method"].toString() == method)
            found << entry["params"].toObject();
    }
    return found;
}

// Runs a test whose web engine opens the DevTools port: the port and the shared contexts must be
// set before the application (and so the web engine) starts.
template<class Test> int run(int argc, char *argv[])
{
    qputenv("QTWEBENGINE_REMOTE_DEBUGGING", QByteArray::number(DevToolsClient::defaultPort));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace InProcessClient
