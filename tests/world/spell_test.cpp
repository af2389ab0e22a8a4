#include "world/spell.h"

#include "rule_test_util.h"
#include "world/effect_params.h"
#include "world/rule_tables.h"
#include "world/spell_effect.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace VARD;
using RuleTest::CodeOf;
using RuleTest::ReaderOf;
using RuleTest::WrittenText;

namespace
{

// A record with every field and one effect of every kind.
const char* const kFullSpell = R"(
<spell>
 sp_everything
 "Everything At Once"
 (255 128 0)
 "A spell that does everything."
 fireball
 <params> rune_fire (255 64 0) 1.5 </params>
 energy_magic
 7
 ( fortitude 40 )
 energy_magic_mastery
 long
 <effect> modify levelrounds <value> 10 (0 4) 2 </value> attack defense </effect>
 <effect> summon 5rounds fire_imp friendly </effect>
 <effect> heal (8 2) </effect>
 <effect> damage <value> 20 (6 10) (1 5) </value> </effect>
 <effect> teleport party return </effect>
 <effect> status 2rounds fear </effect>
 <effect> mana 0 5 </effect>
 <effect> remove held </effect>
 <effect> dispel many hostile escape </effect>
 <effect> item levelminutes i_fire_sword </effect>
 <effect> repulse </effect>
 <effect> raise heal </effect>
 <saveeffects>
  <effect> damage 0 3 </effect>
  <effect> status 1round held </effect>
 </saveeffects>
 <race> undead human </race>
 <notrace> skeleton </notrace>
 <powerreqs> axe two_handed_style </powerreqs>
 touch multitarget nosave potion wand
</spell>
after
)";

CSpell SpellOf(const std::string& text)
{
    auto reader = ReaderOf(text);
    return CSpell(reader);
}

// A minimal record with the given optional part.
std::string MinimalSpell(const std::string& options, const std::string& save = "0",
                         const std::string& range = "0")
{
    return "<spell> sp_test \"Test\" (1 2 3) \"Text\" 0 0 1 " + save + " 0 " + range + " " +
           options + " </spell>";
}

int ReadCode(const std::string& text)
{
    return CodeOf([&] { SpellOf(text); });
}

} // namespace

TEST(SpellRecord, EveryFieldAndEveryEffectKind)
{
    auto reader = ReaderOf(kFullSpell);
    const CSpell spell(reader);
    EXPECT_EQ(reader.GetCurrentWord(), "after");

    EXPECT_EQ(spell.GetKey(), "sp_everything");
    EXPECT_EQ(spell.GetDisplayName(), "Everything At Once");
    EXPECT_EQ(spell.GetColor(), 0x00FF8000u);
    EXPECT_EQ(spell.GetDescription(), "A spell that does everything.");
    EXPECT_EQ(spell.GetEffectGraphic(), "fireball");
    ASSERT_NE(spell.GetEffectParams(), nullptr);
    EXPECT_EQ(spell.GetEffectParams()->GetName(), "rune_fire");
    EXPECT_EQ(spell.GetEffectParams()->GetColor(), 0x00FF4000u);
    EXPECT_EQ(spell.GetSkill(), 44);
    EXPECT_EQ(spell.GetLevel(), 7);
    EXPECT_EQ(spell.GetDeclaredSaveKind(), 1);
    EXPECT_EQ(spell.GetSaveKind(), 1);
    EXPECT_EQ(spell.GetSaveLimit(), 40);
    EXPECT_EQ(spell.GetSecondSkill(), 52);
    EXPECT_DOUBLE_EQ(spell.GetRange(), 100.0);
    EXPECT_EQ(spell.GetFlags(), 1u | 2u | 16u | 64u | 128u);
    EXPECT_EQ(spell.GetTargetMode(), kSpellTargetActor);
    EXPECT_EQ(spell.GetRequiredWeaponKind(), 4);
    EXPECT_EQ(spell.GetRequiredSkill(), 11);
    EXPECT_EQ(spell.GetRaces(), std::vector<int>({2, 5}));
    EXPECT_EQ(spell.GetExcludedRaces(), std::vector<int>({10}));
    EXPECT_FALSE(spell.IsHostile());

    ASSERT_EQ(spell.GetEffects().size(), 12u);
    for (int kind = 0; kind < 12; ++kind)
        EXPECT_EQ(spell.GetEffects()[static_cast<std::size_t>(kind)]->GetKind(), kind);
    ASSERT_EQ(spell.GetSaveEffects().size(), 2u);
    EXPECT_EQ(spell.GetSaveEffects()[1]->GetKind(), kSpellEffectStatus);

    // Magnitudes and durations scale from the spell's level (7).
    const auto& modify = dynamic_cast<const CSpellEffectModify&>(*spell.GetEffects()[0]);
    EXPECT_EQ(modify.GetMagnitude()->GetLowBonus(), 17);
    EXPECT_EQ(modify.GetDuration()->GetLengthAtLow(), (20 * 7 + 10) / 5);
    const auto& damage = dynamic_cast<const CSpellEffectDamage&>(*spell.GetEffects()[3]);
    int die = 0;
    int fixed = 0;
    damage.GetMagnitude()->GetDiceAt(27, die, fixed);
    EXPECT_EQ(die, 8);
    EXPECT_EQ(fixed, 3);
    const auto& item = dynamic_cast<const CSpellEffectItem&>(*spell.GetEffects()[9]);
    EXPECT_EQ(item.GetDuration()->GetLengthAtLow(), (120 * 7 + 60) / 5);

    const CSpellEffectTeleport* teleport = nullptr;
    EXPECT_TRUE(spell.FindTeleportEffect(&teleport));
    ASSERT_NE(teleport, nullptr);
    EXPECT_TRUE(teleport->IsParty());
}

