#include "Fault.h"

#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QList<QPair<Fault::Action, QString>> &actionNames()
{
    static const QList<QPair<Fault::Action, QString>> names = {
        {Fault::Action::None, "none"},           {Fault::Action::Status, "status"},
        {Fault::Action::Malformed, "malformed"}, {Fault::Action::Body, "body"},
        {Fault::Action::Close, "close"},
    };
    return names;
}

// Reads an optional integer member within [low, high]; false and a message when it is wrong.
bool readInt(const QJsonObject &object, const QString &key, int low, int high, int *value,
             QString *error)
{
    if (!object.contains(key))
        return true;
    const QJsonValue v = object.value(key);
    const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
    if (!v.isDouble() || std::floor(d) != d || d < low || d > high) {
        *error = QString("\"%1\" must be a whole number from %2 to %3").arg(key).arg(low).arg(high);
        return false;
    }
    *value = static_cast<int>(d);
    return true;
}

bool readString(const QJsonObject &object, const QString &key, QString *value, QString *error)
{
    if (!object.contains(key))
        return true;
    if (!object.value(key).isString()) {
        *error = QString("\"%1\" must be a string").arg(key);
        return false;
    }
    *value = object.value(key).toString();
    return true;
}

bool readHeaders(const QJsonObject &object, SimHeaders *headers, QString *error)
{
    const QJsonObject given = object.value("headers").toObject();
    if (object.contains("headers") && !object.value("headers").isObject()) {
        *error = "\"headers\" must be an object of strings";
        return false;
    }
    for (auto it = given.begin(); it != given.end(); ++it) {
        if (!it.value().isString()) {
            *error = QString("header \"%1\" must be a string").arg(it.key());
            return false;
        }
        headers->append({it.key().toUtf8(), it.value().toString().toUtf8()});
    }
    return true;
}

} // namespace

std::optional<Fault> Fault::fromJson(const QJsonObject &object, QString *error)
{
    Fault fault;
    QString actionText = "none";
    QString body;
    QString contentType;
    constexpr int maxMs = 24 * 3600 * 1000;
    const bool ok = readString(object, "path", &fault.path, error)
        && readString(object, "method", &fault.method, error)
        && readString(object, "action", &actionText, error)
        && readString(object, "body", &body, error)
        && readString(object, "contentType", &contentType, error)
        && readInt(object, "delayMs", 0, maxMs, &fault.delayMs, error)
        && readInt(object, "chunks", 0, 1000000, &fault.chunks, error)
        && readInt(object, "chunkIntervalMs", 0, maxMs, &fault.chunkIntervalMs, error)
        && readInt(object, "status", 100, 599, &fault.status, error)
        && readInt(object, "times", 1, std::numeric_limits<int>::max(), &fault.times, error)
        && readHeaders(object, &fault.headers, error);
    if (!ok)
        return std::nullopt;
    if (fault.path.isEmpty()) {
        *error = "\"path\" must name a route or be \"*\"";
        return std::nullopt;
    }
    if (object.contains("sticky") && !object.value("sticky").isBool()) {
        *error = "\"sticky\" must be true or false";
        return std::nullopt;
    }
    if (object.value("sticky").toBool())
        fault.times = 0;
    fault.method = fault.method.toUpper();
    if (object.contains("body"))
        fault.body = body.toUtf8();
    fault.contentType = contentType.toUtf8();

    bool known = false;
    for (const auto &name : actionNames()) {
        if (name.second == actionText) {
            fault.action = name.first;
            known = true;
        }
    }
    if (!known) {
        QStringList all;
        for (const auto &name : actionNames())
            all << name.second;
        *error = QString("unknown action \"%1\"; known: %2").arg(actionText, all.join(", "));
        return std::nullopt;
    }
    if (fault.action == Action::Status && fault.status == 0) {
        *error = "action \"status\" needs \"status\"";
        return std::nullopt;
    }
    if (fault.action == Action::Body && !fault.body) {
        *error = "action \"body\" needs \"body\"";
        return std::nullopt;
    }
    return fault;
}

QJsonObject Fault::toJson() const
{
    QJsonObject object {{"path", path},
                        {"method", method},
                        {"delayMs", delayMs},
                        {"chunks", chunks},
                        {"chunkIntervalMs", chunkIntervalMs},
                        {"action", actionName(action)},
                        {"times", times},
                        {"sticky", times == 0}};
    if (status != 0)
        object.insert("status", status);
    if (body)
        object.insert("body", QString::fromUtf8(*body));
    if (!contentType.isEmpty())
        object.insert("contentType", QString::fromUtf8(contentType));
    QJsonObject headerObject;
    for (const auto &header : headers)
        headerObject.insert(QString::fromUtf8(header.first), QString::fromUtf8(header.second));
    if (!headerObject.isEmpty())
        object.insert("headers", headerObject);
    return object;
}

QString Fault::actionName(Action action)
{
    for (const auto &name : actionNames()) {
        if (name.first == action)
            return name.second;
    }
    return {};
}

bool Fault::matches(const QString &requestMethod, const QString &requestPath) const
{
    const bool methodMatches = method.isEmpty() || method == requestMethod
        || (method == "GET" && requestMethod == "HEAD");
    return methodMatches && (path == "*" || path == requestPath);
}

SimReply Fault::apply(SimReply reply) const
{
    switch (action) {
    case Action::None:
    case Action::Close:
        break;
    case Action::Status:
        if (body)
            reply.body = *body;
        else
            reply = SimReply::refusal(status, QString("answered %1 on request").arg(status));
        reply.status = status;
        break;
    case Action::Malformed:
        reply.body = reply.body.size() >= 2 ? reply.body.left(reply.body.size() / 2) : "{";
        break;
    case Action::Body:
        reply.body = *body;
        reply.status = status != 0 ? status : 200;
        break;
    }
    // An action that changed the body answers with that body, not with a streamed one.
    if (action != Action::None && action != Action::Close)
        reply.stream.reset();
    if (!contentType.isEmpty())
        reply.contentType = contentType;
    for (const auto &header : headers) {
        if (header.first.compare("Content-Type", Qt::CaseInsensitive) == 0) {
            reply.contentType = header.second;
            continue;
        }
        const auto sameName = [&](const auto &h) {
            return h.first.compare(header.first, Qt::CaseInsensitive) == 0;
        };
        reply.headers.erase(std::remove_if(reply.headers.begin(), reply.headers.end(), sameName),
                            reply.headers.end());
        reply.headers.append(header);
    }
    return reply;
}
