#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Writes a Windows icon file holding several sizes of one picture, each as a 32-bit image with
// alpha (the form every icon reader understands).
class IcoWriter
{
public:
    // The images, each at most 256 × 256, in the order they are to be listed.
    static QByteArray write(const QList<QImage> &images);
};
