#pragma once

#include "Records/VideoRecords.h"

#include <QList>
#include <QRect>
#include <QString>

// What the live view's controller asks of its view; the view implements it.
class IVideoMonitorListener
{
public:
    // Places the view at (x, y) in its parent's pixels with this size, and shows it.
    virtual void setRect(int x, int y, int width, int height) = 0;
    // Cuts (show) or gives back (hide) the page's rectangle named name (parent's pixels); shade
    // says whether the page wants the rest dimmed while it shows.
    virtual void setMask(const QRect &rect, const QString &name, bool show, bool shade) = 0;
    virtual void openVideos(const QList<ChannelInfo_t> &channels) = 0;
    virtual void closeVideos(const QList<ChannelInfo_t> &channels) = 0;
    virtual void notifyDeviceStatus(const QString &text, const ChannelInfo_t &channel) = 0;

protected:
    ~IVideoMonitorListener() = default;
};
