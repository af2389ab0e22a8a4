// What one script run costs: every run builds and closes a fresh Lua state.
#include "bench_times.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/script_record.h"
#include "world/talk_state.h"

#include <benchmark/benchmark.h>

namespace
{

void RunOneLineScript(benchmark::State& state)
{
    VARD::CLuaScript script("function vard_script( context )\nreturn true \nend\n");
    BenchTimes::CIterationTimes times;
    for (auto _ : state)
    {
        times.Start();
        VARD::CScriptContext context;
        benchmark::DoNotOptimize(script.Run(nullptr, context));
        times.Stop();
    }
    times.Report(state);
}
BENCHMARK(RunOneLineScript)->Unit(benchmark::kMicrosecond);

// The merchant's greeting: a line said and three choices offered.
void RunTalkStateWithThreeChoices(benchmark::State& state)
{
    VARD::InstallLuaScriptHost();
    VARD::CEngine engine;
    engine.LoadModule(VARD_DEMO_MODULE);
    const auto hero = engine.NewGame();
    hero->SetName("Hero");
    engine.SetMainCharacter(hero);
    engine.EnterArea();
    VARD::CActor* merchant = nullptr;
    for (const auto& actor : engine.Game().GetCurrentArea()->Actors())
        if (actor->GetTemplateName() == "merchant")
            merchant = actor.get();
    const VARD::CTalkState* start = VARD::FindTalkStateByName(merchant->GetTalkFiles(), "start");
    BenchTimes::CIterationTimes times;
    for (auto _ : state)
    {
        times.Start();
        merchant->ClearTalkQueue();
        VARD::CScriptContext context;
        context.actor = hero.get();
        context.target = merchant;
        start->GetScript()->Run(&engine, context);
        while (engine.Game().PopEvent())
        {
        }
        times.Stop();
    }
    times.Report(state);
    state.counters["choices"] = static_cast<double>(merchant->GetTalkQueue().size());
}
BENCHMARK(RunTalkStateWithThreeChoices)->Unit(benchmark::kMicrosecond);

} // namespace
