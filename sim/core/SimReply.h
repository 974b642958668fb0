#pragma once

#include "SimRequest.h"

#include <QJsonValue>

#include <functional>
#include <memory>

// A body made while it is sent, for answers too large to hold or meant to arrive slowly.
struct SimStream
{
    // Fills piece with the bytes from offset on (at most maxBytes); false breaks the connection
    // off there. Runs on the listener's thread while the answer is sent.
    using Next = std::function<bool(qint64 offset, qint64 maxBytes, QByteArray *piece)>;

    qint64 length = 0; // bytes in all (the answer's Content-Length)
    Next next;
};

// One answer of the platform before any fault is applied to it.
struct SimReply
{
    int status = 200;
    QByteArray contentType = "application/json;charset=utf-8";
    QByteArray body;
    SimHeaders headers;
    std::shared_ptr<const SimStream> stream; // when set, the body instead of body

    // A compact JSON answer.
    static SimReply json(const QJsonObject &object, int status = 200);
    // The gateway's success envelope: {"code":"0","success":true,"errMsg":"","data":data}.
    static SimReply success(const QJsonValue &data);
    // The gateway's refusal envelope, {"code":"<status>","success":false,"errMsg":message}.
    static SimReply refusal(int status, const QString &message);
};
