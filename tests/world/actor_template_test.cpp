#include "monsters_test_util.h"
#include "record_test_util.h"

#include "world/actor_template.h"
#include "world/ai.h"
#include "world/brain.h"
#include "world/effect_params.h"
#include "world/faction.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

using namespace VARD;
using MonstersTest::WrittenText;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;
using RecordTest::SourceOf;
using RecordTest::WrappedSource;

namespace
{

using Items = CActorTemplate::ItemList;

// A module with the items, factions and spells that the monster fixtures name.
class ActorTemplateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto items = FixtureReader("monsters_items.vard");
        ReadItemsFile(items, m_Module);
        auto factions = FixtureReader("monsters_factions.vard");
        ReadFactionsFile(factions, m_Module);
        auto spells = FixtureReader("monsters_spells.vard");
        spells.ReadStartTag("spells");
        while (spells.IsStartTag("spell"))
        {
            auto spell = std::make_shared<CSpell>(spells);
            m_Module.Spells()[spell->GetKey()] = spell;
        }
        spells.ReadEndTag();
    }

    std::shared_ptr<CActorTemplate> Read(const std::string& text)
    {
        auto reader = ReaderOf(text);
        auto actorTemplate = std::make_shared<CActorTemplate>(reader, m_Module);
        EXPECT_TRUE(reader.IsAtEnd()) << "the reader stopped before " << reader.GetCurrentWord();
        return actorTemplate;
    }

    // A plain fighter with the given text after its attributes.
    static std::string Monster(const std::string& body)
    {
        return "<monster> m \"M\" \"\" (0 0 0) 0 g male human 1 0.5 0 fighter 1 0 10 1 2 3 4 5 " +
               body + " </monster>";
    }

    int CodeOfMonster(const std::string& body)
    {
        return CodeOf([&] { Read(Monster(body)); });
    }

    CModule m_Module;
};

} // namespace

