#pragma once

#include "Web/CWebBaseMsg.h"

#include "Records/VideoRecords.h"

#include <QList>

namespace Web {

// "OpenRecord": recordings of channels from a moment on, for a length of time.
class OpenRecordMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    int module = -1;
    qint64 recordTime = 0;
    qint64 recordLengthOfTime = 0;
    QList<ChannelInfo_t> channels;
};

} // namespace Web
