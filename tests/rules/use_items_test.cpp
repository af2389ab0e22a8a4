// Doors (locks, picking, scripts, closing), containers, and using scrolls,
// potions and wands, on the temple door of the demo town.

#include "item_orders_test_util.h"

#include "world/script_record.h"
#include "world/spell.h"
#include "world/tile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace
{

using namespace OrderTest;
using VARD::CActor;
using VARD::CUseOrder;

// The temple's double door: cells (2, 5) and (3, 5).
constexpr std::uint32_t kDoorColumn = 2;
constexpr std::uint32_t kDoorRow = 5;

std::uint32_t TileId(std::uint32_t column, std::uint32_t row)
{
    return VARD::MakeThingId(VARD::kThingKindTile, row * 1000 + column);
}

// A door script answering what the test sets.
class CDoorScript : public VARD::CScript
{
public:
    std::int32_t Run(VARD::CEngine*, VARD::CScriptContext& context) override
    {
        ++runs;
        speaker = context.actor;
        return answer;
    }
    std::int32_t answer = 0;
    int runs = 0;
    CActor* speaker = nullptr;
};

// Runs one step of a timed order standing at the front of the queue; true
// when the step finished it.
bool Step(CActor& actor, const std::shared_ptr<VARD::COrder>& order,
          const std::function<void(CActor&, const VARD::COrder&)>& step)
{
    actor.QueueOrder(order, false);
    try
    {
        step(actor, *order);
    }
    catch (...)
    {
        actor.InterruptOrders();
        throw;
    }
    const bool finished = actor.GetFrontOrder() != order;
    actor.InterruptOrders();
    return finished;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> OpenCells(const VARD::CArea& area)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> cells;
    for (const auto& door : area.GetOpenDoors())
        cells.emplace_back(door->column, door->row);
    return cells;
}

TEST(UseItems, DoorsOpenCloseWithLocksAndScripts)
{
    // Declared first, so that the tiles never point at a freed door.
    std::shared_ptr<VARD::CScript> script;
    std::unique_ptr<VARD::CTileTemplate> sunTemplate;
    std::shared_ptr<VARD::CMasterTileDoor> sunDoor;
    Town town = EnterTown();
    CActor& hero = *town.hero;
    VARD::CArea& area = *town.area;
    VARD::CEngine& engine = *town.engine;
    const auto door = [&](std::uint32_t column)
    { return std::make_shared<CUseOrder>(VARD::kUseDoor, TileId(column, kDoorRow), 0); };
    const auto open = [&](std::uint32_t column)
    {
        return Step(hero, door(column),
                    [&](CActor& a, const VARD::COrder& o) { engine.OpenDoor(a, o); });
    };
    VARD::CMasterTileDoor& left = *area.GetTile(kDoorColumn, kDoorRow)->GetDoor();
    VARD::CMasterTileDoor& right = *area.GetTile(kDoorColumn + 1, kDoorRow)->GetDoor();
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> both{{2, 5}, {3, 5}};

    // Out of reach the hero walks; a cell that is no door is no order.
    hero.SetPosition(30.0, 30.0);
    EXPECT_FALSE(open(kDoorColumn));
    EXPECT_EQ(TestUtil::CodeOf([&] { open(1); }), 2);
    // In the timed step that failure comes once: it would never change.
    hero.QueueOrder(door(1), false);
    EXPECT_EQ(TestUtil::CodeOf([&] { engine.ExecuteTimedOrders(); }), 2);
    EXPECT_EQ(hero.GetFrontOrder(), nullptr);
    EXPECT_EQ(TestUtil::CodeOf([&] { engine.ExecuteTimedOrders(); }), -1);
    hero.SetPosition(6.25, 18.0);
    EXPECT_TRUE(open(1));

    // An unlocked door opens without a word, both of its cells at once.
    EXPECT_TRUE(open(kDoorColumn + 1));
    EXPECT_TRUE(left.IsOpen());
    EXPECT_TRUE(right.IsOpen());
    EXPECT_EQ(OpenCells(area),
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{3, 5}, {2, 5}}));
    EXPECT_EQ(DrainEvents(*town.game), std::vector<std::string>{"event 1"});

    // Someone in the doorway keeps it open; a clear doorway closes.
    CActor& baker = *FindActor(town, "baker");
    const double bakerX = baker.GetX();
    const double bakerY = baker.GetY();
    baker.SetPosition(8.75, 13.75);
    EXPECT_TRUE(open(kDoorColumn));
    EXPECT_TRUE(left.IsOpen());
    EXPECT_TRUE(DrainEvents(*town.game).empty());
    baker.SetPosition(bakerX, bakerY);
    EXPECT_TRUE(open(kDoorColumn));
    EXPECT_FALSE(left.IsOpen());
    EXPECT_FALSE(right.IsOpen());
    EXPECT_TRUE(area.GetOpenDoors().empty());
    EXPECT_EQ(DrainEvents(*town.game), std::vector<std::string>{"event 3"});

    // A lock of 50 + the Locks check holds; one less is picked for good.
    ASSERT_EQ(hero.GetSkillCheck(0), 0);
    left.SetLockValue(50);
    EXPECT_TRUE(open(kDoorColumn));
    EXPECT_FALSE(left.IsOpen());
    EXPECT_EQ(left.GetLockValue(), 50u);
    EXPECT_EQ(DrainEvents(*town.game),
              std::vector<std::string>{"21 Hero can't open the locked door [Locks 50 +0 vs 50]."});
    left.SetLockValue(49);
    EXPECT_TRUE(open(kDoorColumn));
    EXPECT_TRUE(left.IsOpen());
    EXPECT_EQ(left.GetLockValue(), 0u);
    EXPECT_EQ(DrainEvents(*town.game),
              (std::vector<std::string>{"18 Hero picks the locked door [Locks 50 +0 vs 49].",
                                        "event 2"}));
    EXPECT_EQ(OpenCells(area), both);

    // A door whose script says no stays shut, but a picked lock stays picked.
    auto previous = VARD::CScript::SetFactory(
        [&](std::string) -> std::shared_ptr<VARD::CScript>
        {
            script = std::make_shared<CDoorScript>();
            return script;
        });
    auto reader = TestUtil::ReaderOf("<tile> sun_door \"Sun door\" tile_sun (2 1) door 3 "
                                     "<lua> return false </lua> tile_sun_open </tile>");
    sunTemplate = std::make_unique<VARD::CTileTemplate>(reader);
    VARD::CScript::SetFactory(previous);
    auto& answer = static_cast<CDoorScript&>(*script);
    sunDoor =
        std::make_shared<VARD::CMasterTileDoor>(sunTemplate.get(), 0, &area, kDoorColumn, kDoorRow);
    area.GetTile(kDoorColumn, kDoorRow)->SetMasterTile(sunDoor.get());
    area.GetTile(kDoorColumn + 1, kDoorRow)->SetMasterTile(sunDoor.get());
    area.RemoveOpenDoor(2, 5);
    area.RemoveOpenDoor(3, 5);
    sunDoor->SetLockValue(30);
    EXPECT_TRUE(open(kDoorColumn));
    EXPECT_EQ(answer.runs, 1);
    EXPECT_EQ(answer.speaker, &hero);
    EXPECT_FALSE(sunDoor->IsOpen());
    EXPECT_EQ(sunDoor->GetLockValue(), 0u);
    EXPECT_EQ(DrainEvents(*town.game),
              std::vector<std::string>{"18 Hero picks the locked door [Locks 50 +0 vs 30]."});
    answer.answer = 1;
    EXPECT_TRUE(open(kDoorColumn + 1));
    EXPECT_TRUE(sunDoor->IsOpen());
    EXPECT_EQ(OpenCells(area),
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{3, 5}, {2, 5}}));
    EXPECT_EQ(DrainEvents(*town.game), std::vector<std::string>{"event 1"});
    // What a script opened nobody closes.
    EXPECT_TRUE(open(kDoorColumn));
    EXPECT_TRUE(sunDoor->IsOpen());
    EXPECT_EQ(answer.runs, 2);
}

