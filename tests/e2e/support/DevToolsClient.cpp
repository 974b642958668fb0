#include "DevToolsClient.h"

#include <QTest>
#include "SyncHttp.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTest>

namespace {

QString consoleLine(const QJsonObject &params)
{
    QStringList parts;
    for (const QJsonValue &argument : params.value("args").toArray()) {
        const QJsonObject object = argument.toObject();
        parts << (object.contains("value") ? object.value("value").toVariant().toString()
                                           : object.value("description").toString());
    }
    return params.value("type").toString() + ": " + parts.join(' ');
}

// The message of an exception of the page ("exceptionDetails" of the protocol).
QString exceptionText(const QJsonObject &details)
{
    return details.value("exception")
        .toObject()
        .value("description")
        .toString(details.value("text").toString());
}

} // namespace

DevToolsClient::DevToolsClient(int port, QObject *parent)
    : QObject(parent)
    , m_port(port)
{
    connect(&m_socket, &QWebSocket::textMessageReceived, this, &DevToolsClient::onMessage);
}

DevToolsClient::~DevToolsClient()
{
    m_socket.abort();
}

bool DevToolsClient::connectToPage(const QString &urlPart, QString *error, int timeoutMs)
{
    const QUrl list(QString("http://127.0.0.1:%1/json").arg(m_port));
    QString debuggerUrl;
    QString lastProblem;
    const bool listed = QTest::qWaitFor(
        [&] {
            const SyncHttp::Reply reply = SyncHttp::send("GET", list, {}, {}, 2000);
            lastProblem = reply.error.isEmpty() ? QString("no page with \"%1\" in its address "
                                                          "among %2")
                                                      .arg(urlPart, QString::fromUtf8(reply.body))
                                                : reply.error;
            for (const QJsonValue &target : QJsonDocument::fromJson(reply.body).array()) {
                const QJsonObject entry = target.toObject();
                if (entry.value("type").toString() == "page"
                    && entry.value("url").toString().contains(urlPart)) {
                    debuggerUrl = entry.value("webSocketDebuggerUrl").toString();
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    if (!listed) {
        *error = QString("DevTools on port %1: %2").arg(m_port).arg(lastProblem);
        return false;
    }

    m_socket.abort();
    m_console.clear();
    m_socket.open(QUrl(debuggerUrl));
    QTest::qWaitFor(
        [this] {
            return m_socket.state() == QAbstractSocket::ConnectedState
                || m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
    if (!isConnected()) {
        *error = QString("cannot connect to %1: %2").arg(debuggerUrl, m_socket.errorString());
        return false;
    }
    // Console messages and exceptions arrive as events from now on.
    command("Runtime.enable", {}, error, timeoutMs);
    return error->isEmpty();
}

bool DevToolsClient::isConnected() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

QJsonValue DevToolsClient::evaluate(const QString &expression, QString *error, int timeoutMs)
{
    QString problem;
    const QJsonObject result
        = command("Runtime.evaluate",
                  {{"expression", expression}, {"awaitPromise", true}, {"returnByValue", true}},
                  &problem, timeoutMs);
    if (problem.isEmpty() && result.contains("exceptionDetails"))
        problem = exceptionText(result.value("exceptionDetails").toObject());
    if (error)
        *error = problem;
    if (!problem.isEmpty())
        return QJsonValue(QJsonValue::Undefined);
    return result.value("result").toObject().value("value");
}

bool DevToolsClient::waitFor(const QString &condition, QString *error, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QString problem;
    bool met = false;
    // A page that navigates (the blank page giving way to the login page) destroys the
    // context the poll runs in: poll again in the new document until the time is up.
    do {
        const int left = int(qMax<qint64>(0, timeoutMs - clock.elapsed()));
        met = evaluate(pollScript(condition, left), &problem, left + 5000).toBool();
        if (!problem.contains("Execution context was destroyed"))
            break;
        QTest::qWait(50);
    } while (clock.elapsed() < timeoutMs);
    if (!met && problem.isEmpty())
        problem = QString("still false after %1 ms: %2").arg(timeoutMs).arg(condition);
    if (error)
        *error = problem;
    return met;
}

QString DevToolsClient::pollScript(const QString &condition, int timeoutMs)
{
    // The page polls itself: one round trip however long the wait.
    return QString("(async () => {"
                   "  const end = Date.now() + %1;"
                   "  for (;;) {"
                   "    try { if (%2) return true; } catch (e) {}"
                   "    if (Date.now() > end) return false;"
                   "    await new Promise((resolve) => setTimeout(resolve, 25));"
                   "  }"
                   "})()")
        .arg(timeoutMs)
        .arg(condition);
}

bool DevToolsClient::click(const QString &selector, QString *error)
{
    const QString script
        = QString("(() => {"
                  "  const element = document.querySelector(%1);"
                  "  if (!element) return 'nothing matches';"
                  "  element.scrollIntoView({block: 'center'});"
                  "  const box = element.getBoundingClientRect();"
                  "  if (box.width === 0 || box.height === 0) return 'not shown';"
                  "  const top = document.elementFromPoint(box.left + box.width / 2,"
                  "                                        box.top + box.height / 2);"
                  "  if (top !== element && !element.contains(top))"
                  "    return 'covered by ' + (top ? top.outerHTML.slice(0, 80) : 'nothing');"
                  "  element.click();"
                  "  return '';"
                  "})()")
              .arg(jsString(selector));
    QString problem;
    const QString refusal = evaluate(script, &problem).toString();
    if (problem.isEmpty() && !refusal.isEmpty())
        problem = QString("cannot click %1: %2").arg(selector, refusal);
    if (error)
        *error = problem;
    return problem.isEmpty();
}

bool DevToolsClient::type(const QString &selector, const QString &text, QString *error)
{
    const QString script = QString("(() => {"
                                   "  const input = document.querySelector(%1);"
                                   "  if (!input) return false;"
                                   "  input.focus();"
                                   "  input.value = %2;"
                                   "  input.dispatchEvent(new Event('input', {bubbles: true}));"
                                   "  input.dispatchEvent(new Event('change', {bubbles: true}));"
                                   "  return true;"
                                   "})()")
                               .arg(jsString(selector), jsString(text));
    QString problem;
    const bool typed = evaluate(script, &problem).toBool();
    if (problem.isEmpty() && !typed)
        problem = QString("cannot type into %1: nothing matches").arg(selector);
    if (error)
        *error = problem;
    return typed;
}

QString DevToolsClient::text(const QString &selector)
{
    return evaluate(QString("(document.querySelector(%1) || {}).textContent || ''")
                        .arg(jsString(selector)))
        .toString();
}

QJsonArray DevToolsClient::notifications()
{
    return evaluate("window.__orvane ? window.__orvane.notifications : []").toArray();
}

QJsonArray DevToolsClient::calls()
{
    return evaluate("window.__orvane ? window.__orvane.calls : []").toArray();
}

QString DevToolsClient::jsString(const QString &text)
{
    // A JSON string is a JavaScript string literal.
    const QByteArray array = QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QJsonObject DevToolsClient::command(const QString &method, const QJsonObject &params,
                                    QString *error, int timeoutMs)
{
    error->clear();
    if (!isConnected()) {
        *error = QString("%1: not connected to a page").arg(method);
        return {};
    }
    const int id = m_nextId++;
    const QJsonObject message {{"id", id}, {"method", method}, {"params", params}};
    m_socket.sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    const bool answered = QTest::qWaitFor(
        [this, id] { return m_replies.contains(id) || !isConnected(); }, timeoutMs);
    if (!m_replies.contains(id)) {
        *error = answered ? QString("%1: the page went away").arg(method)
                          : QString("%1: no answer within %2 ms").arg(method).arg(timeoutMs);
        return {};
    }
    const QJsonObject reply = m_replies.take(id);
    if (reply.contains("error")) {
        *error = QString("%1: %2").arg(method,
                                       reply.value("error").toObject().value("message").toString());
        return {};
    }
    return reply.value("result").toObject();
}

void DevToolsClient::onMessage(const QString &text)
{
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    if (message.contains("id")) {
        m_replies.insert(message.value("id").toInt(), message);
        return;
    }
    const QString event = message.value("method").toString();
    const QJsonObject params = message.value("params").toObject();
    if (event == "Runtime.consoleAPICalled") {
        m_console << consoleLine(params);
    } else if (event == "Runtime.exceptionThrown") {
        m_console << "exception: " + exceptionText(params.value("exceptionDetails").toObject());
    }
}
