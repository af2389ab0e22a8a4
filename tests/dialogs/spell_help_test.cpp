#include "dialogs/spell_help.h"

#include "dialogs/help_text.h"
#include "help_test_util.h"
#include "world/actor.h"
#include "world/spell_effect.h"
#include "world/spell_magnitude.h"

#include <gtest/gtest.h>

#include <string>

using HelpTest::AddSpell;
using HelpTest::CodeOf;
using HelpTest::kDialog;
using HelpTest::TextOf;

namespace
{

// A level-0 spell whose damage runs from 1-4 at bonus 10 to 1-8 + 2 at 35,
// with every rules line a carrier may leave out.
const char* const kZap = R"(<spell> zap "Zap" (0 0 0) "Zaps." 0 energy_magic 0 (resolve 30) 0 long
 <effect> damage <value> 25 (4 8) (0 2) </value> </effect>
 <saveeffects> <effect> status levelrounds held </effect> </saveeffects>
 <race> undead </race> <notrace> skeleton </notrace> <powerreqs> axe two_handed_style </powerreqs>
 touch multitarget </spell>)";

// Knows Energy Magic; Intelligence 12 (+5); spell bonus 25 + 2 + 5 = 32.
void MakeCaster(VARD::CActor& actor, bool knowsSkill)
{
    actor.SetName("Mira");
    actor.SetClass(2);
    actor.SetLevel(10);
    actor.SetBaseAttribute(3, 12);
    if (knowsSkill)
        actor.Skills().insert(44);
}

