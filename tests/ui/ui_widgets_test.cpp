#include "platform/keys.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_mini_map.h"
#include "ui/ui_scroll_bar.h"
#include "ui/ui_static_text.h"
#include "ui/ui_talk_element.h"
#include "ui/ui_text.h"

#include <gtest/gtest.h>

using namespace VARDUI;

namespace
{

std::string Events(CUIManager& manager)
{
    std::string out;
    for (const auto& event : manager.GetEvents())
    {
        out += std::to_string(event->GetType());
        if (auto* button = dynamic_cast<CUIEventButton*>(event.get()))
            out += ":" + std::to_string(button->GetId());
        out += " ";
    }
    manager.GetEvents().clear();
    return out;
}

std::shared_ptr<CUIStaticText> Sized(std::int32_t id, Rect rect)
{
    auto element = std::make_shared<CUIStaticText>("", id);
    element->SetRect(rect);
    return element;
}

} // namespace

TEST(UIScrollBar, PositionFromHeightAndThumbSpan)
{
    CUIScrollBar bar;
    bar.SetMaximum(10);
    bar.SetRect({0, 0, 24, 100});
    const std::int32_t ys[] = {-20, 5, 11, 12, 50, 88, 89, 90, 95};
    const std::uint32_t positions[] = {0, 0, 0, 0, 5, 9, 10, 10, 10};
    for (std::size_t i = 0; i < std::size(ys); ++i)
    {
        bar.SetPositionFromY(ys[i]);
        EXPECT_EQ(bar.GetPosition(), positions[i]) << "y " << ys[i];
    }
    // 20 high, one pixel in, its top 78 × position / 10 down.
    bar.UpdateThumb();
    EXPECT_EQ(bar.GetThumb().GetRect(), (Rect{1, 79, 23, 99}));
    bar.SetPosition(5);
    bar.SetRect({100, 50, 120, 150});
    EXPECT_EQ(bar.GetThumb().GetRect(), (Rect{101, 90, 119, 110}));
    bar.SetPositionFromY(140);
    EXPECT_EQ(bar.GetPosition(), 10u);

    // Nothing to scroll, or no track to scroll along: position 0, thumb on top.
    for (const Rect rect : {Rect{0, 0, 24, 100}, Rect{0, 0, 24, 22}, Rect{0, 0, 24, 10}})
    {
        bar.SetMaximum(rect.Height() == 100 ? 0 : 10);
        bar.SetRect(rect);
        for (const std::int32_t y : {11, 12, 21, 60})
        {
            bar.SetPositionFromY(y);
            EXPECT_EQ(bar.GetPosition(), 0u) << rect.Height() << " y " << y;
        }
        bar.SetPosition(bar.GetMaximum());
        bar.UpdateThumb();
        EXPECT_EQ(bar.GetThumb().GetRect().top, 1);
    }
}

TEST(UIScrollBar, DraggedThroughTheManager)
{
    // A log view of 11 lines, at the newest; its bar is (95, 1, 119, 101).
    CUITextLines log(11, "line");
    auto view = std::make_shared<CUITextElement>(&log);
    view->SetRect({0, 0, 120, 102});
    CUIScrollBar& bar = *view->GetScrollBar();
    EXPECT_EQ(bar.GetMaximum(), 10u);
    EXPECT_EQ(bar.GetPosition(), 10u);
    CUIManager manager;
    manager.AddElement(view);

    // Beside the bar a press is a click on the view; on the bar it presses.
    const Point text{10, 50}, top{100, 5}, middle{100, 51}, outside{300, 300};
    manager.DispatchMouse(kUIMouseLeftDown, &text);
    manager.DispatchMouse(kUIMouseLeftDown, &top);
    EXPECT_EQ(manager.GetPressed(), &bar);
    EXPECT_EQ(bar.GetPosition(), 0u);
    manager.DispatchMouse(kUIMouseMove, &middle);
    EXPECT_EQ(bar.GetPosition(), 5u);
    EXPECT_EQ(bar.GetThumb().GetRect().top, 41);
    // Released outside the window: the last move stands.
    manager.DispatchMouse(kUIMouseLeftUp, nullptr);
    EXPECT_EQ(bar.GetPosition(), 5u);
    EXPECT_EQ(Events(manager), "1:0 0 3:0 0 0 4 0 ");
    // A release with a point sets it a last time, wherever the point is.
    manager.DispatchMouse(kUIMouseLeftDown, &top);
    manager.DispatchMouse(kUIMouseLeftUp, &outside);
    EXPECT_EQ(bar.GetPosition(), 10u);
    EXPECT_EQ(manager.GetPressed(), nullptr);
}

