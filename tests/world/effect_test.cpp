#include "test_util.h"

#include "world/actor.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/spell.h"
#include "world/thing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace VARD;
using TestUtil::CodeOf;

namespace
{

constexpr double kQuarterTurn = 1.5707963705062866;

std::uint32_t TileId(std::uint32_t column, std::uint32_t row)
{
    return MakeThingId(kThingKindTile, row * 1000u + column);
}

std::shared_ptr<CActor> ActorAt(CArea& area, std::uint32_t number, double x, double y)
{
    auto actor = std::make_shared<CActor>(MakeThingId(kThingKindActor, number));
    actor->SetPosition(x, y);
    area.AddActor(actor);
    return actor;
}

} // namespace

TEST(PlacedEffect, BaseKeepsWhatItIsGiven)
{
    const CEffect effect(MakeThingId(kThingKindEffect, 12), 7, 0xDEADBEEFu, TileId(3, 4), "Mage",
                         "fx_bolt", -5);
    EXPECT_EQ(effect.Id(), MakeThingId(kThingKindEffect, 12));
    EXPECT_EQ(effect.GetKind(), 7u);
    EXPECT_EQ(effect.GetLaunchValue(), 0xDEADBEEFu);
    EXPECT_EQ(effect.GetTargetId(), TileId(3, 4));
    EXPECT_EQ(effect.GetSourceName(), "Mage");
    EXPECT_EQ(effect.GetSecondText(), "fx_bolt");
    EXPECT_EQ(effect.GetIntValue(), -5);
    EXPECT_DOUBLE_EQ(effect.GetX(), 0.0);
    EXPECT_DOUBLE_EQ(effect.GetY(), 0.0);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), 0.0);
    EXPECT_DOUBLE_EQ(effect.GetSpeed(), 0.0);
    EXPECT_FALSE(effect.HasArrived());
    EXPECT_EQ(effect.GetGraphic(), nullptr);
}

TEST(PlacedEffect, AttackIsKindZeroWithItsSwing)
{
    CAttackInfo swing;
    swing.name = "Longbow";
    swing.attackBonus = 14;
    swing.dieSize = 8;
    swing.base = 2;
    const CEffectAttack effect(MakeThingId(kThingKindEffect, 3), 9, MakeThingId(kThingKindActor, 4),
                               "Archer", "arrow_fx", swing);
    EXPECT_EQ(effect.GetKind(), kEffectKindAttack);
    EXPECT_EQ(effect.GetKind(), 0u);
    EXPECT_EQ(effect.GetIntValue(), 0);
    EXPECT_EQ(effect.GetLaunchValue(), 9u);
    EXPECT_EQ(effect.GetTargetId(), MakeThingId(kThingKindActor, 4));
    EXPECT_EQ(effect.GetSourceName(), "Archer");
    EXPECT_EQ(effect.GetSecondText(), "arrow_fx");
    EXPECT_EQ(effect.GetAttack().name, "Longbow");
    EXPECT_EQ(effect.GetAttack().attackBonus, 14);
    EXPECT_EQ(effect.GetAttack().dieSize, 8);
    EXPECT_EQ(effect.GetAttack().base, 2);
}

TEST(PlacedEffect, SpellIsKindOneWithTheCastersValuesInOrder)
{
    const CSpell sneak("s_power-sneak");
    const CSpell* spell = &sneak;
    const CEffectSpell effect(MakeThingId(kThingKindEffect, 5), 11, TileId(1, 2), "Trap", "fx_fire",
                              42, 1, spell, 17, -3, 58);
    EXPECT_EQ(effect.GetKind(), kEffectKindSpell);
    EXPECT_EQ(effect.GetKind(), 1u);
    EXPECT_EQ(effect.GetLaunchValue(), 11u);
    EXPECT_EQ(effect.GetIntValue(), 42);
    EXPECT_EQ(effect.GetSecondText(), "fx_fire");
    EXPECT_EQ(effect.GetPartyFlag(), 1u);
    EXPECT_EQ(effect.GetSpell(), spell);
    EXPECT_EQ(effect.GetCastingBonus(), 17);
    EXPECT_EQ(effect.GetAttackBonus(), -3);
    EXPECT_EQ(effect.GetPenetrationSkill(), 58);

    const CEffectSpell empty(MakeThingId(kThingKindEffect, 6), 0, TileId(1, 2), "Trap", "", 0, 0,
                             nullptr, 4, 0, 83);
    EXPECT_EQ(empty.GetSpell(), nullptr);
    EXPECT_EQ(empty.GetPartyFlag(), 0u);
}

TEST(PlacedEffect, TurnsTowardATileCentre)
{
    CArea area(nullptr);
    // Tile (column 4, row 2) has its centre at (11.25, 6.25).
    CEffect effect(1, kEffectKindSpell, 0, TileId(4, 2), "Mage", "", 0);

    effect.SetPosition(area, 1.25, 6.25);
    EXPECT_DOUBLE_EQ(effect.GetX(), 1.25);
    EXPECT_DOUBLE_EQ(effect.GetY(), 6.25);
    // Straight ahead along +x.
    EXPECT_DOUBLE_EQ(effect.GetFacing(), -1.5707963705062866);

    // Target south of the point (larger y).
    effect.SetPosition(area, 11.25, 1.25);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), -1.5707963267948966 - kQuarterTurn);
    // Target north of the point (smaller y): facing 0 up to the rounding of
    // the single-precision quarter turn.
    effect.SetPosition(area, 11.25, 16.25);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), 1.5707963267948966 - kQuarterTurn);
    EXPECT_NE(effect.GetFacing(), 0.0);
    // Along -x the negated zero difference in y takes atan2 to -pi.
    effect.SetPosition(area, 21.25, 6.25);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), -3.141592653589793 - kQuarterTurn);
}

