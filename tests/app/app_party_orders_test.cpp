// The party's selection, its action bars and the orders that clicks, slots
// and console lines give, on the demo town with a party of three.

#include "app_demo_game.h"
#include "app_fakes.h"

#include "app/actor_info.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_action.h"
#include "ui/ui_element.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/game.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace
{

using AppTest::KeyDown;
using platform::Message;
using platform::MessageKind;

// Every queued order as "type" or "type x y" for moves.
std::vector<std::string> OrdersOf(const VARD::CActor& actor)
{
    std::vector<std::string> words;
    for (const auto& order : actor.GetOrders())
    {
        std::string word = std::to_string(order->GetType());
        if (const auto* move = dynamic_cast<const VARD::CMoveOrder*>(order.get()))
            word += " " + std::to_string(std::lround(move->GetX() * 100)) + " " +
                    std::to_string(std::lround(move->GetY() * 100));
        else if (order->GetFirstId() != 0)
            word += " " + std::to_string(order->GetFirstId());
        words.push_back(word);
    }
    return words;
}

// The demo town with the hero and two bandits in the party, records made
// and the first member selected; a point of the window is the ground at a
// tenth of its pixels.
class AppPartyOrders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine));
        ASSERT_NO_FATAL_FAILURE(AppTest::AddTwoBandits(app));
        app.RefreshActorInfos(true);
        app.SelectFirstPartyMember();
        app.groundOfScreenPoint = [](const VARDUI::Point& point, double& x, double& y)
        {
            x = point.x / 10.0;
            y = point.y / 10.0;
            return true;
        };
    }

    VARD::CGame& Game() { return app.engine->Game(); }
    VARD::CArea& Area() { return *Game().GetCurrentArea(); }
    VARD::CActor& Member(std::size_t index) { return *Game().GetParty().at(index); }
    VARD::CTile& FloorTile()
    {
        VARD::CTile* tile = Area().GetTile(11, 15);
        EXPECT_EQ(tile->GetKind(), VARD::kTileKindFloor);
        return *tile;
    }

    AppTest::FakeAppPlatform machine;
    CGameApp app;
};

TEST_F(AppPartyOrders, TheFormationStandsTwoAbreastAndShiftGoesOnFromTheQueuedDestinations)
{
    app.SelectWholeParty();
    // The centroid lies straight toward -x of the point (40, 30): heading 0.
    Member(0).SetPosition(30.0, 29.0);
    Member(1).SetPosition(30.0, 31.0);
    Member(2).SetPosition(30.0, 30.0);
    app.OnScenePick(VARDGraph::kPickTile, {400, 300}, &FloorTile(), true);
    EXPECT_EQ(OrdersOf(Member(0)), (std::vector<std::string>{"1 4000 2750"}));
    EXPECT_EQ(OrdersOf(Member(1)), (std::vector<std::string>{"1 4000 3250"}));
    EXPECT_EQ(OrdersOf(Member(2)), (std::vector<std::string>{"1 3500 3000"}));

    // SHIFT: the queued destinations' centroid (38.33, 30) lies straight
    // toward -y of (38.33, 50), so the pair stands across x and the last one
    // 5 behind; from the current positions the heading would be skewed.
    const int px = static_cast<int>(std::lround((40.0 - 5.0 / 3.0) * 10.0));
    const double cx = px / 10.0;
    app.OnScenePick(VARDGraph::kPickTile, {px, 500}, &FloorTile(), false);
    ASSERT_EQ(Member(0).GetOrders().size(), 2u);
    const auto destination = [](const VARD::CActor& actor)
    { return static_cast<const VARD::CMoveOrder&>(*actor.GetOrders().back()); };
    const double heading = std::atan2(50.0 - 30.0, cx - (40.0 - 5.0 / 3.0));
    const double offset = 2.5 * std::sin(heading);
    EXPECT_NEAR(destination(Member(0)).GetX(), cx + offset, 1e-6);
    EXPECT_NEAR(destination(Member(0)).GetY(), 50.0, 0.01);
    EXPECT_NEAR(destination(Member(1)).GetX(), cx - offset, 1e-6);
    EXPECT_NEAR(destination(Member(2)).GetX(), cx, 0.01);
    EXPECT_NEAR(destination(Member(2)).GetY(), 45.0, 0.01);

    // Without SHIFT the queues start again; a lone member stands on the point.
    app.SelectPartyMember(1);
    app.OnScenePick(VARDGraph::kPickTile, {100, 100}, &FloorTile(), true);
    EXPECT_EQ(OrdersOf(Member(1)), (std::vector<std::string>{"1 1000 1000"}));
    EXPECT_EQ(Member(0).GetOrders().size(), 2u);
}

