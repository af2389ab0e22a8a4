#include "test_util.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_manager.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace VARDUI;

namespace
{

// An element that answers ClassifyMouse with a fixed result and logs what it
// was asked. With reportId set it answers hit tests as a list that
// classifies its children's clicks: itself, with a child's id.
class FakeElement : public CUIElement
{
public:
    FakeElement(std::int32_t id, Rect rect, std::int32_t result, std::string* log)
        : CUIElement(id), m_Result(result), m_Log(log)
    {
        SetRect(rect);
    }

    void LoadTextures(gfx::Device&, CUIDrawHelp*) override {}
    void Draw(gfx::Device&, CUIDrawHelp*, gfx::Sprite*, const Point*) override {}
    bool HitTest(const Point* point, CUIElement** outElement, std::int32_t* outId) override
    {
        if (!CUIElement::HitTest(point, outElement, outId))
            return false;
        if (outId && reportId)
            *outId = reportId;
        return true;
    }
    std::int32_t ClassifyMouse(std::int32_t action, const Point* point) override
    {
        *m_Log += "[" + std::to_string(GetId()) + " " + std::to_string(action) +
                  (point ? "" : " null") + "]";
        return m_Result;
    }

    std::int32_t reportId = 0;

private:
    std::int32_t m_Result;
    std::string* m_Log;
};

std::string Describe(const CUIEvent& event)
{
    if (const auto* drop = dynamic_cast<const CUIEventDrop*>(&event))
        return "drop " + std::to_string(drop->GetSource()) + ">" +
               std::to_string(drop->GetTarget());
    if (const auto* button = dynamic_cast<const CUIEventButton*>(&event))
    {
        static const char* const kNames[] = {"?", "click", "right", "start"};
        return std::string(kNames[button->GetType()]) + " " + std::to_string(button->GetId());
    }
    return event.GetType() == kUIEventRedraw ? "redraw" : "cancel";
}

// A press element (id 7) at (0, 0, 10, 10), a button (id 5) at (20, 0, 30,
// 10), an element with the base rule (id 3) at (40, 0, 50, 10), a second
// button (id 6) under the first and an invisible one (id 9) over the gap.
class Dispatch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Add(7, {0, 0, 10, 10}, kUIClassifyPress);
        Add(5, {20, 0, 30, 10}, kUIClassifyClick);
        Add(3, {40, 0, 50, 10}, -1);
        Add(6, {20, 0, 30, 10}, kUIClassifyClick);
        Add(9, {10, 0, 20, 10}, kUIClassifyClick)->SetFlags(kUIFlagVisible, 0);
        hover->SetRect({200, 200, 360, 248});
        manager.AddElement(hover);
    }

    std::shared_ptr<FakeElement> Add(std::int32_t id, Rect rect, std::int32_t result)
    {
        std::shared_ptr<FakeElement> element;
        if (result == -1)
        {
            // The base rule: a plain element.
            struct Base : FakeElement
            {
                using FakeElement::FakeElement;
                std::int32_t ClassifyMouse(std::int32_t action, const Point* point) override
                {
                    FakeElement::ClassifyMouse(action, point);
                    return CUIElement::ClassifyMouse(action, point);
                }
            };
            element = std::make_shared<Base>(id, rect, 0, &log);
        }
        else
            element = std::make_shared<FakeElement>(id, rect, result, &log);
        manager.AddElement(element);
        return element;
    }

    // Each step: action at (x, y), or with a null point when x < -100; the
    // returns joined by blanks, then the queued events in order.
    std::string Run(const std::vector<std::array<std::int32_t, 3>>& steps)
    {
        std::ostringstream out;
        for (const auto& step : steps)
        {
            const Point point{step[1], step[2]};
            out << manager.DispatchMouse(step[0], step[1] < -100 ? nullptr : &point) << " ";
        }
        out << "|";
        for (const auto& event : manager.GetEvents())
            out << " " << Describe(*event) << ";";
        manager.GetEvents().clear();
        return out.str();
    }

    CUIManager manager;
    std::shared_ptr<CUIHoverWindow> hover = std::make_shared<CUIHoverWindow>();
    std::string log;
};

constexpr std::int32_t kNull = -1000;

} // namespace