TEST_F(ActorTemplateTest, FullRecordReadsEveryFieldInOrder)
{
    auto reader = FixtureReader("monsters_templates.vard");
    ReadMonstersFile(reader, m_Module);
    const CActorTemplate* t = m_Module.FindActorTemplate("bandit_mage");
    ASSERT_NE(t, nullptr);

    EXPECT_EQ(t->GetName(), "bandit_mage");
    EXPECT_EQ(t->GetDisplayName(), "Bandit Mage");
    EXPECT_EQ(t->GetSecondText(), "A robber who picked up a few spells.");
    EXPECT_EQ(t->GetFigureColor(), 0x781E1Eu);
    EXPECT_EQ(t->GetFigureString(), "figure_a");
    EXPECT_EQ(t->GetGraphicName(), "humanoid_male");
    ASSERT_NE(t->GetColors(), nullptr);
    EXPECT_EQ(t->GetColors()->GetHair(), 0x0A141Eu);
    EXPECT_EQ(t->GetColors()->GetSkin(), 0u);
    EXPECT_EQ(t->GetColors()->GetTrim(), 0xFF0000u);

    EXPECT_EQ(t->GetGender(), 1u);
    EXPECT_EQ(t->GetRace(), 5u);
    EXPECT_DOUBLE_EQ(t->GetRadius(), 1.25);
    EXPECT_DOUBLE_EQ(t->GetSecondSize(), 0.5);
    EXPECT_EQ(t->GetLevelBonus(), -2);
    EXPECT_EQ(t->GetClass(), 2u);
    EXPECT_EQ(t->GetLevel(), 4u);
    EXPECT_EQ(t->GetFaction(), m_Module.FindFaction("town_guard"));
    EXPECT_NE(t->GetFaction(), nullptr);
    EXPECT_EQ(t->GetFactionRank(), 2u);
    EXPECT_EQ(t->GetHitPoints(), 35u);
    EXPECT_EQ(t->GetAttributes(), (std::array<std::uint32_t, 5>{8, 12, 10, 16, 9}));

    EXPECT_EQ(t->GetDefense(), 12);
    EXPECT_EQ(t->GetEscape(), 3);
    EXPECT_EQ(t->GetFortitude(), 4);
    EXPECT_EQ(t->GetResolve(), 5);
    EXPECT_EQ(t->GetActionSpeed(), 70);
    EXPECT_EQ(t->GetMovementSpeed(), 90);

    ASSERT_EQ(t->GetAttacks().size(), 2u);
    const CAttackInfo& bite = *t->GetAttacks()[0]->GetAttackInfo();
    EXPECT_EQ(bite.name, "Poison Bite");
    EXPECT_EQ(bite.attackBonus, 4);
    EXPECT_EQ(bite.dieSize, 6);
    EXPECT_EQ(bite.base, 1);
    EXPECT_EQ(t->GetAttacks()[0]->GetSpellName(), "s_poison");
    EXPECT_EQ(t->GetAttacks()[1]->GetAttackInfo()->name, "Claw");
    EXPECT_EQ(t->GetAttacks()[1]->GetAttackInfo()->dieSize, 4);
    EXPECT_EQ(t->GetAttacks()[1]->GetSpellName(), "");

    EXPECT_EQ(t->GetSpellResistance(), 15u);
    EXPECT_EQ(t->GetSkills(), (SkillSet{0, kSkillSneak}));
    EXPECT_EQ(t->GetSpells(), (CActorTemplate::SpellList{m_Module.FindSpell("s_bolt"),
                                                         m_Module.FindSpell("s_ward")}));
    EXPECT_EQ(t->GetItems(),
              (Items{{"a_dagger", 1}, {"a_dagger", 3}, {"e_spear", 3}, {"gold", 25}}));
    BuyTable buy{};
    buy[0] = 1;
    buy[kItemTypePotion] = 1;
    EXPECT_EQ(t->GetBuyTable(), buy);

    ASSERT_EQ(t->GetTalkStates().size(), 2u);
    EXPECT_EQ(t->GetTalkStates()[0]->GetName(), "start");
    EXPECT_EQ(t->GetTalkStates()[1]->GetName(), "bye");
    EXPECT_EQ(SourceOf(t->GetHeartbeatScript()),
              WrappedSource("vard_shout ( \"Who goes there?\" ) "));
    ASSERT_NE(t->GetBrain(), nullptr);
    EXPECT_EQ(t->GetBrain()->GetAttitude(), 3);
    EXPECT_EQ(t->GetBrain()->GetCallTags(), (std::vector<std::string>{"bandits", "camp"}));
    EXPECT_EQ(t->GetFlags(), 3u);
    EXPECT_TRUE(t->HasFlag(CActorTemplate::kFlagAutospell));
    EXPECT_TRUE(t->HasFlag(CActorTemplate::kFlagSneak));
}

TEST_F(ActorTemplateTest, LaterTemplateOfTheSameNameWins)
{
    auto reader = FixtureReader("monsters_templates.vard");
    ReadMonstersFile(reader, m_Module);
    EXPECT_EQ(m_Module.GetActorTemplates().size(), 2u);
    const CActorTemplate* rat = m_Module.FindActorTemplate("rat");
    ASSERT_NE(rat, nullptr);
    EXPECT_EQ(rat->GetDisplayName(), "Giant Rat");
    EXPECT_EQ(rat->GetHitPoints(), 9u);
}