TEST_F(AppPartyOrders, ClicksOnThingsGiveUseMoveAttackTalkOrASelection)
{
    app.SelectWholeParty();
    Member(2).SetActivityState(VARD::kActivityDead);
    VARD::CObject* chest = nullptr;
    for (const auto& object : Area().Objects())
        if (object->GetFlag() && !object->IsExit())
            chest = object.get();
    ASSERT_NE(chest, nullptr);
    Member(0).SetPosition(10.0, 10.0);
    Member(1).SetPosition(10.0, 10.0);
    app.OnScenePick(VARDGraph::kPickObject, {100, 200}, chest, true);
    const std::string use = "10 2";
    EXPECT_EQ(OrdersOf(Member(0)), (std::vector<std::string>{use, "1 1250 2000"}));
    EXPECT_EQ(OrdersOf(Member(1)), (std::vector<std::string>{"1 750 2000"}));
    EXPECT_TRUE(OrdersOf(Member(2)).empty());
    // Only a member whose place is on the chest's own ground, where nobody
    // can stand, walks nowhere. The pair comes from straight toward -x: the
    // first one's place is 2.5 toward -y of the click, the second's toward +y.
    chest->SetFacing(0);
    chest->SetPosition(30.0, 20.0);
    ASSERT_LT(Member(0).GetRadius(), 2.0);
    using Orders = std::vector<std::string>;
    const std::tuple<bool, int, Orders, Orders> onChest[] = {
        {true, 200, {use, "1 3000 1750"}, {"1 3000 2250"}},
        {true, 225, {use}, {"1 3000 2500"}},
        {true, 175, {use, "1 3000 1500"}, {}},
        {false, 200, {use}, {}},
    };
    for (const auto& [wholeParty, y, first, second] : onChest)
    {
        wholeParty ? app.SelectWholeParty() : app.SelectPartyMember(0);
        Member(1).ClearOrders();
        Member(0).SetPosition(10.0, y / 10.0);
        Member(1).SetPosition(10.0, y / 10.0);
        app.OnScenePick(VARDGraph::kPickObject, {300, y}, chest, true);
        EXPECT_EQ(OrdersOf(Member(0)), first) << y;
        EXPECT_EQ(OrdersOf(Member(1)), second) << y;
    }
    app.SelectWholeParty();

    // A hostile actor: every living member attacks; a friendly one: only
    // the first goes to talk.
    const auto orc = VARD::CreateActorFromTemplate("bandit", "", app.engine->Module(), Game());
    orc->SetAttitude(VARD::kAttitudeHostile);
    app.OnScenePick(VARDGraph::kPickActor, {0, 0}, orc.get(), true);
    const std::string attack = "2 " + std::to_string(orc->Id());
    EXPECT_EQ(OrdersOf(Member(0)), (std::vector<std::string>{attack}));
    EXPECT_EQ(OrdersOf(Member(1)), (std::vector<std::string>{attack}));
    orc->SetAttitude(VARD::kAttitudeNeutral);
    app.OnScenePick(VARDGraph::kPickActor, {0, 0}, orc.get(), false);
    EXPECT_EQ(OrdersOf(Member(0)),
              (std::vector<std::string>{attack, "18 " + std::to_string(orc->Id())}));
    EXPECT_EQ(OrdersOf(Member(1)), (std::vector<std::string>{attack}));

    // A party member is selected and no queue is touched; a summon on the
    // party's side that is not in the party leaves the selection as it is.
    app.OnScenePick(VARDGraph::kPickActor, {0, 0}, &Member(1), true);
    EXPECT_EQ(app.selectedMember, 1u);
    EXPECT_EQ(Member(0).GetOrders().size(), 2u);
    orc->SetAttitude(VARD::kAttitudeParty);
    app.OnScenePick(VARDGraph::kPickActor, {0, 0}, orc.get(), true);
    EXPECT_EQ(app.selectedMember, 1u);
    ASSERT_EQ(app.GetSelectedActor().get(), &Member(1));
    EXPECT_EQ(Member(1).GetOrders().size(), 1u);
}

