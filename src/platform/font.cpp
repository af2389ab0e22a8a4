#include "platform/font.h"

#include "platform/gfx_error.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx
{

namespace
{

constexpr const char* kFaces[] = {"Liberation Sans", "DejaVu Sans"};
constexpr std::int32_t kMaxHeight = 128;

// The file of a regular face of the family, or empty when fontconfig would
// only offer another family in its place.
std::string FindFace(const char* family)
{
    if (!FcInit())
        throw Error("fontconfig cannot start");
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    std::string file;
    if (match)
    {
        FcChar8* found = nullptr;
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &found) == FcResultMatch &&
            FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
            std::strcmp(reinterpret_cast<const char*>(found), family) == 0)
            file = reinterpret_cast<const char*>(path);
        FcPatternDestroy(match);
    }
    return file;
}

// FreeType's library and face for the length of one atlas build.
struct FaceHolder
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FaceHolder()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

} // namespace

Font::Font(Device& device, std::int32_t height) : m_Device(device), m_Height(height)
{
    if (height < 1 || height > kMaxHeight)
        throw Error("font height " + std::to_string(height) + " out of range");
    LoadFace();
    BuildAtlas(device);
}

Font::~Font() = default;

void Font::LoadFace()
{
    for (const char* family : kFaces)
    {
        m_File = FindFace(family);
        if (!m_File.empty())
        {
            m_Family = family;
            return;
        }
    }
    throw Error("no font: neither Liberation Sans nor DejaVu Sans is installed");
}

void Font::BuildAtlas(Device& device)
{
    FaceHolder holder;
    if (FT_Init_FreeType(&holder.library) != 0)
        throw Error("FreeType cannot start");
    if (FT_New_Face(holder.library, m_File.c_str(), 0, &holder.face) != 0)
        throw Error("cannot read the font file " + m_File);
    FT_Face face = holder.face;
    if (!FT_IS_SCALABLE(face))
        throw Error("font file " + m_File + " is not scalable");

    // The cell of a line is the face's Windows ascent plus descent, so that
    // the line height is the font height.
    double ascent = face->ascender;
    double descent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->usWinAscent + os2->usWinDescent > 0)
    {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0.0)
        throw Error("font file " + m_File + " has no line height");
    const double em = m_Height * face->units_per_EM / (ascent + descent);
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64.0)), 72, 72) != 0)
        throw Error("cannot size the font " + m_File);
    const std::int32_t baseline =
        static_cast<std::int32_t>(std::lround(m_Height * ascent / (ascent + descent)));

    const std::int32_t cell = 2 * m_Height + 2;
    Image atlas;
    atlas.width = static_cast<std::uint32_t>(16 * cell);
    atlas.height = static_cast<std::uint32_t>(16 * cell);
    atlas.pixels.assign(static_cast<std::size_t>(atlas.width) * atlas.height * 4, 0);
    for (std::size_t i = 0; i < atlas.pixels.size(); i += 4)
        std::memset(&atlas.pixels[i], 255, 3);

    std::int32_t spaceAdvance = 0;
    for (int byte = 0; byte < 256; ++byte)
    {
        const char32_t code = Windows1252ToUnicode(static_cast<unsigned char>(byte));
        // Control characters have neither glyph nor width.
        if (code < 0x20 || (code >= 0x7F && code < 0xA0))
            continue;
        const FT_UInt index = FT_Get_Char_Index(face, code);
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        m_Advances[byte] = static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
        if (code == U' ')
            spaceAdvance = m_Advances[byte];
        const FT_Bitmap& bitmap = slot->bitmap;
        const std::int32_t width = std::min<std::int32_t>(bitmap.width, cell - 2);
        const std::int32_t rows = std::min<std::int32_t>(bitmap.rows, cell - 2);
        if (width <= 0 || rows <= 0 || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
            continue;
        // One blank texel around each glyph keeps linear sampling from
        // reaching its neighbours.
        const std::int32_t x0 = (byte % 16) * cell + 1;
        const std::int32_t y0 = (byte / 16) * cell + 1;
        for (std::int32_t y = 0; y < rows; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                atlas.Pixel(static_cast<std::uint32_t>(x0 + x),
                            static_cast<std::uint32_t>(y0 + y))[3] =
                    bitmap.buffer[y * bitmap.pitch + x];
        Glyph& glyph = m_Glyphs[byte];
        glyph.source = {x0, y0, x0 + width, y0 + rows};
        glyph.left = slot->bitmap_left;
        glyph.top = baseline - slot->bitmap_top;
    }
    m_Advances['\t'] = spaceAdvance;
    m_Atlas = device.CreateTexture(atlas, false);
}

std::int32_t Font::DrawText(Sprite* sprite, std::string_view text, Rect& rect, std::uint32_t format,
                            std::uint32_t colour)
{
    return DrawLines(sprite, text, rect, format, colour, (format & kTextNoClip) ? nullptr : &rect);
}

std::int32_t Font::DrawText(Sprite* sprite, std::string_view text, Rect& rect, std::uint32_t format,
                            std::uint32_t colour, const Rect& clip)
{
    return DrawLines(sprite, text, rect, format, colour, &clip);
}

std::int32_t Font::DrawLines(Sprite* sprite, std::string_view text, Rect& rect,
                             std::uint32_t format, std::uint32_t colour, const Rect* clip)
{
    const std::vector<TextLine> lines = BreakLines(text, format, rect.Width(), m_Advances);
    const std::int32_t total = static_cast<std::int32_t>(lines.size()) * m_Height;
    if (format & kTextCalcRect)
    {
        std::int32_t widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, line.width);
        rect.right = rect.left + widest;
        rect.bottom = rect.top + total;
        return total;
    }
    if (text.empty())
        return total;

    Sprite own(m_Device);
    Sprite* target = sprite;
    if (!target)
    {
        own.Begin(kSpriteAlphaBlend);
        target = &own;
    }
    for (const PlacedLine& placed : PlaceLines(lines, rect, format, m_Height))
    {
        std::int32_t pen = placed.x;
        for (std::size_t i = placed.line.begin; i < placed.line.end; ++i)
        {
            const unsigned char byte = static_cast<unsigned char>(text[i]);
            const Glyph& glyph = m_Glyphs[byte];
            Rect source = glyph.source;
            Rect dest{pen + glyph.left, placed.y + glyph.top, 0, 0};
            dest.right = dest.left + source.Width();
            dest.bottom = dest.top + source.Height();
            pen += m_Advances[byte];
            if (source.Width() <= 0)
                continue;
            if (clip)
            {
                source.left += std::max(0, clip->left - dest.left);
                source.top += std::max(0, clip->top - dest.top);
                source.right -= std::max(0, dest.right - clip->right);
                source.bottom -= std::max(0, dest.bottom - clip->bottom);
                dest.left = std::max(dest.left, clip->left);
                dest.top = std::max(dest.top, clip->top);
                if (source.Width() <= 0 || source.Height() <= 0)
                    continue;
            }
            const Vec3 position{static_cast<float>(dest.left), static_cast<float>(dest.top), 0.0f};
            target->Draw(*m_Atlas, &source, nullptr, &position, colour);
        }
    }
    if (target == &own)
        own.End();
    return total;
}

} // namespace gfx