TEST_F(ActorTemplateTest, RecordWithoutOptionalBlocksKeepsDefaults)
{
    const auto t = Read("<monster> rat \"Rat\" \"\" (0 0 0) 0 rat none savage 0.5 0.2 0 monster "
                        "1 0 4 3 10 2 1 1 </monster>");
    EXPECT_EQ(t->GetSecondText(), "");
    EXPECT_EQ(t->GetFigureString(), "");
    EXPECT_EQ(t->GetColors(), nullptr);
    EXPECT_EQ(t->GetGender(), 2u);
    EXPECT_EQ(t->GetRace(), 1u);
    EXPECT_EQ(t->GetClass(), 3u);
    EXPECT_EQ(t->GetFaction(), nullptr);
    EXPECT_EQ(t->GetFactionRank(), 0u);
    EXPECT_EQ(t->GetDefense(), 0);
    EXPECT_EQ(t->GetEscape(), 0);
    EXPECT_EQ(t->GetFortitude(), 0);
    EXPECT_EQ(t->GetResolve(), 0);
    EXPECT_EQ(t->GetActionSpeed(), 0);
    EXPECT_EQ(t->GetMovementSpeed(), 0);
    EXPECT_TRUE(t->GetAttacks().empty());
    EXPECT_EQ(t->GetSpellResistance(), 0u);
    EXPECT_TRUE(t->GetSkills().empty());
    EXPECT_TRUE(t->GetSpells().empty());
    EXPECT_TRUE(t->GetItems().empty());
    EXPECT_TRUE(t->GetTalkStates().empty());
    EXPECT_EQ(t->GetBuyTable(), BuyTable{});
    EXPECT_EQ(t->GetHeartbeatScript(), nullptr);
    EXPECT_EQ(t->GetBrain(), nullptr);
    EXPECT_EQ(t->CloneBrain(), nullptr);
    EXPECT_EQ(t->GetFlags(), 0u);
}

TEST_F(ActorTemplateTest, MonsterStatsWithoutSpeedsLeaveThemZero)
{
    const auto four = Read(Monster("<monsterstats> 7 1 2 3 </monsterstats>"));
    EXPECT_EQ(four->GetDefense(), 7);
    EXPECT_EQ(four->GetResolve(), 3);
    EXPECT_EQ(four->GetActionSpeed(), 0);
    EXPECT_EQ(four->GetMovementSpeed(), 0);

    const auto null = Read(Monster("<monsterstats> 7 1 2 3 0 </monsterstats>"));
    EXPECT_EQ(null->GetActionSpeed(), 0);
    EXPECT_EQ(null->GetMovementSpeed(), 0);

    const auto bare = Read(Monster("<monsterstats> 7 1 2 3 -5 20 </monsterstats>"));
    EXPECT_EQ(bare->GetActionSpeed(), -5);
    EXPECT_EQ(bare->GetMovementSpeed(), 20);
}

TEST_F(ActorTemplateTest, FactionTheModuleLacksGivesNoFaction)
{
    const auto text = "<monster> m \"M\" \"\" (0 0 0) 0 g male human 1 0.5 0 fighter 1 "
                      "(thieves_guild 3) 10 1 2 3 4 5 </monster>";
    const auto t = Read(text);
    EXPECT_EQ(t->GetFaction(), nullptr);
    EXPECT_EQ(t->GetFactionRank(), 3u);
    // The tuple is required unless the word is "0".
    EXPECT_EQ(CodeOf(
                  [&]
                  {
                      Read("<monster> m \"M\" \"\" (0 0 0) 0 g male human 1 0.5 0 fighter 1 "
                           "town_guard 10 1 2 3 4 5 </monster>");
                  }),
              1);
}

TEST_F(ActorTemplateTest, AutoPicksOnlyPublicTemplatesInRangeInNameOrder)
{
    // Value exactly 10: b_axe is not public, c_club (9) and d_mace (11) are
    // out of range, f_robe is armour.
    EXPECT_EQ(Read(Monster("<items> <auto> 2 (10 10) weapon </auto> </items>"))->GetItems(),
              (Items{{"a_dagger", 2}, {"e_spear", 2}}));
    // Keywords in their order, each in name order.
    EXPECT_EQ(
        Read(Monster("<items> <auto> 1 (0 100) ring weapon </auto> </items>"))->GetItems(),
        (Items{{"g_ring", 1}, {"a_dagger", 1}, {"c_club", 1}, {"d_mace", 1}, {"e_spear", 1}}));
    // Between fixed entries, keeping the file order of the entries.
    EXPECT_EQ(Read(Monster("<items> (gold 5) <auto> 1 9 11 armor </auto> (b_axe 1) </items>"))
                  ->GetItems(),
              (Items{{"gold", 5}, {"f_robe", 1}, {"b_axe", 1}}));
    // Money is never public here, and an empty range picks nothing.
    EXPECT_TRUE(
        Read(Monster("<items> <auto> 1 (0 100) money </auto> </items>"))->GetItems().empty());
    EXPECT_TRUE(
        Read(Monster("<items> <auto> 1 (11 10) weapon </auto> </items>"))->GetItems().empty());
    // A template added after lists were drawn is in the next list.
    auto items = ReaderOf("<items> <item> ba_sword \"Sword\" \"\" (1 1 1) \"\" sword 0 0 3.0 10 "
                          "weapon public </item> </items>");
    ReadItemsFile(items, m_Module);
    EXPECT_EQ(Read(Monster("<items> <auto> 2 (10 10) weapon </auto> </items>"))->GetItems(),
              (Items{{"a_dagger", 2}, {"ba_sword", 2}, {"e_spear", 2}}));
}

