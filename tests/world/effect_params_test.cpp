#include "world/effect_params.h"

#include "rule_test_util.h"

#include <gtest/gtest.h>

using namespace VARDGraph;
using RuleTest::CodeOf;
using RuleTest::ReaderOf;
using RuleTest::WrittenText;

TEST(GraphicColors, SlotKeys)
{
    EXPECT_EQ(ColorSlotFromKey("HAIR"), 0);
    EXPECT_EQ(ColorSlotFromKey("SKIN"), 1);
    EXPECT_EQ(ColorSlotFromKey("TRIM"), 2);
    for (const char* bad : {"hair", "Hair", "EYES", ""})
        EXPECT_EQ(CodeOf([&] { ColorSlotFromKey(bad); }), 2) << bad;
}

TEST(GraphicColors, MissingSlotsStayBlack)
{
    auto reader = ReaderOf("<color> TRIM (255 0 0) </color> after");
    CGraphicColors colors(reader);
    EXPECT_EQ(colors.GetHair(), 0u);
    EXPECT_EQ(colors.GetSkin(), 0u);
    EXPECT_EQ(colors.GetTrim(), 0x00FF0000u);
    EXPECT_EQ(reader.GetCurrentWord(), "after");
}

TEST(GraphicColors, AnyOrderAndLaterWins)
{
    auto reader = ReaderOf("<color> SKIN ( 1 2 3 ) HAIR (4 5 6) SKIN (7 8 9) </color>");
    CGraphicColors colors(reader);
    EXPECT_EQ(colors.GetHair(), 0x00040506u);
    EXPECT_EQ(colors.GetSkin(), 0x00070809u);
    EXPECT_EQ(colors.GetTrim(), 0u);
}

TEST(GraphicColors, BadBlocks)
{
    auto lower = ReaderOf("<color> hair (1 2 3) </color>");
    EXPECT_EQ(CodeOf([&] { CGraphicColors colors(lower); }), 2);
    auto noGroup = ReaderOf("<color> HAIR 1 2 3 </color>");
    EXPECT_EQ(CodeOf([&] { CGraphicColors colors(noGroup); }), 1);
    auto truncated = ReaderOf("<color> HAIR (1 2 3)");
    EXPECT_EQ(CodeOf([&] { CGraphicColors colors(truncated); }), 1);
}

TEST(GraphicColors, WrittenBlockReadsBack)
{
    const CGraphicColors colors(0x00102030u, 0x00FFEEDDu, 0x00000001u);
    const std::string text =
        WrittenText("colors.txt", [&](VARDCommon::CTagFileWriter& w) { colors.Write(w); });
    EXPECT_EQ(text, "<color>\n HAIR\n (16\n 32\n 48)\n SKIN\n (255\n 238\n 221)\n TRIM\n (0\n 0\n "
                    "1)\n</color>\n");
    auto reader = ReaderOf(text);
    const CGraphicColors read(reader);
    for (int slot = 0; slot < kColorSlotCount; ++slot)
        EXPECT_EQ(read.GetColor(slot), colors.GetColor(slot));
    EXPECT_EQ(CodeOf([&] { read.GetColor(3); }), 2);
}

TEST(EffectParams, ParamsBlock)
{
    auto reader = ReaderOf("<params> rune_fire (255 128 0) 1.5 </params> next");
    const CEffectParams params(reader);
    EXPECT_EQ(params.GetName(), "rune_fire");
    EXPECT_EQ(params.GetColor(), 0x00FF8000u);
    EXPECT_DOUBLE_EQ(params.GetValue(), 1.5);
    EXPECT_EQ(reader.GetCurrentWord(), "next");

    auto quoted = ReaderOf("<params> \"rune_ice\" (0 0 255) 2 </params>");
    EXPECT_EQ(CEffectParams(quoted).GetName(), "rune_ice");

    auto noValue = ReaderOf("<params> rune (1 1 1) </params>");
    EXPECT_EQ(CodeOf([&] { CEffectParams p(noValue); }), 1);
}
