#pragma once

#include "SimRequest.h"

#include <QJsonValue>

// One answer of the platform before any fault is applied to it.
struct SimReply
{
    int status = 200;
    QByteArray contentType = "application/json;charset=utf-8";
    QByteArray body;
    SimHeaders headers;

    // A compact JSON answer.
    static SimReply json(const QJsonObject &object, int status = 200);
    // The gateway's success envelope: {"code":"0","success":true,"errMsg":"","data":data}.
    static SimReply success(const QJsonValue &data);
    // The gateway's refusal envelope, {"code":"<status>","success":false,"errMsg":message}.
    static SimReply refusal(int status, const QString &message);
};