TEST_F(Dispatch, EventSequences)
{
    const struct
    {
        const char* what;
        std::vector<std::array<std::int32_t, 3>> steps;
        const char* events;
    } cases[] = {
        {"button press, release", {{0, 25, 5}, {1, 25, 5}}, "1 0 | click 5; redraw;"},
        {"drag dropped on itself",
         {{0, 5, 5}, {1, 5, 5}},
         "1 1 | start 7; redraw; drop 7>7; redraw;"},
        {"drag dropped on a button",
         {{0, 5, 5}, {4, 25, 5}, {1, 25, 5}},
         "1 1 1 | start 7; redraw; redraw; drop 7>5; redraw;"},
        {"drag released outside",
         {{0, 5, 5}, {1, 100, 100}},
         "1 1 | start 7; redraw; cancel; redraw;"},
        {"release lost at the window's edge",
         {{0, 5, 5}, {1, kNull, 0}},
         "1 1 | start 7; redraw; cancel; redraw;"},
        {"release lost, then a press",
         {{0, 5, 5}, {0, 25, 5}},
         "1 1 | start 7; redraw; cancel; click 5; redraw;"},
        {"release lost, then a press on nothing",
         {{0, 5, 5}, {2, 100, 5}},
         "1 0 | start 7; redraw; cancel;"},
        {"base rule: left, right, release",
         {{0, 45, 5}, {2, 45, 5}, {1, 45, 5}},
         "1 1 0 | click 3; redraw; right 3; redraw;"},
        {"invisible and empty space",
         {{0, 15, 5}, {4, 15, 5}, {2, 100, 100}, {0, kNull, 0}},
         "0 0 0 0 |"},
        {"unknown actions", {{3, 25, 5}, {5, 25, 5}, {7, 25, 5}}, "0 0 0 |"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Run(c.steps), c.events);
        EXPECT_EQ(manager.GetPressed(), nullptr);
    }
}

TEST_F(Dispatch, WhoIsClassifiedAndWhen)
{
    // The earlier of two elements on the same spot is hit; the invisible one
    // never is; a pressed element hears the moves as 5 and its release as 1.
    Run({{0, 25, 5}, {0, 15, 5}, {0, 5, 5}, {4, 40, 5}, {4, 0, 5}, {0, 45, 5}});
    EXPECT_EQ(log, "[5 0][7 0][7 5][7 5][7 1 null][3 0]");
    log.clear();
    Run({{0, 5, 5}, {1, 100, 100}});
    EXPECT_EQ(log, "[7 0][7 1]");
}

TEST_F(Dispatch, ListClassifyingItsChildrenDropsUnderTheChildId)
{
    auto list = Add(20, {0, 20, 10, 30}, kUIClassifyPress);
    list->reportId = 1004;
    EXPECT_EQ(Run({{0, 5, 25}, {1, 25, 5}}), "1 1 | start 1004; redraw; drop 1004>5; redraw;");
}

TEST_F(Dispatch, HoverWindowFollowsTheWidgetUnderTheMouse)
{
    auto tip = Add(11, {0, 40, 10, 50}, kUIClassifyClick);
    tip->SetHoverText("Sword", "Sharp");
    tip->GetHoverInfo().icon = 110;
    EXPECT_EQ(manager.GetHoverWindow(), hover.get());

    EXPECT_EQ(Run({{4, 5, 45}}), "1 | redraw;");
    EXPECT_EQ(hover->GetInfo().title, "Sword");
    EXPECT_EQ(hover->GetInfo().text, "Sharp");
    EXPECT_EQ(hover->GetInfo().icon, 110u);
    // Empty space keeps it; a press and moves while pressed never touch it.
    EXPECT_EQ(Run({{4, 100, 100}}), "0 |");
    EXPECT_EQ(hover->GetInfo().title, "Sword");
    Run({{0, 5, 5}, {4, 25, 5}, {1, 5, 5}});
    EXPECT_EQ(hover->GetInfo().title, "Sword");
    // A widget with no hover info empties the window.
    Run({{4, 25, 5}});
    EXPECT_EQ(hover->GetInfo().title, "");
    EXPECT_EQ(hover->GetInfo().icon, 0u);

    // Clear forgets the hover window, the pressed element and the queue.
    Run({{0, 5, 5}});
    manager.QueueRedraw();
    manager.Clear();
    EXPECT_EQ(manager.GetHoverWindow(), nullptr);
    EXPECT_EQ(manager.GetPressed(), nullptr);
    EXPECT_TRUE(manager.GetEvents().empty());
    EXPECT_TRUE(manager.GetElements().empty());
}

