#pragma once

#include "platform/device.h"
#include "platform/sprite.h"
#include "ui/ui_hover_info.h"
#include "ui/ui_types.h"

#include <cstdint>
#include <string>

namespace VARDUI
{

class CUIDrawHelp;
class CUIHoverWindow;

// The base of every widget: an id reported in its events, a screen
// rectangle, flags and the record the hover window shows for it.
class CUIElement
{
public:
    // The rectangle starts empty, the flags visible, the hover info reset.
    explicit CUIElement(std::int32_t id);
    virtual ~CUIElement() = default;
    CUIElement(const CUIElement&) = delete;
    CUIElement& operator=(const CUIElement&) = delete;

    // Containers override it to lay out their children.
    virtual void SetRect(const Rect& rect);
    virtual const Rect& GetRect() const;
    // on non-zero sets the bits of mask, zero clears them.
    virtual void SetFlags(std::uint32_t mask, std::uint32_t on);
    virtual std::uint32_t TestFlags(std::uint32_t mask) const;
    // Loads the built-in images the widget will draw, so that drawing never
    // loads.
    virtual void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) = 0;
    // cursor is null while the mouse is outside the window.
    virtual void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                      const Point* cursor) = 0;
    // Called on the pressed element only, after every Draw.
    virtual void DrawDrag(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                          const Point* cursor);
    // True when visible and the point lies in the rectangle; then the element
    // and its id go into whichever out pointers are given. Containers answer
    // for the child hit.
    virtual bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId);
    // A kUIMouse... action made into a kUIClassify... result.
    virtual std::int32_t ClassifyMouse(std::int32_t action, const Point* point);
    virtual void FillHoverWindow(CUIHoverWindow* window);

    std::int32_t GetId() const { return m_Id; }
    CUIHoverInfo& GetHoverInfo() { return m_HoverInfo; }
    const CUIHoverInfo& GetHoverInfo() const { return m_HoverInfo; }
    // Resets the hover info, then sets its title and text.
    void SetHoverText(const std::string& title, const std::string& text);

    // Width and height kept, the centre put on the point.
    static void CenterOn(CUIElement& element, const Point* point);

protected:
    std::int32_t m_Id;
    Rect m_Rect;
    std::uint32_t m_Flags = kUIFlagVisible;
    CUIHoverInfo m_HoverInfo;
};

// Free layout helpers over lists of elements; each keeps every element's
// width and height, and halves are signed divisions truncated toward zero.

// Top to bottom, spacing apart, the column as a whole centred on y.
void LayoutColumn(std::int32_t y, std::int32_t spacing, const CUIElementList& list);
// Left to right, spacing apart, from x or, with centre set, centred on x.
void LayoutRow(std::int32_t x, std::uint32_t centre, std::int32_t spacing,
               const CUIElementList& list);
// The smallest rectangle holding all; (10000, 10000, 0, 0) for none.
void GetListBounds(Rect& out, const CUIElementList& list);
// Each element centred across on x, on its own.
void CenterListH(const CUIElementList& list, std::int32_t x);
// Each element centred down on y, on its own.
void CenterListV(const CUIElementList& list, std::int32_t y);

} // namespace VARDUI