TEST(SpellRecord, Defaults)
{
    const CSpell spell = SpellOf(MinimalSpell(""));
    EXPECT_EQ(spell.GetEffectGraphic(), "");
    EXPECT_EQ(spell.GetEffectParams(), nullptr);
    EXPECT_EQ(spell.GetSkill(), kSkillNone);
    EXPECT_EQ(spell.GetSecondSkill(), kSkillNone);
    EXPECT_EQ(spell.GetDeclaredSaveKind(), kSaveKindNone);
    EXPECT_EQ(spell.GetSaveLimit(), 0);
    EXPECT_DOUBLE_EQ(spell.GetRange(), 10.0);
    EXPECT_EQ(spell.GetFlags(), 0u);
    EXPECT_EQ(spell.GetTargetMode(), kSpellTargetActor);
    EXPECT_EQ(spell.GetRequiredWeaponKind(), kWeaponKindNone);
    EXPECT_EQ(spell.GetRequiredSkill(), kSkillNone);
    EXPECT_TRUE(spell.IsHostile()); // no effects at all
    EXPECT_FALSE(spell.FindTeleportEffect());
    EXPECT_DOUBLE_EQ(spell.GetEffectSpeed(), 75.0);
}

TEST(SpellRecord, SavesAndRanges)
{
    struct CCase
    {
        const char* save;
        const char* range;
        int kind;
        int limit;
        double distance;
    };
    for (const CCase& c : std::vector<CCase>{{"escape", "short", 0, 0, 25.0},
                                             {"resolve", "long", 2, 0, 100.0},
                                             {"(escape 30)", "0", 0, 30, 10.0},
                                             {"( resolve -5 )", "0", 2, -5, 10.0}})
    {
        const CSpell spell = SpellOf(MinimalSpell("", c.save, c.range));
        EXPECT_EQ(spell.GetDeclaredSaveKind(), c.kind) << c.save;
        EXPECT_EQ(spell.GetSaveLimit(), c.limit) << c.save;
        EXPECT_DOUBLE_EQ(spell.GetRange(), c.distance) << c.range;
    }
}

TEST(SpellRecord, TargetWordsInOrder)
{
    struct CCase
    {
        const char* words;
        int mode;
        std::uint32_t flags;
    };
    for (const CCase& c : std::vector<CCase>{{"multitarget tiletarget", 1, 0},
                                             {"tiletarget multitarget", 3, 2},
                                             {"multitarget selftarget", 0, 0},
                                             {"selftarget summontarget", 3, 4},
                                             {"summontarget tiletarget", 1, 4},
                                             {"power selftarget", 0, 8}})
    {
        const CSpell spell = SpellOf(MinimalSpell(c.words));
        EXPECT_EQ(spell.GetTargetMode(), c.mode) << c.words;
        EXPECT_EQ(spell.GetFlags(), c.flags) << c.words;
    }
}

