#pragma once

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QWebSocket>

// Drives a real web page through the DevTools protocol of QtWebEngine (the remote-debugging port
// that "QTWEBENGINE_REMOTE_DEBUGGING" opens): finds the page among the listed targets, evaluates
// script in it, clicks and types as a user, and waits for conditions. Every call waits with the
// event loop running, so it also works against a web view of the calling process. Failures come
// back as a reason; the page's console and uncaught exceptions are kept for failure messages.
class DevToolsClient : public QObject
{
public:
    static constexpr int defaultPort = 9234;

    explicit DevToolsClient(int port = defaultPort);

    // Waits until a page whose address contains urlPart is listed and connects to it.
    bool connectToPage(const QString &urlPart, QString *error, int timeoutMs = 30000);
    // The value (JSON) of a JavaScript expression, a promise awaited; undefined on failure.
    QJsonValue evaluate(const QString &expression, QString *error = nullptr, int timeoutMs = 15000);
    // Waits until the JavaScript condition holds; the page polls it itself every 25 ms.
    bool waitFor(const QString &condition, QString *error = nullptr, int timeoutMs = 15000);
    // Clicks the element of the CSS selector as a user can: it must be shown and not covered.
    bool click(const QString &selector, QString *error = nullptr);
    // Drags the element of the CSS selector with the mouse (real pointer events) to the page's
    // point to, and releases it there.
    bool drag(const QString &selector, const QPoint &to, QString *error);
    // Types text into the input of the CSS selector, replacing its value.
    bool type(const QString &selector, const QString &text, QString *error = nullptr);
    // The text of the element of the CSS selector; empty when there is none.
    QString text(const QString &selector);
    // Console messages and uncaught exceptions of the page since connecting.
    QStringList console() const { return m_console; }

    // A JavaScript string literal of text.
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
