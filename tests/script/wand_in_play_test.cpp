// A wand zapped through the tick, use after use, until it burns out.

#include "rules/item_orders_test_util.h"
#include "script/lua_script.h"

#include "world/brain.h"

#include <gtest/gtest.h>

namespace
{

using namespace OrderTest;

TEST(WandInPlay, CastsThroughTheTickUntilItBurnsOut)
{
    // The town's heartbeats run while the wand is used.
    VARD::InstallLuaScriptHost();
    Town town = EnterTown(3);
    VARD::CEngine& engine = *town.engine;
    VARD::CGame& game = *town.game;
    VARD::CActor& hero = *town.hero;
    hero.Skills().insert(73);
    hero.SetLevel(10);
    auto wand = GiveItem(town, hero, "i_wand-fire_bolt", 1);
    ASSERT_TRUE(hero.CanUseItem(*wand, false));

    // A farmer who neither fights back nor falls: the target of the zaps.
    VARD::CActor& farmer = *FindActor(town, "farmer");
    farmer.SetBrain(nullptr);
    farmer.SetHitPointBase(1000000);
    for (const auto& actor : town.area->Actors())
        if (actor.get() != &hero && actor.get() != &farmer)
            actor->SetBrain(nullptr);
    hero.SetPosition(farmer.GetX() + 6.0, farmer.GetY());
    DrainEvents(game);

    int uses = 0;
    bool burnt = false;
    const std::string burnout = "18 Hero's Wand of Fire Bolt burns out.";
    while (!burnt && uses < 400)
    {
        ++uses;
        hero.QueueOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseItem, farmer.Id(), wand->Id()),
                        false);
        for (int tick = 0; tick < 300 && hero.GetFrontOrder(); ++tick)
            engine.Tick();
        ASSERT_EQ(hero.GetFrontOrder(), nullptr) << "use " << uses << " never ended";
        for (const auto& line : DrainEvents(game))
        {
            EXPECT_EQ(line.find("can't use"), std::string::npos) << line;
            burnt = burnt || line == burnout;
        }
        // Until it burns out the wand stays whole.
        EXPECT_EQ(CountOf(hero, "i_wand-fire_bolt"), burnt ? 0u : 1u) << "after use " << uses;
    }
    EXPECT_TRUE(burnt) << "a 5% chance never came up in " << uses << " uses";
    EXPECT_GT(uses, 1);
    EXPECT_GT(farmer.GetDamageTaken(), 0) << "the bolts reached the farmer";
    EXPECT_EQ(hero.GetEnergySpent(), 0) << "a wand asks no energy";
}

} // namespace
