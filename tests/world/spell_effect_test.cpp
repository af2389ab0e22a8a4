#include "world/spell_effect.h"

#include "rule_test_util.h"
#include "world/actor_template.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace VARD;
using RuleTest::CodeOf;
using RuleTest::ReaderOf;

namespace
{

// Reads "<effect> body </effect>" as the spell reader does.
std::shared_ptr<CSpellEffect> EffectOf(const std::string& body, int level = 5)
{
    auto reader = ReaderOf("<effect> " + body + " </effect>");
    reader.ReadStartTag("effect");
    auto effect = CSpellEffect::Create(reader, level);
    reader.ReadEndTag();
    return effect;
}

int CodeOfEffect(const std::string& body)
{
    return CodeOf([&] { EffectOf(body); });
}

template <typename T> const T& As(const std::shared_ptr<CSpellEffect>& effect)
{
    const T* typed = dynamic_cast<const T*>(effect.get());
    EXPECT_NE(typed, nullptr);
    return *typed;
}

} // namespace

TEST(SpellEffects, KindsAndHostility)
{
    struct CCase
    {
        const char* body;
        int kind;
        bool hostile;
    };
    const std::vector<CCase> cases = {
        {"modify 1round (4 -2) attack", 0, false},
        {"modify 1round 0 -2 attack", 0, true},
        {"modify 1round 0 0 attack", 0, true},
        {"modify 1round 0 1 attack", 0, false},
        {"summon 5rounds wolf friendly", 1, false},
        {"heal (8 2)", 2, false},
        {"damage (6 1)", 3, true},
        {"teleport party", 4, false},
        {"status 2rounds fear", 5, true},
        {"mana 10", 6, false},
        {"remove held", 7, false},
        {"dispel many hostile", 8, false},
        {"dispel many", 8, true},
        {"dispel", 8, true},
        {"item 1hour torch", 9, false},
        {"repulse", 10, true},
        {"raise heal", 11, true},
    };
    for (const CCase& c : cases)
    {
        const auto effect = EffectOf(c.body);
        EXPECT_EQ(effect->GetKind(), c.kind) << c.body;
        EXPECT_EQ(effect->IsHostile(), c.hostile) << c.body;
    }
}

TEST(SpellEffects, ModifyFields)
{
    const auto effect = EffectOf("modify levelrounds <value> 10 (0 4) (2 6) </value> "
                                 "attack damage spellresistance",
                                 5);
    const auto& modify = As<CSpellEffectModify>(effect);
    EXPECT_EQ(modify.GetStatMask(), 0x1u | 0x2u | 0x40000u);
    EXPECT_EQ(modify.GetDuration()->GetLengthAt(15), 22);
    EXPECT_EQ(modify.GetMagnitude()->GetLowBonus(), 15);
    EXPECT_EQ(modify.GetMagnitude()->GetHighBonus(), 25);
    EXPECT_EQ(modify.GetMagnitude()->GetFixedAtHigh(), 6);
}

TEST(SpellEffects, BuiltFromValuesForPowers)
{
    const CSpellEffectModify modify(50, 10, 15, 0x4);
    EXPECT_EQ(modify.GetKind(), kSpellEffectModify);
    EXPECT_FALSE(modify.IsHostile());
    EXPECT_TRUE(modify.GetDuration()->IsIndefinite());
    EXPECT_EQ(modify.GetMagnitude()->GetLowBonus(), 60);
    EXPECT_EQ(modify.GetMagnitude()->GetHighBonus(), 60);
    EXPECT_EQ(modify.GetMagnitude()->GetDieAtLow(), 0);
    EXPECT_EQ(modify.GetMagnitude()->GetFixedAtLow(), 10);
    EXPECT_EQ(modify.GetMagnitude()->GetFixedAtHigh(), 15);
    EXPECT_EQ(modify.GetStatMask(), 0x4u);
}

