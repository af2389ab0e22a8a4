#include "world/keywords.h"

#include "common/tag_file.h"
#include "rule_test_util.h"
#include "world/rule_tables.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace VARD;
using RuleTest::CodeOf;
using RuleTest::ReaderOf;
using RuleTest::WrittenText;

TEST(KeywordFields, ReadItemType)
{
    const char* words[] = {"weapon", "armor",  "shield", "helmet", "amulet", "ring",
                           "potion", "scroll", "wand",   "misc",   "money"};
    for (int t = 0; t < 11; ++t)
    {
        auto reader = ReaderOf(std::string(words[t]) + " next");
        EXPECT_EQ(ReadItemType(reader), t);
        EXPECT_EQ(reader.GetCurrentWord(), "next");
    }
    for (const char* bad : {"Weapon", "0", "gold", "<item>"})
    {
        auto reader = ReaderOf(bad);
        EXPECT_EQ(CodeOf([&] { ReadItemType(reader); }), 1) << bad;
    }
}

TEST(KeywordFields, SkillOrNoneBothWays)
{
    auto reader = ReaderOf("0 sneak flanking resolute_belief");
    EXPECT_EQ(ReadSkillOrNone(reader), kSkillNone);
    EXPECT_EQ(ReadSkillOrNone(reader), 67);
    EXPECT_EQ(ReadSkillOrNone(reader), 70);
    EXPECT_EQ(ReadSkillOrNone(reader), 82);
    auto bad = ReaderOf("stealth");
    EXPECT_EQ(CodeOf([&] { ReadSkillOrNone(bad); }), 2);

    const std::string text = WrittenText("skill_or_none.txt",
                                         [](VARDCommon::CTagFileWriter& w)
                                         {
                                             WriteSkillOrNone(w, kSkillNone);
                                             WriteSkillOrNone(w, 0);
                                         });
    EXPECT_EQ(text, "0\nlight_blade\n");
}

TEST(KeywordFields, SaveOrPowerRoundTrip)
{
    const std::string text = WrittenText("save_or_power.txt",
                                         [](VARDCommon::CTagFileWriter& w)
                                         {
                                             for (int kind = 0; kind <= 4; ++kind)
                                                 WriteSaveOrPower(w, kind);
                                         });
    EXPECT_EQ(text, "escape\nfortitude\nresolve\npower\nmusic\n");
    auto reader = ReaderOf(text);
    for (int kind = 0; kind <= 4; ++kind)
        EXPECT_EQ(ReadSaveOrPower(reader), kind);

    auto bad = ReaderOf("song");
    EXPECT_EQ(CodeOf([&] { ReadSaveOrPower(bad); }), 2);
    EXPECT_EQ(CodeOf(
                  []
                  {
                      WrittenText("save_or_power_bad.txt",
                                  [](VARDCommon::CTagFileWriter& w) { WriteSaveOrPower(w, 5); });
                  }),
              2);
}

TEST(KeywordFields, SexBothWays)
{
    auto reader = ReaderOf("male female none");
    EXPECT_EQ(ReadSex(reader), 0);
    EXPECT_EQ(ReadSex(reader), 1);
    EXPECT_EQ(ReadSex(reader), 2);
    auto bad = ReaderOf("Male");
    EXPECT_EQ(CodeOf([&] { ReadSex(bad); }), 1);

    EXPECT_EQ(WrittenText("sex.txt",
                          [](VARDCommon::CTagFileWriter& w)
                          {
                              WriteSex(w, 0);
                              WriteSex(w, 1);
                              WriteSex(w, 2);
                          }),
              "male\nfemale\nnone\n");
    for (int sex : {-1, 3})
        EXPECT_EQ(CodeOf(
                      [&] {
                          WrittenText("sex_bad.txt",
                                      [&](VARDCommon::CTagFileWriter& w) { WriteSex(w, sex); });
                      }),
                  2);
}

