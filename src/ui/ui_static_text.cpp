#include "ui/ui_static_text.h"

#include "platform/keys.h"
#include "ui/ui_draw_help.h"

namespace VARDUI
{

CUIStaticText::CUIStaticText(const std::string& text, std::int32_t id) : CUIElement(id), text(text)
{
}

void CUIStaticText::LoadTextures(gfx::Device&, CUIDrawHelp*) {}

void CUIStaticText::Draw(gfx::Device&, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                         const Point* cursor)
{
    const bool hovered =
        TestFlags(kUIFlagBackdrop) && CUIElement::HitTest(cursor, nullptr, nullptr);
    Rect area = m_Rect;
    if (hovered)
        drawHelp->FillRect(sprite, 0xFFFFFFFFu, &area);
    if (TestFlags(kUIFlagTextFrame))
    {
        const std::uint32_t colour = TestFlags(kUIFlagHighlighted) ? 0xFF00FF00u : 0xFF808080u;
        drawHelp->DrawOutline(sprite, colour, colour, &area, 1);
        area = InflateRect(area, -2);
    }
    std::uint32_t format = gfx::kTextWordBreak;
    if (TestFlags(kUIFlagTextCenterH))
        format |= gfx::kTextCenter;
    if (TestFlags(kUIFlagTextCenterV))
        format |= gfx::kTextVCenter;
    drawHelp->ResetTransform(sprite);
    gfx::Font& font =
        TestFlags(kUIFlagTextSmallFont) ? drawHelp->GetSmallFont() : drawHelp->GetFont();
    CUIDrawHelp::DrawText(font, sprite, text, area, format, hovered ? 0xFF000000u : 0xFFFFFFFFu);
}

void CUIStaticText::ApplyKey(std::uint32_t key, std::uint32_t shift, CUIStaticText& entry)
{
    namespace vk = platform::vk;
    if (key >= vk::kDigit0 && key <= vk::kDigit0 + 9)
    {
        if (!shift)
            entry.text += static_cast<char>('0' + (key - vk::kDigit0));
    }
    else if (key >= vk::kLetterA && key <= vk::kLetterA + 25)
        entry.text += static_cast<char>((shift ? 'A' : 'a') + (key - vk::kLetterA));
    else if (key == vk::kSpace)
        entry.text += ' ';
    else if (key == vk::kSubtract || key == vk::kMinus)
        entry.text += shift ? '_' : '-';
    else if (key == vk::kBack)
    {
        if (!entry.text.empty())
            entry.text.pop_back();
    }
}

} // namespace VARDUI
