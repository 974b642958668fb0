#pragma once

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QWebSocket>

// Drives a real web page through QtWebEngine's DevTools port ("QTWEBENGINE_REMOTE_DEBUGGING"):
// evaluates script, clicks and types as a user, waits for conditions. Every call runs the event
// loop, so the page may belong to the calling process. Failures come back as a reason; the page's
// console and uncaught exceptions are kept for failure messages.
class DevToolsClient : public QObject
{
public:
    static constexpr int defaultPort = 9234;

    explicit DevToolsClient(int port = defaultPort);

    // Waits until a page whose address contains urlPart is listed and connects to it.
    bool connectToPage(const QString &urlPart, QString *error, int timeoutMs = 30000);
    // The JSON value of an expression, a promise awaited; undefined on failure.
    QJsonValue evaluate(const QString &expression, QString *error = nullptr, int timeoutMs = 15000);
    // Waits until the condition holds; the page polls it itself every 25 ms.
    bool waitFor(const QString &condition, QString *error = nullptr, int timeoutMs = 15000);
    // Clicks the element of the selector as a user can: it must be shown and not covered.
    bool click(const QString &selector, QString *error = nullptr);
    // Drags the element with real pointer events to the page's point to.
    bool drag(const QString &selector, const QPoint &to, QString *error);
    // Replaces the value of the input of the selector with text.
    bool type(const QString &selector, const QString &text, QString *error = nullptr);
    // Empty when no element matches.
    QString text(const QString &selector);
    QStringList console() const { return m_console; }

    static QString jsString(const QString &text);

private:
    // Runs script, which returns '' when it did what it should, else the reason.
    bool act(const QString &script, const QString &what, QString *error);
    QJsonObject command(const QString &method, const QJsonObject &params, QString *error,
                        int timeoutMs);
    void onMessage(const QString &text);

    int m_port;
    QWebSocket m_socket;
    int m_nextId = 1;
    QHash<int, QJsonObject> m_replies;
    QStringList m_console;
};
