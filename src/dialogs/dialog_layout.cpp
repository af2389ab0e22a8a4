#include "dialogs/dialog_layout.h"

#include "ui/ui_group.h"
#include "ui/ui_manager.h"

namespace DialogLayout
{

Centre CentreOf(const gfx::Rect& client)
{
    return {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
}

std::shared_ptr<VARDUI::CUIBackground> AddPanel(VARDUI::CUIManager& ui)
{
    auto panel = std::make_shared<VARDUI::CUIBackground>(kPanelColour);
    panel->SetFlags(VARDUI::kUIFlagBackdrop, 1);
    ui.AddPage(panel);
    return panel;
}

gfx::Rect CentredRect(Centre centre, std::int32_t halfWidth, std::int32_t halfHeight)
{
    return {centre.x - halfWidth, centre.y - halfHeight, centre.x + halfWidth,
            centre.y + halfHeight};
}

gfx::Rect InPanel(const gfx::Rect& panel, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom)
{
    return {panel.left + left, panel.top + top, panel.left + right, panel.top + bottom};
}

void PlaceInPanel(VARDUI::CUIElement& element, const gfx::Rect& panel, std::int32_t x,
                  std::int32_t y)
{
    const gfx::Rect size = element.GetRect();
    element.SetRect(InPanel(panel, x, y, x + size.Width(), y + size.Height()));
}

gfx::Rect AddCentredPanel(VARDUI::CUIManager& ui, const gfx::Rect& client, std::int32_t width,
                          std::int32_t height)
{
    const gfx::Rect rect = CentredRect(CentreOf(client), width / 2, height / 2);
    AddPanel(ui)->SetRect(rect);
    return rect;
}

void StackAndFit(VARDUI::CUIBackground& panel, const VARDUI::CUIElementList& column, std::int32_t y,
                 std::int32_t spacing)
{
    VARDUI::LayoutColumn(y, spacing, column);
    gfx::Rect bounds;
    VARDUI::GetListBounds(bounds, column);
    panel.SetRect(VARDUI::InflateRect(bounds, kSpacing));
}

} // namespace DialogLayout
