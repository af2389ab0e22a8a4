#include "platform/gl_fixture.h"
#include "ui_game_test_util.h"

#include "ui/ui_buttons.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_lists.h"
#include "ui/ui_mini_map.h"
#include "ui/ui_scroll_bar.h"
#include "world/area.h"
#include "world/game.h"
#include "world/tile.h"

#include <tuple>

using namespace VARDUI;
using namespace UIGameTest;

namespace
{

class GameWidgetDraw : public GlTest
{
protected:
    GameWidgetDraw() : GlTest(256) {}

    void TearDown() override
    {
        manager.Clear();
        GlTest::TearDown();
    }

    void Paint(const Point* cursor = nullptr)
    {
        if (!manager.GetDrawHelp())
            manager.CreateResources(*device);
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        manager.Draw(*device, cursor);
        Drawn();
        manager.GetEvents().clear();
    }

    bool Black(std::uint32_t x, std::uint32_t y)
    {
        const auto p = PixelAt(x, y);
        return p[0] < 8 && p[1] < 8 && p[2] < 8;
    }

    CUIManager manager;
};

// Nine items of falling value given cheapest first, so the list shows them
// the other way round.
struct NineItems
{
    NineItems()
    {
        for (std::uint32_t i = 0; i < 9; ++i)
        {
            const auto& t =
                *AddItemTemplate(module, "tonic" + std::to_string(i), "Tonic", i + 1, "potion");
            items.push_back(MakeItem(t, i + 1, 1));
        }
    }
    VARD::CModule module;
    std::vector<std::shared_ptr<VARD::CItem>> items;
};

} // namespace

TEST_F(GameWidgetDraw, NineItemsFillThreeRowsAndEmptyCellsAreOutlined)
{
    NineItems nine;
    auto list = std::make_shared<CUIItemsListWindow>(3, "Pack");
    list->SetItems(1000, nine.items, CUIItemsListWindow::kModeOwn, nullptr, nullptr);
    list->SetRect({10, 10, 226, 170});
    manager.AddElement(list);
    Paint();

    // Sorted dearest first: item 8 leads; row r of section s holds the
    // (4r + s)th token.
    for (std::size_t s = 0; s < 4; ++s)
    {
        const auto& elements = list->GetSectionElements(s);
        ASSERT_EQ(elements.size(), s == 0 ? 3u : 2u);
        for (std::size_t r = 0; r < elements.size(); ++r)
        {
            const auto x = static_cast<std::int32_t>(10 + 48 * s);
            const auto y = static_cast<std::int32_t>(26 + 48 * r);
            EXPECT_EQ(elements[r]->GetRect(), (Rect{x, y, x + 48, y + 48}));
            EXPECT_EQ(elements[r]->GetId(), static_cast<std::int32_t>(1008 - 4 * r - s));
        }
    }
    // Row 2: one token with its icon, then three empty cells in dark grey.
    EXPECT_FALSE(Black(34, 146));
    for (const std::uint32_t left : {58u, 106u, 154u})
    {
        SCOPED_TRACE(left);
        EXPECT_RGB_NEAR(PixelAt(left + 20, 122), 0x40, 0x40, 0x40);
        EXPECT_RGB_NEAR(PixelAt(left, 150), 0x40, 0x40, 0x40);
        EXPECT_TRUE(Black(left + 24, 146));
    }
    // The scroll bar reaches the third row; scrolled one row, the next paint
    // places the rows anew.
    EXPECT_EQ(list->GetScrollBar().GetMaximum(), 2u);
    list->GetScrollBar().SetPosition(1);
    Paint();
    EXPECT_EQ(list->GetSectionElements(0)[1]->GetRect(), (Rect{10, 26, 58, 74}));
    EXPECT_EQ(list->GetSectionElements(0)[2]->GetRect(), (Rect{10, 74, 58, 122}));
    EXPECT_TRUE(Black(34, 146));
    // The pointer finds the token drawn under it; the title and an empty
    // cell give the list itself.
    for (const auto& [x, y, id] : std::vector<std::tuple<int, int, std::int32_t>>{{30, 40, 1004},
                                                                                  {80, 40, 1003},
                                                                                  {200, 40, 1001},
                                                                                  {30, 90, 1000},
                                                                                  {80, 90, 3},
                                                                                  {30, 20, 3}})
    {
        const Point point{x, y};
        std::int32_t hit = 0;
        EXPECT_TRUE(list->HitTest(&point, nullptr, &hit));
        EXPECT_EQ(hit, id) << x << "," << y;
    }
}

