#pragma once

#include <SimMedia/FrameStamp.h>

#include <QImage>
#include <QWidget>

#include <string>

// What a video window shows now, read from the stamp orvane-sim burns into every picture
// (device tag 0 when the window shows no such picture).
inline SimMedia::FrameStamp stampOf(QWidget *wnd)
{
    SimMedia::FrameStamp stamp;
    const QImage image = wnd->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (!stamp.read(image.constBits(), image.bytesPerLine(), image.width(), image.height()))
        stamp.deviceTag = 0;
    return stamp;
}

inline bool shows(QWidget *wnd, const std::string &device, int channel)
{
    const SimMedia::FrameStamp stamp = stampOf(wnd);
    return stamp.deviceTag == SimMedia::FrameStamp::tagOf(device) && stamp.channel == channel;
}
