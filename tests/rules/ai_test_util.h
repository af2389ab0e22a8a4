#pragma once

// A bare field for AI, brain and upkeep scenarios: the demo module's rules
// and monsters, the demo party's main character, and an area of open grass
// made in code, seen by the party everywhere.

#include "rules_test_util.h"
#include "test_util.h"

#include "common/tag_file.h"
#include "world/actor_spawn.h"
#include "world/order.h"
#include "world/script_record.h"

#include <sstream>

namespace AITest
{

struct Arena
{
    std::unique_ptr<VARD::CEngine> engine;
    VARD::CArea* area = nullptr;

    VARD::CGame& Game() const { return engine->Game(); }
    VARD::CActor& Hero() const { return RulesTest::Member(*engine); }

    // A monster of the demo made from its template and put at (x, y).
    std::shared_ptr<VARD::CActor> Spawn(const std::string& templateName, double x, double y,
                                        const std::string& encounter = std::string()) const
    {
        auto actor =
            VARD::CreateActorFromTemplate(templateName, encounter, engine->Module(), Game());
        actor->SetPosition(x, y);
        area->AddActor(actor);
        return actor;
    }
};

// width × height cells of grass; "#" marks in a row string (one character
// per cell, rows from the top) put trees there instead.
inline Arena NewArena(std::uint32_t seed, std::uint32_t width = 80, std::uint32_t height = 80,
                      const std::vector<std::string>& trees = {})
{
    Arena arena;
    arena.engine = RulesTest::NewDemoGame(seed);
    VARD::CGame& game = arena.engine->Game();
    std::ostringstream rows;
    rows << "<rows> (" << width << ' ' << height << ')';
    for (std::uint32_t row = 0; row < height; ++row)
    {
        rows << " <row>";
        for (std::uint32_t column = 0; column < width; ++column)
        {
            const bool tree =
                row < trees.size() && column < trees[row].size() && trees[row][column] == '#';
            rows << (tree ? " (tree n)" : " (grass n)");
        }
        rows << " </row>";
    }
    rows << " </rows>";
    auto area = std::make_shared<VARD::CArea>(&game);
    area->SetName("arena");
    area->SetModule(&arena.engine->Module());
    auto reader = TestUtil::ReaderOf(rows.str());
    area->ReadRows(reader, arena.engine->Module());
    for (std::uint32_t row = 0; row < height; ++row)
        for (std::uint32_t column = 0; column < width; ++column)
            area->SightGrid().Mark(column, row);
    game.VisitedAreas()["arena"] = area;
    game.SetCurrentArea(area.get());
    game.SetState(VARD::kGameRunning);
    arena.area = area.get();
    const auto hero = game.Party().at(0);
    hero->SetPosition(50.0, 50.0);
    area->AddActor(hero);
    return arena;
}

// The order types of a queue, front first.
inline std::vector<std::int32_t> Types(const VARD::OrderQueue& queue)
{
    std::vector<std::int32_t> types;
    for (const auto& order : queue)
        types.push_back(order->GetType());
    return types;
}

// The target of the front attack, cast or move-and-talk order; 0 for none.
inline std::uint32_t FrontTarget(const VARD::CActor& actor)
{
    const auto order = actor.GetFrontOrder();
    return order ? order->GetFirstId() : 0;
}

// Scripts that count their runs and remember who they ran for, installed
// while the module loads.
class CountingScripts
{
public:
    struct ScriptRun
    {
        std::string source;
        const VARD::CActor* actor;
    };

    CountingScripts()
    {
        m_Previous = VARD::CScript::SetFactory(
            [this](std::string source)
            { return std::make_shared<CountingScript>(std::move(source), m_Runs); });
    }
    ~CountingScripts() { VARD::CScript::SetFactory(m_Previous); }
    CountingScripts(const CountingScripts&) = delete;
    CountingScripts& operator=(const CountingScripts&) = delete;

    const std::vector<ScriptRun>& Runs() const { return m_Runs; }

private:
    class CountingScript : public VARD::CScript
    {
    public:
        CountingScript(std::string source, std::vector<ScriptRun>& runs)
            : m_Source(std::move(source)), m_Runs(runs)
        {
        }
        std::int32_t Run(VARD::CEngine*, VARD::CScriptContext& context) override
        {
            m_Runs.push_back({m_Source, context.actor});
            return 0;
        }

    private:
        std::string m_Source;
        std::vector<ScriptRun>& m_Runs;
    };

    std::vector<ScriptRun> m_Runs;
    VARD::CScript::Factory m_Previous;
};

} // namespace AITest
