#include "gl_fixture.h"

#include "platform/font.h"

#include <algorithm>

namespace
{

// Where white text left its ink.
struct Ink
{
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1; // last inked column
    int bottom = -1;
    bool Any() const { return right >= 0; }
};

class FontTest : public GlTest
{
protected:
    FontTest() : GlTest(160) {}

    void SetUp() override
    {
        GlTest::SetUp();
        font = std::make_unique<gfx::Font>(*device, 16);
    }

    void TearDown() override
    {
        font.reset();
        GlTest::TearDown();
    }

    Ink InkIn(const gfx::Rect& area)
    {
        Ink ink;
        for (int y = std::max(area.top, 0); y < std::min<int>(area.bottom, kSize); ++y)
            for (int x = std::max(area.left, 0); x < std::min<int>(area.right, kSize); ++x)
                if (PixelAt(x, y)[0] > 128)
                {
                    ink.left = std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                    ink.top = std::min(ink.top, y);
                    ink.bottom = std::max(ink.bottom, y);
                }
        return ink;
    }

    Ink InkAll() { return InkIn({0, 0, static_cast<int>(kSize), static_cast<int>(kSize)}); }

    std::int32_t Draw(std::string_view text, gfx::Rect rect, std::uint32_t format)
    {
        device->Clear(gfx::kClearTarget, 0xFF000000u, 1.0f);
        const std::int32_t height = font->DrawText(nullptr, text, rect, format, 0xFFFFFFFFu);
        Drawn();
        return height;
    }

    std::int32_t Measure(std::string_view text, gfx::Rect& rect, std::uint32_t format)
    {
        return font->DrawText(nullptr, text, rect, format | gfx::kTextCalcRect, 0xFFFFFFFFu);
    }

    std::unique_ptr<gfx::Font> font;
};

} // namespace

TEST_F(FontTest, HeightSixteenHasSixteenPixelLines)
{
    EXPECT_TRUE(font->GetFamily() == "Liberation Sans" || font->GetFamily() == "DejaVu Sans");
    gfx::Rect rect{10, 20, 150, 150};
    EXPECT_EQ(Measure("Hello", rect, gfx::kTextSingleLine), 16);
    EXPECT_EQ(rect.bottom, 36);
    const auto& a = font->GetAdvances();
    EXPECT_EQ(rect.right, 10 + a['H'] + a['e'] + 2 * a['l'] + a['o']);

    // Ink of capitals and descenders stays inside the line's 16 pixels.
    EXPECT_EQ(Draw("Hgjpq", {10, 20, 150, 150}, 0), 16);
    const Ink ink = InkAll();
    ASSERT_TRUE(ink.Any());
    EXPECT_GE(ink.top, 20);
    EXPECT_LT(ink.bottom, 36);
    EXPECT_GE(ink.bottom, 32); // descenders reach the lower part of the cell
}

TEST_F(FontTest, EmptyTextIsOneLineAndDrawsNothing)
{
    gfx::Rect rect{5, 5, 100, 100};
    EXPECT_EQ(Measure("", rect, gfx::kTextWordBreak | gfx::kTextBottom), 16);
    EXPECT_EQ(rect, (gfx::Rect{5, 5, 5, 21}));
    EXPECT_EQ(Draw("", {5, 5, 100, 100}, gfx::kTextWordBreak), 16);
    EXPECT_FALSE(InkAll().Any());
}

TEST_F(FontTest, WordBreakWrapsAtTheWidth)
{
    gfx::Rect word{0, 0, 1000, 0};
    Measure("MMMM", word, gfx::kTextSingleLine);
    // Room for two words and the blank between them, not three.
    const int width = 2 * word.Width() + font->GetAdvances()[' '] + 2;
    const std::string text = "MMMM MMMM MMMM MMMM MMMM";
    gfx::Rect measured{4, 10, 4 + width, 10};
    EXPECT_EQ(Measure(text, measured, gfx::kTextWordBreak), 48);
    EXPECT_EQ(measured.bottom, 58);
    EXPECT_LE(measured.right, 4 + width);

    EXPECT_EQ(Draw(text, {4, 10, 4 + width, 150}, gfx::kTextWordBreak), 48);
    for (int line = 0; line < 4; ++line)
    {
        const Ink ink = InkIn({0, 10 + 16 * line, static_cast<int>(kSize), 26 + 16 * line});
        EXPECT_EQ(ink.Any(), line < 3) << line;
        if (line < 3)
        {
            EXPECT_LT(ink.right, 4 + width);
        }
    }
    // The last line holds one word, the others two.
    EXPECT_LT(InkIn({0, 42, 160, 58}).right, InkIn({0, 10, 160, 26}).right - word.Width() / 2);

    // Without word breaking the line runs on, cut at the rectangle.
    EXPECT_EQ(Draw(text, {4, 10, 4 + width, 150}, 0), 16);
    const Ink one = InkAll();
    EXPECT_LT(one.bottom, 26);
    EXPECT_LT(one.right, 4 + width);
    EXPECT_EQ(Draw(text, {4, 10, 4 + width, 150}, gfx::kTextNoClip), 16);
    EXPECT_GE(InkAll().right, 4 + width);
}

TEST_F(FontTest, AlignmentCentresAndPutsTextRightOrAtTheBottom)
{
    const gfx::Rect box{20, 30, 140, 90};
    EXPECT_EQ(Draw("MMMM", box, gfx::kTextCenter | gfx::kTextVCenter | gfx::kTextSingleLine), 16);
    Ink ink = InkAll();
    EXPECT_NEAR((ink.left + ink.right + 1) / 2.0, 80.0, 2.0);
    EXPECT_GE(ink.top, 30 + (60 - 16) / 2);
    EXPECT_LT(ink.bottom, 30 + (60 - 16) / 2 + 16);

    Draw("MMMM", box, gfx::kTextRight);
    ink = InkAll();
    EXPECT_LT(ink.right, 140);
    EXPECT_GE(ink.right, 136);
    EXPECT_LT(ink.bottom, 46);

    EXPECT_EQ(Draw("MM\nMM", box, gfx::kTextBottom | gfx::kTextWordBreak), 32);
    ink = InkAll();
    EXPECT_GE(ink.top, 90 - 32);
    EXPECT_LT(ink.top, 90 - 16);
    EXPECT_LT(ink.bottom, 90);
}

TEST_F(FontTest, WindowsCodePageAndSpriteTransform)
{
    const auto& a = font->GetAdvances();
    EXPECT_GT(a[0x80], 0); // the euro sign
    EXPECT_EQ(a[0x81], 0); // a byte the code page leaves open
    EXPECT_EQ(a['\n'], 0);
    Draw("\x80", {10, 10, 150, 150}, 0);
    EXPECT_TRUE(InkAll().Any());

    // Through a sprite the glyphs follow its transform.
    device->Clear(gfx::kClearTarget, 0xFF000000u, 1.0f);
    gfx::Sprite sprite(*device);
    sprite.Begin(gfx::kSpriteAlphaBlend);
    sprite.SetTransform(gfx::Matrix::Translation(0, 100, 0));
    gfx::Rect rect{10, 10, 150, 30};
    EXPECT_EQ(font->DrawText(&sprite, "MMMM", rect, gfx::kTextSingleLine, 0xFFFFFFFFu), 16);
    sprite.End();
    Drawn();
    const Ink ink = InkAll();
    EXPECT_GE(ink.top, 110);
    EXPECT_LT(ink.bottom, 126);
}
