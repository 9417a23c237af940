// Wall-clock time on the performance counter, for the bench and the soak.
#pragma once
#include <windows.h>

#include <vector>

#include "Stats.h"

// Namespace scope, not a function-local static: the runtime's guard for the
// latter creates handles on first use, which the soak would count.
inline const double kTicksPerMicro = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(f.QuadPart) / 1e6;
}();

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Micros() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return double(now.QuadPart - start_.QuadPart) / kTicksPerMicro;
    }
    double Seconds() const { return Micros() / 1e6; }

private:
    LARGE_INTEGER start_;
};

// n rounds of `calls` calls, call(0) to call(calls - 1) in turn, each timed
// on its own, so that calls that alternate see the same load. Returns the
// summary of each call's times, then that of the rounds' totals.
template <typename Fn>
std::vector<Summary> SampleRounds(long n, size_t calls, Fn call) {
    std::vector<std::vector<double>> times(calls + 1);
    for (auto& t : times)
        t.reserve(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) {
        double total = 0;
        for (size_t k = 0; k < calls; ++k) {
            Stopwatch w;
            call(k);
            times[k].push_back(w.Micros());
            total += times[k].back();
        }
        times[calls].push_back(total);
    }
    std::vector<Summary> summaries;
    for (auto& t : times)
        summaries.push_back(Summarize(std::move(t)));
    return summaries;
}

// n calls of fn, each timed on its own.
template <typename Fn>
Summary Sample(long n, Fn fn) {
    return SampleRounds(n, 1, [&](size_t) { fn(); })[0];
}