TEST(KeywordFields, TableKeysAndTheirNoneValues)
{
    const std::string text = WrittenText("table_keys.txt",
                                         [](VARDCommon::CTagFileWriter& w)
                                         {
                                             WriteClassKey(w, 3);
                                             WriteRaceKey(w, 12);
                                             WriteDirectionKey(w, 1);
                                             WriteDirectionKey(w, kDirectionNone);
                                             WriteTileKindKey(w, 2);
                                         });
    EXPECT_EQ(text, "monster\njotun\neast\n0\nsolid\n");

    auto reader = ReaderOf(text);
    EXPECT_EQ(FindClassByKey(reader.ReadWord()), 3);
    EXPECT_EQ(FindRaceByKey(reader.ReadWord()), 12);
    EXPECT_EQ(ParseDirection(reader.ReadWord()), 1);
    EXPECT_EQ(ParseDirection(reader.ReadWord()), kDirectionNone);
    EXPECT_EQ(FindTileKindByKey(reader.ReadWord()), 2);

    // Values the tables lack are refused rather than read past the table.
    const std::vector<std::function<void(VARDCommon::CTagFileWriter&)>> bad = {
        [](VARDCommon::CTagFileWriter& w) { WriteClassKey(w, 4); },
        [](VARDCommon::CTagFileWriter& w) { WriteRaceKey(w, 17); },
        [](VARDCommon::CTagFileWriter& w) { WriteDirectionKey(w, 5); },
        [](VARDCommon::CTagFileWriter& w) { WriteTileKindKey(w, kTileKindDoor); },
    };
    for (std::size_t i = 0; i < bad.size(); ++i)
        EXPECT_EQ(CodeOf([&] { WrittenText("table_keys_bad.txt", bad[i]); }), 2) << i;
}

TEST(ModifierMask, WordsUpToTheEndTag)
{
    auto reader = ReaderOf("<modify> attack defense resolve movementspeed </modify> after");
    reader.ReadStartTag("modify");
    EXPECT_EQ(ParseModifierMask(reader), 0x1u | 0x4u | 0x40u | 0x100000u);
    reader.ReadEndTag();
    EXPECT_EQ(reader.GetCurrentWord(), "after");

    std::uint32_t all = 0;
    for (int i = 0; i < kModifierTargetCount; ++i)
    {
        auto one = ReaderOf(std::string("<m> ") + GetModifierTargetInfo(i).key + " </m>");
        one.ReadStartTag("m");
        const std::uint32_t bit = ParseModifierMask(one);
        EXPECT_EQ(bit, GetModifierTargetInfo(i).bit);
        all |= bit;
    }
    EXPECT_EQ(all, 0x1FFFF7u); // every bit up to 0x100000 but 0x8

    auto empty = ReaderOf("<m> </m>");
    empty.ReadStartTag("m");
    EXPECT_EQ(ParseModifierMask(empty), 0u);

    auto bad = ReaderOf("<m> attack speed </m>");
    bad.ReadStartTag("m");
    EXPECT_EQ(CodeOf([&] { ParseModifierMask(bad); }), 1);

    auto truncated = ReaderOf("<m> attack");
    truncated.ReadStartTag("m");
    EXPECT_EQ(CodeOf([&] { ParseModifierMask(truncated); }), 1);
}

TEST(ActorLists, SkillListRoundTripWithNone)
{
    const SkillSet skills = {0, 42, 67, kSkillNone};
    const std::string text = WrittenText("skills.txt", [&](VARDCommon::CTagFileWriter& w)
                                         { WriteSkillList(skills, w); });
    EXPECT_EQ(text, "<skills>\n light_blade\n void_magic\n sneak\n 0\n</skills>\n");

    auto reader = ReaderOf(text);
    SkillSet read;
    ReadSkillList(reader, read);
    EXPECT_EQ(read, skills);
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(ActorLists, SkillListIsOptionalButChecked)
{
    auto missing = ReaderOf("<buy> </buy>");
    SkillSet skills = {5};
    ReadSkillList(missing, skills);
    EXPECT_EQ(skills, SkillSet({5}));
    EXPECT_TRUE(missing.IsStartTag("buy"));

    auto bad = ReaderOf("<skills> sneak lockpicking </skills>");
    EXPECT_EQ(CodeOf([&] { ReadSkillList(bad, skills); }), 2);
    auto truncated = ReaderOf("<skills> sneak");
    EXPECT_EQ(CodeOf([&] { ReadSkillList(truncated, skills); }), 1);
}

TEST(ActorLists, BuyListRoundTrip)
{
    BuyTable table{};
    table[0] = 1;
    table[6] = 1;
    table[10] = 1;
    const std::string text =
        WrittenText("buy.txt", [&](VARDCommon::CTagFileWriter& w) { WriteBuyList(table, w); });
    EXPECT_EQ(text, "<buy>\n weapon\n potion\n money\n</buy>\n");

    auto reader = ReaderOf(text);
    BuyTable read{};
    ReadBuyList(reader, read);
    EXPECT_EQ(read, table);

    auto missing = ReaderOf("<skills> </skills>");
    EXPECT_EQ(CodeOf([&] { ReadBuyList(missing, read); }), 1);
    auto bad = ReaderOf("<buy> gems </buy>");
    EXPECT_EQ(CodeOf([&] { ReadBuyList(bad, read); }), 1);
}
