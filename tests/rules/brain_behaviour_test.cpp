// Brains: rousing by provocation, alerts and sight, and the first step's
// choice of equipment.

#include "ai_test_util.h"

#include "world/brain.h"
#include "world/item_attribute.h"
#include "world/item_template.h"

#include <gtest/gtest.h>

namespace
{

using AITest::NewArena;
using VARD::CActor;

// The (item template, slot) of every queued wield order.
std::vector<std::pair<std::string, std::int32_t>> Wields(const CActor& actor)
{
    std::vector<std::pair<std::string, std::int32_t>> wields;
    for (const auto& order : actor.GetInstantOrders())
    {
        const auto& wield = dynamic_cast<const VARD::CWieldOrder&>(*order);
        const VARD::CItem* item = VARD::FindItemById(actor.Backpack(), wield.GetItemId());
        wields.emplace_back(item != nullptr ? item->GetTemplate()->GetName() : "?",
                            wield.GetSlot());
    }
    return wields;
}

TEST(BrainRousing, SidesTagsAndSight)
{
    auto arena = NewArena(31);
    const auto wolf = arena.Spawn("wolf", 150.0, 150.0);
    VARD::CBrain& brain = *wolf->GetBrain();
    ASSERT_EQ(wolf->GetAttitude(), VARD::kAttitudeNeutral);

    // Friendly or of the party: never roused, nothing changes.
    for (const std::uint32_t side : {VARD::kAttitudeParty, VARD::kAttitudeFriendly})
    {
        wolf->SetAttitude(side);
        EXPECT_FALSE(brain.Provoke(*wolf, nullptr));
        EXPECT_FALSE(brain.HearAlert(*wolf, "wolves"));
        EXPECT_EQ(wolf->GetAttitude(), side);
        EXPECT_TRUE(brain.GetPendingAlerts().empty());
    }
    wolf->SetAttitude(VARD::kAttitudeNeutral);
    EXPECT_FALSE(brain.HearAlert(*wolf, "Wolves"));
    EXPECT_TRUE(brain.HearAlert(*wolf, "wolves"));
    EXPECT_EQ(wolf->GetAttitude(), VARD::kAttitudeHostile);
    // Rousing twice calls twice.
    EXPECT_TRUE(brain.Provoke(*wolf, &arena.Hero()));
    EXPECT_EQ(brain.GetPendingAlerts(), (std::vector<std::string>{"wolves", "wolves"}));

    // Not provokable: the spider never is.
    const auto spider = arena.Spawn("cave_spider", 10.0, 10.0);
    spider->SetAttitude(VARD::kAttitudeNeutral);
    EXPECT_FALSE(spider->GetBrain()->Provoke(*spider, nullptr));

    // Sight: the wolf sees 70 units while its cell is in the party's sight.
    wolf->SetAttitude(VARD::kAttitudeNeutral);
    wolf->SetPosition(50.0, 121.0);
    EXPECT_FALSE(brain.LookForParty(*wolf, *arena.area));
    wolf->SetPosition(50.0, 120.0);
    EXPECT_TRUE(brain.LookForParty(*wolf, *arena.area));
    EXPECT_EQ(wolf->GetAttitude(), VARD::kAttitudeHostile);
    // A farmer looks for nobody by itself, but hears the town's call.
    const auto farmer = arena.Spawn("farmer", 52.0, 52.0);
    EXPECT_FALSE(farmer->GetBrain()->LookForParty(*farmer, *arena.area));
    EXPECT_TRUE(farmer->GetBrain()->HearAlert(*farmer, "town"));
}

TEST(BrainEquipment, WeaponArmourAndShieldOnceInTheirOrder)
{
    auto arena = NewArena(37);
    const auto orc = arena.Spawn("orc_warrior", 150.0, 150.0);
    VARD::CBrain& brain = *orc->GetBrain();
    brain.Update(*arena.engine, *orc);
    EXPECT_TRUE(brain.IsEquipped());
    EXPECT_EQ(Wields(*orc), (std::vector<std::pair<std::string, std::int32_t>>{
                                {"hand_axe", 0}, {"leather_armor", 2}, {"wooden_shield", 1}}));
    orc->InterruptOrders();
    brain.Update(*arena.engine, *orc);
    EXPECT_TRUE(orc->GetInstantOrders().empty());

    // Without shield_style the shield stays in the pack; an untrained
    // weapon still beats none, and of two equal ones the first is taken.
    const auto bare = arena.Spawn("orc_warrior", 160.0, 150.0);
    const auto& module = arena.engine->Module();
    const auto second =
        module.CreateItem("hand_axe", 1, arena.Game().NewThingId(VARD::kThingKindItem), 0);
    const auto* weapon = dynamic_cast<const VARD::CItemAttributeWeapon*>(
        second->FindAttribute(VARD::kItemAttributeWeapon));
    ASSERT_NE(weapon, nullptr);
    bare->Skills().erase(8);
    bare->Skills().erase(static_cast<int>(weapon->GetWeaponKind()));
    bare->AddBackpackItem(second);
    bare->GetBrain()->Update(*arena.engine, *bare);
    const auto wields = Wields(*bare);
    ASSERT_EQ(wields.size(), 2u);
    EXPECT_EQ(wields[0], (std::pair<std::string, std::int32_t>{"hand_axe", 0}));
    EXPECT_NE(bare->GetInstantOrders().front()->GetFirstId(), second->Id());
    EXPECT_EQ(wields[1], (std::pair<std::string, std::int32_t>{"leather_armor", 2}));

    // A trader takes weapons and armour, but nothing from its stock of
    // helmets; without wares to sell it would wear one.
    const auto armourer = arena.Spawn("armourer", 170.0, 150.0);
    armourer->GetBrain()->Update(*arena.engine, *armourer);
    for (const auto& [name, slot] : Wields(*armourer))
        EXPECT_LT(slot, 3) << name;
    const auto plain = arena.Spawn("armourer", 180.0, 150.0);
    plain->GetBuyTableForEdit().fill(0);
    plain->GetBrain()->Update(*arena.engine, *plain);
    const auto plainWields = Wields(*plain);
    EXPECT_EQ(plainWields.back(), (std::pair<std::string, std::int32_t>{"iron_helm", 3}));
}

TEST(BrainStep, CalmWhileNeutralRousedOtherwise)
{
    auto arena = NewArena(41);
    const auto farmer = arena.Spawn("farmer", 60.0, 50.0);
    farmer->SetActivityState(VARD::kActivityEngaged);
    VARD::CBrain& brain = *farmer->GetBrain();
    // Calm, the farmer wanders, which never attacks.
    for (int i = 0; i < 50; ++i)
        brain.Update(*arena.engine, *farmer);
    for (const auto& order : farmer->GetOrders())
        EXPECT_EQ(order->GetType(), VARD::kOrderMove);
    farmer->InterruptOrders();
    farmer->SetAttitude(VARD::kAttitudeHostile);
    brain.Update(*arena.engine, *farmer);
    ASSERT_EQ(AITest::Types(farmer->GetOrders()), std::vector<std::int32_t>{VARD::kOrderAttack});
    EXPECT_EQ(AITest::FrontTarget(*farmer), arena.Hero().Id());
}

} // namespace
