#pragma once

// The median and 99th percentile of a benchmark's iterations, in the
// thread's own processor time: other builds sharing the machine would
// otherwise show up as slow iterations. The frame benchmarks take their
// percentiles of the process's time, the drawing threads included.

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

namespace BenchTimes
{

// The value below which that share of the values lies; 0 for none.
inline double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

// Processor time of every thread of the process.
inline double ProcessMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

inline double ThreadMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) * 1e-3;
}

class CIterationTimes
{
public:
    void Start() { m_Start = ThreadMicroseconds(); }
    void Stop() { m_Times.push_back(ThreadMicroseconds() - m_Start); }
    // Counters median_cpu_<unit> and p99_cpu_<unit>; unit "us" or "ms".
    void Report(benchmark::State& state, const std::string& unit = "us")
    {
        if (m_Times.empty())
            return;
        const double scale = unit == "ms" ? 1e-3 : 1.0;
        state.counters["median_cpu_" + unit] = scale * Percentile(m_Times, 0.5);
        state.counters["p99_cpu_" + unit] = scale * Percentile(m_Times, 0.99);
    }

private:
    double m_Start = 0.0;
    std::vector<double> m_Times;
};

} // namespace BenchTimes
