// A headless game on the demo module: entering, leaving, travelling, a
// wipe-out and resurrection, instant orders and quest completion.

#include "rules_test_util.h"
#include "test_util.h"

#include "world/order.h"
#include "world/quest.h"
#include "world/script_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace
{

using RulesTest::DrainMessages;
using RulesTest::Holds;
using RulesTest::Member;
using RulesTest::NewDemoGame;
using TestUtil::CodeOf;

// The townsfolk that stay where they are: everyone but the party and the
// watch, whose encounter respawns.
std::set<std::uint32_t> ActorIds(const VARD::CArea& area)
{
    std::set<std::uint32_t> ids;
    for (const auto& actor : area.Actors())
        if (actor->GetAttitude() != VARD::kAttitudeParty &&
            actor->GetTemplateName() != "town_guard")
            ids.insert(actor->Id());
    return ids;
}

TEST(EngineGame, EntersTravelsReturnsAndIsResurrected)
{
    auto engine = NewDemoGame();
    VARD::CGame& game = engine->Game();
    VARD::CActor& hero = Member(*engine);
    ASSERT_EQ(game.GetState(), VARD::kGameDestinationKnown);
    EXPECT_EQ(game.GetTravelArea(), "town");
    EXPECT_EQ(game.GetTravelEntry(), "gate");
    EXPECT_EQ(hero.GetPartyIndex(), 0u);
    EXPECT_EQ(hero.GetActivityState(), VARD::kActivityIdle);

    // Entering runs one tick and leaves the party at the gate (11, 15).
    engine->EnterArea();
    EXPECT_EQ(game.GetState(), VARD::kGameRunning);
    EXPECT_EQ(game.GetTick(), 1u);
    ASSERT_NE(game.GetCurrentArea(), nullptr);
    VARD::CArea& town = *game.GetCurrentArea();
    EXPECT_EQ(town.GetName(), "town");
    EXPECT_EQ(town.FindActorById(hero.Id()), &hero);
    EXPECT_LE(hero.DistanceTo(11 * 2.5 + 1.25, 15 * 2.5 + 1.25), 2.5);
    EXPECT_EQ(game.GetEnteredArea(), "town");
    EXPECT_EQ(game.GetEnteredEntry(), "gate");

    // A destination is only chosen on the world map.
    EXPECT_EQ(CodeOf([&] { engine->SetTravelDestination("forest", "road"); }), 2);
    EXPECT_EQ(game.GetTravelArea(), "town");
    EXPECT_EQ(game.GetState(), VARD::kGameRunning);
    EXPECT_EQ(CodeOf([&] { engine->ResurrectParty(); }), 2);

    // The east road leads onto the world map.
    const std::set<std::uint32_t> townActors = ActorIds(town);
    engine->WizardMoveParty(58.0, 21.0);
    engine->Tick();
    ASSERT_EQ(game.GetState(), VARD::kGameTravelAtExit);
    EXPECT_EQ(game.GetTravelArea(), "worldmap");
    EXPECT_EQ(game.GetTravelEntry(), "");
    engine->LeaveArea();
    EXPECT_EQ(game.GetState(), VARD::kGameOnWorldMap);
    EXPECT_EQ(game.GetCurrentArea(), nullptr);
    EXPECT_EQ(game.GetLeftArea(), "town");
    ASSERT_NE(game.GetCurrentWorldMap(), nullptr);
    EXPECT_TRUE(hero.IsInterrupted());
    EXPECT_EQ(game.NonLocated().size(), 1u);

    // Three hours on the road to the forest, told as the area tells it.
    DrainMessages(game);
    const std::uint32_t before = game.GetTick();
    engine->SetTravelDestination("forest", "road");
    EXPECT_EQ(game.GetState(), VARD::kGameDestinationKnown);
    engine->EnterArea();
    EXPECT_EQ(game.GetCurrentArea()->GetName(), "forest");
    EXPECT_EQ(game.GetTick(), before + 3 * 3600 * 30 + 1);
    EXPECT_TRUE(Holds(DrainMessages(game), "18 Your journey takes 3 hours."));

    // Back to town by script: its people are the ones left there, but the
    // watch, hours away, has been relieved by a new one.
    engine->Tick();
    game.SetState(VARD::kGameTravelByScript);
    game.SetTravel("town", "gate");
    engine->LeaveArea();
    EXPECT_EQ(game.GetState(), VARD::kGameDestinationKnown);
    engine->EnterArea();
    ASSERT_EQ(game.GetCurrentArea(), &town);
    EXPECT_EQ(ActorIds(town), townActors);
    EXPECT_EQ(townActors.size(), 5u);
    EXPECT_EQ(game.NonLocated().size(), 1u) << "a member is held by the game once";

    // The last member dies: the party is wiped out and rests at the
    // resurrection point eight hours later.
    game.SetResurrection("town", "gate");
    DrainMessages(game);
    hero.SetActivityState(VARD::kActivityDead);
    engine->Tick();
    EXPECT_EQ(game.GetState(), VARD::kGameRestNeeded);
    const auto deaths = DrainMessages(game);
    EXPECT_TRUE(Holds(deaths, "26 Hero has died!"));
    EXPECT_TRUE(Holds(deaths, "18 Your party has been wiped out!"));
    EXPECT_EQ(town.FindActorById(hero.Id()), nullptr);
    // The fallen, outside the area, leave with their detour stopped but keep
    // when they were last blocked.
    hero.SetDetourMode(1);
    hero.Detour().waitCounter = 4;
    hero.SetLastBlockedTick(7);
    engine->LeaveArea();
    EXPECT_EQ(hero.GetDetourMode(), 0u);
    EXPECT_EQ(hero.Detour().waitCounter, 0u);
    EXPECT_EQ(hero.GetLastBlockedTick(), 7u);
    EXPECT_EQ(game.GetState(), VARD::kGameLeftForRest);
    const std::uint32_t restTick = game.GetTick();
    engine->ResurrectParty();
    EXPECT_EQ(game.GetTick(), restTick + 864000 + 1);
    EXPECT_EQ(game.GetState(), VARD::kGameRunning);
    EXPECT_TRUE(Holds(DrainMessages(game), "18 Hero is resurrected."));
    EXPECT_EQ(hero.GetActivityState(), VARD::kActivityIdle);
    EXPECT_EQ(hero.GetHitPoints(), hero.GetMaxHitPoints());
    EXPECT_EQ(town.FindActorById(hero.Id()), &hero);
    EXPECT_EQ(std::count(town.Actors().begin(), town.Actors().end(), game.FindSharedActor(&hero)),
              1);
}

// A quest script that answers what the test tells it to.
class CFixedScript : public VARD::CScript
{
public:
    explicit CFixedScript(std::int32_t result) : m_Result(result) {}
    std::int32_t Run(VARD::CEngine*, VARD::CScriptContext&) override
    {
        ++runs;
        return m_Result;
    }
    int runs = 0;

private:
    std::int32_t m_Result;
};

TEST(EngineQuests, TagsCompleteEachQuestOnceInOnePass)
{
    auto engine = NewDemoGame();
    engine->EnterArea();
    VARD::CGame& game = engine->Game();
    auto& quests = engine->GetModule()->Quests();
    quests.clear();
    auto yes = std::make_shared<CFixedScript>(1);
    auto no = std::make_shared<CFixedScript>(0);
    quests["b_first"] = std::make_shared<VARD::CQuestInfo>("b_first", "First Deed", 100, "go", yes);
    quests["a_after"] =
        std::make_shared<VARD::CQuestInfo>("a_after", "Second Deed", 50, "b_first", yes);
    quests["c_never"] = std::make_shared<VARD::CQuestInfo>("c_never", "Never", 10, "", no);
    DrainMessages(game);

    engine->CompleteQuest("go", 0);
    EXPECT_EQ(yes->runs + no->runs, 0) << "a tag set to 0 completes nothing";
    EXPECT_TRUE(DrainMessages(game).empty());

    // One pass in name order: the quest that needs the first comes before
    // it, so it waits for the next tag change.
    engine->CompleteQuest("go", 1);
    auto lines = DrainMessages(game);
    EXPECT_TRUE(Holds(lines, "20 The party has completed a quest for 100xp (First Deed)."));
    EXPECT_TRUE(Holds(lines, "18 The party gains 100 experience each."));
    EXPECT_EQ(game.GetQuestTag("b_first"), 1);
    EXPECT_EQ(game.GetQuestTag("a_after"), 0);
    EXPECT_EQ(Member(*engine).GetExperience(), 100u);

    engine->CompleteQuest("anything", 2);
    lines = DrainMessages(game);
    EXPECT_TRUE(Holds(lines, "20 The party has completed a quest for 50xp (Second Deed)."));
    EXPECT_FALSE(Holds(lines, "20 The party has completed a quest for 100xp (First Deed)."));
    engine->CompleteQuest("again", 1);
    lines = DrainMessages(game);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind("20 ", 0) == 0; }),
              0);
    EXPECT_EQ(Member(*engine).GetExperience(), 150u);
}

