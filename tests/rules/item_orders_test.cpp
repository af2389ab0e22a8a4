// Wield, unwield, get, drop, split, combine and give, the lock of a
// container, and the numbers of buying and selling.

#include "item_orders_test_util.h"

#include "world/spell.h"

#include <gtest/gtest.h>

namespace
{

using namespace OrderTest;
using RulesTest::Holds;
using VARD::CActor;
using VARD::CItem;

// The merchant of the market, with the hero beside it.
CActor& MeetMerchant(const Town& town, const std::string& templateName = "merchant")
{
    CActor* merchant = FindActor(town, templateName);
    EXPECT_NE(merchant, nullptr);
    town.hero->SetPosition(merchant->GetX() + 3.0, merchant->GetY());
    return *merchant;
}

std::shared_ptr<CItem> Ware(const CActor& merchant, const std::string& name)
{
    for (const auto& item : merchant.Backpack())
        if (item->GetTemplate()->GetName() == name)
            return item;
    return nullptr;
}

TEST(ItemOrders, StackStoreAndLockArithmetic)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;

    // Wielding one dagger of twenty makes a new item for the hand.
    auto daggers = GiveItem(town, hero, "dagger", 20);
    ASSERT_EQ(RunOrder(town, hero, std::make_shared<VARD::CWieldOrder>(daggers->Id(), 0)), -1);
    const auto& wielded = hero.GetEquipmentSlot(VARD::kSlotMainHand);
    ASSERT_TRUE(wielded);
    EXPECT_NE(wielded->Id(), daggers->Id());
    EXPECT_EQ(wielded->GetValue1(), 1u);
    EXPECT_EQ(wielded->GetHolder(), static_cast<int>(hero.Id()));
    EXPECT_EQ(daggers->GetValue1(), 19u);

    struct SplitCase
    {
        std::int32_t count;
        int code;
        std::uint32_t left;
    };
    for (const SplitCase& row : {SplitCase{2, -1, 3}, SplitCase{5, 3, 5}, SplitCase{0, 3, 5},
                                 SplitCase{-1, 3, 5}, SplitCase{6, 3, 5}})
    {
        auto bread = GiveItem(town, hero, "bread", 5);
        const std::size_t before = hero.Backpack().size();
        EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CSplitOrder>(bread->Id(), row.count)),
                  row.code)
            << row.count;
        EXPECT_EQ(bread->GetValue1(), row.left) << row.count;
        ASSERT_EQ(hero.Backpack().size(), before + (row.code == -1 ? 1 : 0)) << row.count;
        if (row.code == -1)
        {
            EXPECT_EQ(hero.Backpack().back()->GetValue1(), 2u);
            hero.RemoveBackpackItem(hero.Backpack().back().get());
        }
        hero.RemoveBackpackItem(bread.get());
    }

    // Selling: the merchant pays ceil(value / 2) a unit, for what he buys:
    // no odds and ends, so that the temple key cannot be sold away.
    CActor& merchant = MeetMerchant(town);
    struct SellCase
    {
        const char* item;
        std::uint32_t held;
        std::uint32_t sold;
        int code;
        std::int32_t gain;
        std::uint32_t left;
    };
    for (const SellCase& row :
         {SellCase{"bread", 5, 5, 3, 0, 5}, SellCase{"temple_key", 1, 1, 3, 0, 1},
          SellCase{"i_potion-heal", 3, 2, -1, 38, 1}, SellCase{"i_scroll-heal", 1, 1, -1, 9, 0},
          SellCase{"quarterstaff", 1, 1, -1, 4, 0}, SellCase{"i_potion-heal", 2, 3, 3, 0, 2},
          SellCase{"i_potion-heal", 2, 0, -1, 0, 2}})
    {
        town.game->SetGold(100);
        auto item = GiveItem(town, hero, row.item, row.held);
        EXPECT_EQ(
            RunOrder(town, hero,
                     std::make_shared<VARD::CStoreOrder>(0, merchant.Id(), item->Id(), row.sold)),
            row.code)
            << row.item;
        EXPECT_EQ(town.game->GetGold(), 100 + row.gain) << row.item;
        EXPECT_EQ(CountOf(hero, row.item), row.left) << row.item;
        if (row.left != 0)
            hero.RemoveBackpackItem(item.get());
    }
    EXPECT_EQ(Ware(merchant, "i_scroll-heal"), nullptr) << "the merchant receives nothing";

    // Buying: n times the value; the merchant keeps what is left.
    struct BuyCase
    {
        std::uint32_t count;
        std::int32_t gold;
        int code;
        std::int32_t goldAfter;
        std::uint32_t merchantLeft;
    };
    auto potions = Ware(merchant, "i_potion-heal");
    ASSERT_TRUE(potions);
    ASSERT_EQ(potions->GetValue1(), 5u);
    for (const BuyCase& row :
         {BuyCase{2, 100, -1, 26, 3}, BuyCase{0, 100, 3, 100, 3}, BuyCase{4, 500, 3, 500, 3},
          BuyCase{2, 73, 3, 73, 3}, BuyCase{3, 111, -1, 0, 0}})
    {
        town.game->SetGold(row.gold);
        const std::uint32_t before = CountOf(hero, "i_potion-heal");
        EXPECT_EQ(RunOrder(town, hero,
                           std::make_shared<VARD::CStoreOrder>(1, merchant.Id(), potions->Id(),
                                                               row.count)),
                  row.code)
            << row.count;
        EXPECT_EQ(town.game->GetGold(), row.goldAfter) << row.count;
        EXPECT_EQ(CountOf(hero, "i_potion-heal"), before + (row.code == -1 ? row.count : 0));
        EXPECT_EQ(CountOf(merchant, "i_potion-heal"), row.merchantLeft) << row.count;
    }
    EXPECT_EQ(hero.Backpack().back()->GetHolder(), static_cast<int>(hero.Id()));

    // The container lock: 50 + the Locks check must beat the lock.
    DrainEvents(*town.game);
    ASSERT_EQ(hero.GetSkillCheck(0), 0);
    VARD::CObject& chest = *FindObject(town, "town_chest");
    hero.SetPosition(chest.GetX(), chest.GetY() + 2.0);
    const std::string name = chest.GetTalkName();
    struct LockCase
    {
        std::uint32_t lock;
        bool opens;
        std::string message;
    };
    for (const LockCase& row :
         {LockCase{50, false, "21 Hero can't unlock " + name + " [Locks 50 +0 vs 50]."},
          LockCase{49, true, "2 Hero picks the lock on " + name + " [Locks 50 +0 vs 49]."},
          LockCase{0, true, ""}})
    {
        chest.SetLockValue(row.lock);
        EXPECT_EQ(town.engine->PickLock(hero, chest), row.opens) << row.lock;
        EXPECT_EQ(chest.GetLockValue(), row.opens ? 0u : row.lock);
        const auto lines = DrainEvents(*town.game);
        EXPECT_EQ(lines, row.message.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{row.message});
    }
}

