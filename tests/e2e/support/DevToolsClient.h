#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QWebSocket>

// Drives a real web page through the DevTools protocol of QtWebEngine (the remote-debugging port
// that "QTWEBENGINE_REMOTE_DEBUGGING" opens): finds the page among the listed targets, evaluates
// script in it, clicks its controls, waits for conditions and reads what the page recorded of its
// exchange with the client (window.__orvane). Every call waits with the event loop running, so it
// also works against a web view of the calling process.
class DevToolsClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultPort = 9234;

    explicit DevToolsClient(int port = defaultPort, QObject *parent = nullptr);
    ~DevToolsClient() override;

    // Waits until a page whose address contains urlPart is listed and connects to it; false and
    // the reason when none shows up in time.
    bool connectToPage(const QString &urlPart, QString *error, int timeoutMs = 30000);
    bool isConnected() const;

    // Evaluates a JavaScript expression in the page, awaiting a promise; the value (JSON), or
    // undefined and the reason (an exception, a lost connection, the time-out).
    QJsonValue evaluate(const QString &expression, QString *error = nullptr, int timeoutMs = 15000);
    // Waits until the JavaScript condition is true in the page; false and the reason otherwise.
    bool waitFor(const QString &condition, QString *error = nullptr, int timeoutMs = 15000);
    // Clicks the element of the CSS selector, as a user can: it must be shown and not covered.
    bool click(const QString &selector, QString *error = nullptr);
    // Types text into the input of the CSS selector, replacing its value.
    bool type(const QString &selector, const QString &text, QString *error = nullptr);
    // The text of the element of the CSS selector; empty when there is none.
    QString text(const QString &selector);

    // Notifications the page received from the client, oldest first: {method, id, params}.
    QJsonArray notifications();
    // Requests the page made of the client, oldest first: {method, params}.
    QJsonArray calls();
    // Console messages and uncaught exceptions of the page since connecting.
    QStringList console() const { return m_console; }

    // A JavaScript string literal of text.
    static QString jsString(const QString &text);

private:
    // A script that resolves true once condition holds, false after timeoutMs.
    static QString pollScript(const QString &condition, int timeoutMs);
    QJsonObject command(const QString &method, const QJsonObject &params, QString *error,
                        int timeoutMs);
    void onMessage(const QString &text);

    int m_port;
    QWebSocket m_socket;
    int m_nextId = 1;
    QHash<int, QJsonObject> m_replies;
    QStringList m_console;
};
