#pragma once

#include "platform/rect.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace VARDUI
{

class CUIElement;

// Window client pixels; right and bottom lie just outside the rectangle.
using Rect = gfx::Rect;

struct Point
{
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Left and top inclusive, right and bottom exclusive.
inline bool PtInRect(const Rect& rect, const Point& point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

inline Rect InflateRect(const Rect& rect, std::int32_t by)
{
    return {rect.left - by, rect.top - by, rect.right + by, rect.bottom + by};
}

// Element flags.
enum : std::uint32_t
{
    kUIFlagVisible = 0x001,
    kUIFlagBlinking = 0x002,
    kUIFlagHighlighted = 0x004,
    kUIFlagDraggable = 0x008,
    // A list classifies clicks on its children itself.
    kUIFlagListClicks = 0x010,
    // The static text's own: frame, centred across, small font, centred down.
    kUIFlagTextFrame = 0x020,
    kUIFlagTextCenterH = 0x040,
    kUIFlagTextSmallFont = 0x080,
    kUIFlagTextCenterV = 0x100,
    // Translucent black (0xC0000000) behind the widget.
    kUIFlagBackdrop = 0x200,
};

// Mouse actions handed to CUIManager::DispatchMouse and CUIElement::ClassifyMouse.
// A left double click arrives as kUIMouseRight; 3 is classified like the
// right button as well. kUIMouseDragMove is sent by the manager only, to the
// pressed element.
enum : std::int32_t
{
    kUIMouseLeftDown = 0,
    kUIMouseLeftUp = 1,
    kUIMouseRight = 2,
    kUIMouseMove = 4,
    kUIMouseDragMove = 5,
};

// What ClassifyMouse makes of an action.
enum : std::int32_t
{
    kUIClassifyUnused = 0,
    kUIClassifyUsed = 1, // a redraw only
    kUIClassifyClick = 2,
    kUIClassifyRightClick = 3,
    kUIClassifyPress = 4, // the element becomes the pressed one; a drag starts
};

// UI event types.
enum : std::int32_t
{
    kUIEventRedraw = 0,
    kUIEventClick = 1,
    kUIEventRightClick = 2,
    kUIEventDragStart = 3,
    kUIEventDragCancel = 4,
    kUIEventDrop = 5,
};

// Failures of widget resources and drawing.
constexpr int kUIErrorCode = 4;

using CUIElementList = std::vector<std::shared_ptr<CUIElement>>;

} // namespace VARDUI
