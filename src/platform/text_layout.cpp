#include "platform/text_layout.h"

namespace gfx
{

char32_t Windows1252ToUnicode(unsigned char byte)
{
    static constexpr char32_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0)
        return kHigh[byte - 0x80];
    return byte;
}

namespace
{

std::int32_t WidthOf(std::string_view text, std::size_t begin, std::size_t end,
                     const Advances& advances)
{
    std::int32_t width = 0;
    for (std::size_t i = begin; i < end; ++i)
        width += advances[static_cast<unsigned char>(text[i])];
    return width;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Greedy word wrapping of one paragraph [begin, end).
void WrapParagraph(std::string_view text, std::size_t begin, std::size_t end, std::int32_t width,
                   const Advances& advances, std::vector<TextLine>& lines)
{
    std::size_t lineBegin = begin;
    std::size_t lineEnd = begin; // past the last word taken
    std::int32_t lineWidth = 0;
    bool lineHasWord = false;
    std::size_t i = begin;
    while (i < end)
    {
        std::size_t wordBegin = i;
        while (wordBegin < end && IsBlank(text[wordBegin]))
            ++wordBegin;
        if (wordBegin == end)
            break;
        std::size_t wordEnd = wordBegin;
        while (wordEnd < end && !IsBlank(text[wordEnd]))
            ++wordEnd;
        const std::int32_t withWord = lineWidth + WidthOf(text, lineEnd, wordEnd, advances);
        if (lineHasWord && withWord > width)
        {
            lines.push_back({lineBegin, lineEnd, lineWidth});
            lineBegin = wordBegin;
            lineWidth = WidthOf(text, wordBegin, wordEnd, advances);
        }
        else
        {
            lineWidth = withWord;
        }
        lineHasWord = true;
        lineEnd = wordEnd;
        i = wordEnd;
    }
    lines.push_back({lineBegin, lineEnd, lineWidth});
}

} // namespace

std::vector<TextLine> BreakLines(std::string_view text, std::uint32_t format, std::int32_t width,
                                 const Advances& advances)
{
    std::vector<TextLine> lines;
    if (format & kTextSingleLine)
    {
        lines.push_back({0, text.size(), WidthOf(text, 0, text.size(), advances)});
        return lines;
    }
    std::size_t begin = 0;
    while (true)
    {
        std::size_t end = begin;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (format & kTextWordBreak)
            WrapParagraph(text, begin, end, width, advances, lines);
        else
            lines.push_back({begin, end, WidthOf(text, begin, end, advances)});
        if (end == text.size())
            break;
        begin = end + 1;
        if (text[end] == '\r' && begin < text.size() && text[begin] == '\n')
            ++begin;
    }
    return lines;
}

std::vector<PlacedLine> PlaceLines(const std::vector<TextLine>& lines, const Rect& rect,
                                   std::uint32_t format, std::int32_t lineHeight)
{
    const std::int32_t total = static_cast<std::int32_t>(lines.size()) * lineHeight;
    std::int32_t y = rect.top;
    if (format & kTextBottom)
        y = rect.bottom - total;
    else if (format & kTextVCenter)
        y = rect.top + (rect.Height() - total) / 2;
    std::vector<PlacedLine> placed;
    placed.reserve(lines.size());
    for (const TextLine& line : lines)
    {
        std::int32_t x = rect.left;
        if (format & kTextCenter)
            x = rect.left + (rect.Width() - line.width) / 2;
        else if (format & kTextRight)
            x = rect.right - line.width;
        placed.push_back({line, x, y});
        y += lineHeight;
    }
    return placed;
}

} // namespace gfx
