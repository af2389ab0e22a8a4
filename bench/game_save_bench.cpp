// Saving and loading the demo game with every area visited: what the save
// and load commands cost the player.
#include "bench_times.h"
#include "common/random.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "world/actor.h"
#include "world/game.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace
{

// A new demo game that has walked into every area: town, forest, crypt.
std::unique_ptr<VARD::CEngine> EveryAreaVisited()
{
    VARD::InstallLuaScriptHost();
    auto engine = std::make_unique<VARD::CEngine>();
    engine->LoadModule(VARD_DEMO_MODULE);
    SeedRandom(11u);
    const auto hero = engine->NewGame();
    hero->SetName("Hero");
    engine->SetMainCharacter(hero);
    engine->EnterArea();
    for (const auto& [area, entry] : {std::pair{"forest", "road"}, std::pair{"crypt", "stairs"}})
    {
        VARD::CGame& game = engine->Game();
        game.SetTravel(area, entry);
        game.SetState(VARD::kGameTravelByScript);
        engine->LeaveArea();
        engine->EnterArea();
        for (int tick = 0; tick < 30; ++tick)
            engine->Tick();
    }
    while (engine->Game().PopEvent())
    {
    }
    return engine;
}

std::string SavePath()
{
    return (std::filesystem::temp_directory_path() /
            ("vard_save_bench_" + std::to_string(getpid()) + ".sav"))
        .string();
}

void SaveEveryAreaVisited(benchmark::State& state)
{
    const auto engine = EveryAreaVisited();
    const std::string path = SavePath();
    BenchTimes::CIterationTimes times;
    for (auto _ : state)
    {
        times.Start();
        engine->SaveGame(std::nullopt, path);
        times.Stop();
    }
    times.Report(state, "ms");
    state.counters["areas"] = static_cast<double>(engine->Game().VisitedAreas().size());
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(SaveEveryAreaVisited)->Unit(benchmark::kMillisecond);

void LoadEveryAreaVisited(benchmark::State& state)
{
    const auto engine = EveryAreaVisited();
    const std::string path = SavePath();
    engine->SaveGame(std::nullopt, path);
    BenchTimes::CIterationTimes times;
    for (auto _ : state)
    {
        times.Start();
        engine->LoadGame(path);
        times.Stop();
    }
    times.Report(state, "ms");
    std::filesystem::remove(path);
}
BENCHMARK(LoadEveryAreaVisited)->Unit(benchmark::kMillisecond);

// Both, as a quick save followed by a quick load.
void SaveAndLoadEveryAreaVisited(benchmark::State& state)
{
    const auto engine = EveryAreaVisited();
    const std::string path = SavePath();
    BenchTimes::CIterationTimes times;
    for (auto _ : state)
    {
        times.Start();
        engine->SaveGame(std::nullopt, path);
        engine->LoadGame(path);
        times.Stop();
    }
    times.Report(state, "ms");
    std::filesystem::remove(path);
}
BENCHMARK(SaveAndLoadEveryAreaVisited)->Unit(benchmark::kMillisecond);

} // namespace
