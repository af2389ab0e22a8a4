#pragma once

#include "platform/rect.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace gfx
{

// Text formats of Font::DrawText; the values are the design's.
enum : std::uint32_t
{
    kTextLeft = 0x000,
    kTextTop = 0x000,
    kTextCenter = 0x001,
    kTextRight = 0x002,
    kTextVCenter = 0x004,
    kTextBottom = 0x008,
    kTextWordBreak = 0x010,
    kTextSingleLine = 0x020,
    kTextNoClip = 0x100,
    kTextCalcRect = 0x400,
};

// The Unicode character of a Windows-1252 byte; the five bytes that code
// page leaves open map to the control characters of the same value.
char32_t Windows1252ToUnicode(unsigned char byte);

// Pixel advance of each byte of text.
using Advances = std::array<std::int32_t, 256>;

// One line of laid-out text: bytes [begin, end) of the text and their width.
struct TextLine
{
    std::size_t begin = 0;
    std::size_t end = 0;
    std::int32_t width = 0;
};

// Splits text into lines: at line breaks (CR LF, LF or CR) unless the format
// is single-line, and, with word breaking, before a word that would take the
// line past width (the blanks at the break belong to no line; a word wider
// than width stands alone on its line). Empty text is one empty line.
std::vector<TextLine> BreakLines(std::string_view text, std::uint32_t format, std::int32_t width,
                                 const Advances& advances);

// Where each line starts, for lines of lineHeight pixels in rect: left,
// centred (halves truncated toward zero) or right; from the top, centred
// vertically or from the bottom.
struct PlacedLine
{
    TextLine line;
    std::int32_t x = 0;
    std::int32_t y = 0;
};
std::vector<PlacedLine> PlaceLines(const std::vector<TextLine>& lines, const Rect& rect,
                                   std::uint32_t format, std::int32_t lineHeight);

} // namespace gfx
