// How long start-up spends loading the module, and an area with its actors.
#include "common/data_file.h"
#include "world/area.h"
#include "world/game.h"
#include "world/module.h"

#include <benchmark/benchmark.h>

namespace
{

void LoadDemoModule(benchmark::State& state)
{
    auto factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(VARD_DEMO_MODULE);
    for (auto _ : state)
    {
        VARD::CModule module;
        module.Load(factory);
        benchmark::DoNotOptimize(module.GetSpells().size());
    }
}
BENCHMARK(LoadDemoModule)->Unit(benchmark::kMillisecond);

void ReadDemoTown(benchmark::State& state)
{
    auto factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(VARD_DEMO_MODULE);
    VARD::CModule module;
    module.Load(factory);
    for (auto _ : state)
    {
        VARD::CGame game;
        VARD::CArea area(&game);
        area.ReadFile("", "town", module, VARD::kAreaReadFresh, false);
        benchmark::DoNotOptimize(area.GetActors().size());
    }
}
BENCHMARK(ReadDemoTown)->Unit(benchmark::kMillisecond);

} // namespace
