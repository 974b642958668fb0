#include "CommonUI/VideoFrame/AutoDefinition.h"

#include <algorithm>

AutoDefinition::AutoDefinition(int upWidth, int downWidth)
    : m_upWidth(upWidth)
    , m_downWidth(std::min(downWidth, upWidth))
{ }

int AutoDefinition::follow(int current, int width) const
{
    if (current == kHigh)
        return width < m_downWidth ? kStandard : kHigh;
    return width >= m_upWidth ? kHigh : kStandard;
}