TEST_F(AppPartyOrders, TheDefaultBarsAreScoredFromSpellsAndBelongings)
{
    const VARD::CModule& module = app.engine->Module();
    const auto give = [&](VARD::CActor& actor, const char* name)
    { actor.AddBackpackItem(module.CreateItem(name, 1, Game().NewThingId(5), 0)); };
    const auto bar = [](const VARD::CActor& actor)
    {
        CVARDActorInfo info;
        info.BuildFromActor(actor);
        std::vector<std::string> words;
        for (int slot = 0; slot < 10; ++slot)
            words.push_back(std::to_string(info.slotType[slot]) + info.slotSpell[slot] +
                            info.slotItem[slot]);
        EXPECT_EQ(info.selectedSlot, 10);
        return words;
    };
    const std::vector<std::string> plain{"2", "12", "12", "12", "12", "12", "12", "12", "12", "12"};
    VARD::CActor fighter(Game().NewThingId(3));
    EXPECT_EQ(bar(fighter), plain);
    give(fighter, "torch");
    give(fighter, "i_wand-fire_bolt");
    give(fighter, "i_potion-heal");
    auto expected = plain;
    expected[2] = "10i_potion-heal";
    EXPECT_EQ(bar(fighter), expected);
    fighter.Skills().insert(73);
    expected[3] = "10i_wand-fire_bolt";
    EXPECT_EQ(bar(fighter), expected);

    // The sneak power sorts at 500, below the wand (603); a spell the actor
    // cannot cast is left out.
    const VARD::CSpell* sneak = module.FindSpell(VARD::kSneakPowerKey);
    ASSERT_NE(sneak, nullptr);
    fighter.Skills().insert(VARD::kSkillSneak);
    fighter.AddSpell(*module.FindSpell("fireball"));
    fighter.AddSpell(*sneak);
    ASSERT_TRUE(fighter.MeetsRequirement(*sneak));
    expected[4] = std::string("11") + VARD::kSneakPowerKey;
    EXPECT_EQ(bar(fighter), expected);

    // Above an ordinary spell however well the caster casts it.
    VARD::CActor caster(Game().NewThingId(3));
    caster.SetClass(2);
    caster.SetLevel(60);
    caster.Skills().insert({46, VARD::kSkillSneak});
    caster.AddSpell(*module.FindSpell("fireball"));
    caster.AddSpell(*sneak);
    EXPECT_EQ(bar(caster),
              (std::vector<std::string>{"2", "12", std::string("11") + VARD::kSneakPowerKey,
                                        "11fireball", "12", "12", "12", "12", "12", "12"}));

    // Records are made once per member and stay.
    EXPECT_EQ(app.actorInfos.size(), 3u);
    app.SetActionSlotType(&Member(0), 11, 4);
    app.RefreshActorInfos(true);
    EXPECT_EQ(app.actorInfos.at(Member(0).Id())->slotType[4], 11);
    EXPECT_THROW(app.GetSelectedActionType(&fighter), CVARDException);
}