TEST(ItemOrders, WieldingTakesTheHandsIntoAccount)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    auto staff = GiveItem(town, hero, "quarterstaff", 1);
    auto shield = GiveItem(town, hero, "wooden_shield", 1);
    auto robe = GiveItem(town, hero, "robe", 1);
    auto bread = GiveItem(town, hero, "bread", 1);
    auto dagger = GiveItem(town, hero, "dagger", 1);
    auto wield = [&](const std::shared_ptr<CItem>& item, std::int32_t slot)
    { return RunOrder(town, hero, std::make_shared<VARD::CWieldOrder>(item->Id(), slot)); };
    const VARD::CSpell& sneak = *town.engine->Module().FindSpell(VARD::kSneakPowerKey);
    ASSERT_TRUE(hero.ActivatePower(sneak, town.game->GetTick()));

    // Armour does not take the hands: no alert, the power goes on.
    EXPECT_EQ(wield(robe, 2), -1);
    EXPECT_EQ(hero.GetEquipmentSlot(2), robe);
    EXPECT_EQ(hero.GetActivityState(), VARD::kActivityIdle);
    EXPECT_EQ(hero.GetPower(), &sneak);
    EXPECT_EQ(DrainEvents(*town.game), std::vector<std::string>{"event 9"});

    EXPECT_EQ(wield(shield, 1), -1);
    EXPECT_EQ(hero.GetActivityState(), VARD::kActivityAlerted);
    EXPECT_EQ(hero.GetPower(), nullptr);
    EXPECT_EQ(DrainEvents(*town.game), (std::vector<std::string>{"event 12", "event 9"}));

    EXPECT_EQ(wield(staff, 0), -1);
    EXPECT_EQ(wield(bread, 3), -1);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CUnwieldOrder>(4)), -1);
    EXPECT_EQ(
        DrainEvents(*town.game),
        (std::vector<std::string>{"18 Hero can't wield Staff while holding Shield.",
                                  "18 Hero can't wield Bread.", "18 Hero can't unwield that."}));
    EXPECT_EQ(hero.GetEquipmentSlot(0), nullptr);

    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CUnwieldOrder>(1)), -1);
    EXPECT_EQ(hero.Backpack().back(), shield);
    EXPECT_EQ(wield(staff, 0), -1);
    EXPECT_EQ(wield(shield, 1), -1);
    EXPECT_EQ(wield(dagger, 0), -1);
    auto lines = DrainEvents(*town.game);
    EXPECT_TRUE(Holds(lines, "18 Hero can't wield Shield while holding Staff."));
    EXPECT_TRUE(Holds(lines, "18 Hero can't wield Dagger; is already wielding Staff."));
    EXPECT_EQ(hero.GetEquipmentSlot(1), nullptr);
    EXPECT_EQ(CountOf(hero, "wooden_shield"), 1u);

    EXPECT_EQ(wield(bread, 7), 3);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CUnwieldOrder>(-1)), 3);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CWieldOrder>(12345, 0)), 3);
}

