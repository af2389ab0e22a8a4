#include "platform/display_text.h"

#include <algorithm>
#include <cstdint>

namespace platform
{

namespace
{

// Code points of the bytes 0x80..0x9F in Windows-1252; the five unassigned
// bytes become U+FFFD.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

bool IsValidUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size())
    {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        std::size_t extra = 0;
        char32_t code = 0;
        if (lead < 0x80)
        {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF)
        {
            extra = 1;
            code = lead & 0x1F;
        }
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            extra = 2;
            code = lead & 0x0F;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            extra = 3;
            code = lead & 0x07;
        }
        else
        {
            return false;
        }
        if (i + extra >= text.size())
        {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k)
        {
            const auto next = static_cast<std::uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80)
            {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        const char32_t minimum = extra == 2 ? 0x800 : extra == 3 ? 0x10000 : 0x80;
        if (code < minimum || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80)
    {
        out += static_cast<char>(code);
    }
    else if (code < 0x800)
    {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool StartsCharacter(char c)
{
    return (static_cast<std::uint8_t>(c) & 0xC0) != 0x80;
}

// The byte index of the character `count` characters past `from`, or the
// text's size when it ends before.
std::size_t AdvanceCharacters(const std::string& text, std::size_t from, std::size_t count)
{
    std::size_t at = from;
    while (at < text.size() && count > 0)
    {
        ++at;
        while (at < text.size() && !StartsCharacter(text[at]))
        {
            ++at;
        }
        --count;
    }
    return at;
}

void AppendTrimmed(std::string& out, const std::string& line, std::size_t from, std::size_t to)
{
    while (to > from && line[to - 1] == ' ')
    {
        --to;
    }
    out.append(line, from, to - from);
}

void WrapLine(std::string& out, const std::string& line, std::size_t columns)
{
    std::size_t start = 0;
    for (;;)
    {
        // The first character that no longer fits on this line.
        const std::size_t limit = AdvanceCharacters(line, start, columns);
        if (limit >= line.size())
        {
            AppendTrimmed(out, line, start, line.size());
            return;
        }
        std::size_t end = limit;
        std::size_t next = limit;
        const std::size_t blank = line.rfind(' ', limit);
        if (blank != std::string::npos && blank > start)
        {
            end = blank;
            next = blank + 1;
        }
        else
        {
            const std::size_t slash = line.find_last_of("/\\", limit - 1);
            if (slash != std::string::npos && slash >= start)
            {
                end = slash + 1;
                next = end;
            }
        }
        AppendTrimmed(out, line, start, end);
        while (next < line.size() && line[next] == ' ')
        {
            ++next;
        }
        if (next >= line.size())
        {
            return;
        }
        out += '\n';
        start = next;
    }
}

// How many letters or lines of a desktop box fit a screen's width or height.
struct BoxFit
{
    int unit;  // pixels a letter or a line takes
    int frame; // pixels the box's frame takes around its text
    std::size_t fewest;
    std::size_t most; // more than read well are not made
    std::size_t unknown;

    std::size_t For(int screen) const
    {
        if (screen <= 0)
        {
            return unknown;
        }
        const int room = (screen - frame) / unit;
        if (room <= static_cast<int>(fewest))
        {
            return fewest;
        }
        return std::min(static_cast<std::size_t>(room), most);
    }
};

// The box font takes about 8 pixels a letter (12 for a capital), and the box
// frames its text with its icon and margins; its lines are about 15 pixels
// high, and its margins and button row take about 90 above and below them.
constexpr BoxFit kBoxColumns{9, 2 * 64, 32, 96, 80};
constexpr BoxFit kBoxLines{16, 96, 4, 40, 24};
const char* const kCutMark = "...";

} // namespace

std::string WrapText(const std::string& text, std::size_t columns)
{
    if (columns == 0)
    {
        return text;
    }
    std::string out;
    out.reserve(text.size() + text.size() / columns + 1);
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = text.find('\n', start);
        WrapLine(out,
                 text.substr(start, end == std::string::npos ? std::string::npos : end - start),
                 columns);
        if (end == std::string::npos)
        {
            return out;
        }
        out += '\n';
        start = end + 1;
    }
}

std::size_t MessageBoxColumns(int screenWidth)
{
    return kBoxColumns.For(screenWidth);
}

std::string CutLines(const std::string& text, std::size_t lines)
{
    if (lines == 0)
    {
        return text;
    }
    // Where the last line that may be shown starts, and where the next one does.
    std::size_t last = 0;
    std::size_t next = 0;
    for (std::size_t shown = 0; shown < lines; ++shown)
    {
        const std::size_t end = text.find('\n', next);
        if (end == std::string::npos || end + 1 == text.size())
        {
            return text;
        }
        last = next;
        next = end + 1;
    }
    return text.substr(0, last) + kCutMark;
}

std::size_t MessageBoxLines(int screenHeight)
{
    return kBoxLines.For(screenHeight);
}

std::string DisplayText(const std::string& text)
{
    if (IsValidUtf8(text))
    {
        return text;
    }
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text)
    {
        const auto byte = static_cast<std::uint8_t>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    }
    return out;
}

} // namespace platform
