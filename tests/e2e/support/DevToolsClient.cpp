#include "DevToolsClient.h"

#include "SyncHttp.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

// The message of an exception of the page ("exceptionDetails" of the protocol).
QString exceptionText(const QJsonObject &details)
{
    return details["exception"]["description"].toString(details["text"].toString());
}

} // namespace

DevToolsClient::DevToolsClient(int port)
    : m_port(port)
{
    connect(&m_socket, &QWebSocket::textMessageReceived, this, &DevToolsClient::onMessage);
}

bool DevToolsClient::connectToPage(const QString &urlPart, QString *error, int timeoutMs)
{
    const QUrl list(QString("http://127.0.0.1:%1/json").arg(m_port));
    QString debuggerUrl;
    SyncHttp::Reply reply;
    const bool listed = QTest::qWaitFor(
        [&] {
            reply = SyncHttp::send("GET", list, {}, 2000);
            for (const QJsonValue &target : QJsonDocument::fromJson(reply.body).array()) {
                if (target["type"] == "page" && target["url"].toString().contains(urlPart))
                    debuggerUrl = target["webSocketDebuggerUrl"].toString();
            }
            return !debuggerUrl.isEmpty();
        },
        timeoutMs);
    if (!listed) {
        *error = QString("DevTools on port %1: no page with \"%2\" in its address: %3")
                     .arg(m_port)
                     .arg(urlPart, reply.error.isEmpty() ? reply.body : reply.error);
        return false;
    }
    m_socket.abort();
    m_console.clear();
    m_socket.open(QUrl(debuggerUrl));
    (void)QTest::qWaitFor([this] { return m_socket.state() != QAbstractSocket::ConnectingState; },
                          timeoutMs);
    // Console messages and exceptions arrive as events from now on.
    command("Runtime.enable", {}, error, timeoutMs);
    return error->isEmpty();
}

QJsonValue DevToolsClient::evaluate(const QString &expression, QString *error, int timeoutMs)
{
    QString problem;
    const QJsonObject result
        = command("Runtime.evaluate",
                  {{"expression", expression}, {"awaitPromise", true}, {"returnByValue", true}},
                  &problem, timeoutMs);
    if (problem.isEmpty() && result.contains("exceptionDetails"))
        problem = exceptionText(result["exceptionDetails"].toObject());
    if (error)
        *error = problem;
    return problem.isEmpty() ? result["result"]["value"] : QJsonValue(QJsonValue::Undefined);
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
        const QString poll = QString("(async () => { const end = Date.now() + %1; for (;;) {"
                                     " try { if (%2) return true; } catch (e) {}"
                                     " if (Date.now() > end) return false;"
                                     " await new Promise((r) => setTimeout(r, 25)); } })()")
                                 .arg(left)
                                 .arg(condition);
        met = evaluate(poll, &problem, left + 5000).toBool();
    } while (problem.contains("Execution context was destroyed") && clock.elapsed() < timeoutMs);
    if (!met && problem.isEmpty())
        problem = QString("still false after %1 ms: %2").arg(timeoutMs).arg(condition);
    if (error)
        *error = problem;
    return met;
}

bool DevToolsClient::click(const QString &selector, QString *error)
{
    return act(QString("const element = document.querySelector(%1);"
                       "if (!element) return 'nothing matches';"
                       "element.scrollIntoView({block: 'center'});"
                       "const box = element.getBoundingClientRect();"
                       "if (box.width === 0 || box.height === 0) return 'not shown';"
                       "const top = document.elementFromPoint(box.left + box.width / 2,"
                       "                                      box.top + box.height / 2);"
                       "if (top !== element && !element.contains(top))"
                       "  return 'covered by ' + (top ? top.outerHTML.slice(0, 80) : 'nothing');"
                       "element.click();")
                   .arg(jsString(selector)),
               "click " + selector, error);
}

bool DevToolsClient::drag(const QString &selector, const QPoint &to, QString *error)
{
    const QJsonArray centre
        = evaluate(QString("(() => { const r = document.querySelector(%1).getBoundingClientRect();"
                           " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                       .arg(jsString(selector)),
                   error)
              .toArray();
    const QPoint from(centre.at(0).toInt(), centre.at(1).toInt());
    const std::pair<const char *, QPoint> steps[] = {{"mousePressed", from},
                                                     {"mouseMoved", (from + to) / 2},
                                                     {"mouseMoved", to},
                                                     {"mouseReleased", to}};
    for (const auto &[type, at] : steps) {
        if (!error->isEmpty())
            return false;
        command("Input.dispatchMouseEvent",
                {{"type", type},
                 {"x", at.x()},
                 {"y", at.y()},
                 {"button", "left"},
                 {"buttons", type == QLatin1String("mouseReleased") ? 0 : 1},
                 {"clickCount", 1}},
                error, 15000);
    }
    return error->isEmpty();
}

bool DevToolsClient::type(const QString &selector, const QString &text, QString *error)
{
    return act(QString("const input = document.querySelector(%1);"
                       "if (!input) return 'nothing matches';"
                       "input.focus();"
                       "input.value = %2;"
                       "input.dispatchEvent(new Event('input', {bubbles: true}));"
                       "input.dispatchEvent(new Event('change', {bubbles: true}));")
                   .arg(jsString(selector), jsString(text)),
               "type into " + selector, error);
}

bool DevToolsClient::act(const QString &script, const QString &what, QString *error)
{
    QString problem;
    const QString refusal = evaluate("(() => {" + script + " return ''; })()", &problem).toString();
    if (problem.isEmpty() && !refusal.isEmpty())
        problem = QString("cannot %1: %2").arg(what, refusal);
    if (error)
        *error = problem;
    return problem.isEmpty();
}

QString DevToolsClient::text(const QString &selector)
{
    return evaluate(QString("(document.querySelector(%1) || {}).textContent || ''")
                        .arg(jsString(selector)))
        .toString();
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
    const auto connected = [this] {
        return m_socket.state() == QAbstractSocket::ConnectedState;
    };
    const int id = m_nextId++;
    if (connected()) {
        const QJsonObject message {{"id", id}, {"method", method}, {"params", params}};
        m_socket.sendTextMessage(QJsonDocument(message).toJson(QJsonDocument::Compact));
        (void)QTest::qWaitFor([&] { return m_replies.contains(id) || !connected(); }, timeoutMs);
    }
    const QJsonObject reply = m_replies.take(id);
    *error = reply.contains("error") ? method + ": " + reply["error"]["message"].toString()
        : !reply.isEmpty()           ? QString()
        : !connected()               ? method + ": not connected to a page"
                       : QString("%1: no answer within %2 ms").arg(method).arg(timeoutMs);
    return reply["result"].toObject();
}

void DevToolsClient::onMessage(const QString &text)
{
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    if (message.contains("id")) {
        m_replies.insert(message["id"].toInt(), message);
        return;
    }
    const QJsonObject params = message["params"].toObject();
    if (message["method"] == "Runtime.consoleAPICalled") {
        QStringList parts;
        for (const QJsonValue &argument : params["args"].toArray())
            parts << argument["value"].toVariant().toString();
        m_console << params["type"].toString() + ": " + parts.join(' ');
    } else if (message["method"] == "Runtime.exceptionThrown") {
        m_console << "exception: " + exceptionText(params["exceptionDetails"].toObject());
    }
}
