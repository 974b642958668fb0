#include <KWGui/TimeAxisMapping.h>

#include <algorithm>
#include <cmath>

namespace KWGUI {

namespace {
constexpr qint64 kMinute = 60 * 1000;
constexpr qint64 kLevelLengths[TimeAxisMapping::kLevelCount] = {0,
                                                                12 * 60 * kMinute,
                                                                6 * 60 * kMinute,
                                                                2 * 60 * kMinute,
                                                                60 * kMinute,
                                                                30 * kMinute,
                                                                10 * kMinute,
                                                                5 * kMinute};
} // namespace

void TimeAxisMapping::setSpan(qint64 start, qint64 end)
{
    if (end < start)
        std::swap(start, end);
    m_spanStart = start;
    m_spanEnd = std::max(end, start + kMinViewMs);
    m_viewStart = m_spanStart;
    m_viewLength = m_spanEnd - m_spanStart;
}

void TimeAxisMapping::setWidth(int width)
{
    m_width = std::max(width, 1);
}

qint64 TimeAxisMapping::timeAt(double x) const
{
    return m_viewStart + qint64(std::llround(x * msPerPixel()));
}

double TimeAxisMapping::xAt(qint64 t) const
{
    return double(t - m_viewStart) / msPerPixel();
}

qint64 TimeAxisMapping::clampedLength(qint64 length) const
{
    const qint64 spanLength = m_spanEnd - m_spanStart;
    return std::clamp(length, std::min(kMinViewMs, spanLength), spanLength);
}

void TimeAxisMapping::setView(qint64 start, qint64 length)
{
    m_viewLength = clampedLength(length);
    m_viewStart = std::clamp(start, m_spanStart, m_spanEnd - m_viewLength);
}

void TimeAxisMapping::zoomAround(double x, double factor)
{
    if (!(factor > 0))
        return;
    const qint64 anchor = timeAt(x);
    const qint64 length = clampedLength(qint64(std::llround(m_viewLength * factor)));
    setView(anchor - qint64(std::llround(x / m_width * length)), length);
}

qint64 TimeAxisMapping::levelLength(int level) const
{
    const qint64 spanLength = m_spanEnd - m_spanStart;
    if (level <= 0 || level >= kLevelCount)
        return spanLength;
    return std::min(kLevelLengths[level], spanLength);
}

void TimeAxisMapping::setLevel(int level, qint64 centre)
{
    const qint64 length = levelLength(level);
    setView(centre - length / 2, length);
}

qint64 TimeAxisMapping::panBy(double dx)
{
    const qint64 wanted = m_viewStart + qint64(std::llround(dx * msPerPixel()));
    setView(wanted, m_viewLength);
    return wanted - m_viewStart;
}

} // namespace KWGUI
