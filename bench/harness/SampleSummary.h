#pragma once

#include <vector>

/// Order statistics of a set of measured values (latencies, errors), in the unit they were given.
struct SampleSummary
{
    int count = 0;
    double minimum = 0;
    double median = 0;
    double p99 = 0; ///< the value that 99 % of the samples do not exceed (nearest rank)
    double maximum = 0;
    double maximumMagnitude = 0; ///< the largest absolute value

    /// The summary of `samples`; all zero for an empty set.
    static SampleSummary of(std::vector<double> samples);
};