TEST(SpellHelp, GameLengths)
{
    const std::pair<int, const char*> cases[] = {{10, "10 seconds"}, {90, "1 minutes 30 seconds"},
                                                 {3600, "1 hours"},  {5430, "1 hours 30 minutes"},
                                                 {0, "0 seconds"},   {60, "1 minutes"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(TextOf([&](std::ostream& out) { WriteGameLength(seconds, out); }), text);
}

TEST(SpellHelp, MagnitudeAndDurationLines)
{
    const VARD::CSpellMagnitude damage(10, 35, 4, 8, 0, 2);
    const std::string mira = "Mira";
    const auto lines = [&](int carrier, const std::string* actor, int bonus)
    {
        return TextOf(
            [&](std::ostream& out)
            {
                WriteMagnitudeHelp(out, damage, "Damage", "hit points", "Spell Bonus", actor, bonus,
                                   carrier, kDialog);
            });
    };
    EXPECT_EQ(lines(11, nullptr, 0), "Base Damage: 1-4 hit points (at Spell Bonus 10) LINE "
                                     "Max Damage: 1-8 + 2 hit points (at Spell Bonus 35) LINE ");
    // A carried spell shows bonus 0, which clamps to the low end.
    EXPECT_EQ(lines(8, nullptr, 0), "Damage: 1-4 hit points LINE ");
    EXPECT_EQ(lines(8, &mira, 32),
              "Damage: 1-4 hit points LINE Mira Damage: 1-7 + 1 hit points LINE ");

    VARD::CActor actor(1);
    MakeCaster(actor, true);
    EXPECT_EQ(TextOf(
                  [&](std::ostream& out) {
                      WriteDurationHelp(out, VARD::CSpellDuration(10, 35, 0, 0), &actor, 32, 11,
                                        kDialog);
                  }),
              "Duration: indefinite LINE ");
}

// The rules block as each carrier words it: a weapon's spell loses range,
// attribute, requirements and the empty line after its effects; a potion's
// loses range, touch and the multitarget line only.
TEST(SpellHelp, RulesBlockPerCarrier)
{
    VARD::CModule module;
    const VARD::CSpell& zap = AddSpell(module, kZap);
    VARD::CActor caster(1);
    MakeCaster(caster, true);
    VARD::CActor stranger(2);
    MakeCaster(stranger, false);
    const auto rules = [&](int carrier, const VARD::CActor* actor)
    {
        return TextOf([&](std::ostream& out)
                      { WriteSpellRulesHelp(zap, &module, actor, kDialog, out, carrier); });
    };
    const std::string save = "Save: Resolve LINE Immune: Resolve greater than 30 LINE ";
    const std::string races = "Affects: Undead LINE Immune: Skeleton LINE ";
    const std::string needs =
        "Weapon Requirement: Axe LINE Style Requirement: Two Handed LINE  LINE ";
    const std::string onSave = "Effect on Save: LINE Status: Held LINE ";

    EXPECT_EQ(rules(0, nullptr), save + "Affects: Multiple creatures LINE " + races +
                                     "Effect: LINE Damage: 1-4 hit points LINE " + onSave +
                                     "Duration: 2 seconds LINE  LINE ");
    EXPECT_EQ(rules(6, nullptr), save + "Attribute: Intelligence LINE " + races + needs +
                                     "Effect: LINE Damage: 1-4 hit points LINE  LINE " + onSave +
                                     "Duration: 2 seconds LINE  LINE ");
    EXPECT_EQ(rules(11, &caster),
              "Range: 100 feet LINE Attack: Touch required LINE " + save +
                  "Attribute: Intelligence (+5) LINE Affects: Multiple creatures LINE " + races +
                  needs +
                  "Effect: LINE Base Damage: 1-4 hit points (at Spell Bonus 10) LINE "
                  "Max Damage: 1-8 + 2 hit points (at Spell Bonus 35) LINE "
                  "Mira Damage: 1-7 + 1 hit points LINE  LINE " +
                  onSave +
                  "Base Duration: 2 seconds (at Spell Bonus 10) LINE "
                  "Max Duration: 1 minutes 42 seconds (at Spell Bonus 35) LINE "
                  "Mira Duration: 1 minutes 30 seconds LINE  LINE ");
    // A caster who may not cast it keeps its duration line, not its damage.
    const std::string forStranger = rules(11, &stranger);
    EXPECT_EQ(forStranger.find("Mira Damage"), std::string::npos);
    EXPECT_NE(forStranger.find("Mira Duration: 1 minutes 30 seconds LINE "), std::string::npos);
}

TEST(SpellHelp, RangeSaveAndEffectWording)
{
    VARD::CModule module;
    const auto rulesOf = [&](const std::string& body, const VARD::CModule* in = nullptr)
    {
        const VARD::CSpell& spell =
            AddSpell(module, "<spell> s \"S\" (0 0 0) \"d\" 0 0 1 " + body + " </spell>");
        return TextOf([&](std::ostream& out)
                      { WriteSpellRulesHelp(spell, in, nullptr, kDialog, out, 11); });
    };
    const std::string plain = " LINE Effect: LINE ";
    // The demo holds the other effects and the "nosave" wording.
    const std::pair<std::string, std::string> cases[] = {
        {"0 0 0 <effect> dispel many </effect>",
         "Range: 10 feet LINE " + plain + "Dispels: Multiple Bonus Effects LINE  LINE "},
        // A creature the module lacks, or any without a module, goes by its key.
        {"0 0 0 <effect> summon 1hour wraith hostile </effect>",
         "Range: 10 feet LINE " + plain +
             "Summon: wraith LINE Duration: 1 hours LINE Creature Attitude: Hostile LINE  LINE "},
        {"0 0 0 <effect> item 0 bread </effect>",
         "Range: 10 feet LINE " + plain +
             "Duration: indefinite LINE Create Item:  LINE bread LINE  LINE "},
    };
    for (const auto& [body, expected] : cases)
        EXPECT_EQ(rulesOf(body), expected) << body;

    // With a module, an item it lacks fails the text.
    EXPECT_EQ(CodeOf([&] { rulesOf("0 0 0 <effect> item 0 no_such_item </effect>", &module); }), 1);
}

// An effect kind beyond the table is a state the wording cannot serve.
TEST(SpellHelp, UnknownEffectKind)
{
    struct CStrangeEffect : VARD::CSpellEffect
    {
        CStrangeEffect() : VARD::CSpellEffect(12) {}
        bool IsHostile() const override { return false; }
    };
    std::ostringstream out;
    EXPECT_EQ(CodeOf(
                  [&] {
                      WriteSpellEffectHelp(out, CStrangeEffect(), nullptr, 11, kDialog, nullptr,
                                           nullptr);
                  }),
              4);
}

} // namespace