TEST(PlacedEffect, TileNumbersAboveAThousandColumns)
{
    CArea area(nullptr);
    // Row 12, column 7: number 12007.
    CEffect effect(1, kEffectKindSpell, 0, MakeThingId(kThingKindTile, 12007), "Mage", "", 0);
    effect.SetPosition(area, 18.75, 0.0);
    // Target (18.75, 31.25): straight along +y.
    EXPECT_DOUBLE_EQ(effect.GetFacing(), std::atan2(-31.25, 0.0) - kQuarterTurn);
    effect.SetPosition(area, 18.75, 31.25);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), std::atan2(-31.25, 0.0) - kQuarterTurn);
}

TEST(PlacedEffect, OnItsTargetKeepsThePreviousFacing)
{
    CArea area(nullptr);
    CEffect effect(1, kEffectKindSpell, 0, TileId(0, 0), "Mage", "", 0);
    effect.SetPosition(area, 1.25, 11.25);
    const double facing = effect.GetFacing();
    ASSERT_NE(facing, 0.0);
    effect.SetPosition(area, 1.25, 1.25);
    EXPECT_DOUBLE_EQ(effect.GetX(), 1.25);
    EXPECT_DOUBLE_EQ(effect.GetY(), 1.25);
    EXPECT_EQ(effect.GetFacing(), facing);
}

TEST(PlacedEffect, TurnsTowardATargetActorOfTheArea)
{
    CArea area(nullptr);
    ActorAt(area, 1, 50.0, 50.0);
    auto target = ActorAt(area, 2, 30.0, 10.0);
    CEffectAttack effect(1, 0, target->Id(), "Archer", "", CAttackInfo{});

    effect.SetPosition(area, 10.0, 10.0);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), -kQuarterTurn);
    // The actor moves; the next placement follows it.
    target->SetPosition(10.0, 40.0);
    effect.SetPosition(area, 10.0, 10.0);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), std::atan2(-30.0, 0.0) - kQuarterTurn);
}

TEST(PlacedEffect, TargetsThatAreNoTileOrActorAreCode2)
{
    CArea area(nullptr);
    ActorAt(area, 2, 30.0, 10.0);
    for (const std::uint32_t target :
         {MakeThingId(kThingKindObject, 2), MakeThingId(kThingKindEffect, 2),
          MakeThingId(kThingKindItem, 2), MakeThingId(0, 2), MakeThingId(6, 2)})
    {
        CEffect effect(1, kEffectKindSpell, 0, target, "Mage", "", 0);
        EXPECT_EQ(CodeOf([&] { effect.SetPosition(area, 5.0, 6.0); }), 2) << target;
        // Not positioned: the effect stays where it was.
        EXPECT_DOUBLE_EQ(effect.GetX(), 0.0);
        EXPECT_DOUBLE_EQ(effect.GetY(), 0.0);
        EXPECT_DOUBLE_EQ(effect.GetFacing(), 0.0);
    }
}

TEST(PlacedEffect, TargetGoneKeepsTheFacing)
{
    CArea area(nullptr);
    ActorAt(area, 2, 30.0, 10.0);
    CEffect effect(1, kEffectKindSpell, 0, MakeThingId(kThingKindActor, 2), "Mage", "", 0);
    effect.SetPosition(area, 10.0, 10.0);
    const double facing = effect.GetFacing();
    EXPECT_DOUBLE_EQ(facing, -kQuarterTurn);
    // The target leaves the area; the effect moves on with its old heading.
    area.RemoveActor(area.FindActorById(MakeThingId(kThingKindActor, 2)));
    effect.SetPosition(area, 12.0, 15.0);
    EXPECT_DOUBLE_EQ(effect.GetX(), 12.0);
    EXPECT_DOUBLE_EQ(effect.GetY(), 15.0);
    EXPECT_DOUBLE_EQ(effect.GetFacing(), facing);
}

TEST(PlacedEffect, FlightStateAndGraphic)
{
    CEffect effect(1, kEffectKindAttack, 0, TileId(0, 0), "", "", 0);
    effect.SetSpeed(75.0);
    EXPECT_DOUBLE_EQ(effect.GetSpeed(), 75.0);
    effect.SetArrived();
    EXPECT_TRUE(effect.HasArrived());

    auto owner = std::make_shared<int>(1);
    effect.SetGraphic(std::shared_ptr<VARDGraph::CGraphic>(owner, nullptr));
    EXPECT_EQ(owner.use_count(), 2);
    effect.SetGraphic(nullptr);
    EXPECT_EQ(owner.use_count(), 1);
}

TEST(PlacedEffect, DestructionReleasesTheGraphic)
{
    auto owner = std::make_shared<int>(1);
    {
        auto effect = std::make_unique<CEffectAttack>(1, 0, TileId(0, 0), "Archer", "arrow",
                                                      CAttackInfo{"Bow", 1, 6, 0});
        effect->SetGraphic(std::shared_ptr<VARDGraph::CGraphic>(owner, nullptr));
        // Destroyed through the base, as the area's list does.
        std::unique_ptr<CThing> thing = std::move(effect);
        EXPECT_EQ(owner.use_count(), 2);
    }
    EXPECT_EQ(owner.use_count(), 1);
}
