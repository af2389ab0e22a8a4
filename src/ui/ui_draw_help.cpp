#include "ui/ui_draw_help.h"

#include "common/exception.h"
#include "platform/gfx_error.h"
#include "platform/image.h"
#include "platform/text_layout.h"
#include "resources/builtin_images.h"

#include <algorithm>
#include <string>
#include <vector>

namespace VARDUI
{

namespace
{

[[noreturn]] void Fail(const std::string& what)
{
    throw CVARDException(kUIErrorCode, what);
}

void SpriteDraw(gfx::Sprite* sprite, const gfx::Matrix& transform, const gfx::Texture& texture,
                const gfx::Rect* source, std::uint32_t colour)
{
    if (!sprite)
        Fail("drawing without a sprite");
    try
    {
        sprite->SetTransform(transform);
        sprite->Draw(texture, source, nullptr, nullptr, colour);
    }
    catch (const gfx::Error& error)
    {
        Fail(std::string("sprite draw: ") + error.what());
    }
}

gfx::Matrix ScaledTo(const Rect& rect, float width, float height)
{
    return gfx::Matrix::Scaling(static_cast<float>(rect.Width()) / width,
                                static_cast<float>(rect.Height()) / height, 1.0f) *
           gfx::Matrix::Translation(static_cast<float>(rect.left), static_cast<float>(rect.top),
                                    0.0f);
}

} // namespace

CUIDrawHelp::CUIDrawHelp(gfx::Device& device)
    : m_Page{0, 0, static_cast<std::int32_t>(device.GetWidth()),
             static_cast<std::int32_t>(device.GetHeight())}
{
    try
    {
        m_White = device.CreateTexture(gfx::MakeSolidImage(0xFFFFFF, 1.0), false);
        m_Font = std::make_unique<gfx::Font>(device, 16);
        m_SmallFont = std::make_unique<gfx::Font>(device, 14);
    }
    catch (const gfx::Error& error)
    {
        Fail(std::string("drawing object: ") + error.what());
    }
}

CUIDrawHelp::~CUIDrawHelp()
{
    m_Images.clear();
    m_SmallFont.reset();
    m_Font.reset();
    m_White.reset();
}

void CUIDrawHelp::LoadTexture(gfx::Device& device, std::uint32_t id)
{
    if (m_Images.count(id))
        return;
    const std::span<const std::uint8_t> bytes = VARDResources::FindBuiltInImage(id & 0xFFFFu);
    if (bytes.empty())
        Fail("no built-in image " + std::to_string(id));
    try
    {
        m_Images[id] = device.CreateTexture(gfx::LoadTextureImage(bytes));
    }
    catch (const gfx::Error& error)
    {
        Fail("built-in image " + std::to_string(id) + ": " + error.what());
    }
}

const gfx::Texture* CUIDrawHelp::GetTexture(std::uint32_t id) const
{
    const auto found = m_Images.find(id);
    return found == m_Images.end() ? nullptr : found->second.get();
}

const gfx::Texture& CUIDrawHelp::LoadedTexture(std::uint32_t id) const
{
    const gfx::Texture* texture = GetTexture(id);
    if (!texture)
        Fail("built-in image " + std::to_string(id) + " not loaded");
    return *texture;
}

void CUIDrawHelp::FillRect(gfx::Sprite* sprite, std::uint32_t colour, const Rect* rect)
{
    SpriteDraw(sprite, ScaledTo(*rect, 1.0f, 1.0f), *m_White, nullptr, colour);
}

void CUIDrawHelp::DrawOutline(gfx::Sprite* sprite, std::uint32_t colour1, std::uint32_t colour2,
                              const Rect* rect, std::int32_t thickness)
{
    Rect r = *rect;
    for (std::int32_t i = 0; i < thickness; ++i)
    {
        const Rect top{r.left, r.top, r.right, r.top + 1};
        const Rect left{r.left, r.top + 1, r.left + 1, r.bottom - 1};
        const Rect bottom{r.left, r.bottom - 1, r.right, r.bottom};
        const Rect right{r.right - 1, r.top + 1, r.right, r.bottom - 1};
        FillRect(sprite, colour1, &top);
        FillRect(sprite, colour1, &left);
        FillRect(sprite, colour2, &bottom);
        FillRect(sprite, colour2, &right);
        r = InflateRect(r, -1);
    }
}

void CUIDrawHelp::DrawTexture(gfx::Sprite* sprite, const Rect* rect, std::uint32_t id)
{
    const gfx::Texture& texture = LoadedTexture(id);
    const gfx::Rect source{
        0, 0, std::min(static_cast<std::int32_t>(texture.GetWidth()), rect->Width()),
        std::min(static_cast<std::int32_t>(texture.GetHeight()), rect->Height())};
    if (source.right <= 0 || source.bottom <= 0)
        return;
    SpriteDraw(sprite,
               gfx::Matrix::Translation(static_cast<float>(rect->left),
                                        static_cast<float>(rect->top), 0.0f),
               texture, &source, 0xFFFFFFFFu);
}

void CUIDrawHelp::DrawScaledTexture(gfx::Sprite* sprite, const Rect* rect, std::uint32_t id,
                                    std::uint32_t colour)
{
    const gfx::Texture& texture = LoadedTexture(id);
    SpriteDraw(sprite,
               ScaledTo(*rect, static_cast<float>(texture.GetWidth()),
                        static_cast<float>(texture.GetHeight())),
               texture, nullptr, colour);
}

void CUIDrawHelp::DrawBar(gfx::Sprite* sprite, const Rect* rect, std::uint32_t colour,
                          double fraction)
{
    Rect r = InflateRect(*rect, -1);
    DrawOutline(sprite, 0xFF808080u, 0xFFFFFFFFu, &r, 1);
    r = InflateRect(r, -1);
    // Hit points below zero or above the maximum must not draw outside the
    // bar.
    fraction = std::clamp(fraction, 0.0, 1.0);
    r.right = r.left + static_cast<std::int32_t>(r.Width() * fraction);
    if (r.right > r.left)
        FillRect(sprite, colour, &r);
}

void CUIDrawHelp::ResetTransform(gfx::Sprite* sprite)
{
    if (!sprite)
        Fail("drawing without a sprite");
    sprite->SetTransform(gfx::Matrix::Identity());
}

namespace
{

// The height draw returns; the font's errors, and a height of 0 for text
// that is not empty, are failures.
template <class Draw> std::int32_t CheckedText(std::string_view text, Draw draw)
{
    std::int32_t height = 0;
    try
    {
        height = draw();
    }
    catch (const gfx::Error& error)
    {
        Fail(std::string("text: ") + error.what());
    }
    if (height == 0 && !text.empty())
        Fail("text drawing failed");
    return height;
}

} // namespace

std::int32_t CUIDrawHelp::DrawText(gfx::Font& font, gfx::Sprite* sprite, std::string_view text,
                                   Rect& rect, std::uint32_t format, std::uint32_t colour)
{
    return CheckedText(text, [&] { return font.DrawText(sprite, text, rect, format, colour); });
}

namespace
{

// The bounds of text's lines from rect's top-left corner.
Rect MeasureText(gfx::Font& font, std::string_view text, const Rect& rect, std::uint32_t format)
{
    Rect measured = rect;
    CUIDrawHelp::DrawText(font, nullptr, text, measured, format | gfx::kTextCalcRect, 0);
    return measured;
}

// Where the font puts text's lines in rect: from the leftmost start to the
// farthest reach, from the first line's top to the last one's foot.
Rect PlacedText(gfx::Font& font, std::string_view text, const Rect& rect, std::uint32_t format)
{
    const std::vector<gfx::TextLine> lines =
        gfx::BreakLines(text, format, rect.Width(), font.GetAdvances());
    const std::vector<gfx::PlacedLine> placed =
        gfx::PlaceLines(lines, rect, format, font.GetHeight());
    Rect bounds{placed.front().x, placed.front().y, placed.front().x,
                placed.back().y + font.GetHeight()};
    for (const gfx::PlacedLine& line : placed)
    {
        bounds.left = std::min(bounds.left, line.x);
        bounds.right = std::max(bounds.right, line.x + line.line.width);
    }
    return bounds;
}

// How far the span [from, to) moves to lie within [low, high): not at all
// when it does; onto low when it is the longer, so that its start shows;
// else just far enough.
std::int32_t Inward(std::int32_t from, std::int32_t to, std::int32_t low, std::int32_t high)
{
    if (from < low || to - from > high - low)
        return low - from;
    if (to > high)
        return high - to;
    return 0;
}

} // namespace

std::int32_t CUIDrawHelp::DrawTextWithin(gfx::Font& font, gfx::Sprite* sprite,
                                         std::string_view text, const Rect& rect, const Rect& bound,
                                         std::uint32_t format, std::uint32_t colour)
{
    const Rect placed = PlacedText(font, text, rect, format);
    const std::int32_t dx = Inward(placed.left, placed.right, bound.left, bound.right);
    const std::int32_t dy = Inward(placed.top, placed.bottom, bound.top, bound.bottom);
    Rect moved{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
    return CheckedText(text,
                       [&] { return font.DrawText(sprite, text, moved, format, colour, bound); });
}

Rect CUIDrawHelp::TextRowsInside(gfx::Font& font, std::string_view text, const Rect& rect,
                                 std::uint32_t format)
{
    const Rect measured = MeasureText(font, text, rect, format);
    return {rect.left, rect.top, rect.right, std::min(measured.bottom, rect.bottom)};
}

std::uint32_t GetItemKindIcon(std::int32_t itemKind)
{
    static constexpr std::uint32_t kIcons[] = {167, 115, 168, 169, 170, 171, 172, 135, 153, 173};
    if (itemKind == 0)
        throw CVARDException(2, "a weapon's icon comes from its weapon kind");
    if (itemKind < 0 || itemKind > 10)
        Fail("no icon for item kind " + std::to_string(itemKind));
    return kIcons[itemKind - 1];
}

std::uint32_t GetWeaponKindIcon(std::int32_t weaponKind)
{
    static constexpr std::uint32_t kIcons[] = {110, 195, 111, 112, 113, 114};
    if (weaponKind < 0 || weaponKind > 5)
        Fail("no icon for weapon kind " + std::to_string(weaponKind));
    return kIcons[weaponKind];
}

std::uint32_t GetListCellColor(std::uint32_t a, std::uint32_t b)
{
    if (a && b)
        return 0xFF00FF00u;
    if (b)
        return 0xFF00C000u;
    if (a)
        return 0xFF808080u;
    return 0xFF404040u;
}

} // namespace VARDUI
