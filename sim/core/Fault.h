#pragma once

#include "SimReply.h"

#include <optional>

// A wrong answer a test asks for on one route: late, trickled, with another status or body, or
// no answer at all. Transport faults (delay, trickle, close) and body faults combine.
struct Fault
{
    enum class Action {
        None, // the normal answer (with only the delay or trickle)
        Status, // another status code, with the given body or a refusal envelope
        Malformed, // the normal body cut in half, so that it is no longer JSON
        Body, // the given body (and status, content type) instead of the normal one
        Close, // the connection is closed without an answer
    };

    QString path = "*"; // the route's path, "*" for every route
    QString method; // "GET", "POST"...; empty for any method
    int delayMs = 0; // the first byte of the answer leaves this late
    int chunks = 0; // when above 0 the body leaves in this many chunks...
    int chunkIntervalMs = 0; // ...one every this many milliseconds, the first at once
    Action action = Action::None;
    int status = 0; // Status, and optionally Body
    std::optional<QByteArray> body;
    QByteArray contentType;
    SimHeaders headers; // added to the answer, replacing headers of the same name
    int times = 1; // answers it applies to; 0 means every answer until it is cleared

    // Reads a fault of the control API; an empty result and a message when the object is wrong.
    static std::optional<Fault> fromJson(const QJsonObject &object, QString *error);
    QJsonObject toJson() const;
    // The action's name in the control API ("status", "close"...).
    static QString actionName(Action action);
    // Whether the fault applies to a request of this method and path.
    bool matches(const QString &requestMethod, const QString &requestPath) const;
    // The answer with this fault's status, body and headers applied to it.
    SimReply apply(SimReply reply) const;
};
