#pragma once

#include "platform/device.h"
#include "platform/rect.h"
#include "platform/sprite.h"
#include "platform/text_layout.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace gfx
{

// A proportional sans-serif face at a cell height in pixels: a font of height
// 16 has 16-pixel lines. The face is Liberation Sans when fontconfig finds it,
// else DejaVu Sans. Text is bytes of Windows-1252; all of its glyphs are
// rendered into one texture when the font is made.
class Font
{
public:
    // Throws gfx::Error when neither face is installed or cannot be read,
    // or for a height outside 1..128.
    Font(Device& device, std::int32_t height);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    std::int32_t GetHeight() const { return m_Height; }
    const std::string& GetFamily() const { return m_Family; }
    const Advances& GetAdvances() const { return m_Advances; }

    // Draws text into rect with the format flags (kText...) and the colour
    // 0xAARRGGBB, through the sprite when one is given (its current
    // transform applies, and the glyphs join its batch), else at once on
    // its own. Returns the height the lines take. With kTextCalcRect nothing
    // is drawn and rect becomes the lines' bounds from its top-left corner.
    // Unless kTextNoClip, glyphs are cut at rect. Empty text draws nothing
    // and counts as one line.
    std::int32_t DrawText(Sprite* sprite, std::string_view text, Rect& rect, std::uint32_t format,
                          std::uint32_t colour);
    // The same, but glyphs are cut at clip instead, wherever rect places
    // them and whatever the format says of clipping: text placed by one
    // rectangle and kept inside another.
    std::int32_t DrawText(Sprite* sprite, std::string_view text, Rect& rect, std::uint32_t format,
                          std::uint32_t colour, const Rect& clip);

private:
    struct Glyph
    {
        Rect source;           // in the atlas; empty for none
        std::int32_t left = 0; // from the pen to the bitmap's left
        std::int32_t top = 0;  // from the line's top to the bitmap's top
    };

    void LoadFace();
    void BuildAtlas(Device& device);
    // Glyphs cut at clip unless it is null.
    std::int32_t DrawLines(Sprite* sprite, std::string_view text, Rect& rect, std::uint32_t format,
                           std::uint32_t colour, const Rect* clip);

    Device& m_Device;
    std::int32_t m_Height;
    std::string m_Family;
    std::string m_File;
    Advances m_Advances{};
    std::array<Glyph, 256> m_Glyphs{};
    std::shared_ptr<Texture> m_Atlas;
};

} // namespace gfx
