#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <string>

namespace VARDUI
{

// Built-in images of the button frame.
enum : std::uint32_t
{
    kImageButtonFace = 184,
    kImageHoverWide = 185,   // 256 x 32, for buttons three or more times as wide as high
    kImageHoverDouble = 186, // 64 x 32, twice as wide
    kImageHoverSquare = 187, // 32 x 32, up to square
    kImageBlink = 188,
    kImageHoverHighlighted = 189,
    kImageCheckMark = 174,
};

// The look and mouse rule the buttons share: a press or a right-button
// action is a click (so a button never starts a drag), 3 a right click. The
// frame is a one-pixel bevel, or a panel while hovered, or the blink image
// every other half second while blinking (flag 2).
class CUIBaseButton : public CUIElement
{
public:
    explicit CUIBaseButton(std::int32_t id) : CUIElement(id) {}

    std::int32_t ClassifyMouse(std::int32_t action, const Point* point) override;

    // The panel a hovered button shows: by its shape, with q = width / height
    // in integers (a button with no height counts as square).
    static std::uint32_t HoverImage(const Rect& rect, bool highlighted);

protected:
    void LoadFrameTextures(gfx::Device& device, CUIDrawHelp* drawHelp);
    // Draws the frame; true when the cursor is over the button.
    bool DrawFrame(CUIDrawHelp* drawHelp, gfx::Sprite* sprite, const Point* cursor);

private:
    std::uint32_t m_LastBlink = 0;
    std::uint32_t m_BlinkPhase = 0;
};

// A caption centred on one line: black while hovered, white otherwise.
class CUITextButton : public CUIBaseButton
{
public:
    CUITextButton(std::int32_t id, const std::string& caption)
        : CUIBaseButton(id), m_Caption(caption)
    {
    }

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;

    const std::string& GetCaption() const { return m_Caption; }
    void SetCaption(const std::string& caption) { m_Caption = caption; }

private:
    std::string m_Caption;
};

// A built-in image stretched inside the frame. The image is loaded, and its
// size learnt, when first needed; a new image is loaded on the next draw.
class CUIImageButton : public CUIBaseButton
{
public:
    CUIImageButton(std::int32_t id, std::uint32_t image) : CUIBaseButton(id), m_Image(image) {}

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;

    std::uint32_t GetImage() const { return m_Image; }
    void SetImage(std::uint32_t image)
    {
        m_Image = image;
        m_ImageWidth = 0;
        m_ImageHeight = 0;
    }
    // 0 until the image is loaded.
    std::uint32_t GetImageWidth() const { return m_ImageWidth; }
    std::uint32_t GetImageHeight() const { return m_ImageHeight; }

private:
    std::uint32_t m_Image;
    std::uint32_t m_ImageWidth = 0;
    std::uint32_t m_ImageHeight = 0;
};

// A box at the left, ticked or clear, and a caption beside it. A press or
// right-button action flips the tick before the click reaches the builder.
class CUICheckButton : public CUIBaseButton
{
public:
    CUICheckButton(std::int32_t id, const std::string& caption)
        : CUIBaseButton(id), m_Caption(caption)
    {
    }

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    std::int32_t ClassifyMouse(std::int32_t action, const Point* point) override;

    std::uint32_t GetTicked() const { return m_Ticked; }
    void SetTicked(std::uint32_t ticked) { m_Ticked = ticked; }
    const std::string& GetCaption() const { return m_Caption; }

private:
    std::uint32_t m_Ticked = 0;
    std::string m_Caption;
};

// A swatch of a colour given as 0x00BBGGRR (red in the low byte), drawn
// opaque in a frame of its own that turns green while highlighted.
class CUIColorButton : public CUIBaseButton
{
public:
    CUIColorButton(std::int32_t id, std::uint32_t colour) : CUIBaseButton(id), m_Colour(colour) {}

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;

    std::uint32_t GetColour() const { return m_Colour; }

private:
    std::uint32_t m_Colour;
};

} // namespace VARDUI
