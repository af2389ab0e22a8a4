#include "ui/ui_buttons.h"

#include "ui/ui_clock.h"
#include "ui/ui_draw_help.h"

namespace VARDUI
{

namespace
{

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kGrey = 0xFF808080u;
constexpr std::uint32_t kBlinkMs = 500;

} // namespace

std::int32_t CUIBaseButton::ClassifyMouse(std::int32_t action, const Point*)
{
    if (action == kUIMouseLeftDown || action == kUIMouseRight)
        return kUIClassifyClick;
    if (action == 3)
        return kUIClassifyRightClick;
    return kUIClassifyUnused;
}

std::uint32_t CUIBaseButton::HoverImage(const Rect& rect, bool highlighted)
{
    if (highlighted)
        return kImageHoverHighlighted;
    const std::int32_t q = rect.Height() > 0 ? rect.Width() / rect.Height() : 1;
    if (q >= 3)
        return kImageHoverWide;
    if (q == 2)
        return kImageHoverDouble;
    return kImageHoverSquare;
}

void CUIBaseButton::LoadFrameTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    for (const std::uint32_t id : {kImageButtonFace, kImageHoverWide, kImageHoverDouble,
                                   kImageHoverSquare, kImageBlink, kImageHoverHighlighted})
        drawHelp->LoadTexture(device, id);
}

bool CUIBaseButton::DrawFrame(CUIDrawHelp* drawHelp, gfx::Sprite* sprite, const Point* cursor)
{
    const bool hovered = CUIElement::HitTest(cursor, nullptr, nullptr);
    const bool highlighted = TestFlags(kUIFlagHighlighted) != 0;
    if (TestFlags(kUIFlagBackdrop))
        drawHelp->FillRect(sprite, 0xC0000000u, &m_Rect);
    if (hovered)
    {
        drawHelp->DrawScaledTexture(sprite, &m_Rect, HoverImage(m_Rect, highlighted), kWhite);
        return true;
    }
    if (TestFlags(kUIFlagBlinking))
    {
        const std::uint32_t now = GetUIClock().Milliseconds();
        if (now - m_LastBlink > kBlinkMs)
        {
            m_BlinkPhase = !m_BlinkPhase;
            m_LastBlink = now;
        }
        if (m_BlinkPhase)
        {
            drawHelp->DrawScaledTexture(sprite, &m_Rect, kImageBlink, kWhite);
            return false;
        }
    }
    if (highlighted)
        drawHelp->DrawOutline(sprite, 0xFF80FF80u, 0xFF40C040u, &m_Rect, 1);
    else
        drawHelp->DrawOutline(sprite, kWhite, kGrey, &m_Rect, 1);
    return false;
}

void CUITextButton::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    LoadFrameTextures(device, drawHelp);
}

void CUITextButton::Draw(gfx::Device&, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                         const Point* cursor)
{
    if (!TestFlags(kUIFlagVisible))
        return;
    const bool hovered = DrawFrame(drawHelp, sprite, cursor);
    drawHelp->ResetTransform(sprite);
    // A caption may be a name of any length, as a journal's rows are: it may
    // run past the button but not off the page.
    CUIDrawHelp::DrawTextWithin(drawHelp->GetFont(), sprite, m_Caption, m_Rect, drawHelp->GetPage(),
                                kUITextCaption, hovered ? kBlack : kWhite);
}

void CUIImageButton::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    LoadFrameTextures(device, drawHelp);
    if (m_Image && m_ImageWidth == 0)
    {
        drawHelp->LoadTexture(device, m_Image);
        const gfx::Texture* texture = drawHelp->GetTexture(m_Image);
        m_ImageWidth = texture->GetWidth();
        m_ImageHeight = texture->GetHeight();
    }
}

void CUIImageButton::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                          const Point* cursor)
{
    if (!TestFlags(kUIFlagVisible))
        return;
    DrawFrame(drawHelp, sprite, cursor);
    if (!m_Image)
        return;
    if (m_ImageWidth == 0)
        LoadTextures(device, drawHelp);
    const Rect inside = InflateRect(m_Rect, -1);
    drawHelp->DrawScaledTexture(sprite, &inside, m_Image, kWhite);
}

void CUICheckButton::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    LoadFrameTextures(device, drawHelp);
    drawHelp->LoadTexture(device, kImageCheckMark);
}

std::int32_t CUICheckButton::ClassifyMouse(std::int32_t action, const Point*)
{
    if (action == kUIMouseLeftDown || action == kUIMouseRight)
    {
        m_Ticked = !m_Ticked;
        return kUIClassifyClick;
    }
    if (action == 3)
        return kUIClassifyRightClick;
    return kUIClassifyUnused;
}

void CUICheckButton::Draw(gfx::Device&, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                          const Point* cursor)
{
    if (!TestFlags(kUIFlagVisible))
        return;
    const bool hovered = DrawFrame(drawHelp, sprite, cursor);
    const Rect r = InflateRect(m_Rect, -1);
    const std::int32_t middle = (r.top + r.bottom) / 2;
    const Rect box{r.left + 1, middle - 8, r.left + 17, middle + 8};
    drawHelp->DrawOutline(sprite, kGrey, kWhite, &box, 1);
    if (m_Ticked)
    {
        const Rect mark = InflateRect(box, -2);
        drawHelp->DrawScaledTexture(sprite, &mark, kImageCheckMark, kWhite);
    }
    Rect caption = InflateRect({r.left + 17, r.top, r.right, r.bottom}, -1);
    drawHelp->ResetTransform(sprite);
    CUIDrawHelp::DrawText(drawHelp->GetFont(), sprite, m_Caption, caption,
                          gfx::kTextVCenter | gfx::kTextSingleLine, hovered ? kBlack : kWhite);
}

void CUIColorButton::LoadTextures(gfx::Device&, CUIDrawHelp*) {}

void CUIColorButton::Draw(gfx::Device&, CUIDrawHelp* drawHelp, gfx::Sprite* sprite, const Point*)
{
    if (!TestFlags(kUIFlagVisible))
        return;
    const std::uint32_t red = m_Colour & 0xFF;
    const std::uint32_t green = (m_Colour >> 8) & 0xFF;
    const std::uint32_t blue = (m_Colour >> 16) & 0xFF;
    const std::uint32_t swatch = 0xFF000000u | (red << 16) | (green << 8) | blue;
    Rect inside;
    if (TestFlags(kUIFlagHighlighted))
    {
        drawHelp->DrawOutline(sprite, 0xFF80FF80u, 0xFF80FF80u, &m_Rect, 4);
        inside = InflateRect(m_Rect, -4);
    }
    else
    {
        const Rect frame = InflateRect(m_Rect, -2);
        drawHelp->DrawOutline(sprite, kWhite, kGrey, &frame, 2);
        inside = InflateRect(frame, -2);
    }
    drawHelp->FillRect(sprite, swatch, &inside);
}

} // namespace VARDUI