TEST(SpellEffects, OtherFields)
{
    const auto summonEffect = EffectOf("summon 10rounds skeleton_warrior berserk");
    const auto& summon = As<CSpellEffectSummon>(summonEffect);
    EXPECT_EQ(summon.GetCreature(), "skeleton_warrior");
    EXPECT_EQ(summon.GetAttitude(), 4);
    EXPECT_EQ(summon.GetDuration()->GetLengthAtLow(), 100);
    EXPECT_EQ(As<CSpellEffectSummon>(EffectOf("summon 0 0 party")).GetCreature(), "");

    EXPECT_EQ(As<CSpellEffectHeal>(EffectOf("mana (4 1)")).GetMagnitude()->GetDieAtLow(), 4);
    EXPECT_EQ(As<CSpellEffectDamage>(EffectOf("damage 0 9")).GetMagnitude()->GetFixedAtLow(), 9);

    const auto teleportEffect = EffectOf("teleport return party");
    const auto& teleport = As<CSpellEffectTeleport>(teleportEffect);
    EXPECT_TRUE(teleport.IsParty());
    EXPECT_TRUE(teleport.IsReturn());
    EXPECT_FALSE(As<CSpellEffectTeleport>(EffectOf("teleport")).IsParty());

    EXPECT_EQ(As<CSpellEffectStatus>(EffectOf("status 1round dominated")).GetStatus(), 5);
    EXPECT_EQ(As<CSpellEffectRemove>(EffectOf("remove confused")).GetStatus(), 2);

    const auto dispelEffect = EffectOf("dispel resolve whatever many");
    const auto& dispel = As<CSpellEffectDispel>(dispelEffect);
    EXPECT_TRUE(dispel.IsMany());
    EXPECT_FALSE(dispel.IsDispelHostile());
    EXPECT_EQ(dispel.GetSlotFilter(), 2);
    EXPECT_EQ(As<CSpellEffectDispel>(EffectOf("dispel hostile")).GetSlotFilter(),
              CSpellEffectDispel::kAnySlot);

    const auto itemEffect = EffectOf("item 8hours i_flaming_sword");
    const auto& item = As<CSpellEffectItem>(itemEffect);
    EXPECT_EQ(item.GetItem(), "i_flaming_sword");
    EXPECT_EQ(item.GetDuration()->GetLengthAtLow(), 28800);

    EXPECT_TRUE(As<CSpellEffectRaise>(EffectOf("raise heal")).IsHeal());
    EXPECT_FALSE(As<CSpellEffectRaise>(EffectOf("raise")).IsHeal());
}

TEST(SpellEffects, NamesResolveThroughTheModule)
{
    CModule module;
    const auto summonEffect = EffectOf("summon 1round wolf hostile");
    const auto& summon = As<CSpellEffectSummon>(summonEffect);
    const auto itemEffect = EffectOf("item 1round torch");
    const auto& item = As<CSpellEffectItem>(itemEffect);
    EXPECT_EQ(summon.FindCreature(module), nullptr);
    EXPECT_EQ(item.FindItemTemplate(module), nullptr);

    // Templates loaded after the spells are found by the kept names.
    auto monster = ReaderOf("<monster> wolf \"Wolf\" \"\" (1 1 1) 0 wolf male human 1.0 1.0 0 "
                            "fighter 1 0 10 10 10 10 10 10 </monster>");
    module.ActorTemplates()["wolf"] = std::make_shared<CActorTemplate>(monster, module);
    const CSpell sneak(std::string("s_power-sneak"));
    module.ItemTemplates()["torch"] = std::make_shared<CItemTemplate>(module, 6u, sneak);
    EXPECT_EQ(summon.FindCreature(module), module.ActorTemplates()["wolf"].get());
    EXPECT_EQ(item.FindItemTemplate(module), module.ItemTemplates()["torch"].get());
}

TEST(SpellEffects, BadBlocks)
{
    struct CCase
    {
        const char* body;
        int code;
    };
    const std::vector<CCase> cases = {
        {"heals 6", 2},                      // kind key outside the table
        {"Modify 1round 4 attack", 2},       // keys are lower case
        {"modify 1round 4 attack speed", 1}, // stat word
        {"modify forever 4 attack", 1},      // duration word
        {"summon 1round wolf enemy", 2},     // attitude word
        {"teleport home", 1},
        {"status 1round sleep", 1},
        {"remove sleep", 1},
        {"raise heal fully", 1},
        {"raise 1", 1},
        {"heal", 1},        // magnitude missing
        {"repulse now", 1}, // nothing may follow
        {"item 1round torch extra", 1},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(CodeOfEffect(c.body), c.code) << c.body;

    EXPECT_EQ(CodeOf([] { CSpellEffectHeal(kSpellEffectDamage, nullptr); }), 1);
}
