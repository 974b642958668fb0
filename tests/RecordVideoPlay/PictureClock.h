#pragma once

#undef QT_NO_KEYWORDS
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"

#include <SimMedia/FrameStamp.h>

#include <QImage>

// The clock a simulated camera burnt into the picture window index of frame shows, seconds
// since 1970; 0 while none can be read.
inline qint64 pictureClock(QVideoFrame *frame, int index)
{
    const QImage image
        = frame->frame()->wnd(index)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    SimMedia::FrameStamp stamp;
    if (!stamp.read(image.constBits(), image.bytesPerLine(), image.width(), image.height()))
        return 0;
    return stamp.seconds;
}

// The clocks of windows 0 … count-1 from one picture of the whole frame, so that all are read
// at the same moment; 0 where none can be read.
inline QList<qint64> pictureClocks(QVideoFrame *frame, int count)
{
    const QImage shot = frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QList<qint64> clocks;
    for (int i = 0; i < count; ++i) {
        const QImage part = shot.copy(frame->frame()->wnd(i)->geometry());
        SimMedia::FrameStamp stamp;
        clocks << (stamp.read(part.constBits(), part.bytesPerLine(), part.width(), part.height())
                       ? stamp.seconds
                       : 0);
    }
    return clocks;
}
