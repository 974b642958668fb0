#pragma once

#include "Web/CWebBaseMsg.h"

#include "Records/VideoRecords.h"

#include <QList>

namespace Web {

// "OpenVideo", "CloseVideo" and "NotifyDeviceStatus": channels of one module.
class ChannelInfoMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    int module = -1;
    QString status;
    QList<ChannelInfo_t> channels;
};

} // namespace Web
