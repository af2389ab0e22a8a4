#pragma once

// What the column dialogs share: the translucent panel under a column of
// widgets centred in the client rectangle.

#include "platform/rect.h"
#include "ui/ui_element.h"

#include <memory>

namespace VARDUI
{
class CUIBackground;
class CUIManager;
} // namespace VARDUI

namespace DialogLayout
{

constexpr std::uint32_t kPanelColour = 0xC0000000u;
// Between stacked widgets, and around them to the panel's edge.
constexpr std::int32_t kSpacing = 16;

struct Centre
{
    std::int32_t x;
    std::int32_t y;
};

Centre CentreOf(const gfx::Rect& client);

// A filled panel, added to the root first so it lies beneath the rest; it is
// the page whose edges the widgets' titles keep within.
std::shared_ptr<VARDUI::CUIBackground> AddPanel(VARDUI::CUIManager& ui);

// A rectangle of the given size centred on the point (halves truncated).
gfx::Rect CentredRect(Centre centre, std::int32_t halfWidth, std::int32_t halfHeight);

// A rectangle given by its edges' distances from the panel's top-left.
gfx::Rect InPanel(const gfx::Rect& panel, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom);
// Moves the element, keeping its size, to (x, y) from the panel's top-left.
void PlaceInPanel(VARDUI::CUIElement& element, const gfx::Rect& panel, std::int32_t x,
                  std::int32_t y);

// A panel of a fixed size centred in the client rectangle, added to the root
// first; its rectangle.
gfx::Rect AddCentredPanel(VARDUI::CUIManager& ui, const gfx::Rect& client, std::int32_t width,
                          std::int32_t height);

// Stacks the column on y with the given spacing and fits the panel round it.
void StackAndFit(VARDUI::CUIBackground& panel, const VARDUI::CUIElementList& column, std::int32_t y,
                 std::int32_t spacing);

} // namespace DialogLayout
