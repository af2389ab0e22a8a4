// How fast module-sized tag files read.
#include "bench_times.h"
#include "common/tag_file.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace
{

std::string MakeRecords(int count)
{
    std::ostringstream text;
    text << "<records>\n";
    for (int i = 0; i < count; ++i)
        text << " <record>\n  name" << i << "\n  \"A quoted display name\"\n  (" << i
             << "\n  2.5)\n  true\n </record>\n";
    text << "</records>\n";
    return text.str();
}

void ReadRecords(benchmark::State& state)
{
    const std::string text = MakeRecords(static_cast<int>(state.range(0)));
    BenchTimes::CIterationTimes times;
    for (auto _ : state)
    {
        times.Start();
        VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(text), "bench");
        reader.ReadStartTag("records");
        while (reader.IsStartTag("record"))
        {
            reader.ReadStartTag("record");
            benchmark::DoNotOptimize(reader.ReadWord());
            benchmark::DoNotOptimize(reader.ReadQuoted());
            reader.ReadTupleStart(2, true);
            benchmark::DoNotOptimize(reader.ReadUnsigned());
            benchmark::DoNotOptimize(reader.ReadDouble());
            benchmark::DoNotOptimize(reader.ReadBool());
            reader.ReadEndTag();
        }
        reader.ReadEndTag();
        times.Stop();
    }
    times.Report(state);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadRecords)->Arg(1000)->Arg(10000);

} // namespace