TEST_F(ActorTemplateTest, AutoTakesTheGeneratedSpellItems)
{
    // Scrolls of the two magic-school spells, made before monsters are read.
    AddSpellItems(m_Module);
    const CItemTemplate* scroll = m_Module.FindItemTemplate("i_scroll-s_bolt");
    ASSERT_NE(scroll, nullptr);
    const std::string value = std::to_string(scroll->GetValue());
    EXPECT_EQ(
        Read(Monster("<items> <auto> 4 (" + value + " " + value + ") scroll </auto> </items>"))
            ->GetItems(),
        (Items{{"i_scroll-s_bolt", 4}, {"i_scroll-s_ward", 4}}));
}

TEST_F(ActorTemplateTest, BlocksOutOfOrderAreCode1)
{
    const char* const outOfOrder[] = {
        "<talk> </talk> <items> (gold 1) </items>",
        ("<brain> hostile false 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> charge </ai> "
         "</brain> <heartbeat> </heartbeat>"),
        "<heartbeat> </heartbeat> <talk> </talk>",
        "<spellresistance> 5 </spellresistance> <attack> \"Bite\" 1 4 0 </attack>",
        "<attack> \"Bite\" 1 4 0 </attack> <monsterstats> 1 2 3 4 </monsterstats>",
        "<spellresistance> 5 </spellresistance> <monsterstats> 1 2 3 4 </monsterstats>",
        "<spells> s_bolt </spells> <skills> sneak </skills>",
        "<buy> weapon </buy> <items> (gold 1) </items>",
        "<items> (gold 1) </items> <spells> s_bolt </spells>",
        "<items> (gold 1) </items> <items> (gold 2) </items>",
        "<talk> </talk> <talk> </talk>",
        "autospell <talk> </talk>",
        "<unknown> </unknown>",
    };
    for (const char* body : outOfOrder)
        EXPECT_EQ(CodeOfMonster(body), 1) << body;

    // The same blocks in their order are fine.
    EXPECT_EQ(CodeOfMonster("<monsterstats> 1 2 3 4 </monsterstats> <attack> \"Bite\" 1 4 0 "
                            "</attack> <spellresistance> 5 </spellresistance> <skills> sneak "
                            "</skills> <spells> s_bolt </spells> <items> (gold 1) </items> <buy> "
                            "weapon </buy> <talk> </talk> <heartbeat> </heartbeat> <brain> hostile "
                            "false 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> charge "
                            "</ai> </brain> autospell"),
              -1);
}