TEST_F(AppPartyOrders, TabCyclesThroughTheLivingAndZeroSelectsTheWholeParty)
{
    const auto cycle = [&](int presses)
    {
        std::vector<std::uint32_t> seen;
        for (int press = 0; press < presses; ++press)
        {
            app.HandleMessage(KeyDown(platform::vk::kTab));
            seen.push_back(app.selectedMember);
        }
        return seen;
    };
    app.HandleMessage(KeyDown('0'));
    EXPECT_EQ(app.selectedMember, kWholePartySelected);
    EXPECT_EQ(cycle(4), (std::vector<std::uint32_t>{0, 1, 2, kWholePartySelected}));
    Member(1).SetActivityState(VARD::kActivityDead);
    EXPECT_EQ(cycle(3), (std::vector<std::uint32_t>{0, 2, kWholePartySelected}));
    app.SelectPartyMember(1);
    EXPECT_EQ(app.selectedMember, kWholePartySelected);
    std::vector<std::uint32_t> ids;
    app.CollectSelectedActorIds(ids);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{Member(0).Id(), Member(2).Id()}));

    // Moving a member up runs at once and keeps it selected at its new
    // place; itself or a place past the end changes nothing.
    Member(1).SetActivityState(VARD::kActivityIdle);
    VARD::CActor* bob = &Member(2);
    app.SwapPartyPositions(2, 2);
    app.SwapPartyPositions(2, 3);
    EXPECT_EQ(&Member(2), bob);
    app.SwapPartyPositions(2, 1);
    EXPECT_EQ(&Member(1), bob);
    EXPECT_EQ(app.selectedMember, 1u);

    // A party of one: '0' keeps member 0.
    Game().Party().resize(1);
    app.HandleMessage(KeyDown('0'));
    EXPECT_EQ(app.selectedMember, 0u);
}

TEST_F(AppPartyOrders, ActionSlotsActAtOnceOrWaitForTheClick)
{
    VARD::CActor& hero = Member(0);
    // An attack slot and a click on the ground: nothing, the slot stays.
    app.SelectActionSlot(&hero, 0);
    app.OnSceneClick({100, 100}, app.GetSelectedActionType(&hero), VARDGraph::kPickTile,
                     &FloorTile(), true);
    EXPECT_TRUE(hero.GetOrders().empty());
    EXPECT_EQ(app.GetSelectedActionSlot(&hero), 0);

    // A self-target spell from F2 is cast at once and clears the queue
    // even with SHIFT held.
    hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(1.0, 1.0), false);
    app.SetActionSlotType(&hero, 11, 1);
    app.SetActionSlotSpell(&hero, "stoneskin", 1);
    machine.window->keys.down.insert(platform::vk::kShift);
    app.HandleMessage(KeyDown(platform::vk::kF1 + 1));
    EXPECT_EQ(OrdersOf(hero), (std::vector<std::string>{"11"}));
    EXPECT_EQ(app.GetSelectedActionSlot(&hero), 10);

    // A potion is drunk at once: the use order names the item, no target.
    const auto potion =
        app.engine->Module().CreateItem("i_potion-heal", 1, Game().NewThingId(5), 0);
    hero.AddBackpackItem(potion);
    app.SetActionSlotType(&hero, 10, 2);
    app.SetActionSlotItem(&hero, "i_potion-heal", 2);
    app.HandleMessage(KeyDown(platform::vk::kF1 + 2));
    ASSERT_EQ(hero.GetOrders().size(), 1u);
    const auto& use = static_cast<const VARD::CUseOrder&>(*hero.GetOrders().front());
    EXPECT_EQ(use.GetUseKind(), VARD::kUseItem);
    EXPECT_EQ(use.GetItemId(), potion->Id());
    EXPECT_EQ(use.GetTargetId(), 0u);

    // A spell the module lacks is a fault of the bar.
    app.SetActionSlotSpell(&hero, "no_such_spell", 1);
    app.SelectActionSlot(&hero, 1);
    EXPECT_THROW(app.ActivateActionSlot(1, &hero), CVARDException);

    // A selected member past the party's end has an empty bar: its keys and
    // clicks do nothing.
    app.selectedMember = 7;
    app.HandleMessage(KeyDown(platform::vk::kF1));
    app.HandleMessage(KeyDown(platform::vk::kEscape));
    app.OnScenePick(VARDGraph::kPickTile, {100, 100}, &FloorTile(), true);
    EXPECT_EQ(app.GetSelectedActionType(nullptr), 0);
    EXPECT_TRUE(machine.desktop.boxes.empty());
}

