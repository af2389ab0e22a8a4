#pragma once

#include "platform/device.h"
#include "platform/font.h"
#include "platform/sprite.h"
#include "ui/ui_types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

namespace VARDUI
{

// Text formats the widgets use (values of gfx's kText... flags).
enum : std::uint32_t
{
    kUITextCaption = 0x105, // centred both ways, one line
    kUITextTitle = 0x001,   // centred across
    kUITextBody = 0x010,    // word-wrapped
    kUITextLabel = 0x100,   // unclipped
    kUITextMeasure = 0x418, // the rectangle the word-wrapped lines take
};

// How every widget draws: a white texture stretched and tinted for filled
// rectangles, the font (16-pixel lines) and the small font (14), and the
// built-in images, each loaded once. All failures are CVARDException code 4.
// The manager makes a new one whenever the widget tree is built or the
// device reset.
class CUIDrawHelp
{
public:
    explicit CUIDrawHelp(gfx::Device& device);
    ~CUIDrawHelp();
    CUIDrawHelp(const CUIDrawHelp&) = delete;
    CUIDrawHelp& operator=(const CUIDrawHelp&) = delete;

    gfx::Font& GetFont() { return *m_Font; }
    gfx::Font& GetSmallFont() { return *m_SmallFont; }

    // Loads the built-in image once; an id that names no image throws.
    void LoadTexture(gfx::Device& device, std::uint32_t id);
    // The loaded image, or null.
    const gfx::Texture* GetTexture(std::uint32_t id) const;
    std::size_t GetTextureCount() const { return m_Images.size(); }

    // Colours are 0xAARRGGBB.
    void FillRect(gfx::Sprite* sprite, std::uint32_t colour, const Rect* rect);
    // thickness times: colour1 along the top and down the left, colour2
    // along the bottom and up the right, then one pixel inwards.
    void DrawOutline(gfx::Sprite* sprite, std::uint32_t colour1, std::uint32_t colour2,
                     const Rect* rect, std::int32_t thickness);
    // The loaded image at its own size from the rectangle's top-left, cut
    // at the rectangle, untinted.
    void DrawTexture(gfx::Sprite* sprite, const Rect* rect, std::uint32_t id);
    // The loaded image stretched over the rectangle, tinted.
    void DrawScaledTexture(gfx::Sprite* sprite, const Rect* rect, std::uint32_t id,
                           std::uint32_t colour);
    // A framed bar filled from the left by fraction of its inside.
    void DrawBar(gfx::Sprite* sprite, const Rect* rect, std::uint32_t colour, double fraction);
    // Identity sprite transform, as text drawing needs.
    void ResetTransform(gfx::Sprite* sprite);

    // The rectangle that holds the widgets being drawn, their dialog's
    // panel, which no title or caption leaves; the manager sets it for
    // every frame. The device's whole target until then.
    const Rect& GetPage() const { return m_Page; }
    void SetPage(const Rect& page) { m_Page = page; }

    // Text through the sprite with the font; returns the height the lines
    // take. A result of 0 for text that is not empty is a failure; empty
    // text draws nothing and counts as one line.
    static std::int32_t DrawText(gfx::Font& font, gfx::Sprite* sprite, std::string_view text,
                                 Rect& rect, std::uint32_t format, std::uint32_t colour);
    // Text placed in rect by its format, as DrawText places it, and running
    // past rect as far as it reaches, but kept inside bound: text that fits
    // bound yet is placed across its edge moves inward just enough, text
    // wider or taller than bound starts at bound's left or top edge, so
    // that what is cut is its end; its glyphs are cut at bound alone.
    // Returns the height its lines take.
    static std::int32_t DrawTextWithin(gfx::Font& font, gfx::Sprite* sprite, std::string_view text,
                                       const Rect& rect, const Rect& bound, std::uint32_t format,
                                       std::uint32_t colour);
    // The rows of rect that text of that format takes from rect's top, as
    // wide as rect and cut at its bottom: where a highlight or a hit area of
    // the text goes.
    static Rect TextRowsInside(gfx::Font& font, std::string_view text, const Rect& rect,
                               std::uint32_t format);

private:
    const gfx::Texture& LoadedTexture(std::uint32_t id) const;

    std::shared_ptr<gfx::Texture> m_White;
    std::unique_ptr<gfx::Font> m_Font;
    std::unique_ptr<gfx::Font> m_SmallFont;
    std::map<std::uint32_t, std::shared_ptr<gfx::Texture>> m_Images;
    Rect m_Page;
};

// Built-in icon of an item kind other than 0 (a weapon's comes from its
// weapon kind): kind 0 throws code 2, kinds above 10 code 4.
std::uint32_t GetItemKindIcon(std::int32_t itemKind);
// Built-in icon of a weapon kind 0..5; others throw code 4.
std::uint32_t GetWeaponKindIcon(std::int32_t weaponKind);
// Frame colour of a list cell by its two flags.
std::uint32_t GetListCellColor(std::uint32_t a, std::uint32_t b);

} // namespace VARDUI