TEST_F(ActorTemplateTest, BadKeywordsAreCode1)
{
    auto withGender = [](const std::string& gender)
    {
        return "<monster> m \"M\" \"\" (0 0 0) 0 g " + gender +
               " human 1 0.5 0 fighter 1 0 10 1 2 3 4 5 </monster>";
    };
    EXPECT_EQ(CodeOf([&] { Read(withGender("man")); }), 1);
    EXPECT_EQ(CodeOf([&] { Read(withGender("Male")); }), 1);
    EXPECT_EQ(CodeOf([&] { Read(withGender("female")); }), -1);

    const char* const bad[] = {
        "flying",                                        // no such flag
        "Sneak",                                         // flags are lower case
        "<items> a_dagger </items>",                     // an entry is a pair or <auto>
        "<items> 0 </items>",                            // likewise
        "<items> <auto> 1 (0 10) food </auto> </items>", // no such item type
        "<buy> food </buy>",                             // likewise
        "<heartbeat> now </heartbeat>",                  // only a script inside
        "<attack> Bite 1 4 0 </attack>",                 // the name is quoted
        "<attack> \"Bite\" 1 4 0 s_poison extra </attack>",
        "<spellresistance> high </spellresistance>",
        "<brain> hostile maybe 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> charge </ai> "
        "</brain>",
        "<brain> hostile true 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> fly </ai> "
        "</brain>",
    };
    for (const char* body : bad)
        EXPECT_EQ(CodeOfMonster(body), 1) << body;

    // A record that is never closed.
    EXPECT_EQ(
        CodeOf(
            [&]
            {
                Read("<monster> m \"M\" \"\" (0 0 0) 0 g male human 1 0.5 0 fighter 1 0 10 1 2 "
                     "3 4 5 sneak");
            }),
        1);
}

TEST_F(ActorTemplateTest, TableWordsOutsideTheirTablesAreCode2)
{
    auto withKinds = [](const std::string& race, const std::string& characterClass)
    {
        return "<monster> m \"M\" \"\" (0 0 0) 0 g male " + race + " 1 0.5 0 " + characterClass +
               " 1 0 10 1 2 3 4 5 </monster>";
    };
    EXPECT_EQ(CodeOf([&] { Read(withKinds("goblin", "fighter")); }), 2);
    EXPECT_EQ(CodeOf([&] { Read(withKinds("human", "wizard")); }), 2);
    EXPECT_EQ(CodeOfMonster("<skills> flying </skills>"), 2);
    EXPECT_EQ(CodeOfMonster("<brain> angry true 0 <tags> </tags> <tags> </tags> <ai> stand </ai> "
                            "<ai> charge </ai> </brain>"),
              2);
}

TEST_F(ActorTemplateTest, TemplateWithTalkHeartbeatAndBrain)
{
    const auto t = Read(Monster(
        "<talk> <state> hello <lua> vard_talk ( \"Hi\" ) </lua> </state> <state> again ( a b ) "
        "<lua> vard_end_talk ( ) </lua> </state> </talk> "
        "<heartbeat> ( x y ) <lua> vard_shout ( \"Fresh bread!\" ) </lua> </heartbeat> "
        "<brain> friendly false 25.5 <tags> market </tags> <tags> </tags> "
        "<ai> wander 12 </ai> <ai> forcetalk 30 sold_bread </ai> </brain>"));

    ASSERT_EQ(t->GetTalkStates().size(), 2u);
    EXPECT_EQ(t->GetTalkStates()[0]->GetName(), "hello");
    EXPECT_EQ(SourceOf(t->GetTalkStates()[0]->GetScript()), WrappedSource("vard_talk ( \"Hi\" ) "));
    EXPECT_EQ(t->GetTalkStates()[1]->GetName(), "again");
    EXPECT_EQ(FindTalkStateByName(t->GetTalkStates(), "again"), t->GetTalkStates()[1].get());

    const auto heartbeat = t->GetHeartbeatScript();
    EXPECT_EQ(SourceOf(heartbeat), WrappedSource("vard_shout ( \"Fresh bread!\" ) "));
    EXPECT_EQ(heartbeat.get(), t->GetHeartbeatScript().get());

    ASSERT_NE(t->GetBrain(), nullptr);
    EXPECT_EQ(t->GetBrain()->GetAttitude(), 1);
    EXPECT_DOUBLE_EQ(t->GetBrain()->GetSightRange(), 25.5);
    const auto first = t->CloneBrain();
    const auto second = t->CloneBrain();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first.get(), t->GetBrain());
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(first->GetCalmAI().get(), second->GetCalmAI().get());
    EXPECT_EQ(first->GetTriggerTags(), (std::vector<std::string>{"market"}));
    const auto* wander = dynamic_cast<const CAIWander*>(first->GetCalmAI().get());
    ASSERT_NE(wander, nullptr);
    EXPECT_DOUBLE_EQ(wander->GetRadius(), 12.0);
    const auto* talk = dynamic_cast<const CAIForceTalk*>(first->GetRousedAI().get());
    ASSERT_NE(talk, nullptr);
    EXPECT_EQ(talk->GetTags(), (std::vector<std::string>{"sold_bread"}));
}

