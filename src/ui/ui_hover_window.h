#pragma once

#include "ui/ui_element.h"
#include "ui/ui_hover_info.h"

namespace VARDUI
{

// The one window that shows the hover info of whatever the cursor rests on:
// its own copy of a record, filled by the manager from the widget under the
// mouse or by the game screen from the thing under it. The HUD places it.
class CUIHoverWindow : public CUIElement
{
public:
    // Id 0, rectangle (0, 0, 160, 48), visible.
    CUIHoverWindow();

    // Images are loaded while drawing.
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;

    CUIHoverInfo& GetInfo() { return m_Info; }
    const CUIHoverInfo& GetInfo() const { return m_Info; }
    // The window then draws only its frame.
    static void ClearInfo(CUIHoverWindow& window) { window.m_Info.Reset(); }

private:
    CUIHoverInfo m_Info;
};

} // namespace VARDUI
