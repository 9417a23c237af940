// Order statistics of a set of timings (no OS headers).
#pragma once
#include <algorithm>
#include <vector>

struct Summary {
    size_t count = 0;
    double min = 0, p10 = 0, median = 0, p90 = 0, max = 0;
};

// Nearest-rank percentiles of `samples` (taken by value: it is sorted).
inline Summary Summarize(std::vector<double> samples) {
    Summary s;
    s.count = samples.size();
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) { return samples[static_cast<size_t>(q * double(samples.size() - 1) + 0.5)]; };
    s.min = samples.front();
    s.p10 = at(0.10);
    s.median = samples.size() % 2 ? samples[samples.size() / 2]
                                  : (samples[samples.size() / 2 - 1] + samples[samples.size() / 2]) / 2;
    s.p90 = at(0.90);
    s.max = samples.back();
    return s;
}
