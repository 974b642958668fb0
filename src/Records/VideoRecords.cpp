#include "Records/VideoRecords.h"

namespace {

// Registers T under name; used once per name through a function-local static, so building a
// record costs no lookup in Qt's type registry after the first time.
template<typename T> bool registerRecord(const char *name)
{
    qRegisterMetaType<T>(name);
    return true;
}

// The enumeration has no constructor to register it; any record in use links this file.
const bool g_wndActionRegistered = registerRecord<Wnd_ActionType_e>("Wnd_ActionType_e");

} // namespace

ChannelInfo_t::ChannelInfo_t()
{
    static const bool registered = registerRecord<ChannelInfo_t>("ChannelInfo_t");
    Q_UNUSED(registered)
}

VideoEnc_t::VideoEnc_t()
{
    static const bool registered = registerRecord<VideoEnc_t>("VideoEnc_t");
    Q_UNUSED(registered)
}

VideoWndInfo_t::VideoWndInfo_t()
{
    static const bool registered = registerRecord<VideoWndInfo_t>("VideoWndInfo")
        && registerRecord<VideoWndInfo_t>("VideoWndInfo_t");
    Q_UNUSED(registered)
}

VideoWndInfo_t::VideoWndInfo_t(int recordSource)
    : VideoWndInfo_t()
{
    this->recordSource = recordSource;
}

VideoStatus_t::VideoStatus_t()
{
    static const bool registered = registerRecord<VideoStatus_t>("VideoStatus_t");
    Q_UNUSED(registered)
}

int VideoStatus_t::statusFromEvent(int libraryEvent)
{
    switch (libraryEvent) {
    case 0:
    case 1:
    case 2:
    case 3:
        return libraryEvent;
    case 15:
        return 4;
    case 13:
        return 5;
    default:
        return -1;
    }
}

int VideoStatus_t::resultFromOutcome(int libraryOutcome)
{
    switch (libraryOutcome) {
    case 1:
    case 3:
    case 4:
        return libraryOutcome;
    default:
        return 0;
    }
}

VideoTalkStatus_t::VideoTalkStatus_t()
{
    static const bool registered = registerRecord<VideoTalkStatus_t>("VideoTalkStatus_t");
    Q_UNUSED(registered)
}

RecordSegment_t::RecordSegment_t()
{
    static const bool registered = registerRecord<RecordSegment_t>("RecordSegment_t");
    Q_UNUSED(registered)
}

RecordQueryResult_t::RecordQueryResult_t()
{
    static const bool registered = registerRecord<RecordQueryResult_t>("RecordQueryResult_t");
    Q_UNUSED(registered)
}

QueryRecordBitmapResult_t::QueryRecordBitmapResult_t()
{
    static const bool registered
        = registerRecord<QueryRecordBitmapResult_t>("QueryRecordBitmapResult_t");
    Q_UNUSED(registered)
}

channelSnapShotInfo_t::channelSnapShotInfo_t()
{
    static const bool registered = registerRecord<channelSnapShotInfo_t>("channelSnapShotInfo_t");
    Q_UNUSED(registered)
}

ChannelPTZParams_t::ChannelPTZParams_t()
{
    static const bool registered = registerRecord<ChannelPTZParams_t>("ChannelPTZParams_t");
    Q_UNUSED(registered)
}
