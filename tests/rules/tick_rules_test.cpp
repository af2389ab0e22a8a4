// Rules that once only the golden transcripts caught: the blow that takes
// exactly the hit points left, and the fixed order of a tick's steps.

#include "attacks_test_util.h"
#include "rules_test_util.h"

#include "world/actor_spawn.h"
#include "world/attack_info.h"
#include "world/modifier.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using namespace VARD;
using CombatTest::CArena;
using RulesTest::DrainMessages;
using RulesTest::Holds;
using RulesTest::Member;

// A blow kills when its damage reaches the hit points left; one short
// leaves a single hit point and is remembered as the last damage.
TEST(AttackDamage, ABlowOfExactlyTheHitPointsLeftKills)
{
    CArena arena(3);
    CActor& wolf = arena.Spawn("wolf", 20.0, 20.0);
    const std::int32_t left = wolf.GetHitPoints();
    ASSERT_GT(left, 2);
    const std::string roll = "[50 +0 vs 40]";
    const std::string hit = "1000 23 Hero (Club) hits [50 +0 vs 40] Wolf for ";
    const struct
    {
        std::int32_t damage;
        bool dies;
    } blows[] = {{left - 1, false}, {left, true}, {left + 4, true}};
    for (const auto& blow : blows)
    {
        SCOPED_TRACE(blow.damage);
        wolf.SetActivityState(kActivityIdle);
        wolf.SetDamageTaken(0);
        wolf.SetLastDamage(0);
        arena.Engine().ApplyAttackDamage(&roll, wolf, CAttackInfo{"Hero (Club)", 0, 0, blow.damage},
                                         kMessageMeleeHit);
        std::vector<std::string> expected = {hit + std::to_string(blow.damage) + " damage."};
        if (blow.dies)
            expected.push_back("1000 26 Hero (Club) has killed Wolf.");
        EXPECT_EQ(arena.TakeLines(), expected);
        EXPECT_EQ(wolf.IsDead(), blow.dies);
        EXPECT_EQ(wolf.GetDamageTaken(), blow.dies ? 0 : blow.damage);
        EXPECT_EQ(wolf.GetLastDamage(), blow.dies ? 0 : blow.damage);
        EXPECT_EQ(wolf.GetHitPoints(), blow.dies ? 0 : 1);
    }
}

// The tick's steps in their order: the clock first (what ends at the new
// tick ends in it), the instant orders before the combat flag is worked
// out, the walking before the exit test, and the state word reset first.
TEST(TickStepOrder, ClockInstantOrdersCombatFlagWalkingAndExits)
{
    auto engine = RulesTest::NewDemoGame(4);
    engine->EnterArea();
    CGame& game = engine->Game();
    CActor& hero = Member(*engine);
    DrainMessages(game);

    // Step 1 before step 4: a blessing ending at the next tick ends in it.
    hero.AddModifier(
        std::make_shared<CModifier>("Blessing", game.GetTick() + 1, 1, 4, 0, 1, false));
    // Step 6 before step 7: the sneak order meets the last tick's combat
    // flag, which this tick then clears.
    game.SetCombatFlag(1);
    hero.Skills().insert(kSkillSneak);
    hero.QueueInstantOrder(std::make_shared<CPowerOrder>("s_power-sneak"));
    engine->Tick();
    auto lines = DrainMessages(game);
    EXPECT_TRUE(Holds(lines, "18 Blessing (on Hero) expired.")) << lines.size();
    EXPECT_TRUE(hero.GetModifiers().empty());
    EXPECT_TRUE(Holds(lines, "18 Hero can't start sneaking in combat."));
    EXPECT_FALSE(hero.IsSneaking());
    EXPECT_EQ(game.GetCombatFlag(), 0);

    // Step 8 before step 15: a step that brings the walker within 20.0 of
    // the east road sends the party on in the same tick.
    const CAreaExit& east = *game.GetCurrentArea()->GetExits().front();
    ASSERT_EQ(east.GetName(), "east_road");
    hero.SetPosition(east.GetX() - 20.05, east.GetY());
    hero.QueueOrder(std::make_shared<CMoveOrder>(east.GetX(), east.GetY()), true);
    engine->Tick();
    EXPECT_LT(hero.DistanceTo(east.GetX(), east.GetY()), 20.0);
    EXPECT_EQ(game.GetState(), kGameTravelAtExit);
    EXPECT_EQ(game.GetTravelArea(), "worldmap");

    // Step 2: the request lasts one tick; a party still there asks again,
    // one gone from the exit does not.
    hero.ClearOrders();
    engine->Tick();
    EXPECT_EQ(game.GetState(), kGameTravelAtExit);
    hero.SetPosition(east.GetX() - 30.0, east.GetY());
    engine->Tick();
    EXPECT_EQ(game.GetState(), kGameRunning);
}

// The tick's loops share one copy of the area's actors while the list stays
// the same: an actor that left the area between two loops is not in the
// next one's, and one that joined is.
TEST(TickActorLoops, TheNextLoopSeesWhoLeftAndWhoCame)
{
    CArena arena(12);
    CEngine& engine = arena.Engine();
    CActor& hero = arena.Hero();
    const auto walk = [](CActor& actor, double x)
    { actor.QueueOrder(std::make_shared<CMoveOrder>(x, actor.GetY()), true); };
    walk(hero, 30.0);
    engine.ExecuteTimedOrders();
    const double heroX = hero.GetX();
    EXPECT_GT(heroX, 10.0);

    const std::shared_ptr<CActor> left = arena.Area().RemoveActor(&hero);
    engine.ExecuteTimedOrders();
    EXPECT_EQ(hero.GetX(), heroX);

    auto newcomer = CreateActorFromTemplate("wolf", "", arena.Module(), arena.CGame());
    newcomer->SetPosition(50.0, 50.0);
    arena.Area().AddActor(newcomer);
    walk(*newcomer, 70.0);
    engine.ExecuteTimedOrders();
    EXPECT_GT(newcomer->GetX(), 50.0);
}

} // namespace