TEST(EngineConsole, ServicesReportAndRefuseWithoutAParty)
{
    auto engine = NewDemoGame();
    VARD::CGame& game = engine->Game();
    VARD::CActor& hero = Member(*engine);
    // Before any area: nowhere to move the party.
    EXPECT_EQ(CodeOf([&] { engine->WizardMoveParty(10.0, 10.0); }), 2);
    engine->EnterArea();
    DrainMessages(game);

    engine->WizardCreateItem("dagger");
    auto lines = DrainMessages(game);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("18 Wizard: Created ", 0), 0u);
    ASSERT_EQ(hero.Backpack().size(), 1u);
    EXPECT_EQ(hero.Backpack()[0]->GetValue1(), 1u) << "one item, not an empty stack";
    engine->WizardCreateItem("bread", 3);
    ASSERT_EQ(hero.Backpack().size(), 2u);
    EXPECT_EQ(hero.Backpack()[1]->GetValue1(), 3u);
    DrainMessages(game);
    EXPECT_EQ(CodeOf([&] { engine->WizardCreateItem("no_such_item"); }), 1);

    engine->WizardSetSkill(hero, "locks", 1);
    EXPECT_TRUE(hero.HasSkill(VARD::FindSkillByKey("locks")));
    lines = DrainMessages(game);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "18 Wizard: Set Hero skill " +
                                VARD::GetSkillDisplayName(VARD::FindSkillByKey("locks")));

    hero.SetDamageTaken(5);
    hero.AddStatus(VARD::kStatusHeld, 0);
    engine->WizardHeal();
    EXPECT_EQ(hero.GetDamageTaken(), 0);
    EXPECT_FALSE(hero.HasStatus(VARD::kStatusHeld));

    engine->WizardMoveParty(25.0, 20.0);
    EXPECT_LE(hero.DistanceTo(26.25, 21.25), 5.0);

    // Money a recruit carries becomes the party's, and gold never wraps.
    game.SetGold(0x7FFFFFF0);
    game.AddGold(100);
    EXPECT_EQ(game.GetGold(), 0x7FFFFFFF);
    game.AddGold(-0x7FFFFFFFll - 5);
    EXPECT_EQ(game.GetGold(), 0);

    game.Party().clear();
    EXPECT_NO_THROW(engine->WizardHeal()) << "healing nobody is no error";
    EXPECT_EQ(CodeOf([&] { engine->WizardCreateItem("dagger"); }), 2);
}

