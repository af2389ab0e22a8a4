#include "platform/keys.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_scroll_bar.h"
#include "ui/ui_static_text.h"
#include "ui/ui_talk_element.h"
#include "ui/ui_text.h"

#include <gtest/gtest.h>

using namespace VARDUI;

namespace
{

std::string Joined(const CUITextLines& lines)
{
    std::string out;
    for (const auto& line : lines)
        out += "[" + line + "]";
    return out;
}

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

} // namespace

TEST(UIScrollBar, PositionFromHeightAndThumbSpan)
{
    CUIScrollBar bar;
    bar.SetMaximum(10);
    bar.SetRect({0, 0, 24, 100});
    const std::int32_t ys[] = {-20, 5, 10, 11, 12, 50, 88, 89, 90, 95, 200};
    const std::uint32_t positions[] = {0, 0, 0, 0, 0, 5, 9, 10, 10, 10, 10};
    for (std::size_t i = 0; i < std::size(ys); ++i)
    {
        bar.SetPositionFromY(ys[i]);
        EXPECT_EQ(bar.GetPosition(), positions[i]) << "y " << ys[i];
    }
    // The thumb is 20 high, one pixel in, its top 78 × position / 10 down.
    const struct
    {
        std::uint32_t position;
        Rect thumb;
    } thumbs[] = {{0, {1, 1, 23, 21}}, {5, {1, 40, 23, 60}}, {10, {1, 79, 23, 99}}};
    for (const auto& t : thumbs)
    {
        bar.SetPosition(t.position);
        bar.UpdateThumb();
        EXPECT_EQ(bar.GetThumb().GetRect(), t.thumb) << t.position;
    }
    // The thumb follows a move of the bar; a bar lower down reads heights
    // from its own top.
    bar.SetRect({100, 50, 120, 150});
    EXPECT_EQ(bar.GetThumb().GetRect(), (Rect{101, 129, 119, 149}));
    bar.SetPositionFromY(100);
    EXPECT_EQ(bar.GetPosition(), 5u);

    // Nothing to scroll, or no track to scroll along: position 0, thumb on top.
    for (const Rect rect : {Rect{0, 0, 24, 100}, Rect{0, 0, 24, 22}, Rect{0, 0, 24, 10}})
    {
        bar.SetMaximum(rect.Height() == 100 ? 0 : 10);
        bar.SetRect(rect);
        for (const std::int32_t y : {0, 11, 12, 21, 60})
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
    // A log view's bar: (95, 1, 119, 101) in a 120 × 102 element; 11 lines.
    CUITextLines log;
    for (int i = 0; i < 11; ++i)
        log.push_back("line " + std::to_string(i));
    auto view = std::make_shared<CUITextElement>(&log);
    view->SetRect({0, 0, 120, 102});
    CUIScrollBar& bar = *view->GetScrollBar();
    EXPECT_EQ(bar.GetMaximum(), 10u);
    EXPECT_EQ(bar.GetPosition(), 10u);
    CUIManager manager;
    manager.AddElement(view);

    // Text outside the bar is a click on the view; on the bar a press.
    const Point text{10, 50}, top{100, 5}, middle{100, 51}, outside{300, 300};
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &text), 1);
    EXPECT_EQ(Events(manager), "1:0 0 ");
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &top), 1);
    EXPECT_EQ(manager.GetPressed(), &bar);
    EXPECT_EQ(bar.GetPosition(), 0u);
    EXPECT_EQ(manager.DispatchMouse(kUIMouseMove, &middle), 1);
    EXPECT_EQ(bar.GetPosition(), 5u);
    EXPECT_EQ(bar.GetThumb().GetRect().top, 41);
    // Released outside the window: the last move stands.
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftUp, nullptr), 1);
    EXPECT_EQ(bar.GetPosition(), 5u);
    EXPECT_EQ(Events(manager), "3:0 0 0 4 0 ");
    // A release with a point sets it a last time, wherever the point is.
    manager.DispatchMouse(kUIMouseLeftDown, &top);
    manager.DispatchMouse(kUIMouseLeftUp, &outside);
    EXPECT_EQ(bar.GetPosition(), 10u);
    manager.DispatchMouse(kUIMouseLeftDown, &middle);
    manager.DispatchMouse(kUIMouseLeftUp, &top);
    EXPECT_EQ(bar.GetPosition(), 0u);
    EXPECT_EQ(manager.GetPressed(), nullptr);
}