TEST(SpellRecord, PowerRequirementZeroKeepsTheWeaponKind)
{
    const CSpell none = SpellOf(MinimalSpell("<powerreqs> 0 0 </powerreqs>"));
    EXPECT_EQ(none.GetRequiredWeaponKind(), kWeaponKindNone);
    EXPECT_EQ(none.GetRequiredSkill(), kSkillNone);

    // A "0" weapon word keeps what an earlier block named; the skill is set either way.
    const CSpell kept = SpellOf(MinimalSpell("<powerreqs> bow marksman_style </powerreqs> "
                                             "<powerreqs> 0 0 </powerreqs>"));
    EXPECT_EQ(kept.GetRequiredWeaponKind(), 5);
    EXPECT_EQ(kept.GetRequiredSkill(), kSkillNone);
}

TEST(SpellRecord, HostileOnlyWhenEveryEffectIs)
{
    EXPECT_FALSE(
        SpellOf(MinimalSpell("<effect> damage 4 </effect> <effect> heal 4 </effect>")).IsHostile());
    EXPECT_TRUE(SpellOf(MinimalSpell("<effect> damage 4 </effect> <effect> repulse </effect>"))
                    .IsHostile());
    EXPECT_FALSE(SpellOf(MinimalSpell("<effect> damage 4 </effect> "
                                      "<saveeffects> <effect> remove fear </effect> "
                                      "</saveeffects>"))
                     .IsHostile());
}

