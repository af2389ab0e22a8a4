#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <memory>

namespace VARDUI
{

class CUIImageButton;

// Built-in image of the scroll bar's thumb.
constexpr std::uint32_t kImageScrollThumb = 134;

// The vertical bar along a widget's right edge: a position 0..maximum that
// the owner reads when it draws. A press on the bar and the drag after it set
// the position straight from the pointer's height; there are no arrows and
// no paging. Owners that change the maximum or the position clamp the
// position themselves and call UpdateThumb.
class CUIScrollBar : public CUIElement
{
public:
    // Id 0, nothing to scroll.
    CUIScrollBar();
    ~CUIScrollBar() override;

    void SetRect(const Rect& rect) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    // Drawn whatever the visible flag holds.
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // A press makes the bar the pressed element so that it follows the drag.
    std::int32_t ClassifyMouse(std::int32_t action, const Point* point) override;

    // Puts the 20-pixel thumb where the position lies along the track.
    void UpdateThumb();
    void SetPositionFromY(std::int32_t y);

    std::uint32_t GetMaximum() const { return m_Maximum; }
    void SetMaximum(std::uint32_t maximum) { m_Maximum = maximum; }
    std::uint32_t GetPosition() const { return m_Position; }
    void SetPosition(std::uint32_t position) { m_Position = position; }
    const CUIImageButton& GetThumb() const { return *m_Thumb; }

private:
    // The track the thumb's top runs along; 0 for a bar too short to have
    // one.
    std::int32_t TrackLength() const;

    std::shared_ptr<CUIImageButton> m_Thumb;
    std::uint32_t m_Maximum = 0;
    std::uint32_t m_Position = 0;
};

} // namespace VARDUI