TEST_F(GameWidgetDraw, DraggedTokensCarryTheirItemIds)
{
    NineItems nine;
    auto list = std::make_shared<CUIItemsListWindow>(3, "Pack");
    list->SetRect({10, 10, 226, 170});
    auto button = std::make_shared<CUITextButton>(77, "Drop");
    button->SetRect({10, 200, 90, 230});
    manager.AddElement(list);
    manager.AddElement(button);
    // Filled after the tree loaded its images, as dialogs refill their lists.
    Paint();
    list->SetItems(1000, nine.items, CUIItemsListWindow::kModeOwn, nullptr, nullptr);
    const Point first{34, 50}, second{82, 50}, onButton{40, 210}, nowhere{250, 250},
        emptyCell{82, 146};
    Paint(&first);
    const CUIElement* token = list->GetSectionElements(0)[0].get();
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &first), 1);
    EXPECT_EQ(TakeEvents(manager), "3:1008 0");
    EXPECT_EQ(manager.GetPressed(), token);
    manager.DispatchMouse(kUIMouseMove, &onButton);
    EXPECT_EQ(token->GetRect(), (Rect{16, 186, 64, 234}));
    Paint(&onButton);
    manager.DispatchMouse(kUIMouseLeftUp, &onButton);
    EXPECT_EQ(TakeEvents(manager), "5:1008>77 0");
    EXPECT_EQ(token->GetRect(), (Rect{10, 26, 58, 74}));

    // Onto another token, onto an empty cell (the list's own id), outside.
    manager.DispatchMouse(kUIMouseLeftDown, &second);
    manager.DispatchMouse(kUIMouseLeftUp, &first);
    EXPECT_EQ(TakeEvents(manager), "3:1007 0 5:1007>1008 0");
    manager.DispatchMouse(kUIMouseLeftDown, &second);
    manager.DispatchMouse(kUIMouseLeftUp, &emptyCell);
    EXPECT_EQ(TakeEvents(manager), "3:1007 0 5:1007>3 0");
    manager.DispatchMouse(kUIMouseLeftDown, &second);
    manager.DispatchMouse(kUIMouseLeftUp, &nowhere);
    EXPECT_EQ(TakeEvents(manager), "3:1007 0 4 0");

    // Too dear to buy: listed, clicked, never dragged.
    VARD::CGame game;
    game.SetGold(8);
    list->SetItems(2000, nine.items, CUIItemsListWindow::kModeBuy, &game, nullptr);
    Paint();
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &first), 1);
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftUp, &first), 0);
    EXPECT_EQ(TakeEvents(manager), "1:2008 0");
    manager.DispatchMouse(kUIMouseLeftDown, &second);
    EXPECT_EQ(TakeEvents(manager), "3:2007 0");
}

TEST_F(GameWidgetDraw, MiniMapShowsSeenCellsTwoPixelsWideAndTheParty)
{
    VARD::CTileTemplate floorTemplate("floor", "Floor", 0, "f", 1, 1);
    VARD::CTileTemplate wallTemplate("wall", "Wall", 2, "w", 1, 1);
    VARD::CTileTemplate doorTemplate("door", "Door", 3, "d", 1, 1);
    VARD::CArea area(nullptr);
    area.SetGridSize(4, 4);
    std::vector<std::unique_ptr<VARD::CMasterTile>> masters;
    for (std::uint32_t c = 0; c < 4; ++c)
        for (std::uint32_t r = 0; r < 4; ++r)
        {
            if (c == 1 && r == 0)
                masters.push_back(
                    std::make_unique<VARD::CMasterTileDoor>(&doorTemplate, 0, &area, c, r));
            else
                masters.push_back(std::make_unique<VARD::CMasterTile>(
                    c == 2 && r == 0 ? &wallTemplate : &floorTemplate, 0, &area, c, r));
            area.GetTile(c, r)->SetMasterTile(masters.back().get());
        }
    for (std::uint32_t c = 0; c < 4; ++c)
        area.TileTracker().Mark(c, 0);
    area.TileTracker().Mark(0, 1);
    auto member = MakeActor(1, "Ayla", VARD::kAttitudeParty);
    member->SetPosition(15.0, 15.0);
    auto monster = MakeActor(2, "Grub", VARD::kAttitudeHostile);
    monster->SetPosition(20.0, 5.0);
    auto fallen = MakeActor(3, "Bren", VARD::kAttitudeParty);
    fallen->SetPosition(25.0, 5.0);
    fallen->SetActivityState(VARD::kActivityDead);
    area.AddActor(member);
    area.AddActor(monster);
    area.AddActor(fallen);

    auto map = std::make_shared<CUIMiniMap>(5, 6, &area);
    map->SetRect({10, 10, 112, 92});
    manager.AddElement(map);
    Paint();

    // 102 x 82 gives 50 x 40 cells inside a white frame.
    EXPECT_RGB_NEAR(PixelAt(10, 10), 0xFF, 0xFF, 0xFF);
    EXPECT_RGB_NEAR(PixelAt(111, 91), 0xFF, 0xFF, 0xFF);
    EXPECT_RGB_NEAR(PixelAt(110, 90), 0, 0, 0);
    const struct
    {
        std::uint32_t x, y;
        int r, g, b;
    } cells[] = {
        {11, 11, 0xC0, 0xC0, 0xC0}, {12, 12, 0xC0, 0xC0, 0xC0}, // floor (0, 0)
        {13, 11, 0xFF, 0, 0},                                   // closed door (1, 0)
        {15, 12, 0x80, 0x80, 0x80},                             // wall (2, 0)
        {11, 13, 0xC0, 0xC0, 0xC0},                             // seen floor (0, 1)
        {13, 13, 0, 0, 0},                                      // unseen floor (1, 1)
        {19, 11, 0, 0, 0},                                      // beyond the grid (4, 0)
        {21, 21, 0, 0, 0},                                      // the member's black rim
        {23, 23, 0, 0xFF, 0},                                   // and its green inside
        {27, 15, 0, 0, 0},                                      // no mark for a monster
        {31, 15, 0, 0, 0},                                      // nor for a fallen member
    };
    for (const auto& c : cells)
    {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_RGB_NEAR(PixelAt(c.x, c.y), c.r, c.g, c.b);
    }
    // The button shows only while the map is hovered.
    const Point over{50, 50};
    EXPECT_RGB_NEAR(PixelAt(90, 20), 0, 0, 0);
    Paint(&over);
    EXPECT_EQ(map->GetButton()->GetRect(), (Rect{70, 12, 110, 36}));
    EXPECT_FALSE(Black(70, 20));

    // Translucent: every colour at alpha 0xB0 over the black below; an open
    // door is green.
    map->SetFlags(kUIFlagBackdrop, 1);
    area.GetTile(1, 0)->GetDoor()->SetOpen(true);
    Paint();
    EXPECT_RGB_NEAR(PixelAt(11, 11), 0x84, 0x84, 0x84);
    EXPECT_RGB_NEAR(PixelAt(13, 11), 0, 0xB0, 0);
    EXPECT_EQ(TestUtil::CodeOf([] { GetMiniMapCellColor(4, nullptr, 0); }), 4);
    EXPECT_EQ(map->GetButton()->GetHoverInfo().text, "Show Full Map");
}

