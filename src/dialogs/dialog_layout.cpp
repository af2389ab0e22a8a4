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
    ui.AddElement(panel);
    return panel;
}

gfx::Rect CentredRect(Centre centre, std::int32_t halfWidth, std::int32_t halfHeight)
{
    return {centre.x - halfWidth, centre.y - halfHeight, centre.x + halfWidth,
            centre.y + halfHeight};
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
