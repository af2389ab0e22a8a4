#include "platform/text_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Every byte 10 pixels wide, blanks 5.
gfx::Advances TenEach()
{
    gfx::Advances advances;
    advances.fill(10);
    advances[' '] = 5;
    advances['\t'] = 5;
    return advances;
}

std::vector<std::string> Lines(std::string_view text, std::uint32_t format, int width)
{
    std::vector<std::string> lines;
    for (const gfx::TextLine& line : gfx::BreakLines(text, format, width, TenEach()))
        lines.emplace_back(text.substr(line.begin, line.end - line.begin));
    return lines;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(TextLayout, BreaksLinesAsTheFormatSays)
{
    struct Case
    {
        std::string text;
        std::uint32_t format;
        int width;
        Strings lines;
    };
    const std::uint32_t wrap = gfx::kTextWordBreak;
    const Case cases[] = {
        {"", wrap, 100, {""}},
        {"", gfx::kTextSingleLine, 100, {""}},
        // "aa bb" is 45 wide: it fits in 45, not in 44.
        {"aa bb cc", wrap, 45, {"aa bb", "cc"}},
        {"aa bb cc", wrap, 44, {"aa", "bb", "cc"}},
        {"aa  bb", wrap, 30, {"aa", "bb"}},
        // A word wider than the line stands alone and overflows.
        {"a longword b", wrap, 30, {"a", "longword", "b"}},
        {"  lead", wrap, 100, {"  lead"}},
        {"one\r\ntwo\nthree\rfour", 0, 10, {"one", "two", "three", "four"}},
        {"one\ntwo", gfx::kTextSingleLine, 10, {"one\ntwo"}},
        {"a\n\nb", wrap, 100, {"a", "", "b"}},
        {"aa bb\ncc dd", wrap, 30, {"aa", "bb", "cc", "dd"}},
        {"aa bb cc", 0, 10, {"aa bb cc"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Lines(c.text, c.format, c.width), c.lines) << c.text << " / " << c.width;

    const auto widths = gfx::BreakLines("aa bb cc", wrap, 45, TenEach());
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_EQ(widths[0].width, 45);
    EXPECT_EQ(widths[1].width, 20);
}

TEST(TextLayout, PlacesLinesInTheRectangle)
{
    const std::vector<gfx::TextLine> lines = {{0, 2, 20}, {3, 8, 45}};
    const gfx::Rect rect{10, 100, 111, 200}; // 101 wide, 100 high
    struct Case
    {
        std::uint32_t format;
        int x0, x1, y0;
    };
    const Case cases[] = {
        {0, 10, 10, 100},
        {gfx::kTextCenter, 10 + 81 / 2, 10 + 56 / 2, 100},
        {gfx::kTextRight, 91, 66, 100},
        {gfx::kTextVCenter, 10, 10, 100 + 68 / 2},
        {gfx::kTextBottom, 10, 10, 200 - 32},
        {gfx::kTextBottom | gfx::kTextVCenter, 10, 10, 200 - 32},
    };
    for (const Case& c : cases)
    {
        const auto placed = gfx::PlaceLines(lines, rect, c.format, 16);
        ASSERT_EQ(placed.size(), 2u);
        EXPECT_EQ(placed[0].x, c.x0) << c.format;
        EXPECT_EQ(placed[1].x, c.x1) << c.format;
        EXPECT_EQ(placed[0].y, c.y0) << c.format;
        EXPECT_EQ(placed[1].y, c.y0 + 16) << c.format;
    }
}

TEST(TextLayout, WindowsCodePageBytes)
{
    EXPECT_EQ(gfx::Windows1252ToUnicode('A'), U'A');
    EXPECT_EQ(gfx::Windows1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(gfx::Windows1252ToUnicode(0x92), U'\u2019');
    EXPECT_EQ(gfx::Windows1252ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(gfx::Windows1252ToUnicode(0x81), U'\u0081');
    EXPECT_EQ(gfx::Windows1252ToUnicode(0xE9), U'\u00E9');
    EXPECT_EQ(gfx::Windows1252ToUnicode(0xFF), U'\u00FF');
}
