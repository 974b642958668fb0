#include "VideoMonitor/CMaskManager.h"

QRegion CMaskManager::update(const QRect &rect, bool show, const QString &name)
{
    if (show)
        m_rects.insert(name, rect.adjusted(1, 1, -1, -1));
    else
        m_rects.remove(name);
    QRegion united;
    for (const QRect &r : qAsConst(m_rects))
        united += r;
    return united;
}
