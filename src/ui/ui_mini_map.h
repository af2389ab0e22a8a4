#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <memory>

namespace VARD
{
class CArea;
class CTile;
} // namespace VARD

namespace VARDUI
{

class CUITextButton;

// The colour of a mini-map cell by its tile kind (0 floor, 1 empty, 2 solid,
// 3 door, whose tile tells open from closed); alpha 0xB0 when translucent.
// Code 4 for another kind, or a door without its tile.
std::uint32_t GetMiniMapCellColor(std::int32_t kind, const VARD::CTile* tile,
                                  std::uint32_t translucent);

// The current area as a small map, two by two pixels a cell, only the cells
// the party has seen, with the party as green marks; centred on a point the
// shell sets before painting. An optional "Map" button shows while hovered.
class CUIMiniMap : public CUIElement
{
public:
    // A button id of 0 makes no button. The area must outlive the map.
    CUIMiniMap(std::int32_t id, std::int32_t buttonId, const VARD::CArea* area);
    ~CUIMiniMap() override;

    // Places the button at the map's top-right corner as it is now.
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    // Drawn whatever the visible flag holds. Code 4 without an area.
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // The button first, then the map itself.
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    // World units.
    void SetCenter(float x, float y)
    {
        m_CenterX = x;
        m_CenterY = y;
    }
    float GetCenterX() const { return m_CenterX; }
    float GetCenterY() const { return m_CenterY; }
    // Null without one.
    CUITextButton* GetButton() const { return m_Button.get(); }

private:
    std::shared_ptr<CUITextButton> m_Button;
    const VARD::CArea* m_Area;
    float m_CenterX = 0.0f;
    float m_CenterY = 0.0f;
};

} // namespace VARDUI