TEST(UITextElement, LineWordsBreakLines)
{
    const struct
    {
        const char* text;
        const char* lines;
    } cases[] = {
        {"one two LINE three", "[one two][three]"},
        {"a LINE LINE b", "[a][][b]"},
        {"a LINE", "[a]"},
        {"LINE a", "[][a]"},
        {"  one \t two\n\nthree  ", "[one two three]"},
        {"LINES line Line LINE x", "[LINES line Line][x]"},
        {"aLINE b", "[aLINE b]"},
        {"", ""},
        {"LINE", "[]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Joined(SplitTextLines(c.text)), c.lines) << c.text;

    // SetText replaces the lines and shows the first with the bar at 0.
    CUITextElement element("x LINE y LINE z", 1);
    EXPECT_EQ(Joined(*element.GetLines()), "[x][y][z]");
    EXPECT_EQ(element.GetScrollBar()->GetMaximum(), 2u);
    element.GetScrollBar()->SetPosition(2);
    element.SetText("p");
    EXPECT_EQ(Joined(*element.GetLines()), "[p]");
    EXPECT_EQ(element.GetScrollBar()->GetMaximum(), 0u);
    EXPECT_EQ(element.GetScrollBar()->GetPosition(), 0u);
    EXPECT_EQ(CUITextElement("", 0).GetScrollBar(), nullptr);
    // An empty log view has nothing to scroll.
    CUITextLines none;
    CUITextElement view(&none);
    EXPECT_EQ(view.GetScrollBar()->GetMaximum(), 0u);
    EXPECT_EQ(view.GetScrollBar()->GetPosition(), 0u);
}

TEST(UITalkElement, ScrollRangeCountsLinesAndChoices)
{
    const CUITalkLines lines{"a", "b", "c"}, choices{"x", "y"}, none;
    EXPECT_EQ(CUITalkElement(&lines, &choices).GetScrollBar()->GetMaximum(), 4u);
    EXPECT_EQ(CUITalkElement(&lines, &none).GetScrollBar()->GetMaximum(), 2u);
    EXPECT_EQ(CUITalkElement(&none, &none).GetScrollBar()->GetMaximum(), 0u);
    CUITalkElement talk(&lines, &choices);
    talk.SetRect({10, 20, 210, 120});
    EXPECT_EQ(talk.GetScrollBar()->GetRect(), (Rect{185, 21, 209, 119}));
    EXPECT_EQ(talk.GetId(), 0);
}

namespace
{

std::shared_ptr<CUIStaticText> Sized(std::int32_t id, std::int32_t w, std::int32_t h)
{
    auto child = std::make_shared<CUIStaticText>("", id);
    child->SetRect({0, 0, w, h});
    return child;
}

} // namespace

TEST(UIGroup, GrowsAndLaysOutItsChildren)
{
    EXPECT_EQ(CUIGroup(1, "", 0).GetRect(), (Rect{0, 0, 4, 4}));
    EXPECT_EQ(CUIGroup(1, "T", 0).GetRect(), (Rect{0, 0, 4, 21}));
    EXPECT_EQ(CUIGroup(0, "T", 1).GetRect(), (Rect{0, 0, 0, 0}));
    EXPECT_EQ(CUIGroup(1, "T", 0, 3).GetRect(), (Rect{0, 0, 8, 27}));

    // Framed with a title at spacing 1: margins 2 at the sides, 19 on top.
    CUIGroup column(1, "Title", 0);
    auto wide = Sized(7, 100, 20), narrow = Sized(8, 60, 20);
    column.AddChild(wide);
    column.AddChild(narrow);
    EXPECT_EQ(column.GetRect(), (Rect{0, 0, 104, 62}));
    EXPECT_EQ(wide->GetRect(), (Rect{2, 19, 102, 39}));
    EXPECT_EQ(narrow->GetRect(), (Rect{22, 40, 82, 60}));
    // Moved, not resized.
    column.SetRect({50, 30, 60, 40});
    EXPECT_EQ(column.GetRect(), (Rect{50, 30, 154, 92}));
    EXPECT_EQ(wide->GetRect(), (Rect{52, 49, 152, 69}));
    EXPECT_EQ(narrow->GetRect(), (Rect{72, 70, 132, 90}));

    // A framed row without title at spacing 2: margins 3.
    CUIGroup row(1, "", 1, 2);
    auto tall = Sized(1, 30, 40), flat = Sized(2, 10, 10);
    row.AddChild(flat);
    EXPECT_EQ(row.GetRect(), (Rect{0, 0, 16, 16}));
    row.AddChild(tall);
    EXPECT_EQ(row.GetRect(), (Rect{0, 0, 48, 46}));
    EXPECT_EQ(flat->GetRect(), (Rect{3, 18, 13, 28}));
    EXPECT_EQ(tall->GetRect(), (Rect{15, 3, 45, 43}));

    // Hits go to the children with their ids; between them nothing.
    CUIManager manager;
    auto group = std::make_shared<CUIGroup>(1, "Title", 0);
    group->AddChild(Sized(7, 100, 20));
    group->AddChild(Sized(8, 60, 20));
    manager.AddElement(group);
    const Point onWide{50, 25}, onNarrow{30, 45}, beside{10, 45}, onTitle{50, 5};
    for (const Point* p : {&onWide, &onNarrow, &beside, &onTitle})
        manager.DispatchMouse(kUIMouseLeftDown, p);
    EXPECT_EQ(Events(manager), "1:7 0 1:8 0 ");
    CUIElement* hit = nullptr;
    EXPECT_EQ(manager.HitTest(&onNarrow, &hit, nullptr), 1);
    EXPECT_EQ(hit, group->GetChildren()[1].get());
    group->SetFlags(kUIFlagVisible, 0);
    EXPECT_EQ(manager.HitTest(&onNarrow, &hit, nullptr), 0);
}

TEST(UIBackground, FitsTheUnionAndIsNeverHit)
{
    CUIBackground background(0xC0000000u);
    background.SetRect({1, 2, 3, 4});
    background.FitToElements({});
    EXPECT_EQ(background.GetRect(), (Rect{1, 2, 3, 4}));
    auto a = Sized(1, 10, 10), b = Sized(2, 0, 0), c = Sized(3, 5, 5);
    c->SetRect({40, -5, 50, 8});
    b->SetRect({200, 200, 200, 200}); // empty: adds nothing
    background.FitToElements({a, b, c});
    EXPECT_EQ(background.GetRect(), (Rect{0, -5, 50, 10}));
    const Point inside{5, 5};
    EXPECT_FALSE(background.HitTest(&inside, nullptr, nullptr));
    CUIImage image(187);
    image.SetRect({0, 0, 10, 10});
    EXPECT_FALSE(image.HitTest(&inside, nullptr, nullptr));
    CUIImageBackground picture(187);
    picture.SetRect({0, 0, 10, 10});
    EXPECT_FALSE(picture.HitTest(&inside, nullptr, nullptr));
}

TEST(UIStaticText, ApplyKeyByKeyClass)
{
    namespace vk = platform::vk;
    const struct
    {
        std::uint32_t key;
        std::uint32_t shift;
        const char* before;
        const char* after;
    } cases[] = {
        {'A', 0, "x", "xa"},
        {'A', 1, "x", "xA"},
        {'Z', 0, "", "z"},
        {'Q', 1, "", "Q"},
        {'0', 0, "x", "x0"},
        {'9', 0, "x", "x9"},
        {'5', 1, "x", "x"},
        {vk::kSpace, 0, "a", "a "},
        {vk::kSpace, 1, "a", "a "},
        {vk::kSubtract, 0, "a", "a-"},
        {vk::kSubtract, 1, "a", "a_"},
        {vk::kMinus, 0, "a", "a-"},
        {vk::kMinus, 1, "a", "a_"},
        {vk::kBack, 0, "ab", "a"},
        {vk::kBack, 1, "ab", "a"},
        {vk::kBack, 0, "", ""},
        // Everything else is ignored: keypad digits, punctuation, arrows,
        // delete, and the codes just outside the digits and letters.
        {vk::kNumpad0 + 1, 0, "a", "a"},
        {vk::kPeriod, 0, "a", "a"},
        {vk::kLeft, 0, "a", "a"},
        {vk::kDelete, 0, "a", "a"},
        {vk::kReturn, 0, "a", "a"},
        {'0' - 1, 0, "a", "a"},
        {'9' + 1, 0, "a", "a"},
        {'A' - 1, 0, "a", "a"},
        {'Z' + 1, 1, "a", "a"},
        {'a', 0, "a", "a"},
    };
    for (const auto& c : cases)
    {
        CUIStaticText entry(c.before, 3);
        CUIStaticText::ApplyKey(c.key, c.shift, entry);
        EXPECT_EQ(entry.text, c.after) << c.key << " shift " << c.shift;
    }
    // No length limit of its own.
    CUIStaticText entry(std::string(500, 'x'), 0);
    CUIStaticText::ApplyKey('B', 0, entry);
    EXPECT_EQ(entry.text.size(), 501u);
}
