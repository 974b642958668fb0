#pragma once

#include <kwl/KMessage.h>

#include <QJsonObject>

namespace Web {

// One checked request of the page ({"method": ..., "params": ...}) waiting in the message queue.
class CWebMessage : public KMessage
{
public:
    explicit CWebMessage(const QJsonObject &request);

    QJsonObject request;
};

} // namespace Web