TEST(ItemOrders, GettingAndDroppingMovesThingsBetweenPilesAndPacks)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    const std::size_t objects = town.area->Objects().size();
    auto loaves = GiveItem(town, hero, "bread", 3);
    auto key = GiveSealedLetter(town, hero);

    ASSERT_EQ(RunOrder(town, hero, std::make_shared<VARD::CSplitOrder>(loaves->Id(), 1)), -1);
    const auto loaf = hero.Backpack().back();
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CDropOrder>(0, loaves->Id())), -1);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CDropOrder>(0, loaf->Id())), -1);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CDropOrder>(0, key->Id())), -1);
    EXPECT_EQ(DrainEvents(*town.game),
              std::vector<std::string>{"18 Hero can't drop Sealed Letter."});
    ASSERT_EQ(town.area->Objects().size(), objects + 2) << "each drop makes its own pile";
    const auto pile = town.area->Objects().back();
    EXPECT_TRUE(pile->IsPile());
    EXPECT_EQ(pile->GetItems().front(), loaf);
    EXPECT_EQ(CountOf(hero, "bread"), 0u);

    hero.SetPosition(hero.GetX() + 20.0, hero.GetY());
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGetOrder>(pile->Id(), loaf->Id())), -1);
    EXPECT_EQ(DrainEvents(*town.game),
              std::vector<std::string>{"18 Hero can't reach " + pile->GetTalkName() + "."});
    hero.SetPosition(pile->GetX(), pile->GetY());
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGetOrder>(pile->Id(), loaves->Id())), 3);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGetOrder>(pile->Id(), loaf->Id())), -1);
    EXPECT_EQ(town.area->Objects().size(), objects + 1) << "the emptied pile is gone";
    EXPECT_EQ(loaf->GetHolder(), static_cast<int>(hero.Id()));

    // Money becomes the party's gold and no item.
    auto purse = town.area->CreatePile(hero.GetX(), hero.GetY());
    auto gold = MakeItem(town, "gold", 30);
    purse->AddItem(gold);
    town.game->SetGold(7);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGetOrder>(purse->Id(), gold->Id())), -1);
    EXPECT_EQ(DrainEvents(*town.game),
              std::vector<std::string>{"19 The party has gained 30 gold."});
    EXPECT_EQ(town.game->GetGold(), 37);
    EXPECT_EQ(CountOf(hero, "gold"), 0u);
    EXPECT_EQ(town.area->FindObjectById(purse->Id()), nullptr);

    // Onto a locked chest: the lock decides, the loaf stays on failure.
    VARD::CObject& chest = *FindObject(town, "town_chest");
    chest.SetLockValue(80);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CDropOrder>(chest.Id(), loaf->Id())), -1);
    hero.SetPosition(chest.GetX(), chest.GetY() + 2.0);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CDropOrder>(chest.Id(), loaf->Id())), -1);
    auto lines = DrainEvents(*town.game);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "18 Hero can't reach " + chest.GetTalkName() + ".");
    EXPECT_EQ(lines[1].rfind("21 Hero can't unlock ", 0), 0u) << lines[1];
    EXPECT_EQ(CountOf(hero, "bread"), 1u);
    chest.SetLockValue(0);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CDropOrder>(chest.Id(), loaf->Id())), -1);
    EXPECT_EQ(chest.GetItems().back(), loaf);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CDropOrder>(77, loaf->Id())), 3);
}

TEST(ItemOrders, CombiningAndGivingKeepEveryItemSomewhere)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    auto two = GiveItem(town, hero, "bread", 2);
    auto three = GiveItem(town, hero, "bread", 3);
    auto torch = GiveItem(town, hero, "torch", 1);
    auto key = GiveSealedLetter(town, hero);

    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CCombineOrder>(two->Id(), two->Id())), 3);
    EXPECT_EQ(CountOf(hero, "bread"), 5u) << "combining with itself loses nothing";
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CCombineOrder>(two->Id(), torch->Id())),
              3);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CCombineOrder>(two->Id(), three->Id())),
              -1);
    EXPECT_EQ(two->GetValue1(), 5u);
    EXPECT_EQ(hero.Backpack().size(), 3u);

    // A friend of the party who stands beside the hero.
    CActor& friendly = *FindActor(town, "baker");
    CActor& farmer = *FindActor(town, "farmer");
    friendly.SetAttitude(VARD::kAttitudeParty);
    friendly.SetPosition(hero.GetX() + 3.0, hero.GetY());
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGiveOrder>(friendly.Id(), two->Id())),
              -1);
    EXPECT_EQ(CountOf(friendly, "bread"), 5u);
    EXPECT_EQ(two->GetHolder(), static_cast<int>(friendly.Id()));
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGiveOrder>(friendly.Id(), key->Id())),
              -1);
    EXPECT_EQ(DrainEvents(*town.game),
              std::vector<std::string>{"18 Hero can't give Sealed Letter."});
    farmer.SetPosition(hero.GetX(), hero.GetY() + 3.0);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGiveOrder>(farmer.Id(), torch->Id())),
              3);
    friendly.SetPosition(hero.GetX() + 40.0, hero.GetY());
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CGiveOrder>(friendly.Id(), torch->Id())),
              3);
    EXPECT_EQ(CountOf(hero, "torch"), 1u);
}

} // namespace