TEST(SpellRecord, BadRecords)
{
    struct CCase
    {
        std::string text;
        int code;
    };
    const std::vector<CCase> cases = {
        {MinimalSpell("", "0", "medium"), 1},
        {MinimalSpell("", "reflex"), 2},
        {MinimalSpell("", "(reflex 3)"), 2},
        {MinimalSpell("fast"), 1},
        {MinimalSpell("<bogus> </bogus>"), 1},
        {MinimalSpell("<race> goblin </race>"), 2},
        {MinimalSpell("<notrace> Human </notrace>"), 2},
        {MinimalSpell("<powerreqs> sword 0 </powerreqs>"), 2},
        {MinimalSpell("<powerreqs> axe shield </powerreqs>"), 2},
        {MinimalSpell("<effect> zap 3 </effect>"), 2},
        {MinimalSpell("<effect> modify 1round 3 attack sneak </effect>"), 1},
        {MinimalSpell("<saveeffects> damage 3 </saveeffects>"), 1},
        {"<spell> sp_x \"X\" (1 2 3) \"T\" 0 fire_magic 1 0 0 0 </spell>", 2},
        {"<spell> sp_x \"X\" (1 2 3) \"T\" glow 0 1 0 0 0 </spell>", 1},
        {"<spell> sp_x \"X\" (1 2 3) \"T\" 0 0 one 0 0 0 </spell>", 1},
        {"<spell> sp_x \"X\" (1 2 3) \"T\" 0 0 1 0 0 0 touch", 1},
        {"<spell> sp_x \"X\" (1 2 3) \"T", 1},
        {"<magic>", 1},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(ReadCode(c.text), c.code) << c.text;
}

TEST(SpellRecord, FailuresNameTheLine)
{
    const std::string text = "<spell> sp_x \"X\" (1 2 3) \"T\" 0\n"
                             "energy_magic 1 0 0\n"
                             "medium </spell>";
    EXPECT_NE(RuleTest::DetailOf([&] { SpellOf(text); }).find("test, line 3"), std::string::npos);
    const std::string skill = "<spell> sp_x \"X\" (1 2 3) \"T\" 0\nfire_magic 1 0 0 0 </spell>";
    const std::string detail = RuleTest::DetailOf([&] { SpellOf(skill); });
    EXPECT_NE(detail.find("test, line 2"), std::string::npos) << detail;
    EXPECT_NE(detail.find("fire_magic"), std::string::npos) << detail;
}

TEST(SpellQueries, SaveKindOfPowers)
{
    EXPECT_EQ(SpellOf(MinimalSpell("", "resolve")).GetSaveKind(), 2);
    EXPECT_EQ(SpellOf(MinimalSpell("power", "resolve")).GetSaveKind(), 3);
    const CSpell song = CSpell("s_song1", "Song", 0, "", 72, 72, 10, 6, 83, 5, 5, 0x1);
    EXPECT_EQ(song.GetSaveKind(), 4);
}

TEST(SpellQueries, EnergyCost)
{
    struct CCase
    {
        int skill;
        int level;
        bool power;
        int cost;
    };
    const std::vector<CCase> cases = {
        {44, 1, false, 3},   {44, 8, false, 6},  {44, 20, false, 16}, {67, 20, false, 0},
        {69, 12, true, 1},   {69, 40, true, 4},  {18, 50, true, 10},  {18, 12, true, 2},
        {80, 120, true, 20}, {83, 50, true, 10}, {67, 50, true, 0},   {83, 3, true, 1},
    };
    for (const CCase& c : cases)
    {
        const std::string skill = c.skill == kSkillNone ? "0" : GetSkillKey(c.skill);
        const CSpell spell =
            SpellOf("<spell> sp \"S\" (1 1 1) \"T\" 0 " + skill + " " + std::to_string(c.level) +
                    " 0 0 0 " + (c.power ? "power" : "") + " </spell>");
        EXPECT_EQ(spell.GetEnergyCost(), c.cost) << c.skill << " level " << c.level;
    }
}

TEST(SpellQueries, EffectSpeed)
{
    EXPECT_DOUBLE_EQ(SpellOf(MinimalSpell("power multitarget")).GetEffectSpeed(), 750.0);
    EXPECT_DOUBLE_EQ(SpellOf(MinimalSpell("multitarget")).GetEffectSpeed(), 75.0);
    EXPECT_DOUBLE_EQ(SpellOf(MinimalSpell("power")).GetEffectSpeed(), 75.0);
    EXPECT_DOUBLE_EQ(SpellOf(MinimalSpell("power multitarget tiletarget")).GetEffectSpeed(), 75.0);
}

TEST(SpellQueries, CanAffect)
{
    const auto noSave = [](int) -> int
    {
        ADD_FAILURE() << "save asked without a save limit";
        return 0;
    };
    const CSpell undead = SpellOf(MinimalSpell("<race> undead </race>"));
    EXPECT_TRUE(undead.CanAffect(false, 10, noSave)); // skeleton, of the undead
    EXPECT_TRUE(undead.CanAffect(false, 2, noSave));  // the group itself
    EXPECT_FALSE(undead.CanAffect(false, 5, noSave)); // human

    const CSpell notSkeleton = SpellOf(MinimalSpell("<notrace> skeleton </notrace>"));
    EXPECT_FALSE(notSkeleton.CanAffect(false, 10, noSave));
    EXPECT_TRUE(notSkeleton.CanAffect(false, 2, noSave));
    EXPECT_TRUE(notSkeleton.CanAffect(false, 16, noSave));

    const CSpell notCosmic = SpellOf(MinimalSpell("<notrace> cosmic </notrace>"));
    EXPECT_FALSE(notCosmic.CanAffect(false, 13, noSave)); // surtr, a cosmic kind

    const CSpell summoned = SpellOf(MinimalSpell("summontarget"));
    EXPECT_FALSE(summoned.CanAffect(false, 5, noSave));
    EXPECT_TRUE(summoned.CanAffect(true, 5, noSave));

    // A limit compares the save of the written kind, also for a power.
    const CSpell limited = SpellOf(MinimalSpell("power", "(fortitude 30)"));
    int asked = -1;
    const auto save = [&](int kind)
    {
        asked = kind;
        return 30;
    };
    EXPECT_TRUE(limited.CanAffect(false, 5, save));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(limited.CanAffect(false, 5, [](int) { return 31; }));

    EXPECT_EQ(CodeOf([&] { undead.CanAffect(false, 17, noSave); }), 2);
}

TEST(SpellLists, RoundTripSkipsUnknownKeys)
{
    StringMap<CSpell> spells;
    spells["sp_a"] = std::make_shared<CSpell>(SpellOf(MinimalSpell("")));
    spells["s_power-sneak"] = std::make_shared<CSpell>(std::string("s_power-sneak"));
    const std::vector<const CSpell*> known = {spells["s_power-sneak"].get(), nullptr};
    const std::string text =
        WrittenText("spells.txt", [&](VARDCommon::CTagFileWriter& w) { WriteSpellList(known, w); });
    EXPECT_EQ(text, "<spells>\n s_power-sneak\n 0\n</spells>\n");

    auto reader = ReaderOf("<spells> sp_a sp_gone s_power-sneak </spells>");
    std::vector<const CSpell*> read;
    ReadSpellList(reader, spells, read);
    EXPECT_EQ(read,
              (std::vector<const CSpell*>{spells["sp_a"].get(), spells["s_power-sneak"].get()}));
    auto missing = ReaderOf("<skills> </skills>");
    EXPECT_EQ(CodeOf([&] { ReadSpellList(missing, spells, read); }), 1);
}
