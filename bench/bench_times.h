#pragma once

// The median and 99th percentile of a benchmark's iterations, in the
// thread's own processor time: other builds sharing the machine would
// otherwise show up as slow iterations.

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

namespace BenchTimes
{

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
        std::sort(m_Times.begin(), m_Times.end());
        const double scale = unit == "ms" ? 1e-3 : 1.0;
        const auto at = [&](double fraction)
        {
            return scale * m_Times[static_cast<std::size_t>(
                               fraction * static_cast<double>(m_Times.size() - 1))];
        };
        state.counters["median_cpu_" + unit] = at(0.5);
        state.counters["p99_cpu_" + unit] = at(0.99);
    }

private:
    double m_Start = 0.0;
    std::vector<double> m_Times;
};

} // namespace BenchTimes
