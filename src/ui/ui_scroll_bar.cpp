#include "ui/ui_scroll_bar.h"

#include "ui/ui_buttons.h"
#include "ui/ui_draw_help.h"

namespace VARDUI
{

namespace
{

// The thumb is 20 pixels high, one pixel inside the bar; the pointer's
// height is read from the thumb's centre.
constexpr std::int32_t kThumbHeight = 20;
constexpr std::int32_t kEnd = 11;

} // namespace

CUIScrollBar::CUIScrollBar()
    : CUIElement(0), m_Thumb(std::make_shared<CUIImageButton>(0, kImageScrollThumb))
{
}

CUIScrollBar::~CUIScrollBar() = default;

void CUIScrollBar::SetRect(const Rect& rect)
{
    CUIElement::SetRect(rect);
    UpdateThumb();
}

void CUIScrollBar::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    m_Thumb->LoadTextures(device, drawHelp);
}

void CUIScrollBar::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                        const Point* cursor)
{
    drawHelp->FillRect(sprite, 0xC0000000u, &m_Rect);
    m_Thumb->Draw(device, drawHelp, sprite, cursor);
}

std::int32_t CUIScrollBar::ClassifyMouse(std::int32_t action, const Point* point)
{
    switch (action)
    {
    case kUIMouseLeftDown:
    case kUIMouseDragMove:
        if (point)
        {
            SetPositionFromY(point->y);
            UpdateThumb();
        }
        return action == kUIMouseLeftDown ? kUIClassifyPress : kUIClassifyUsed;
    case kUIMouseLeftUp:
        // A release outside the window brings no point: the last move stands.
        if (point)
        {
            SetPositionFromY(point->y);
            UpdateThumb();
        }
        return kUIClassifyUsed;
    default:
        return kUIClassifyUnused;
    }
}

std::int32_t CUIScrollBar::TrackLength() const
{
    const std::int32_t length = m_Rect.Height() - 2 * kEnd;
    return length > 0 ? length : 0;
}

void CUIScrollBar::UpdateThumb()
{
    const std::int32_t track = TrackLength();
    std::int32_t offset = 0;
    if (m_Maximum != 0 && track != 0)
        offset =
            static_cast<std::int32_t>(static_cast<std::uint64_t>(track) * m_Position / m_Maximum);
    m_Thumb->SetRect({m_Rect.left + 1, m_Rect.top + offset + 1, m_Rect.right - 1,
                      m_Rect.top + offset + 1 + kThumbHeight});
}

void CUIScrollBar::SetPositionFromY(std::int32_t y)
{
    const std::int32_t track = TrackLength();
    // A bar with no track has nowhere to move the thumb to.
    if (m_Maximum == 0 || track == 0 || y < m_Rect.top + kEnd)
        m_Position = 0;
    else if (y <= m_Rect.bottom - kEnd)
        m_Position = static_cast<std::uint32_t>(static_cast<std::uint64_t>(y - m_Rect.top - kEnd) *
                                                m_Maximum / static_cast<std::uint64_t>(track));
    else
        m_Position = m_Maximum;
}

} // namespace VARDUI