TEST_F(GameWidgetDraw, ActionWindowFollowsTheSelectedMembersBar)
{
    VARD::CModule module;
    AddSpell(module, "bolt", "Void Bolt", "void_magic", 1);
    auto ayla = MakeActor(1, "Ayla", VARD::kAttitudeParty);
    auto bo = MakeActor(2, "Bo", VARD::kAttitudeParty);
    FakeBarSource source;
    source.module = &module;
    source.selected = ayla.get();
    auto window = std::make_shared<CUIActionWindow2>(40, 300, &source, nullptr);
    window->SetRect({10, 10, 106, 250});
    manager.AddElement(window);
    const auto& tokens = window->GetTokens();
    // Two columns of five.
    EXPECT_EQ(tokens[7]->GetRect(), (Rect{58, 106, 106, 154}));

    // No bar yet: ten empty tokens, and the paint goes on.
    Paint();
    EXPECT_EQ(window->GetFilled(), 0u);
    for (const auto& token : tokens)
        EXPECT_EQ(token->GetHoverInfo().icon, 0u);

    source.bars[ayla->Id()].selectedSlot = 3;
    source.bars[bo->Id()].slotType[9] = kActionSlotCast;
    source.bars[bo->Id()].slotSpell[9] = "bolt";
    Paint();
    EXPECT_EQ(window->GetFilled(), 1u);
    EXPECT_EQ(tokens[0]->GetHoverInfo().title, "Attack");
    EXPECT_EQ(tokens[9]->GetLabel(), "F10");
    EXPECT_EQ(tokens[9]->GetHoverInfo().title, "Talk");
    EXPECT_TRUE(tokens[3]->TestFlags(kUIFlagHighlighted));
    EXPECT_FALSE(tokens[0]->TestFlags(kUIFlagHighlighted));
    EXPECT_FALSE(Black(34, 34));

    // Another member selected: nothing changes until the owner asks.
    source.selected = bo.get();
    Paint();
    EXPECT_EQ(tokens[9]->GetHoverInfo().title, "Talk");
    window->SetFilled(0);
    Paint();
    EXPECT_EQ(tokens[9]->GetHoverInfo().title, "Void Bolt");
    EXPECT_FALSE(tokens[3]->TestFlags(kUIFlagHighlighted));

    // A window of its own actor keeps to it.
    CUIActionWindow2 own(41, 400, &source, ayla.get());
    gfx::Sprite sprite(*device);
    sprite.Begin(gfx::kSpriteAlphaBlend);
    own.Draw(*device, manager.GetDrawHelp().get(), &sprite, nullptr);
    sprite.End();
    EXPECT_EQ(own.GetTokens()[9]->GetHoverInfo().title, "Talk");
}
