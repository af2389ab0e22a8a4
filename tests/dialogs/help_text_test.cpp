#include "dialogs/help_text.h"

#include "help_test_util.h"
#include "world/actor.h"
#include "world/faction.h"
#include "world/journal.h"
#include "world/rule_tables.h"

#include <gtest/gtest.h>

#include <string>

using HelpTest::AddItemTemplate;
using HelpTest::AddSpell;
using HelpTest::kDialog;
using HelpTest::TextOf;

namespace
{

constexpr int kHtml = kHelpFormHtml;

std::string ItemText(const VARD::CItemTemplate& itemTemplate)
{
    const VARD::CItem item(0, &itemTemplate, 1, 0);
    return TextOf([&](std::ostream& out) { WriteItemHelp(item, out, nullptr, kDialog); });
}

TEST(HelpText, SkillTexts)
{
    const VARD::CModule empty;
    const auto skillText = [&](int skill)
    { return TextOf([&](std::ostream& out) { WriteSkillHelp(skill, out, empty); }); };
    // No attribute, spell bonus, prerequisite, required value or ability.
    EXPECT_EQ(skillText(74), "Improved Fortitude LINE LINE Class: Rogue LINE  LINE " +
                                 VARD::GetSkillDescription(74) + " LINE  LINE ");
    // A rogue skill names its first prerequisite only beside the required value.
    EXPECT_EQ(skillText(70), "Improved Flank LINE LINE Class: Rogue LINE Prerequisite: Stealth 45 "
                             "LINE  LINE " +
                                 VARD::GetSkillDescription(70) + " LINE  LINE ");
}

TEST(HelpText, AbilitiesGroupedByBonus)
{
    VARD::CModule module;
    const auto add = [&](const std::string& key, const char* skill, int level, const char* grants)
    {
        AddSpell(module, "<spell> " + key + " \"" + key + "\" (0 0 0) \"d\" 0 " + skill + " " +
                             std::to_string(level) + " 0 " + grants + " 0 </spell>");
    };
    add("b_high", "void_magic", 120, "0");
    add("a_low", "void_magic", 3, "flanking");
    add("c_low", "void_magic", 3, "0");
    add("d_below", "void_magic", -1, "0");
    add("e_above", "void_magic", 121, "0");
    const auto listed = [&](int grants, int skill)
    { return TextOf([&](std::ostream& out) { WriteClassAbilities(module, out, grants, skill); }); };
    EXPECT_EQ(listed(0, 42), " LINE Usable Abilities: LINE - Base Spellcaster Bonus 3: LINE "
                             "- a_low LINE - c_low LINE - Base Spellcaster Bonus 120: LINE "
                             "- b_high LINE ");
    EXPECT_EQ(listed(1, 70), " LINE Grants Abilities: LINE - Base Bonus 3: LINE - a_low LINE ");
    EXPECT_EQ(listed(1, 42), "");
}

TEST(HelpText, FactionTexts)
{
    VARD::CModule module;
    AddSpell(module, "<spell> mend \"Mend\" (0 0 0) \"d\" 0 life_magic 4 0 0 0 </spell>");
    AddSpell(module, "<spell> hum \"Hum\" (0 0 0) \"d\" 0 0 2 0 0 0 </spell>");
    VARD::CFaction bare("hermits", "Hermits", "They keep apart.");
    EXPECT_EQ(TextOf([&](std::ostream& out) { WriteFactionHelp(bare, module, out); }),
              "Hermits LINE LINE They keep apart. LINE  LINE  LINE ");

    VARD::CFaction order("order", "The Order", "Healers.");
    order.AddRank("Novice");
    order.AddSpell(0, "mend", 83);
    order.AddSpell(0, "lost_spell", 41);
    order.AddSpell(1, "mend", 41);
    // Neither the entry nor the spell names a skill.
    order.AddSpell(0, "hum", 83);
    EXPECT_EQ(TextOf([&](std::ostream& out) { WriteFactionHelp(order, module, out); }),
              "The Order LINE LINE Healers. LINE  LINE Rank 1 (Novice) LINE "
              "- Mend (Life Magic 4) LINE - lost_spell LINE - Hum (2) LINE  LINE  LINE ");
}

TEST(HelpText, SpellAndPersonTexts)
{
    const VARD::CModule& demo = HelpTest::DemoModule();
    VARD::CActor actor(1);
    actor.SetName("Mira");
    const std::string text = TextOf(
        [&](std::ostream& out) { WriteSpellHelp(*demo.FindSpell("poison"), out, demo, &actor); });
    EXPECT_EQ(text.rfind("Poison LINE LINE Type: Spell  LINE 2 LINE Mira Bonus: ", 0), 0u) << text;

    const VARD::CPeopleJournalEntry person{
        "baker", "Baker", "The town square", {"Sells bread.", "Owes the smith."}};
    EXPECT_EQ(TextOf([&](std::ostream& out) { WritePersonHelp(person, out); }),
              "Location: The town square LINE  LINE Sells bread. LINE Owes the smith. LINE ");
}

// Items of a scratch module, each with the lines that only it gets.
TEST(HelpText, ItemLines)
{
    VARD::CModule module;
    const std::string head = "x \"X\" \"Plain.\" (0 0 0) \"\" x 0 0 ";
    // The demo shows a weight of 0.5, nogive, a wand, armour without a skill
    // and a modifier with a save; these are what it lacks.
    const std::pair<std::string, std::string> cases[] = {
        {head + "10.0 3 misc", "Weight: 10 LINE  LINE Plain."},
        {head + "1 3 weapon <weapon> bow true 0 8 1 </weapon> <attribute> strength 9 </attribute>",
         "Weapon Type: Bow (Requires two hands) LINE Damage: 1-8 + 1 LINE Strength Damage: -2 LINE "
         " LINE Attribute: Strength 9 LINE  LINE "},
        {head +
             "1 3 weapon <weapon> bow true -5 8 1 </weapon> <attribute> strength 14 </attribute>",
         "Strength Damage: 10 LINE Attack Bonus: -5 LINE  LINE "},
        {head +
             "1 3 weapon <weapon> axe false 0 8 1 </weapon> <attribute> strength 14 </attribute>",
         "Damage: 1-8 + 1 LINE  LINE Attribute: Strength 14"},
        {head + "1 3 ring <modify> 0 0 strength </modify>",
         "Inflicts a penalty to statistics: LINE - Strength LINE Penalty Points: 0 LINE  LINE "},
    };
    for (const auto& [body, expected] : cases)
    {
        const std::string text = ItemText(AddItemTemplate(module, body));
        EXPECT_NE(text.find(expected), std::string::npos) << text;
    }
    EXPECT_EQ(ItemText(AddItemTemplate(module, cases[3].first)).find("Strength Damage"),
              std::string::npos);
}

TEST(HelpText, HtmlForm)
{
    EXPECT_EQ(TextOf([](std::ostream& out) { WriteHelpListingHeader(kHtml, "Title", "", out); }),
              "<table class=\"listingtable\"> <tr>\n<th>Title</th> </tr> <tr> <td>\n");
    EXPECT_EQ(TextOf([](std::ostream& out) { WriteClassLink(1, kHtml, out); }),
              "<a href=\"rules.htm#Class\">Rogue</a>");
    // Bit 0x8 is never listed.
    EXPECT_EQ(TextOf([](std::ostream& out) { WriteStatisticList(out, kHtml, 0x8); }),
              "<ul>\n</ul>\n");
    EXPECT_EQ(TextOf([](std::ostream& out) { WriteStatisticList(out, kDialog, 0x8); }), "");
    EXPECT_EQ(TextOf([](std::ostream& out) { WriteStatisticList(out, kDialog, 0x1FFFFF); })
                  .rfind("- Strength LINE - Agility LINE - Durability LINE - Intelligence LINE "
                         "- Personality LINE - Attack Bonus LINE - Attack Damage LINE "
                         "- Defense Class LINE - Escape LINE - Fortitude LINE - Resolve LINE "
                         "- Locks LINE - Traps LINE - Diplomacy LINE - Stealth LINE "
                         "- Observation LINE - Spellcasting LINE - Spell Resistance LINE "
                         "- Action Speed (5 per second) LINE ",
                         0),
              0u);
}

} // namespace
