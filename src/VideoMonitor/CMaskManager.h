#pragma once

#include <QMap>
#include <QRect>
#include <QRegion>
#include <QString>

// The page's named rectangles that the live view leaves uncovered.
class CMaskManager
{
public:
    // Stores rect shrunk by one pixel on every side under name (show), or forgets name (hide);
    // returns the union of every stored rectangle.
    QRegion update(const QRect &rect, bool show, const QString &name);

private:
    QMap<QString, QRect> m_rects;
};