TEST_F(ActorTemplateTest, EmptyHeartbeatBlockGivesNoScript)
{
    EXPECT_EQ(Read(Monster("<heartbeat> </heartbeat>"))->GetHeartbeatScript(), nullptr);
}

TEST_F(ActorTemplateTest, MonstersFileTakesOnlyMonsterRecords)
{
    auto empty = ReaderOf("<monsters> </monsters>");
    ReadMonstersFile(empty, m_Module);
    EXPECT_TRUE(m_Module.GetActorTemplates().empty());

    auto stray = ReaderOf("<monsters> " + Monster("") + " <item> </item> </monsters>");
    EXPECT_EQ(CodeOf([&] { ReadMonstersFile(stray, m_Module); }), 1);
    auto wrong = ReaderOf("<items> </items>");
    EXPECT_EQ(CodeOf([&] { ReadMonstersFile(wrong, m_Module); }), 1);
}

// ------------------------------------------------------------ attacks

namespace
{

std::shared_ptr<CActorMonsterAttack> AttackOf(const std::string& text)
{
    auto reader = ReaderOf(text);
    auto attack = std::make_shared<CActorMonsterAttack>(reader);
    EXPECT_TRUE(reader.IsAtEnd()) << text;
    return attack;
}

} // namespace

TEST(MonsterAttack, DieAndBaseReadTheSameBareOrAsAPair)
{
    for (const char* text :
         {"<attack> \"Claw\" -1 8 2 </attack>", "<attack> \"Claw\" -1 (8 2) </attack>",
          "<attack> \"Claw\" -1 ( 8 2 ) </attack>", "<attack> \"Claw\" -1 (8 2 ) </attack>",
          "<attack> \"Claw\" -1 ( 8 2) </attack>"})
    {
        const auto attack = AttackOf(text);
        const CAttackInfo& info = *attack->GetAttackInfo();
        EXPECT_EQ(info.name, "Claw") << text;
        EXPECT_EQ(info.attackBonus, -1) << text;
        EXPECT_EQ(info.dieSize, 8) << text;
        EXPECT_EQ(info.base, 2) << text;
        EXPECT_EQ(attack->GetSpellName(), "") << text;
    }
}

TEST(MonsterAttack, SpellNameZeroIsNone)
{
    EXPECT_EQ(AttackOf("<attack> \"Sting\" 3 (4 1) 0 </attack>")->GetSpellName(), "");
    EXPECT_EQ(AttackOf("<attack> \"Sting\" 3 (4 1) s_poison </attack>")->GetSpellName(),
              "s_poison");
    EXPECT_EQ(AttackOf("<attack> \"Two Words\" 0 0 0 </attack>")->GetAttackInfo()->name,
              "Two Words");
}

TEST(MonsterAttack, WriterLeavesOutAnEmptySpellName)
{
    const CActorMonsterAttack plain(CAttackInfo{"Slam", 2, 10, 3}, "");
    EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { plain.Write(w); }),
              "<attack>\n \"Slam\"\n 2\n (10\n 3)\n</attack>\n");
    const CActorMonsterAttack venom(CAttackInfo{"Venom Bite", -4, 0, 1}, "s_poison");
    EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { venom.Write(w); }),
              "<attack>\n \"Venom Bite\"\n -4\n (0\n 1)\n s_poison\n</attack>\n");
}

TEST(MonsterAttack, RecordRoundTripsByteForByte)
{
    for (const char* text : {"<attack>\n \"Slam\"\n 2\n (10\n 3)\n</attack>\n",
                             "<attack>\n \"Venom Bite\"\n -4\n (0\n 1)\n s_poison\n</attack>\n"})
    {
        const auto attack = AttackOf(text);
        EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { attack->Write(w); }), text);
    }
}