TEST(UITextElement, LineWordsBreakLines)
{
    const struct
    {
        const char* text;
        CUITextLines lines;
    } cases[] = {
        {"one two LINE three", {"one two", "three"}},
        {"a LINE LINE b", {"a", "", "b"}},
        {"a LINE", {"a"}},
        {"LINE a", {"", "a"}},
        {"  one \t two\n\nthree  ", {"one two three"}},
        {"LINES line aLINE LINE x", {"LINES line aLINE", "x"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitTextLines(c.text), c.lines) << c.text;

    // New text shows from its first line, the bar's range its lines.
    CUITextElement element("x LINE y LINE z", 1);
    element.GetScrollBar()->SetPosition(2);
    element.SetText("p LINE q");
    EXPECT_EQ(*element.GetLines(), (CUITextLines{"p", "q"}));
    EXPECT_EQ(element.GetScrollBar()->GetMaximum(), 1u);
    EXPECT_EQ(element.GetScrollBar()->GetPosition(), 0u);
    // An empty log view, or conversation, has nothing to scroll.
    const CUITextLines none;
    EXPECT_EQ(CUITextElement(&none).GetScrollBar()->GetMaximum(), 0u);
    const CUITalkLines lines{"a", "b", "c"}, choices{"x", "y"}, nothing;
    EXPECT_EQ(CUITalkElement(&lines, &choices).GetScrollBar()->GetMaximum(), 4u);
    EXPECT_EQ(CUITalkElement(&nothing, &nothing).GetScrollBar()->GetMaximum(), 0u);
}

TEST(UIGroup, GrowsAndLaysOutItsChildren)
{
    EXPECT_EQ(CUIGroup(1, "", 0).GetRect(), (Rect{0, 0, 4, 4}));
    EXPECT_EQ(CUIGroup(0, "T", 1).GetRect(), (Rect{0, 0, 0, 0}));
    EXPECT_EQ(CUIGroup(1, "T", 0, 3).GetRect(), (Rect{0, 0, 8, 27}));

    // Framed with a title at spacing 1: margins 2 at the sides, 19 on top.
    auto column = std::make_shared<CUIGroup>(1, "Title", 0);
    EXPECT_EQ(column->GetRect(), (Rect{0, 0, 4, 21}));
    auto wide = Sized(7, {0, 0, 100, 20}), narrow = Sized(8, {0, 0, 60, 20});
    column->AddChild(wide);
    column->AddChild(narrow);
    EXPECT_EQ(column->GetRect(), (Rect{0, 0, 104, 62}));
    EXPECT_EQ(wide->GetRect(), (Rect{2, 19, 102, 39}));
    EXPECT_EQ(narrow->GetRect(), (Rect{22, 40, 82, 60}));
    // Moved, not resized.
    column->SetRect({50, 30, 60, 40});
    EXPECT_EQ(column->GetRect(), (Rect{50, 30, 154, 92}));
    EXPECT_EQ(narrow->GetRect(), (Rect{72, 70, 132, 90}));

    // A framed row without title at spacing 2: margins 3.
    CUIGroup row(1, "", 1, 2);
    auto flat = Sized(2, {0, 0, 10, 10}), tall = Sized(1, {0, 0, 30, 40});
    row.AddChild(flat);
    EXPECT_EQ(row.GetRect(), (Rect{0, 0, 16, 16}));
    row.AddChild(tall);
    EXPECT_EQ(row.GetRect(), (Rect{0, 0, 48, 46}));
    EXPECT_EQ(flat->GetRect(), (Rect{3, 18, 13, 28}));
    EXPECT_EQ(tall->GetRect(), (Rect{15, 3, 45, 43}));

    // Presses go to the children with their ids; between them, nothing.
    CUIManager manager;
    manager.AddElement(column);
    const Point onWide{100, 55}, onNarrow{80, 75}, beside{60, 75}, onTitle{100, 35};
    for (const Point* p : {&onWide, &onNarrow, &beside, &onTitle})
        manager.DispatchMouse(kUIMouseLeftDown, p);
    EXPECT_EQ(Events(manager), "1:7 0 1:8 0 ");
}

TEST(UIList, ClassifyingItsChildrenHighlightsTheOneClicked)
{
    // Two sections of 50 and rows of 20 below the 16-pixel title; the cells
    // are where a draw would place them.
    auto list = std::make_shared<CUIListElement>(7, "Entries", 20, 2, 50);
    list->SetRect({0, 0, 124, 76});
    list->SetFlags(kUIFlagListClicks, 1);
    const auto a = Sized(11, {0, 16, 50, 36}), b = Sized(12, {0, 36, 50, 56}),
               side = Sized(21, {50, 16, 100, 36});
    list->AddItem(0, a);
    list->AddItem(0, b);
    list->AddItem(1, side);
    CUIManager manager;
    manager.AddElement(list);

    const auto lit = [&]
    {
        std::string out;
        for (const auto* element : {a.get(), b.get(), side.get()})
            out += element->TestFlags(kUIFlagHighlighted) ? "1" : "0";
        return out;
    };
    const struct
    {
        std::int32_t action;
        Point point;
        const char* events;
        const char* highlighted; // 11, 12, 21
    } cases[] = {
        {kUIMouseLeftDown, {10, 20}, "1:11 0 ", "100"},
        {kUIMouseLeftDown, {10, 40}, "1:12 0 ", "010"},
        {kUIMouseLeftDown, {60, 20}, "1:21 0 ", "001"},
        // Only the first section's highlights are cleared.
        {kUIMouseLeftDown, {10, 20}, "1:11 0 ", "101"},
        {kUIMouseRight, {10, 40}, "2:12 0 ", "101"},
        // An empty cell and the title are the list's own.
        {kUIMouseLeftDown, {60, 40}, "1:7 0 ", "101"},
        {kUIMouseLeftDown, {60, 5}, "1:7 0 ", "101"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
        EXPECT_EQ(manager.DispatchMouse(c.action, &c.point), 1);
        EXPECT_EQ(Events(manager), c.events);
        EXPECT_EQ(lit(), c.highlighted);
    }
}

TEST(UIFixedTexts, HoverTitlesAndCaptionsOfBuiltInButtons)
{
    const CUITextLines log;
    CUIMessageWindow messages(9, 31, &log);
    CUIMiniMap map(5, 6, nullptr);
    CUIActionElement2 token(8, 4);
    const struct
    {
        const CUIElement* element;
        const char* title;
        const char* text;
        const char* caption; // null for no caption
        std::uint32_t backdrop;
    } cases[] = {
        {&messages, "Messages", "", nullptr, 0},
        {messages.GetButton(), "Messages", "Show All", "Msgs", kUIFlagBackdrop},
        {&map, "Map", "", nullptr, 0},
        {map.GetButton(), "Map", "Show Full Map", "Map", kUIFlagBackdrop},
        {token.GetMoveButton(), "Move Up", "", nullptr, kUIFlagBackdrop},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.title);
        ASSERT_NE(c.element, nullptr);
        EXPECT_EQ(c.element->GetHoverInfo().title, c.title);
        EXPECT_EQ(c.element->GetHoverInfo().text, c.text);
        EXPECT_EQ(c.element->TestFlags(kUIFlagBackdrop), c.backdrop);
        if (c.caption)
        {
            EXPECT_EQ(static_cast<const CUITextButton*>(c.element)->GetCaption(), c.caption);
        }
    }
    EXPECT_EQ(token.GetMoveButton()->GetImage(), 166u);
    EXPECT_EQ(CUIMessageWindow(9, 0, &log).GetButton(), nullptr);
    EXPECT_EQ(CUIMiniMap(5, 0, nullptr).GetButton(), nullptr);
    EXPECT_EQ(CUIActionElement2(0, 4).GetMoveButton(), nullptr);
}

TEST(UIBackground, FitsTheUnionOfTheElements)
{
    CUIBackground background(0xC0000000u);
    background.SetRect({1, 2, 3, 4});
    background.FitToElements({});
    EXPECT_EQ(background.GetRect(), (Rect{1, 2, 3, 4}));
    // An empty rectangle adds nothing.
    background.FitToElements(
        {Sized(1, {0, 0, 10, 10}), Sized(2, {200, 200, 200, 200}), Sized(3, {40, -5, 50, 8})});
    EXPECT_EQ(background.GetRect(), (Rect{0, -5, 50, 10}));
    const Point inside{5, 5};
    EXPECT_FALSE(background.HitTest(&inside, nullptr, nullptr));
}

TEST(UIStaticText, ApplyKeyByKeyClass)
{
    namespace vk = platform::vk;
    const struct
    {
        std::uint32_t key, shift;
        const char* after; // applied to "ab"
    } cases[] = {
        {'A', 0, "aba"},
        {'Z', 1, "abZ"},
        {'0', 0, "ab0"},
        {'9', 0, "ab9"},
        {'5', 1, "ab"},
        {vk::kSpace, 0, "ab "},
        {vk::kSpace, 1, "ab "},
        {vk::kSubtract, 0, "ab-"},
        {vk::kSubtract, 1, "ab_"},
        {vk::kMinus, 0, "ab-"},
        {vk::kMinus, 1, "ab_"},
        {vk::kBack, 0, "a"},
        {vk::kBack, 1, "a"},
        // Keypad digits, punctuation, arrows, delete and the codes just
        // beside the digits and letters are ignored.
        {vk::kNumpad0 + 1, 0, "ab"},
        {vk::kPeriod, 0, "ab"},
        {vk::kLeft, 0, "ab"},
        {vk::kDelete, 0, "ab"},
        {'0' - 1, 0, "ab"},
        {'9' + 1, 0, "ab"},
        {'A' - 1, 1, "ab"},
        {'Z' + 1, 1, "ab"},
        {'a', 0, "ab"},
    };
    for (const auto& c : cases)
    {
        CUIStaticText entry("ab", 3);
        CUIStaticText::ApplyKey(c.key, c.shift, entry);
        EXPECT_EQ(entry.text, c.after) << c.key << " shift " << c.shift;
    }
    CUIStaticText empty("", 0);
    CUIStaticText::ApplyKey(vk::kBack, 0, empty);
    EXPECT_EQ(empty.text, "");
}