TEST(UseItems, ContainersOpenTheirInventoryOrTalk)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    VARD::CEngine& engine = *town.engine;
    VARD::CObject& chest = *FindObject(town, "town_chest");
    VARD::CObject& shrine = *FindObject(town, "temple_shrine");
    const auto use = [&](std::uint32_t id)
    {
        return Step(hero, std::make_shared<CUseOrder>(VARD::kUseObject, id, 0),
                    [&](CActor& a, const VARD::COrder& o) { engine.OpenContainerOrTalk(a, o); });
    };
    EXPECT_TRUE(use(0x02FFFFFFu)) << "a missing object ends the order";
    hero.SetPosition(chest.GetX() + 30.0, chest.GetY());
    EXPECT_FALSE(use(chest.Id())) << "walks first";
    hero.SetPosition(chest.GetX(), chest.GetY() + 2.0);
    chest.SetLockValue(60);
    EXPECT_TRUE(use(chest.Id()));
    chest.SetLockValue(0);
    EXPECT_TRUE(use(chest.Id()));
    hero.SetPosition(shrine.GetX(), shrine.GetY() + 3.0);
    EXPECT_TRUE(use(shrine.Id()));
    const std::string ids = std::to_string(hero.Id()) + ' ';
    EXPECT_EQ(DrainEvents(*town.game),
              (std::vector<std::string>{"21 Hero can't unlock Wooden chest [Locks 50 +0 vs 60].",
                                        "inventory " + ids + std::to_string(chest.Id()),
                                        "talk " + ids + std::to_string(shrine.Id())}));
}

