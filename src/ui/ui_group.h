#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <string>

namespace VARDUI
{

// Child widgets in a row or a column, each centred across the group, the
// group growing as they are added; framed, it has a one-pixel frame, margins
// and room for a title on its first 16 pixels. Presses go to the children,
// never to the group. Drawn whatever the visible flag holds.
class CUIGroup : public CUIElement
{
public:
    // Spacing 1.
    CUIGroup(std::uint32_t framed, const std::string& title, std::uint32_t horizontal);
    // The rectangle starts as the margins alone, at (0, 0).
    CUIGroup(std::uint32_t framed, const std::string& title, std::uint32_t horizontal,
             std::int32_t spacing);

    // Moves the group's top-left corner to rect's, keeping its own size.
    void SetRect(const Rect& rect) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // The first child hit answers with itself; the group alone never does.
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    // Grows the group for the child, appends it and lays out every child.
    void AddChild(std::shared_ptr<CUIElement> child);

    const CUIElementList& GetChildren() const { return m_Children; }
    const std::string& GetTitle() const { return m_Title; }

private:
    std::int32_t SideMargin() const;
    std::int32_t TopMargin() const;
    void LayOut();

    std::string m_Title;
    std::uint32_t m_Horizontal;
    std::uint32_t m_Framed;
    std::int32_t m_Spacing;
    CUIElementList m_Children;
};

// A panel behind a dialog's widgets: a white frame and, with the backdrop
// flag, its colour inside. Never hit. Drawn whatever the visible flag holds.
class CUIBackground : public CUIElement
{
public:
    // Id 0.
    explicit CUIBackground(std::uint32_t colour);

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    // The union of the elements' rectangles; none leaves the rectangle as it
    // was.
    void FitToElements(const CUIElementList& elements);

    std::uint32_t GetColour() const { return m_Colour; }

private:
    std::uint32_t m_Colour;
};

// A built-in picture stretched inside a white frame; nothing while hidden.
// Never hit.
class CUIImage : public CUIElement
{
public:
    // Id 0; image 0 draws the frame alone.
    explicit CUIImage(std::uint32_t image);

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    std::uint32_t GetImage() const { return m_Image; }

private:
    std::uint32_t m_Image;
};

// A built-in picture at its own size from the rectangle's top-left, cut at
// the rectangle. Never hit. Drawn whatever the visible flag holds.
class CUIImageBackground : public CUIElement
{
public:
    // Id 0.
    explicit CUIImageBackground(std::uint32_t image);

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    std::uint32_t GetImage() const { return m_Image; }

private:
    std::uint32_t m_Image;
};

} // namespace VARDUI
