#include "world/faction.h"

#include "record_test_util.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;

namespace
{

CModule ModuleOfFactionsFixture()
{
    CModule module;
    auto reader = FixtureReader("records_factions.vard");
    ReadFactionsFile(reader, module);
    return module;
}

} // namespace

TEST(Faction, RanksAndRankSpellsInFileOrder)
{
    const CModule module = ModuleOfFactionsFixture();
    const CFaction* temple = module.FindFaction("temple");
    ASSERT_NE(temple, nullptr);
    EXPECT_EQ(temple->GetName(), "temple");
    EXPECT_EQ(temple->GetDisplayName(), "Temple of the Sun");
    EXPECT_EQ(temple->GetDescription(), "Priests who keep the flame.");
    EXPECT_EQ(temple->GetRankTitles(),
              (std::vector<std::string>{"Acolyte", "Priest", "High Priest"}));

    struct Expected
    {
        std::int32_t rank;
        const char* spell;
        std::int32_t skill;
    };
    // religion is skill 41, cosmic_magic 47; a bare name needs no skill (83).
    const Expected expected[] = {
        {0, "s_light", 83},
        {0, "s_bless", 41},
        {2, "s_sunburst", 47},
        {2, "s_recall", 83},
    };
    const auto& spells = temple->GetSpells();
    ASSERT_EQ(spells.size(), std::size(expected));
    for (std::size_t i = 0; i < spells.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(spells[i]->rank, expected[i].rank);
        EXPECT_EQ(spells[i]->spellName, expected[i].spell);
        EXPECT_EQ(spells[i]->skill, expected[i].skill);
    }
}

TEST(Faction, LaterRecordOfTheSameNameWins)
{
    const CModule module = ModuleOfFactionsFixture();
    EXPECT_EQ(module.GetFactions().size(), 2u);
    const CFaction* guild = module.FindFaction("guild");
    ASSERT_NE(guild, nullptr);
    EXPECT_EQ(guild->GetDisplayName(), "Thieves' Guild");
    EXPECT_TRUE(guild->GetRankTitles().empty());
    EXPECT_TRUE(guild->GetSpells().empty());
}

TEST(Faction, FileOfNoFactionsLeavesTheMapEmpty)
{
    CModule module;
    auto reader = ReaderOf("<factions> </factions>");
    ReadFactionsFile(reader, module);
    EXPECT_TRUE(module.GetFactions().empty());
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(Faction, RankTitleOfAMissingRankIsEmpty)
{
    auto reader = ReaderOf("<faction> f \"F\" \"d\" <rank> \"First\" </rank> </faction>");
    const CFaction faction(reader);
    EXPECT_EQ(faction.GetRankTitle(0), "First");
    EXPECT_EQ(faction.GetRankTitle(1), "");
    EXPECT_EQ(faction.GetRankTitle(0xFFFFFFFFu), "");
}

TEST(Faction, GrantedSpellsFollowRankSkillAndModule)
{
    CFaction faction("order", "Order", "");
    faction.AddRank("Novice");
    faction.AddRank("Adept");
    faction.AddRank("Master");
    faction.AddSpell(0, "s_low", 83);
    faction.AddSpell(1, "s_skilled", 41);
    faction.AddSpell(2, "s_high", 83);
    faction.AddSpell(0, "s_missing", 83);

    // Distinct spell objects under the names; only identity matters here.
    CModule module;
    std::map<std::string, const CSpell*> spells;
    for (const char* name : {"s_low", "s_skilled", "s_high"})
    {
        auto spell = std::make_shared<CSpell>(std::string(kSneakPowerKey));
        spells[name] = spell.get();
        module.Spells()[name] = spell;
    }
    const auto granted = [&](std::uint32_t rank, bool holdsReligion)
    {
        return faction.GetGrantedSpells(module, rank,
                                        [&](int skill) { return holdsReligion && skill == 41; });
    };
    using Spells = std::vector<const CSpell*>;
    EXPECT_EQ(granted(0, true), (Spells{spells["s_low"]}));
    EXPECT_EQ(granted(1, false), (Spells{spells["s_low"]}));
    EXPECT_EQ(granted(1, true), (Spells{spells["s_low"], spells["s_skilled"]}));
    EXPECT_EQ(granted(2, true), (Spells{spells["s_low"], spells["s_skilled"], spells["s_high"]}));
    EXPECT_EQ(granted(0xFFFFFFFFu, false), (Spells{spells["s_low"], spells["s_high"]}));
}

struct BadFaction
{
    const char* name;
    const char* text;
    int code;
};

class FactionRefused : public ::testing::TestWithParam<BadFaction>
{
};

// A skill word outside the table is the look-up's own code 2.
TEST_P(FactionRefused, WithItsCode)
{
    CModule module;
    auto reader = ReaderOf(GetParam().text);
    EXPECT_EQ(CodeOf([&] { ReadFactionsFile(reader, module); }), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Faction, FactionRefused,
    ::testing::Values(
        BadFaction{"UnknownSkill",
                   "<factions> <faction> f \"F\" \"d\" <rank> \"R\" (s_x fishing) </rank> "
                   "</faction> </factions>",
                   2},
        BadFaction{"SkillInWrongCase",
                   "<factions> <faction> f \"F\" \"d\" <rank> \"R\" (s_x Religion) </rank> "
                   "</faction> </factions>",
                   2},
        BadFaction{"UnquotedDisplayName", "<factions> <faction> f F \"d\" </faction> </factions>",
                   1},
        BadFaction{"UnquotedRankTitle",
                   "<factions> <faction> f \"F\" \"d\" <rank> R </rank> </faction> </factions>", 1},
        BadFaction{"OtherRecordInFile", "<factions> <monster> </monster> </factions>", 1},
        BadFaction{"OtherTagInRank",
                   "<factions> <faction> f \"F\" \"d\" <rank> \"R\" <spell> </spell> </rank> "
                   "</faction> </factions>",
                   1},
        BadFaction{"TruncatedInRank", "<factions> <faction> f \"F\" \"d\" <rank> \"R\" s_a", 1},
        BadFaction{"TruncatedAfterName", "<factions> <faction> f", 1},
        BadFaction{"EmptyFile", "", 1}),
    [](const ::testing::TestParamInfo<BadFaction>& info) { return info.param.name; });