TEST(UIElement, FlagsHitTestAndClassifyDefaults)
{
    std::string log;
    FakeElement element(4, {10, 20, 30, 40}, 0, &log);
    EXPECT_EQ(element.TestFlags(0xFFFFFFFFu), kUIFlagVisible);
    element.SetFlags(kUIFlagHighlighted | kUIFlagBackdrop, 1);
    element.SetFlags(kUIFlagVisible, 0);
    EXPECT_EQ(element.TestFlags(0xFFFFFFFFu), kUIFlagHighlighted | kUIFlagBackdrop);
    element.SetFlags(kUIFlagVisible | kUIFlagHighlighted, 2);
    element.SetFlags(kUIFlagBackdrop, 0);

    // Left and top inside, right and bottom outside; misses write nothing.
    CUIElement* hit = nullptr;
    std::int32_t id = -1;
    const Point inside{10, 20}, right{30, 20}, below{10, 40};
    EXPECT_TRUE(element.HitTest(&inside, &hit, &id));
    EXPECT_EQ(hit, &element);
    EXPECT_EQ(id, 4);
    hit = nullptr;
    id = -1;
    EXPECT_FALSE(element.HitTest(&right, &hit, &id));
    EXPECT_FALSE(element.HitTest(&below, &hit, &id));
    EXPECT_FALSE(element.HitTest(nullptr, &hit, &id));
    EXPECT_EQ(hit, nullptr);
    EXPECT_EQ(id, -1);
}

TEST(UILayout, ColumnRowBoundsAndCentring)
{
    std::string log;
    auto make = [&](Rect rect) { return std::make_shared<FakeElement>(0, rect, 0, &log); };
    CUIElementList column{make({5, 0, 25, 20}), make({7, 50, 17, 70}), make({0, 0, 40, 20})};
    LayoutColumn(100, 4, column);
    EXPECT_EQ(column[0]->GetRect(), (Rect{5, 66, 25, 86}));
    EXPECT_EQ(column[1]->GetRect(), (Rect{7, 90, 17, 110}));
    EXPECT_EQ(column[2]->GetRect(), (Rect{0, 114, 40, 134}));
    // An odd total halves toward zero: 21 about 0 starts at -10.
    CUIElementList odd{make({0, 0, 5, 21})};
    LayoutColumn(0, 4, odd);
    EXPECT_EQ(odd[0]->GetRect().top, -10);

    CUIElementList row{make({0, 3, 10, 13}), make({0, 8, 30, 9})};
    LayoutRow(100, 1, 2, row); // total 42
    EXPECT_EQ(row[0]->GetRect(), (Rect{79, 3, 89, 13}));
    EXPECT_EQ(row[1]->GetRect(), (Rect{91, 8, 121, 9}));
    LayoutRow(100, 0, 2, row);
    EXPECT_EQ(row[0]->GetRect().left, 100);
    EXPECT_EQ(row[1]->GetRect().left, 112);

    Rect bounds;
    GetListBounds(bounds, {});
    EXPECT_EQ(bounds, (Rect{10000, 10000, 0, 0}));
    GetListBounds(bounds, column);
    EXPECT_EQ(bounds, (Rect{0, 66, 40, 134}));

    CenterListH(column, 50);
    CenterListV(row, -3);
    EXPECT_EQ(column[1]->GetRect(), (Rect{45, 90, 55, 110}));
    EXPECT_EQ(row[1]->GetRect(), (Rect{112, -3, 142, -2}));
    const Point centre{0, 0};
    CUIElement::CenterOn(*column[2], &centre);
    EXPECT_EQ(column[2]->GetRect(), (Rect{-20, -10, 20, 10}));
}

TEST(UIIcons, KindTablesAndCellColours)
{
    const std::uint32_t items[] = {167, 115, 168, 169, 170, 171, 172, 135, 153, 173};
    for (std::int32_t kind = 1; kind <= 10; ++kind)
        EXPECT_EQ(GetItemKindIcon(kind), items[kind - 1]);
    const std::uint32_t weapons[] = {110, 195, 111, 112, 113, 114};
    for (std::int32_t kind = 0; kind <= 5; ++kind)
        EXPECT_EQ(GetWeaponKindIcon(kind), weapons[kind]);
    EXPECT_EQ(TestUtil::CodeOf([] { GetItemKindIcon(0); }), 2);
    EXPECT_EQ(TestUtil::CodeOf([] { GetItemKindIcon(11); }), 4);
    EXPECT_EQ(TestUtil::CodeOf([] { GetItemKindIcon(-1); }), 4);
    EXPECT_EQ(TestUtil::CodeOf([] { GetWeaponKindIcon(6); }), 4);
    EXPECT_EQ(TestUtil::CodeOf([] { GetWeaponKindIcon(-1); }), 4);
    EXPECT_EQ(GetListCellColor(0, 0), 0xFF404040u);
    EXPECT_EQ(GetListCellColor(1, 0), 0xFF808080u);
    EXPECT_EQ(GetListCellColor(0, 4), 0xFF00C000u);
    EXPECT_EQ(GetListCellColor(2, 1), 0xFF00FF00u);
}
