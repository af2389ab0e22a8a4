// The help text of every spell, item, faction and skill of the demo module,
// byte for byte against the texts kept in tests/data/dialogs. In the kept
// dialog-form texts a newline follows every LINE word so that they read as the
// dialog shows them; the dialog form itself holds no newline. A change of
// wording that is meant rewrites them: run the suite once with
// VARD_REWRITE_HELP_GOLDEN=1 and read the difference before committing it.

#include "dialogs/help_text.h"
#include "help_test_util.h"
#include "world/faction.h"
#include "world/rule_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace
{

using HelpTest::DemoModule;
using HelpTest::TextOf;

// The dialog form as kept: a newline after each LINE word.
std::string Readable(const std::string& text)
{
    EXPECT_EQ(text.find('\n'), std::string::npos) << "a dialog text holds a newline";
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(" LINE", from)) != std::string::npos; from = at + 5)
        out += text.substr(from, at + 5 - from) + "\n";
    return out + text.substr(from) + "\n";
}

void ExpectGolden(const std::string& name, const std::string& text)
{
    const auto path = TestUtil::FixturePath("dialogs", name);
    if (std::getenv("VARD_REWRITE_HELP_GOLDEN") != nullptr)
    {
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    const std::string expected = TestUtil::FileText(path);
    ASSERT_FALSE(expected.empty()) << path;
    // Both hold newlines, so a failure prints their difference line by line.
    EXPECT_EQ(text, expected) << name;
}

TEST(HelpGolden, EveryDemoSpell)
{
    std::string all;
    for (const auto& [key, spell] : DemoModule().GetSpells())
        all += "== " + key + "\n" +
               Readable(TextOf([&](std::ostream& out)
                               { WriteSpellHelp(*spell, out, DemoModule(), nullptr); }));
    ExpectGolden("demo_spells.txt", all);
}

TEST(HelpGolden, EveryDemoItemInBothForms)
{
    std::string dialog;
    std::string html;
    for (const auto& [key, itemTemplate] : DemoModule().GetItemTemplates())
    {
        const VARD::CItem item(0, itemTemplate.get(), 1, 0);
        dialog += "== " + key + "\n" +
                  Readable(TextOf([&](std::ostream& out)
                                  { WriteItemHelp(item, out, &DemoModule(), kHelpFormDialog); }));
        html += "== " + key + "\n" +
                TextOf([&](std::ostream& out)
                       { WriteItemHelp(item, out, &DemoModule(), kHelpFormHtml); });
    }
    ExpectGolden("demo_items.txt", dialog);
    ExpectGolden("demo_items.html", html);
}

TEST(HelpGolden, EveryDemoFactionAndSkill)
{
    std::string factions;
    for (const auto& [key, faction] : DemoModule().GetFactions())
        factions += "== " + key + "\n" +
                    Readable(TextOf([&](std::ostream& out)
                                    { WriteFactionHelp(*faction, DemoModule(), out); }));
    ExpectGolden("demo_factions.txt", factions);

    std::string skills;
    for (int skill = 0; skill < VARD::kSkillCount; ++skill)
        skills +=
            "== " + VARD::GetSkillKey(skill) + "\n" +
            Readable(TextOf([&](std::ostream& out) { WriteSkillHelp(skill, out, DemoModule()); }));
    ExpectGolden("demo_skills.txt", skills);
}

} // namespace
