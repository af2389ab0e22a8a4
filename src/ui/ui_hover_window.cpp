#include "ui/ui_hover_window.h"

#include "ui/ui_draw_help.h"

namespace VARDUI
{

CUIHoverWindow::CUIHoverWindow() : CUIElement(0)
{
    m_Rect = {0, 0, 160, 48};
    m_Info.Reset();
}

void CUIHoverWindow::LoadTextures(gfx::Device&, CUIDrawHelp*) {}

void CUIHoverWindow::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                          const Point*)
{
    if (!TestFlags(kUIFlagVisible))
        return;
    if (TestFlags(kUIFlagBackdrop))
        drawHelp->FillRect(sprite, 0xC0000000u, &m_Rect);
    const Rect frame = InflateRect(m_Rect, 2);
    drawHelp->DrawOutline(sprite, 0xFFFFFFFFu, 0xFFFFFFFFu, &frame, 1);

    Rect textArea = m_Rect;
    const std::int32_t left = m_Rect.left;
    if (m_Info.icon)
    {
        const std::int32_t mid = (m_Rect.top + m_Rect.bottom) / 2;
        const Rect icon{left, mid - 16, left + 32, mid + 16};
        drawHelp->LoadTexture(device, m_Info.icon);
        drawHelp->DrawScaledTexture(sprite, &icon, m_Info.icon, m_Info.iconColour);
        const struct
        {
            std::uint32_t id;
            Rect at;
        } marks[] = {
            {m_Info.markBottomLeft, {left, mid, left + 16, mid + 16}},
            {m_Info.markBottomRight, {left + 16, mid, left + 32, mid + 16}},
            {m_Info.markTopLeft, {left, mid - 16, left + 16, mid}},
            {m_Info.markTopRight, {left + 16, mid - 16, left + 32, mid}},
        };
        for (const auto& mark : marks)
        {
            if (!mark.id)
                continue;
            drawHelp->LoadTexture(device, mark.id);
            drawHelp->DrawScaledTexture(sprite, &mark.at, mark.id, 0x80FFFFFFu);
        }
        textArea.left += 33;
    }
    if (m_Info.showHealthBar)
    {
        const Rect bar{left, m_Rect.top + 1, left + 32, m_Rect.top + 7};
        drawHelp->DrawBar(sprite, &bar, 0xFFFF0000u, m_Info.healthFraction);
    }
    if (m_Info.showEnergyBar)
    {
        const Rect bar{left, m_Rect.bottom - 7, left + 32, m_Rect.bottom - 1};
        drawHelp->DrawBar(sprite, &bar, 0xFF0000FFu, m_Info.energyFraction);
    }
    if (!m_Info.title.empty())
    {
        drawHelp->ResetTransform(sprite);
        // A name, of any length: kept beside the icon inside the window,
        // as the text under it is, starting at the left when it does not
        // fit. Every ware of the demo fits.
        CUIDrawHelp::DrawTextWithin(drawHelp->GetFont(), sprite, m_Info.title, textArea, textArea,
                                    kUITextTitle, m_Info.titleColour);
        textArea.top += 16;
    }
    drawHelp->ResetTransform(sprite);
    CUIDrawHelp::DrawText(drawHelp->GetFont(), sprite, m_Info.text, textArea, kUITextBody,
                          0xFFFFFFFFu);
}

} // namespace VARDUI
