#pragma once

#include <algorithm>
#include <vector>

// The figure below which the share p (0 to 1) of the figures lie: 0.5 gives the median, 0.99 the
// p99; -1 without figures.
template<typename T> double percentile(std::vector<T> values, double p)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return double(values[static_cast<size_t>(p * double(values.size() - 1))]);
}