TEST(EngineInstantOrders, RunInQueueOrderAndNeverStickAtTheFront)
{
    auto engine = NewDemoGame();
    engine->EnterArea();
    VARD::CGame& game = engine->Game();
    VARD::CActor& hero = Member(*engine);

    // A cast is no instant order: refused, and gone from the queue so that
    // the next call goes on.
    hero.QueueInstantOrder(std::make_shared<VARD::CCastOrder>("s_heal", hero.Id()));
    hero.QueueInstantOrder(std::make_shared<VARD::CPositionOrder>(0));
    EXPECT_EQ(CodeOf([&] { engine->ExecuteInstantOrders(); }), 2);
    ASSERT_NE(hero.GetFrontInstantOrder(), nullptr);
    EXPECT_EQ(hero.GetFrontInstantOrder()->GetType(), VARD::kOrderPosition);
    // Swapping a member with itself breaks a rule.
    EXPECT_EQ(CodeOf([&] { engine->ExecuteInstantOrders(); }), 3);
    EXPECT_EQ(hero.GetFrontInstantOrder(), nullptr);

    // Doors and objects are used in time, never at once.
    hero.QueueInstantOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseDoor, 0, 0));
    EXPECT_EQ(CodeOf([&] { engine->ExecuteInstantOrders(); }), 3);

    // A dead member's orders still run, though it stands in no area.
    hero.SetActivityState(VARD::kActivityDead);
    engine->Tick();
    ASSERT_EQ(game.GetCurrentArea()->FindActorById(hero.Id()), nullptr);
    for (int i = 0; i < 2; ++i)
    {
        auto loaf =
            engine->Module().CreateItem("bread", 1, game.NewThingId(VARD::kThingKindItem), 0);
        hero.AddBackpackItem(loaf);
        hero.QueueInstantOrder(std::make_shared<VARD::CDropOrder>(0, loaf->Id()));
    }
    engine->ExecuteInstantOrders();
    EXPECT_TRUE(hero.GetInstantOrders().empty());
    EXPECT_TRUE(hero.Backpack().empty());

    // The wipe-out state lasts until the next tick begins; with no
    // resurrection point set yet the party wakes at the module's start.
    EXPECT_EQ(game.GetState(), VARD::kGameRestNeeded);
    EXPECT_EQ(game.GetTravelArea(), "town");
    EXPECT_EQ(game.GetTravelEntry(), "gate");
    engine->Tick();
    EXPECT_EQ(game.GetState(), VARD::kGameRunning);
}

} // namespace