TEST(UseItems, ScrollsAreInscribedPotionsAndWandsWaitForTheirTurn)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    VARD::CGame& game = *town.game;
    VARD::CEngine& engine = *town.engine;
    const VARD::CModule& module = engine.Module();
    const auto useNow = [&](std::uint32_t itemId)
    { return RunOrder(town, hero, std::make_shared<CUseOrder>(VARD::kUseItem, 0, itemId)); };
    const auto useInTurn = [&](std::uint32_t itemId, std::uint32_t target)
    {
        return Step(hero, std::make_shared<CUseOrder>(VARD::kUseItem, target, itemId),
                    [&](CActor& a, const VARD::COrder& o) { engine.DoUse(a, o, false); });
    };

    EXPECT_EQ(useNow(12345), -1);
    EXPECT_TRUE(useInTurn(12345, 0));
    auto scrolls = GiveItem(town, hero, "i_scroll-heal", 2);
    EXPECT_EQ(useNow(scrolls->Id()), -1);
    EXPECT_EQ(DrainEvents(game),
              (std::vector<std::string>{"18 Hero has no such item.", "18 Hero has no such item.",
                                        "18 Hero can't use Scroll of Heal."}));
    EXPECT_TRUE(hero.GetInstantOrders().empty());

    // A stack of two becomes one; the spell is known from then on.
    hero.Skills().insert(40);
    const VARD::CSpell& heal = *module.FindSpell("heal");
    EXPECT_EQ(useNow(scrolls->Id()), -1);
    EXPECT_TRUE(hero.KnowsSpell(heal));
    EXPECT_EQ(scrolls->GetValue1(), 1u);
    EXPECT_EQ(useNow(scrolls->Id()), -1);
    engine.InscribeScroll(hero, *scrolls);
    EXPECT_EQ(scrolls->GetValue1(), 1u) << "a known spell keeps the scroll";
    EXPECT_EQ(std::count(hero.GetSpells().begin(), hero.GetSpells().end(), &heal), 1);
    EXPECT_EQ(DrainEvents(game), (std::vector<std::string>{"18 Hero inscribes Heal.",
                                                           "18 Hero can't use Scroll of Heal."}));

    // A single scroll used in its turn goes from the backpack.
    auto bless = GiveItem(town, hero, "i_scroll-bless", 1);
    EXPECT_TRUE(useInTurn(bless->Id(), 0));
    EXPECT_TRUE(hero.KnowsSpell(*module.FindSpell("bless")));
    EXPECT_EQ(CountOf(hero, "i_scroll-bless"), 0u);
    EXPECT_EQ(DrainEvents(game), std::vector<std::string>{"18 Hero inscribes Bless."});

    // Potions and wands are not used at once; in their turn they cast
    // without asking the user's energy.
    auto potion = GiveItem(town, hero, "i_potion-heal", 2);
    EXPECT_EQ(useNow(potion->Id()), -1);
    EXPECT_EQ(potion->GetValue1(), 2u);
    EXPECT_TRUE(DrainEvents(game).empty());
    hero.SetEnergySpent(hero.GetMaxEnergyPoints());
    // Whether the cast ends in this step is the cast's business; no refusal is.
    useInTurn(potion->Id(), 0);
    EXPECT_TRUE(DrainEvents(game).empty());

    auto wand = GiveItem(town, hero, "i_wand-fire_bolt", 1);
    CActor& farmer = *FindActor(town, "farmer");
    EXPECT_TRUE(useInTurn(wand->Id(), farmer.Id()));
    EXPECT_EQ(DrainEvents(game), std::vector<std::string>{"18 Hero can't use Wand of Fire Bolt."});
    hero.Skills().insert(73);
    hero.SetLevel(10);
    hero.SetEnergySpent(hero.GetMaxEnergyPoints());
    ASSERT_TRUE(hero.CanUseItem(*wand, false));
    EXPECT_EQ(useNow(wand->Id()), -1);
    useInTurn(wand->Id(), farmer.Id());
    EXPECT_TRUE(DrainEvents(game).empty());
    EXPECT_EQ(hero.GetEnergyPoints(), 0);

    // A carried item of no usable kind is refused by name.
    auto bread = GiveItem(town, hero, "bread", 1);
    EXPECT_TRUE(useInTurn(bread->Id(), 0));
    EXPECT_EQ(DrainEvents(game), std::vector<std::string>{"18 Hero can't use Bread."});
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<CUseOrder>(VARD::kUseDoor, 0, 0)), 3);
}

} // namespace
