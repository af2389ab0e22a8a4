#include "ui/ui_element.h"

#include "ui/ui_hover_window.h"

#include <algorithm>

namespace VARDUI
{

void CUIHoverInfo::Reset()
{
    title.clear();
    titleColour = 0xFFFFFFFFu;
    text.clear();
    icon = 0;
    iconColour = 0xFFFFFFFFu;
    markBottomLeft = 0;
    markBottomRight = 0;
    markTopLeft = 0;
    markTopRight = 0;
    showHealthBar = 0;
    showEnergyBar = 0;
}

CUIElement::CUIElement(std::int32_t id) : m_Id(id)
{
    m_HoverInfo.Reset();
}

void CUIElement::SetRect(const Rect& rect)
{
    m_Rect = rect;
}

const Rect& CUIElement::GetRect() const
{
    return m_Rect;
}

void CUIElement::SetFlags(std::uint32_t mask, std::uint32_t on)
{
    if (on)
        m_Flags |= mask;
    else
        m_Flags &= ~mask;
}

std::uint32_t CUIElement::TestFlags(std::uint32_t mask) const
{
    return m_Flags & mask;
}

void CUIElement::DrawDrag(gfx::Device&, CUIDrawHelp*, gfx::Sprite*, const Point*) {}

bool CUIElement::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!(m_Flags & kUIFlagVisible) || !point || !PtInRect(m_Rect, *point))
        return false;
    if (outElement)
        *outElement = this;
    if (outId)
        *outId = m_Id;
    return true;
}

std::int32_t CUIElement::ClassifyMouse(std::int32_t action, const Point*)
{
    switch (action)
    {
    case kUIMouseLeftDown:
        return kUIClassifyClick;
    case kUIMouseRight:
    case 3:
        return kUIClassifyRightClick;
    default:
        return kUIClassifyUnused;
    }
}

void CUIElement::FillHoverWindow(CUIHoverWindow* window)
{
    CUIHoverInfo::Assign(window->GetInfo(), m_HoverInfo);
}

void CUIElement::SetHoverText(const std::string& title, const std::string& text)
{
    m_HoverInfo.Reset();
    m_HoverInfo.title = title;
    m_HoverInfo.text = text;
}

void CUIElement::CenterOn(CUIElement& element, const Point* point)
{
    const Rect& rect = element.GetRect();
    const std::int32_t left = point->x - rect.Width() / 2;
    const std::int32_t top = point->y - rect.Height() / 2;
    element.SetRect({left, top, left + rect.Width(), top + rect.Height()});
}

namespace
{

Rect MovedTo(const Rect& rect, std::int32_t left, std::int32_t top)
{
    return {left, top, left + rect.Width(), top + rect.Height()};
}

} // namespace

void LayoutColumn(std::int32_t y, std::int32_t spacing, const CUIElementList& list)
{
    std::int32_t total = 0;
    for (const auto& element : list)
        total += element->GetRect().Height() + spacing;
    total -= spacing;
    std::int32_t top = y - total / 2;
    for (const auto& element : list)
    {
        const Rect rect = element->GetRect();
        element->SetRect(MovedTo(rect, rect.left, top));
        top = element->GetRect().bottom + spacing;
    }
}

void LayoutRow(std::int32_t x, std::uint32_t centre, std::int32_t spacing,
               const CUIElementList& list)
{
    std::int32_t total = 0;
    for (const auto& element : list)
        total += element->GetRect().Width() + spacing;
    total -= spacing;
    std::int32_t left = centre ? x - total / 2 : x;
    for (const auto& element : list)
    {
        const Rect rect = element->GetRect();
        element->SetRect(MovedTo(rect, left, rect.top));
        left = element->GetRect().right + spacing;
    }
}

void GetListBounds(Rect& out, const CUIElementList& list)
{
    out = {10000, 10000, 0, 0};
    for (const auto& element : list)
    {
        const Rect& rect = element->GetRect();
        out.left = std::min(out.left, rect.left);
        out.top = std::min(out.top, rect.top);
        out.right = std::max(out.right, rect.right);
        out.bottom = std::max(out.bottom, rect.bottom);
    }
}

void CenterListH(const CUIElementList& list, std::int32_t x)
{
    for (const auto& element : list)
    {
        const Rect rect = element->GetRect();
        element->SetRect(MovedTo(rect, x - rect.Width() / 2, rect.top));
    }
}

void CenterListV(const CUIElementList& list, std::int32_t y)
{
    for (const auto& element : list)
    {
        const Rect rect = element->GetRect();
        element->SetRect(MovedTo(rect, rect.left, y - rect.Height() / 2));
    }
}

} // namespace VARDUI
