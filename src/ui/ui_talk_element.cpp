#include "ui/ui_talk_element.h"

#include "ui/ui_draw_help.h"
#include "ui/ui_scroll_bar.h"

#include <algorithm>

namespace VARDUI
{

namespace
{

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::int32_t kEntryGap = 5;

} // namespace

CUITalkElement::CUITalkElement(const CUITalkLines* lines, const CUITalkLines* choices)
    : CUIElement(0), m_Lines(lines), m_Choices(choices),
      m_ScrollBar(std::make_shared<CUIScrollBar>())
{
    // A conversation with nothing in it has nothing to scroll.
    const std::size_t entries = lines->size() + choices->size();
    const std::uint32_t maximum = entries ? static_cast<std::uint32_t>(entries - 1) : 0;
    m_ScrollBar->SetMaximum(maximum);
    m_ScrollBar->SetPosition(std::min(m_ScrollBar->GetPosition(), maximum));
}

CUITalkElement::~CUITalkElement() = default;

void CUITalkElement::SetRect(const Rect& rect)
{
    m_ScrollBar->SetRect({rect.right - 25, rect.top + 1, rect.right - 1, rect.bottom - 1});
    CUIElement::SetRect(rect);
}

void CUITalkElement::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    m_ScrollBar->LoadTextures(device, drawHelp);
}

void CUITalkElement::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                          const Point* cursor)
{
    drawHelp->DrawOutline(sprite, kWhite, kWhite, &m_Rect, 1);
    Rect area = InflateRect(m_Rect, -1);
    m_ScrollBar->Draw(device, drawHelp, sprite, cursor);
    area.right -= 24;
    area = InflateRect(area, -1);

    // Entries above the scroll position are skipped, lines first.
    std::int64_t index = -static_cast<std::int64_t>(m_ScrollBar->GetPosition());
    for (const std::string& line : *m_Lines)
    {
        if (index >= 0 && area.top < area.bottom)
        {
            drawHelp->ResetTransform(sprite);
            Rect lineArea = area;
            const std::int32_t height = CUIDrawHelp::DrawText(drawHelp->GetFont(), sprite, line,
                                                              lineArea, kUITextBody, kWhite);
            area.top += height + kEntryGap;
        }
        ++index;
    }

    m_ChoiceAreas.clear();
    for (const std::string& choice : *m_Choices)
    {
        if (index < 0 || area.top >= area.bottom)
        {
            m_ChoiceAreas.push_back({});
            ++index;
            continue;
        }
        // A choice wraps within the element's column, and one longer than
        // the room left is cut at the element's edge, its highlight and its
        // hit area with it: the element scrolls, with others below it.
        const Rect choiceArea =
            CUIDrawHelp::TextRowsInside(drawHelp->GetFont(), choice, area, kUITextBody);
        m_ChoiceAreas.push_back(choiceArea);
        const bool highlighted = cursor && PtInRect(choiceArea, *cursor);
        if (highlighted)
            drawHelp->FillRect(sprite, kWhite, &choiceArea);
        drawHelp->ResetTransform(sprite);
        const std::int32_t height =
            CUIDrawHelp::DrawTextWithin(drawHelp->GetFont(), sprite, choice, choiceArea, choiceArea,
                                        kUITextBody, highlighted ? kBlack : kWhite);
        ++index;
        area.top += height + kEntryGap;
    }
}

bool CUITalkElement::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!TestFlags(kUIFlagVisible) || !point || !PtInRect(m_Rect, *point))
        return false;
    if (m_ScrollBar->HitTest(point, outElement, outId))
        return true;
    for (std::size_t i = 0; i < m_ChoiceAreas.size(); ++i)
    {
        if (!PtInRect(m_ChoiceAreas[i], *point))
            continue;
        if (outElement)
            *outElement = this;
        if (outId)
            *outId = m_IdBase + static_cast<std::int32_t>(i);
        return true;
    }
    // Lines and the gaps between entries answer nothing, and leave the
    // outputs as they were.
    return false;
}

} // namespace VARDUI
