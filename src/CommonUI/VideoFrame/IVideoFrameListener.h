#pragma once

#include "Records/VideoRecords.h"

class QVideoWnd;

// What a frame controller tells its view. Every operation is called on the GUI thread.
class IVideoFrameListener
{
public:
    virtual ~IVideoFrameListener() = default;

    // A window was created for the frame.
    virtual void onWndCreated(QVideoWnd *wnd, int index) = 0;
    // A channel was handed to window index (-1: the selected one); result of its open.
    virtual void onChannelOpened(QVideoWnd *wnd, int index, int result) = 0;
    // The frame wants window index selected.
    virtual void onSelect(int index) = 0;
    // The split or the visible windows changed: the windows must be placed again.
    virtual void onRelayout() = 0;
    // A record query of one of the frame's windows was answered.
    virtual void onRecordQueryEnded(const RecordQueryResult_t &result) = 0;
    // A month bitmap query of the frame was answered.
    virtual void onRecordBitmapQueryEnded(const QueryRecordBitmapResult_t &result) = 0;
};
