#include "harness/SampleSummary.h"

#include <algorithm>
#include <cmath>

namespace {

// Nearest-rank percentile of sorted values.
double percentile(const std::vector<double>& sorted, double fraction)
{
    const size_t rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

} // namespace

SampleSummary SampleSummary::of(std::vector<double> samples)
{
    SampleSummary summary;
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    summary.count = static_cast<int>(samples.size());
    summary.minimum = samples.front();
    summary.maximum = samples.back();
    const size_t middle = samples.size() / 2;
    summary.median =
        samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
    summary.p99 = percentile(samples, 0.99);
    summary.maximumMagnitude = std::max(std::fabs(summary.minimum), std::fabs(summary.maximum));
    return summary;
}