TEST_F(AppPartyOrders, AClickUsesTheChosenSlotOnWhatWasPicked)
{
    VARD::CActor& hero = Member(0);
    const VARD::CModule& module = app.engine->Module();
    const auto stranger = VARD::CreateActorFromTemplate("bandit", "", module, Game());
    stranger->SetAttitude(VARD::kAttitudeFriendly);
    hero.AddBackpackItem(module.CreateItem("i_wand-fire_bolt", 1, Game().NewThingId(5), 0));
    // A rogue handles the wand; anyone who sneaks has the power.
    hero.SetClass(1);
    hero.Skills().insert({73, VARD::kSkillSneak});
    VARD::CTile* floor = &FloorTile();
    VARD::CObject* exitMarker = nullptr;
    for (const auto& object : Area().Objects())
        if (object->IsExit() && object->GetExitText() == "Path to Greywood")
            exitMarker = object.get();
    ASSERT_NE(exitMarker, nullptr);
    app.RebuildUI();
    ASSERT_NE(app.exitButton, nullptr);

    // The hero's queue as order types, targets named; the chosen slot, the
    // power in use and where the party is.
    const auto snapshot = [&]
    {
        std::string out;
        for (const auto& order : hero.GetOrders())
        {
            out += std::to_string(order->GetType());
            const std::uint32_t target =
                order->GetType() == VARD::kOrderUse
                    ? static_cast<const VARD::CUseOrder&>(*order).GetTargetId()
                    : order->GetFirstId();
            if (target == stranger->Id())
                out += "@stranger";
            else if (target == floor->Id())
                out += "@floor";
            out += " ";
        }
        const VARD::CSpell* power = hero.GetPower();
        return out + "| slot " + std::to_string(app.GetSelectedActionSlot(&hero)) + " power " +
               (power ? power->GetKey() : "-") + " in " + Game().GetCurrentArea()->GetName();
    };
    struct Row
    {
        const char* what;
        int slotType;     // 0: no slot chosen
        const char* name; // the slot's spell or item
        VARDGraph::PickKind pick;
        VARD::CThing* thing;
        bool shift;
        std::string after;
    };
    using VARDGraph::kPickActor;
    using VARDGraph::kPickNothing;
    using VARDGraph::kPickObject;
    using VARDGraph::kPickTile;
    const int attack = VARDUI::kActionSlotAttack;
    const int talk = VARDUI::kActionSlotTalk;
    const int cast = VARDUI::kActionSlotCast;
    const int use = VARDUI::kActionSlotUseItem;
    // Slot 3 is chosen before each click; the hero has a walk queued.
    const char* const atTheExit = "the path while Exit shows";
    const Row rows[] = {
        {"attack on an actor", attack, "", kPickActor, stranger.get(), false,
         "2@stranger | slot 10 power - in town"},
        {"attack with SHIFT", attack, "", kPickActor, stranger.get(), true,
         "1 2@stranger | slot 10 power - in town"},
        {"attack on the ground", attack, "", kPickTile, floor, false, "1 | slot 3 power - in town"},
        {"talk to an actor", talk, "", kPickActor, stranger.get(), false,
         "18@stranger | slot 10 power - in town"},
        {"bolt at an actor", cast, "fire_bolt", kPickActor, stranger.get(), false,
         "11@stranger | slot 10 power - in town"},
        {"bolt with SHIFT", cast, "fire_bolt", kPickActor, stranger.get(), true,
         "1 11@stranger | slot 10 power - in town"},
        // Refused, but the queue was cleared for it.
        {"bolt at the ground", cast, "fire_bolt", kPickTile, floor, false,
         "| slot 3 power - in town"},
        {"bolt at the ground with SHIFT", cast, "fire_bolt", kPickTile, floor, true,
         "1 | slot 3 power - in town"},
        {"fireball at an actor", cast, "fireball", kPickActor, stranger.get(), false,
         "| slot 3 power - in town"},
        {"fireball at the path", cast, "fireball", kPickObject, exitMarker, false,
         "| slot 3 power - in town"},
        {"fireball at nothing", cast, "fireball", kPickNothing, nullptr, false,
         "| slot 3 power - in town"},
        {"fireball at the ground", cast, "fireball", kPickTile, floor, false,
         "11@floor | slot 10 power - in town"},
        {"bless at nothing", cast, "bless", kPickNothing, nullptr, false,
         "11 | slot 10 power - in town"},
        {"wand at an actor", use, "i_wand-fire_bolt", kPickActor, stranger.get(), false,
         "10@stranger | slot 10 power - in town"},
        {"wand at the ground", use, "i_wand-fire_bolt", kPickTile, floor, false,
         "1 | slot 3 power - in town"},
        // A power starts, and stops when chosen again; the queue stays.
        {"power", cast, VARD::kSneakPowerKey, kPickTile, floor, false,
         std::string("1 | slot 10 power ") + VARD::kSneakPowerKey + " in town"},
        {"power in use", cast, VARD::kSneakPowerKey, kPickTile, floor, false,
         "1 | slot 10 power - in town"},
        {"the path while Exit is hidden", 0, "", kPickObject, exitMarker, false,
         "1 | slot 10 power - in town"},
        {atTheExit, 0, "", kPickObject, exitMarker, false, "| slot 10 power - in forest"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        hero.ClearOrders();
        hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(5.0, 5.0), false);
        app.SetActionSlotType(&hero, row.slotType == 0 ? talk : row.slotType, 3);
        app.SetActionSlotSpell(&hero, row.slotType == cast ? row.name : "", 3);
        app.SetActionSlotItem(&hero, row.slotType == use ? row.name : "", 3);
        app.SelectActionSlot(&hero, row.slotType == 0 ? VARDUI::kActionSlotNone : 3);
        if (row.what == atTheExit)
        {
            Game().SetTravel("forest", "road");
            Game().SetState(VARD::kGameTravelAtExit);
            app.exitButton->SetFlags(VARDUI::kUIFlagVisible, 1);
        }
        app.OnSceneClick({100, 100}, row.slotType, row.pick, row.thing, !row.shift);
        EXPECT_EQ(snapshot(), row.after);
    }
}

