#pragma once

// Small areas drawn as text on the demo module's tiles, actors placed in them
// by hand, and the steps of the tick that move, update and show actors.

#include "rules_test_util.h"
#include "test_util.h"

#include "world/module.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <memory>
#include <string>
#include <vector>

namespace MovementTest
{

// One character per cell: '.' grass, '#' wall, 'o' chasm (blocks walking,
// not sight), 'd' a closed wooden door.
inline std::string RowsOf(const std::vector<std::string>& lines)
{
    std::string text =
        "<rows> (" + std::to_string(lines[0].size()) + " " + std::to_string(lines.size()) + ")";
    for (const auto& line : lines)
    {
        text += " <row>";
        for (char c : line)
        {
            if (c == '#')
                text += " (wall n)";
            else if (c == 'o')
                text += " (chasm n)";
            else if (c == 'd')
                text += " <cell> (grass n) (door_wood n) </cell>";
            else
                text += " (grass n)";
        }
        text += " </row>";
    }
    return text + " </rows>";
}

// A demo game whose current area is drawn from the lines; the main character
// stays out of it until a test places it.
struct CFixture
{
    explicit CFixture(const std::vector<std::string>& lines, std::uint32_t seed = 1)
        : engine(RulesTest::NewDemoGame(seed))
    {
        VARD::CGame& game = engine->Game();
        area = std::make_shared<VARD::CArea>(&game);
        area->SetName("fixture");
        area->SetModule(&engine->Module());
        auto reader = TestUtil::ReaderOf(RowsOf(lines));
        area->ReadRows(reader, engine->Module());
        game.VisitedAreas()["fixture"] = area;
        game.SetCurrentArea(area.get());
    }

    VARD::CGame& Game() const { return engine->Game(); }

    std::shared_ptr<VARD::CActor> AddActor(double x, double y, double radius = 1.0,
                                           std::uint32_t attitude = VARD::kAttitudeHostile)
    {
        auto actor = std::make_shared<VARD::CActor>(Game().NewThingId(VARD::kThingKindActor));
        actor->SetName("Actor" + std::to_string(area->Actors().size()));
        actor->SetPosition(x, y);
        actor->SetRadius(radius);
        actor->SetAttitude(attitude);
        actor->SetActivityState(VARD::kActivityIdle);
        area->AddActor(actor);
        return actor;
    }

    // The main character, put into the area at a point.
    VARD::CActor& PlaceHero(double x, double y)
    {
        const auto& hero = Game().Party().at(0);
        hero->SetPosition(x, y);
        area->AddActor(hero);
        return *hero;
    }

    std::shared_ptr<VARD::CObject> AddObject(const std::string& definition, double x, double y)
    {
        auto object = std::make_shared<VARD::CObject>(
            area.get(), Game().NewThingId(VARD::kThingKindObject), std::string(),
            *engine->Module().FindObjectTemplate(definition));
        object->SetPosition(x, y);
        area->AddObject(object);
        return object;
    }

    // The steps of a tick that belong to actors themselves, without the
    // alerts, AI, effects and upkeep of the rest of the world.
    void Step()
    {
        Game().AdvanceTick();
        engine->UpdateActors();
        engine->UpkeepPowers();
        engine->ExecuteTimedOrders();
    }

    std::unique_ptr<VARD::CEngine> engine;
    std::shared_ptr<VARD::CArea> area;
};

inline bool TouchesBlockingCell(const VARD::CArea& area, const VARD::CActor& actor)
{
    return !area.IsClearOfTiles(&actor, nullptr, actor.GetX(), actor.GetY());
}

} // namespace MovementTest
