#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace VARDUI
{

class CUIScrollBar;

using CUITalkLines = std::list<std::string>;

// The body of a conversation: its lines so far, then the choices, in one
// column that scrolls by entries. A choice under the cursor is drawn black
// on white; a press on a drawn choice clicks with the id kTalkChoiceIdBase +
// its index. Lines and choices are read on every draw; where the choices lie
// is learnt by drawing them, so a press is judged by the last paint.
class CUITalkElement : public CUIElement
{
public:
    static constexpr std::int32_t kTalkChoiceIdBase = 100;

    // Id 0. Both lists are the caller's and must outlive the element; the
    // scroll range is their entries now.
    CUITalkElement(const CUITalkLines* lines, const CUITalkLines* choices);
    ~CUITalkElement() override;

    void SetRect(const Rect& rect) override;
    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    // Drawn whatever the visible flag holds.
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;
    // Only the scroll bar and the drawn choices are hit.
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override;

    CUIScrollBar* GetScrollBar() const { return m_ScrollBar.get(); }
    // Where each choice was drawn at the last draw; empty for one not drawn.
    const std::vector<Rect>& GetChoiceAreas() const { return m_ChoiceAreas; }

private:
    const CUITalkLines* m_Lines;
    const CUITalkLines* m_Choices;
    std::int32_t m_IdBase = kTalkChoiceIdBase;
    std::shared_ptr<CUIScrollBar> m_ScrollBar;
    std::vector<Rect> m_ChoiceAreas;
};

} // namespace VARDUI
