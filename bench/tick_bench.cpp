// What a tick costs on synthetic areas far larger and busier than the demo's:
// a grid of grass with scattered trees (walls to sight and movement), 50
// objects, a party of six walking a loop and hostiles that charge, shoot,
// cast and wander. Reports the median and 99th percentile of the tick, the
// median of each of its steps, and the party's sight flood alone, in the
// processor time of the thread.
#include "common/random.h"
#include "common/tag_file.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/game.h"
#include "world/module.h"
#include "world/order.h"
#include "world/patch.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// The thread's own processor time: other builds and fuzzers sharing the
// machine would otherwise show up as slow ticks.
struct Clock
{
    using time_point = std::chrono::nanoseconds;
    static time_point now()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    }
};

struct Field
{
    std::unique_ptr<VARD::CEngine> engine;
    VARD::CArea* area = nullptr;
    // Corners of the party's walk, in world units.
    std::array<std::pair<double, double>, 4> loop{};
    std::uint32_t leg = 0;
};

// side × side cells; trees on about one cell in twelve, none on the loop.
Field MakeField(std::uint32_t side, std::uint32_t hostiles)
{
    Field field;
    field.engine = std::make_unique<VARD::CEngine>();
    field.engine->LoadModule(VARD_DEMO_MODULE);
    SeedRandom(20240601u);
    const auto hero = field.engine->NewGame();
    hero->SetName("Hero");
    field.engine->SetMainCharacter(hero);
    VARD::CGame& game = field.engine->Game();
    const VARD::CModule& module = field.engine->Module();

    const std::uint32_t low = side / 4;
    const std::uint32_t high = side - side / 4;
    std::mt19937 layout(side * 7919u + hostiles);
    std::ostringstream rows;
    rows << "<rows> (" << side << ' ' << side << ')';
    for (std::uint32_t row = 0; row < side; ++row)
    {
        rows << " <row>";
        for (std::uint32_t column = 0; column < side; ++column)
        {
            const bool onLoop =
                ((row >= low - 1 && row <= low + 1) || (row >= high - 1 && row <= high + 1)) ||
                ((column >= low - 1 && column <= low + 1) ||
                 (column >= high - 1 && column <= high + 1));
            const bool tree = !onLoop && layout() % 12 == 0;
            rows << (tree ? " (tree n)" : " (grass n)");
        }
        rows << " </row>";
    }
    rows << " </rows>";
    auto area = std::make_shared<VARD::CArea>(&game);
    area->SetName("field");
    area->SetModule(&module);
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(rows.str()), "field");
    area->ReadRows(reader, module);
    game.VisitedAreas()["field"] = area;
    game.SetCurrentArea(area.get());
    game.SetState(VARD::kGameRunning);
    field.area = area.get();

    const auto cellCentre = [](std::uint32_t cell) { return (cell + 0.5) * VARD::kCellSize; };
    field.loop = {{{cellCentre(low), cellCentre(low)},
                   {cellCentre(high), cellCentre(low)},
                   {cellCentre(high), cellCentre(high)},
                   {cellCentre(low), cellCentre(high)}}};

    // The party: the hero and five companions at the loop's first corner.
    area->FindFreeSpotNear(low, low, true, hero);
    for (int i = 0; i < 5; ++i)
    {
        const auto member = VARD::CreateActorFromTemplate("town_guard", "", module, game);
        member->SetName("Companion " + std::to_string(i + 1));
        member->SetAttitude(hero->GetAttitude());
        field.engine->JoinPartyMember(*member);
        area->FindFreeSpotNear(low, low, true, member);
        game.AddPartyMember(member);
    }

    // 50 objects anywhere off the loop.
    for (int i = 0; i < 50; ++i)
    {
        std::ostringstream text;
        text << "<object> campfire (" << cellCentre(layout() % side) << ' '
             << cellCentre(layout() % side) << ") n 0 </object>";
        VARDCommon::CTagFileReader objectReader(std::make_shared<std::istringstream>(text.str()),
                                                "object");
        const VARD::CPatchActionObject record(objectReader);
        area->CreateObjectFromRecord(record, module);
    }

    static const std::array<const char*, 4> kMix = {"orc_warrior", "orc_archer", "cultist", "wolf"};
    for (std::uint32_t i = 0; i < hostiles; ++i)
        area->SpawnMonsterNear(kMix[i % kMix.size()], layout() % side, layout() % side, module,
                               "band" + std::to_string(i / 8));
    while (game.PopEvent())
    {
    }
    return field;
}

// Keeps the party walking: the next corner once the hero is idle.
void WalkTheLoop(Field& field)
{
    VARD::CGame& game = field.engine->Game();
    const auto& hero = game.Party().front();
    if (hero->GetFrontOrder())
        return;
    field.leg = (field.leg + 1) % field.loop.size();
    const auto [x, y] = field.loop[field.leg];
    for (const auto& member : game.Party())
    {
        member->ClearOrders();
        member->QueueOrder(std::make_shared<VARD::CMoveOrder>(x, y), false);
    }
}

// Keeps everyone alive and on the field so every tick has the same work.
void Tend(Field& field)
{
    VARD::CGame& game = field.engine->Game();
    if (game.GetTick() % 30 == 0)
        field.engine->WizardHeal();
    while (game.PopEvent())
    {
    }
    WalkTheLoop(field);
}

