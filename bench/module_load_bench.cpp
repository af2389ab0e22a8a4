// How long start-up spends loading the module, and an area with its actors.
#include "common/data_file.h"
#include "world/area.h"
#include "world/game.h"
#include "world/module.h"

#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

// The thread's own processor time in milliseconds: other builds sharing the
// machine would otherwise show up as slow loads.
double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Median and 99th percentile of the loads, in processor time.
class CLoadTimes
{
public:
    void Start() { m_Start = ThreadMilliseconds(); }
    void Stop() { m_Times.push_back(ThreadMilliseconds() - m_Start); }
    void Report(benchmark::State& state)
    {
        if (m_Times.empty())
            return;
        std::sort(m_Times.begin(), m_Times.end());
        const auto at = [this](double fraction) {
            return m_Times[static_cast<std::size_t>(fraction *
                                                    static_cast<double>(m_Times.size() - 1))];
        };
        state.counters["median_cpu_ms"] = at(0.5);
        state.counters["p99_cpu_ms"] = at(0.99);
    }

private:
    double m_Start = 0.0;
    std::vector<double> m_Times;
};

void LoadDemoModule(benchmark::State& state)
{
    auto factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(VARD_DEMO_MODULE);
    CLoadTimes times;
    for (auto _ : state)
    {
        times.Start();
        VARD::CModule module;
        module.Load(factory);
        benchmark::DoNotOptimize(module.GetSpells().size());
        times.Stop();
    }
    times.Report(state);
}
BENCHMARK(LoadDemoModule)->Unit(benchmark::kMillisecond);

void ReadDemoTown(benchmark::State& state)
{
    auto factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(VARD_DEMO_MODULE);
    VARD::CModule module;
    module.Load(factory);
    CLoadTimes times;
    for (auto _ : state)
    {
        times.Start();
        VARD::CGame game;
        VARD::CArea area(&game);
        area.ReadFile("", "town", module, VARD::kAreaReadFresh, false);
        benchmark::DoNotOptimize(area.GetActors().size());
        times.Stop();
    }
    times.Report(state);
}
BENCHMARK(ReadDemoTown)->Unit(benchmark::kMillisecond);

// The demo module with its spells, items and monsters copied `copies` times
// under new names (key_cN), the rest as it is: 100 copies make a module of
// about 100 times the demo's records and bytes.
std::filesystem::path ScaledModule(int copies)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vard_scaled_" + std::to_string(getpid()) +
                                                         "_" + std::to_string(copies));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy(VARD_DEMO_MODULE, folder, fs::copy_options::recursive);
    for (const auto& [file, tag] :
         {std::pair{"magic.vard", "spell"}, std::pair{"items.vard", "item"},
          std::pair{"monsters.vard", "monster"}})
    {
        std::ifstream in(folder / file);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        const std::string open =
            std::string("\n") + (std::string(file) == "magic.vard" ? "  " : "") + "<" + tag + ">";
        const std::string close = std::string("</") + tag + ">";
        const std::size_t first = text.find(open);
        const std::size_t last = text.rfind(close) + close.size();
        const std::string records = text.substr(first, last - first);
        // The record's key is the first word after its start tag.
        const std::string startTag = std::string("<") + tag + ">";
        const auto renamed = [&](int copy)
        {
            std::string out = records;
            for (std::size_t at = out.find(startTag); at != std::string::npos;
                 at = out.find(startTag, at + 1))
            {
                const std::size_t word = out.find_first_not_of(" \t\r\n", at + startTag.size());
                const std::size_t end = out.find_first_of(" \t\r\n", word);
                out.insert(end, "_c" + std::to_string(copy));
            }
            return out;
        };
        std::string scaled = text.substr(0, last);
        for (int copy = 1; copy < copies; ++copy)
            scaled += renamed(copy);
        scaled += text.substr(last);
        std::ofstream(folder / file, std::ios::trunc) << scaled;
    }
    return folder;
}

std::uintmax_t FolderBytes(const std::filesystem::path& folder)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return bytes;
}

// Load time against module size, from a folder tree and from an archive.
void LoadScaledModule(benchmark::State& state)
{
    const int copies = static_cast<int>(state.range(0));
    const bool packed = state.range(1) != 0;
    const std::filesystem::path folder = ScaledModule(copies);
    const std::filesystem::path archive = folder.string() + ".vard";
    VARDCommon::WritePackedArchive(archive, VARDCommon::CollectModuleFolder(folder));
    std::shared_ptr<VARDCommon::CDataFileFactory> factory;
    if (packed)
        factory = std::make_shared<VARDCommon::CDataFileFactoryPacked>(archive);
    else
        factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(folder);
    std::size_t records = 0;
    CLoadTimes times;
    for (auto _ : state)
    {
        times.Start();
        {
            VARD::CModule module;
            module.Load(factory);
            records = module.GetSpells().size() + module.GetItemTemplates().size();
        }
        times.Stop();
    }
    times.Report(state);
    state.counters["records"] = static_cast<double>(records);
    state.counters["kB"] = static_cast<double>(FolderBytes(folder)) / 1024.0;
    std::filesystem::remove_all(folder);
    std::filesystem::remove(archive);
}
BENCHMARK(LoadScaledModule)
    ->ArgsProduct({{1, 10, 100}, {0, 1}})
    ->ArgNames({"copies", "packed"})
    ->Unit(benchmark::kMillisecond);

} // namespace