TEST_F(AppPartyOrders, TheConsoleChangesTheGameAndReportsItsFailures)
{
    Game().SetGold(300);
    app.RunWizardCommand("cash -1000");
    EXPECT_EQ(Game().GetGold(), 0);
    Game().SetGold(300);
    app.RunWizardCommand("cash 50 extra words");
    EXPECT_EQ(Game().GetGold(), 350);
    app.RunWizardCommand("Cash 50");
    app.RunWizardCommand("cash");
    app.RunWizardCommand("");
    app.RunWizardCommand("traceon engine");
    EXPECT_EQ(Game().GetGold(), 350);

    const std::size_t carried = Member(0).GetBackpackItems().size();
    app.RunWizardCommand("item i_potion-heal");
    ASSERT_EQ(Member(0).GetBackpackItems().size(), carried + 1);
    EXPECT_EQ(Member(0).GetBackpackItems().back()->GetValue1(), 1u);
    app.RunWizardCommand("skill 3 sneak");
    app.RunWizardCommand("skill 1 sneak");
    EXPECT_TRUE(Member(1).HasSkill(VARD::kSkillSneak));

    // Unknown names are told, and the game goes on.
    const std::size_t logged = app.messageLog.size();
    app.RunWizardCommand("item no_such_item");
    app.RunWizardCommand("skill 0 no_such_skill");
    ASSERT_EQ(app.messageLog.size(), logged + 2);
    EXPECT_EQ(app.messageLog[logged].rfind("Wizard: ", 0), 0u);
    EXPECT_NE(app.messageLog[logged].find("no_such_item"), std::string::npos);
    EXPECT_TRUE(machine.desktop.boxes.empty());
    // The window goes to the desktop's corner at the size asked, and is
    // painted again; a size without its height does nothing.
    const platform::ClientSize before = machine.window->size;
    machine.window->invalidated = false;
    app.RunWizardCommand("wmsize 900");
    EXPECT_EQ(machine.window->position, (std::pair{-1, -1}));
    EXPECT_EQ(machine.window->size.width, before.width);
    EXPECT_FALSE(machine.window->invalidated);
    app.RunWizardCommand("wmsize 900 740");
    EXPECT_EQ(machine.window->position, (std::pair{0, 0}));
    EXPECT_EQ(machine.window->size.width, 900);
    EXPECT_EQ(machine.window->size.height, 740);
    EXPECT_TRUE(machine.window->invalidated);
}

} // namespace
