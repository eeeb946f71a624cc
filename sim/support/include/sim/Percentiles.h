#pragma once
// Median and 99th percentile of a set of samples (nearest rank).
#include <algorithm>
#include <cmath>
#include <vector>

namespace sim {

struct Spread {
    double median = 0;
    double p99 = 0;
    std::size_t count = 0;
};

inline double NearestRank(const std::vector<double>& sorted, double fraction)
{
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

inline Spread SpreadOf(std::vector<double> samples)
{
    Spread spread;
    spread.count = samples.size();
    if (samples.empty()) return spread;
    std::sort(samples.begin(), samples.end());
    spread.median = NearestRank(samples, 0.5);
    spread.p99 = NearestRank(samples, 0.99);
    return spread;
}

} // namespace sim
