#pragma once

#include "Records/VideoRecords.h"

#include <QList>

// The alarm message the page asked to play ("OpenRecord"): its channel and its moment.
struct MessageRecord_t
{
    int module = -1;
    qint64 recordTime = 0; // the alarm moment, milliseconds since 1970; 0 for the present
    qint64 recordLengthOfTime = 0; // seconds of recording wanted from the alarm moment on
    QList<ChannelInfo_t> channels;
};

// What the alarm message detail's controller asks of its view.
class IMessageDetailListener
{
public:
    // The page's video area, in the web view's pixels; the view goes there and shows.
    virtual void setRect(int x, int y, int width, int height) = 0;
    // The page's dialog around the video area.
    virtual void setDialogRect(int x, int y, int width, int height) = 0;
    // Live video of the channels.
    virtual void openVideos(const QList<ChannelInfo_t> &channels) = 0;
    // Closes the windows showing the channels; the view hides.
    virtual void closeVideos(const QList<ChannelInfo_t> &channels) = 0;
    // Plays the recording around the message's moment.
    virtual void openRecord(const MessageRecord_t &message) = 0;

protected:
    ~IMessageDetailListener() = default;
};
