#include "ui/ui_text.h"

#include "ui/ui_buttons.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_scroll_bar.h"

#include <algorithm>
#include <sstream>

namespace VARDUI
{

namespace
{

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::int32_t kScrollBarRoom = 24;

} // namespace

CUIBaseTextElement::CUIBaseTextElement(std::int32_t id, std::uint32_t withScrollBar,
                                       std::uint32_t topDown)
    : CUIElement(id), m_TopDown(topDown)
{
    if (withScrollBar)
        m_ScrollBar = std::make_shared<CUIScrollBar>();
}

CUIBaseTextElement::~CUIBaseTextElement() = default;

void CUIBaseTextElement::SetRect(const Rect& rect)
{
    CUIElement::SetRect(rect);
    if (m_ScrollBar)
        m_ScrollBar->SetRect({rect.right - 25, rect.top + 1, rect.right - 1, rect.bottom - 1});
}

void CUIBaseTextElement::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    if (m_ScrollBar)
        m_ScrollBar->LoadTextures(device, drawHelp);
}

bool CUIBaseTextElement::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!CUIElement::HitTest(point, outElement, outId))
        return false;
    if (m_ScrollBar)
        m_ScrollBar->HitTest(point, outElement, outId);
    return true;
}

void CUIBaseTextElement::SetLines(const CUITextLines* lines)
{
    m_Lines = lines;
    if (!m_ScrollBar)
        return;
    const std::size_t count = lines ? lines->size() : 0;
    const std::uint32_t maximum = count ? static_cast<std::uint32_t>(count - 1) : 0;
    m_ScrollBar->SetMaximum(maximum);
    m_ScrollBar->SetPosition(m_TopDown ? 0 : maximum);
    m_ScrollBar->UpdateThumb();
}

void CUIBaseTextElement::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                              const Point* cursor)
{
    if (TestFlags(kUIFlagBackdrop))
        drawHelp->FillRect(sprite, 0xC0000000u, &m_Rect);
    drawHelp->DrawOutline(sprite, kWhite, kWhite, &m_Rect, 1);
    Rect area = InflateRect(m_Rect, -1);
    if (m_ScrollBar)
        area.right -= kScrollBarRoom;
    if (!m_Lines || m_Lines->empty())
        return;
    area = InflateRect(area, -1);
    drawHelp->ResetTransform(sprite);

    const std::size_t last = m_Lines->size() - 1;
    std::size_t shown = m_TopDown ? 0 : last;
    // The log a view stands on may have been emptied and refilled since its
    // range was set.
    if (m_ScrollBar)
        shown = std::min<std::size_t>(m_ScrollBar->GetPosition(), last);
    if (m_TopDown)
        DrawTopDown(drawHelp, sprite, area, shown);
    else
        DrawBottomUp(drawHelp, sprite, area, shown);

    if (m_ScrollBar)
        m_ScrollBar->Draw(device, drawHelp, sprite, cursor);
}

void CUIBaseTextElement::DrawTopDown(CUIDrawHelp* drawHelp, gfx::Sprite* sprite, Rect area,
                                     std::size_t shown)
{
    for (std::size_t i = shown;;)
    {
        Rect lineArea = area;
        std::int32_t height = CUIDrawHelp::DrawText(drawHelp->GetFont(), sprite, (*m_Lines)[i],
                                                    lineArea, kUITextBody, kWhite);
        if (height == 0)
            height = 16;
        ++i;
        if (i >= m_Lines->size() || area.top + height >= area.bottom)
            return;
        area.top += height;
    }
}

void CUIBaseTextElement::DrawBottomUp(CUIDrawHelp* drawHelp, gfx::Sprite* sprite, Rect area,
                                      std::size_t shown)
{
    for (std::size_t i = shown;;)
    {
        const std::string& line = (*m_Lines)[i];
        Rect measured = area;
        const std::int32_t height = CUIDrawHelp::DrawText(drawHelp->GetFont(), sprite, line,
                                                          measured, kUITextMeasure, kWhite);
        Rect lineArea = area;
        CUIDrawHelp::DrawText(drawHelp->GetFont(), sprite, line, lineArea,
                              gfx::kTextWordBreak | gfx::kTextBottom, kWhite);
        if (i == 0 || area.top + height >= area.bottom)
            return;
        area.bottom -= height;
        --i;
    }
}

CUITextElement::CUITextElement(const std::string& text, std::uint32_t withScrollBar)
    : CUIBaseTextElement(0, withScrollBar, 1)
{
    SetText(text);
}

CUITextElement::CUITextElement(const CUITextLines* lines) : CUIBaseTextElement(0, 1, 0)
{
    SetLines(lines);
}

void CUITextElement::SetText(const std::string& text)
{
    m_OwnLines = SplitTextLines(text);
    SetLines(&m_OwnLines);
}

CUITextLines SplitTextLines(const std::string& text)
{
    CUITextLines lines;
    std::istringstream words(text);
    std::string word;
    std::string line;
    while (words >> word)
    {
        if (word == "LINE")
        {
            lines.push_back(line);
            line.clear();
            continue;
        }
        if (!line.empty())
            line += ' ';
        line += word;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

CUIMessageWindow::CUIMessageWindow(std::int32_t id, std::int32_t buttonId,
                                   const CUITextLines* lines)
    : CUIBaseTextElement(id, 0, 0)
{
    SetLines(lines);
    if (buttonId != 0)
    {
        m_Button = std::make_shared<CUITextButton>(buttonId, "Msgs");
        m_Button->SetHoverText("Messages", "Show All");
        m_Button->SetFlags(kUIFlagBackdrop, 1);
    }
    SetHoverText("Messages", "");
}

CUIMessageWindow::~CUIMessageWindow()
{
    m_Button.reset();
}

void CUIMessageWindow::SetRect(const Rect& rect)
{
    CUIBaseTextElement::SetRect(rect);
    if (m_Button)
        m_Button->SetRect({rect.right - 42, rect.top + 2, rect.right - 2, rect.top + 26});
}

void CUIMessageWindow::LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp)
{
    if (m_Button)
        m_Button->LoadTextures(device, drawHelp);
    CUIBaseTextElement::LoadTextures(device, drawHelp);
}

void CUIMessageWindow::Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
                            const Point* cursor)
{
    CUIBaseTextElement::Draw(device, drawHelp, sprite, cursor);
    if (m_Button && CUIBaseTextElement::HitTest(cursor, nullptr, nullptr))
        m_Button->Draw(device, drawHelp, sprite, cursor);
}

bool CUIMessageWindow::HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId)
{
    if (!CUIBaseTextElement::HitTest(point, outElement, outId))
        return false;
    if (m_Button)
        m_Button->HitTest(point, outElement, outId);
    return true;
}

} // namespace VARDUI