// Where everyone stands and how they fare, folded into a number that must
// not change when the tick gets faster.
double StateDigest(const Field& field)
{
    std::uint64_t digest = 1469598103934665603ull;
    const auto fold = [&digest](std::uint64_t value)
    {
        digest ^= value;
        digest *= 1099511628211ull;
    };
    for (const auto& actor : field.area->Actors())
    {
        fold(actor->Id());
        fold(static_cast<std::uint64_t>(std::llround(actor->GetX() * 1000.0)));
        fold(static_cast<std::uint64_t>(std::llround(actor->GetY() * 1000.0)));
        fold(static_cast<std::uint64_t>(actor->GetHitPoints()));
        fold(actor->GetAttitude());
    }
    fold(field.engine->Game().GetTick());
    return static_cast<double>(digest % 1000000007ull);
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[at];
}

// The tick's steps in CEngine::Tick's order, each timed on its own.
const std::vector<std::pair<const char*, std::function<void(VARD::CEngine&)>>>& Steps()
{
    using VARD::CEngine;
    static const std::vector<std::pair<const char*, std::function<void(CEngine&)>>> steps = {
        {"alerts", [](CEngine& e) { e.PropagateAlerts(); }},
        {"actors", [](CEngine& e) { e.UpdateActors(); }},
        {"powers", [](CEngine& e) { e.UpkeepPowers(); }},
        {"instant", [](CEngine& e) { e.ExecuteInstantOrders(); }},
        {"safe", [](CEngine& e) { e.Game().SetCombatFlag(e.IsPartySafe() ? 0 : 1); }},
        {"orders", [](CEngine& e) { e.ExecuteTimedOrders(); }},
        {"effects", [](CEngine& e) { e.UpdateEffects(); }},
        {"traps", [](CEngine& e) { e.UpdateTraps(); }},
        {"ambience", [](CEngine& e) { e.UpdateAmbience(); }},
        {"deaths", [](CEngine& e) { e.ProcessDeaths(); }},
        {"items", [](CEngine& e) { e.ExpireCreatedItems(); }},
        {"stealth", [](CEngine& e) { e.UpdateStealth(); }},
        {"exits", [](CEngine& e) { e.CheckAreaExits(); }},
    };
    return steps;
}

constexpr int kWarmUpTicks = 120;

// The whole tick; counters in microseconds.
void Tick(benchmark::State& state)
{
    Field field = MakeField(static_cast<std::uint32_t>(state.range(0)),
                            static_cast<std::uint32_t>(state.range(1)));
    for (int i = 0; i < kWarmUpTicks; ++i)
    {
        field.engine->Tick();
        Tend(field);
    }
    std::vector<double> costs;
    for (auto _ : state)
    {
        const auto start = Clock::now();
        field.engine->Tick();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        costs.push_back(seconds * 1e6);
        Tend(field);
    }
    state.counters["median_us"] = Percentile(costs, 0.5);
    state.counters["p99_us"] = Percentile(costs, 0.99);
    state.counters["actors"] = static_cast<double>(field.area->Actors().size());
    state.counters["state"] = StateDigest(field);
}

// Each step of the tick, with the tick's own bookkeeping first.
void TickSteps(benchmark::State& state)
{
    Field field = MakeField(static_cast<std::uint32_t>(state.range(0)),
                            static_cast<std::uint32_t>(state.range(1)));
    for (int i = 0; i < kWarmUpTicks; ++i)
    {
        field.engine->Tick();
        Tend(field);
    }
    std::map<std::string, std::vector<double>> costs;
    for (auto _ : state)
    {
        VARD::CGame& game = field.engine->Game();
        game.AdvanceTick();
        game.SetState(VARD::kGameRunning);
        double total = 0.0;
        for (const auto& [name, step] : Steps())
        {
            const auto start = Clock::now();
            step(*field.engine);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            costs[name].push_back(seconds * 1e6);
            total += seconds;
        }
        state.SetIterationTime(total);
        Tend(field);
    }
    for (const auto& [name, values] : costs)
    {
        state.counters[name + "_us"] = Percentile(values, 0.5);
        state.counters[name + "_p99_us"] = Percentile(values, 0.99);
    }
}

// The party's sight flood, rebuilt on every call: the hero steps between
// two cells.
void SightFlood(benchmark::State& state)
{
    Field field = MakeField(static_cast<std::uint32_t>(state.range(0)), 0);
    const auto& hero = field.engine->Game().Party().front();
    const double x = hero->GetX();
    const double y = hero->GetY();
    bool across = false;
    std::vector<double> costs;
    for (auto _ : state)
    {
        across = !across;
        hero->SetPosition(across ? x + VARD::kCellSize : x, y);
        const auto start = Clock::now();
        field.engine->UpdatePartySight();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        costs.push_back(seconds * 1e6);
    }
    state.counters["median_us"] = Percentile(costs, 0.5);
    state.counters["p99_us"] = Percentile(costs, 0.99);
}

void TickSizes(benchmark::internal::Benchmark* bench)
{
    for (const std::int64_t side : {64, 256, 1000})
        for (const std::int64_t hostiles : {25, 100, 400})
            bench->Args({side, hostiles});
    // Crowds up to 32 times the 100 above show how the tick grows.
    for (const std::int64_t side : {256, 1000})
        for (const std::int64_t hostiles : {800, 1600, 3200})
            bench->Args({side, hostiles});
}

} // namespace

BENCHMARK(Tick)->Apply(TickSizes)->UseManualTime()->Iterations(1200)->Unit(benchmark::kMicrosecond);
BENCHMARK(TickSteps)
    ->Args({256, 100})
    ->Args({1000, 400})
    ->Args({1000, 1600})
    ->Args({1000, 3200})
    ->UseManualTime()
    ->Iterations(600)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(SightFlood)->Arg(64)->Arg(256)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);
