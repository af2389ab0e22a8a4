#include "ui/ui_group.h"

#include "ui/ui_draw_help.h"

#include <algorithm>

namespace VARDUI
{

namespace
{

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::int32_t kTitleHeight = 16;

bool IsEmpty(const Rect& rect)
{
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

// An empty rectangle adds nothing to a union; two empty ones give the empty
// rectangle.
Rect UnionRect(const Rect& a, const Rect& b)
{
    if (IsEmpty(a))
        return IsEmpty(b) ? Rect{} : b;
    if (IsEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

CUIGroup::CUIGroup(std::uint32_t framed, const std::string& title, std::uint32_t horizontal)
    : CUIGroup(framed, title, horizontal, 1)
{
}

CUIGroup::CUIGroup(std::uint32_t framed, const std::string& title, std::uint32_t horizontal,
                   std::int32_t spacing)
    : CUIElement(0), m_Title(title), m_Horizontal(horizontal), m_Framed(framed), m_Spacing(spacing)
{
    const std::int32_t m = SideMargin();
    m_Rect = {0, 0, 2 * m, m + TopMargin()};
}

std::int32_t CUIGroup::SideMargin() const
{
    return m_Framed ? m_Spacing + 1 : 0;
}

std::int32_t CUIGroup::TopMargin() const
{
    if (!m_Framed)
        return 0;
    // A title needs its 16 pixels and a gap of spacing above and below.
    return m_Title.empty() ? m_Spacing + 1 : 2 * m_Spacing + kTitleHeight + 1;
}

void CUIGroup::AddChild(std::shared_ptr<CUIElement> child)
{
    const std::int32_t m = SideMargin();
    const std::int32_t t = TopMargin();
    const std::int32_t w = child->GetRect().Width();
    const std::int32_t h = child->GetRect().Height();
    const std::int32_t gap = m_Children.empty() ? 0 : m_Spacing;
    if (!m_Horizontal)
    {
        if (w + 2 * m > m_Rect.Width())
            m_Rect.right = m_Rect.left + w + 2 * m;
        m_Rect.bottom += h + gap;
    }
    else
    {
        if (h + m + t > m_Rect.Height())
            m_Rect.bottom = m_Rect.top + h + m + t;
        m_Rect.right += w + gap;
    }
    m_Children.push_back(std::move(child));
    LayOut();
}

void CUIGroup::LayOut()
{
    const std::int32_t m = SideMargin();
    const std::int32_t t = TopMargin();
    if (!m_Horizontal)
    {
        const std::int32_t innerLeft = m_Rect.left + m;
        const std::int32_t innerWidth = m_Rect.Width() - 2 * m;
        std::int32_t y = m_Rect.top + t;
        for (const auto& child : m_Children)
        {
            const Rect r = child->GetRect();
            const std::int32_t left = innerLeft + (innerWidth - r.Width()) / 2;
            child->SetRect({left, y, left + r.Width(), y + r.Height()});
            y = child->GetRect().bottom + m_Spacing;
        }
        return;
    }
    const std::int32_t innerTop = m_Rect.top + t;
    const std::int32_t innerHeight = m_Rect.Height() - m - t;
    std::int32_t x = m_Rect.left + m;
    for (const auto& child : m_Children)
    {
        const Rect r = child->GetRect();
        const std::int32_t top = innerTop + (innerHeight - r.Height()) / 2;
        child->SetRect({x, top, x + r.Width(), top + r.Height()});
        x = child->GetRect().right + m_Spacing;
    }
}

void CUIGroup::SetRect(const Rect& rect)
{
    m_Rect = {rect.left, rect.top, rect.left + m_Rect.Width(), rect.top + m_Rect.Height()};
    LayOut();
}

void CUIGroup::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    for (const auto& child : m_Children)
        child->LoadTextures(device, drawHelp);
}

void CUIGroup::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                    const Point* cursor)
{
    if (m_Framed)
    {
        const std::uint32_t colour = TestFlags(kUIFlagHighlighted) ? 0xFF00C000u : 0xFF404040u;
        drawHelp->DrawOutline(sprite, colour, colour, &m_Rect, 1);
    }
    if (!m_Title.empty())
    {
        Rect titleArea = InflateRect(m_Rect, -SideMargin());
        titleArea.bottom = titleArea.top + kTitleHeight;
        drawHelp->ResetTransform(sprite);
        CUIDrawHelp::DrawText(drawHelp->GetFont(), sprite, m_Title, titleArea,
                              gfx::kTextCenter | gfx::kTextSingleLine | gfx::kTextNoClip, kWhite);
    }
    for (const auto& child : m_Children)
        child->Draw(device, drawHelp, sprite, cursor);
}

bool CUIGroup::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!TestFlags(kUIFlagVisible) || !point || !PtInRect(m_Rect, *point))
        return false;
    for (const auto& child : m_Children)
        if (child->HitTest(point, outElement, outId))
            return true;
    return false;
}

CUIBackground::CUIBackground(std::uint32_t colour) : CUIElement(0), m_Colour(colour) {}

void CUIBackground::LoadTextures(gfx::Device&, CUIDrawHelp*) {}

void CUIBackground::Draw(gfx::Device&, CUIDrawHelp* drawHelp, gfx::Sprite* sprite, const Point*)
{
    drawHelp->DrawOutline(sprite, kWhite, kWhite, &m_Rect, 1);
    if (TestFlags(kUIFlagBackdrop))
    {
        const Rect inside = InflateRect(m_Rect, -1);
        drawHelp->FillRect(sprite, m_Colour, &inside);
    }
}

bool CUIBackground::HitTest(const Point*, CUIElement**, std::int32_t*)
{
    return false;
}

void CUIBackground::FitToElements(const CUIElementList& elements)
{
    if (elements.empty())
        return;
    Rect bounds = elements.front()->GetRect();
    for (const auto& element : elements)
        bounds = UnionRect(bounds, element->GetRect());
    SetRect(bounds);
}

CUIImage::CUIImage(std::uint32_t image) : CUIElement(0), m_Image(image) {}

void CUIImage::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    if (m_Image)
        drawHelp->LoadTexture(device, m_Image);
}

void CUIImage::Draw(gfx::Device&, CUIDrawHelp* drawHelp, gfx::Sprite* sprite, const Point*)
{
    if (!TestFlags(kUIFlagVisible))
        return;
    drawHelp->DrawOutline(sprite, kWhite, kWhite, &m_Rect, 1);
    if (m_Image)
    {
        const Rect inside = InflateRect(m_Rect, -1);
        drawHelp->DrawScaledTexture(sprite, &inside, m_Image, kWhite);
    }
}

bool CUIImage::HitTest(const Point*, CUIElement**, std::int32_t*)
{
    return false;
}

CUIImageBackground::CUIImageBackground(std::uint32_t image) : CUIElement(0), m_Image(image) {}

void CUIImageBackground::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    drawHelp->LoadTexture(device, m_Image);
}

void CUIImageBackground::Draw(gfx::Device&, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                              const Point*)
{
    drawHelp->DrawTexture(sprite, &m_Rect, m_Image);
}

bool CUIImageBackground::HitTest(const Point*, CUIElement**, std::int32_t*)
{
    return false;
}

} // namespace VARDUI
