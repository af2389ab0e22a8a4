#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace VARDUI
{

class CUIScrollBar;
class CUITextButton;

// Paragraphs of text, one a string, each wrapped at the widget's width.
using CUITextLines = std::deque<std::string>;

// Lines of text in a white frame, either from a shown line downwards (top
// down) or up from the shown line at the bottom. With a scroll bar the bar's
// position is the shown line. The lines are read on every draw, so lines an
// owner appends show at the next paint. Drawn whatever the visible flag
// holds.
class CUIBaseTextElement : public CUIElement
{
public:
    // Visible; no lines until SetLines.
    CUIBaseTextElement(std::int32_t id, std::uint32_t withScrollBar, std::uint32_t topDown);
    ~CUIBaseTextElement() override;

    // The scroll bar runs down the right edge, one pixel inside.
    void SetRect(const Rect& rect) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // A point on the scroll bar answers with the bar.
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    // Shows lines, which the caller keeps alive. The scroll bar's range
    // becomes the lines; it shows the first line of a top-down element and
    // the last of the other.
    void SetLines(const CUITextLines* lines);

    const CUITextLines* GetLines() const { return m_Lines; }
    CUIScrollBar* GetScrollBar() const { return m_ScrollBar.get(); }
    std::uint32_t IsTopDown() const { return m_TopDown; }

private:
    void DrawTopDown(CUIDrawHelp* drawHelp, gfx::Sprite* sprite, Rect area, std::size_t shown);
    void DrawBottomUp(CUIDrawHelp* drawHelp, gfx::Sprite* sprite, Rect area, std::size_t shown);

    std::uint32_t m_TopDown;
    std::shared_ptr<CUIScrollBar> m_ScrollBar;
    const CUITextLines* m_Lines = nullptr;
};

// A text block of its own lines, made from one text whose word "LINE" breaks
// lines; or a bottom-up view with a scroll bar on lines kept elsewhere.
class CUITextElement : public CUIBaseTextElement
{
public:
    // Id 0, top down.
    CUITextElement(const std::string& text, std::uint32_t withScrollBar);
    // Id 0, bottom up, with a scroll bar standing on the newest line. The
    // range is the line count now; lines added later do not extend it.
    explicit CUITextElement(const CUITextLines* lines);

    // Replaces the element's own lines by those of text: words apart by
    // single blanks, a new line at each word "LINE".
    void SetText(const std::string& text);

private:
    CUITextLines m_OwnLines;
};

// The lines of text between "LINE" words, each word joined to the next by one
// blank. Every "LINE" ends a line, empty or not; the last line counts only
// when it holds a word.
CUITextLines SplitTextLines(const std::string& text);

// The game screen's message window: the newest lines of a log its owner
// keeps, at the bottom; while the cursor is on it, a "Msgs" button in its
// top-right corner.
class CUIMessageWindow : public CUIBaseTextElement
{
public:
    // Without a scroll bar. A button id of 0 means no button.
    CUIMessageWindow(std::int32_t id, std::int32_t buttonId, const CUITextLines* lines);
    ~CUIMessageWindow() override;

    void SetRect(const Rect& rect) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // A point on the button answers with the button.
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    CUITextButton* GetButton() const { return m_Button.get(); }

private:
    std::shared_ptr<CUITextButton> m_Button;
};

} // namespace VARDUI
