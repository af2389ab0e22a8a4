// The game screen's HUD and view on the demo town with a party of three:
// where its widgets stand, what their clicks do, the pointer over fake
// picks, and the camera the view is drawn with.

#include "app_demo_game.h"
#include "app_fakes.h"

#include "app/game_hud.h"
#include "app/game_view.h"
#include "app/shell_dialogs.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_hover_window.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/game.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <set>

namespace
{

using AppTest::Mouse;
using platform::Cursor;
using platform::Message;
using platform::MessageKind;

// The demo town with the hero and two bandits in the party, their records
// made, the first member selected and the HUD built on a 1024 x 768 client.
class AppHud : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine));
        ASSERT_NO_FATAL_FAILURE(AppTest::AddTwoBandits(app));
        ASSERT_EQ(machine.window->size.width, 1024);
        ASSERT_EQ(machine.window->size.height, 768);
        app.RefreshActorInfos(true);
        app.SelectFirstPartyMember();
        app.RebuildUI();
    }

    VARD::CGame& Game() { return app.engine->Game(); }
    VARD::CArea& Area() { return *Game().GetCurrentArea(); }
    VARD::CActor& Member(std::size_t index) { return *Game().GetParty().at(index); }

    // Every widget of the tree as "id left top right bottom flags", in order.
    std::vector<std::string> Layout()
    {
        std::vector<std::string> rows;
        for (const auto& element : app.ui.GetElements())
        {
            const VARDUI::Rect& r = element->GetRect();
            char row[64];
            std::snprintf(row, sizeof row, "%d %d %d %d %d %x", element->GetId(), r.left, r.top,
                          r.right, r.bottom, element->TestFlags(0xFFFFFFFFu));
            rows.push_back(row);
        }
        return rows;
    }

    std::string DialogTitle() { return app.currentDialog ? app.currentDialog->GetTitle() : ""; }

    AppTest::FakeAppPlatform machine;
    CGameApp app;
};

TEST_F(AppHud, TheWidgetsStandAtTheirPlacesInAnAreaAndOnTheWorldMap)
{
    // All on backdrops; the Exit button hidden and flashing, the first
    // portrait lit.
    EXPECT_EQ(
        Layout(),
        (std::vector<std::string>{
            "5 10 10 58 38 201", "6 60 10 88 38 201", "7 90 10 118 38 201", "8 120 10 148 38 201",
            "9 150 10 178 38 201", "0 14 48 174 96 201", "1 120 658 908 758 201",
            "10 70 106 118 134 202", "200 918 518 1014 758 201", "3 10 658 110 758 201",
            "100 966 10 1014 58 205", "105 966 68 1014 116 201", "110 966 126 1014 174 201"}));
    EXPECT_EQ(app.portraits.at(1)->GetHoverInfo().title, "Ann");
    // Paused play shows the resume picture under the title "Pause".
    auto* pause = dynamic_cast<VARDUI::CUIImageButton*>(app.pauseButton);
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(pause->GetImage(), kHudImageResume);
    EXPECT_EQ(pause->GetHoverInfo().title, "Pause");

    // The whole party: every portrait lit, no action window.
    app.SelectWholeParty();
    app.RebuildUI();
    const std::vector<std::string> whole = Layout();
    EXPECT_EQ(std::vector<std::string>(whole.begin() + 8, whole.end()),
              (std::vector<std::string>{"200 918 518 1014 758 200", "3 10 658 110 758 201",
                                        "100 966 10 1014 58 205", "105 966 68 1014 116 205",
                                        "110 966 126 1014 174 205"}));

    // On the world map: the command row, the hover window and a wide log.
    Game().SetState(VARD::kGameOnWorldMap);
    app.RebuildUI();
    EXPECT_EQ(Layout(), (std::vector<std::string>{"5 10 10 58 38 201", "6 60 10 88 38 201",
                                                  "7 90 10 118 38 201", "8 120 10 148 38 201",
                                                  "9 150 10 178 38 201", "0 14 48 174 96 201",
                                                  "1 10 658 1014 758 201"}));
    EXPECT_EQ(app.miniMap, nullptr);
    EXPECT_TRUE(app.portraits.empty());

    // Without a game the tree stays empty and the title names no area.
    Game().SetState(VARD::kGameRunning);
    app.UpdateGameTitle();
    EXPECT_EQ(machine.window->title, "Brelmoor - " + Area().GetTitle());
    app.gameLoaded = 0;
    app.RebuildUI();
    EXPECT_TRUE(app.ui.GetElements().empty());
    app.UpdateGameTitle();
    EXPECT_EQ(machine.window->title, "Brelmoor");
}

TEST_F(AppHud, ClicksAndRightClicksOnTheHudAnswerByTheirIds)
{
    // Through the window procedure: a press on Ann's portrait selects her,
    // a right press opens her information page.
    app.HandleMessage(Mouse(MessageKind::LeftDown, 990, 90));
    app.HandleMessage(Mouse(MessageKind::LeftUp, 990, 90));
    EXPECT_EQ(app.selectedMember, 1u);
    app.HandleMessage(Mouse(MessageKind::RightDown, 990, 90));
    EXPECT_NE(dynamic_cast<PlainDialogs::CActorInfoDlg*>(app.currentDialog.get()), nullptr);
    EXPECT_NE(DialogTitle().find("Ann"), std::string::npos);
    app.CloseDialog();

    // Move Up: nothing for the first member; the second swaps with the first
    // and stays selected.
    app.OnHudClick(101);
    EXPECT_EQ(Member(0).GetName(), "Hero");
    app.OnHudClick(106);
    EXPECT_EQ(Member(0).GetName(), "Ann");
    EXPECT_EQ(Member(1).GetName(), "Hero");
    EXPECT_EQ(app.selectedMember, 0u);

    // A slot: chosen, chosen again is cleared; no slot past the ten.
    app.OnHudClick(211);
    EXPECT_EQ(app.GetSelectedActionSlot(&Member(0)), 1);
    app.OnHudClick(211);
    EXPECT_EQ(app.GetSelectedActionSlot(&Member(0)), VARDUI::kActionSlotNone);
    app.OnHudClick(225);
    app.OnHudRightClick(225);
    EXPECT_EQ(app.GetSelectedActionSlot(&Member(0)), VARDUI::kActionSlotNone);
    EXPECT_FALSE(app.currentDialog);
    app.OnHudRightClick(214);
    EXPECT_NE(dynamic_cast<PlainDialogs::CActionDlg*>(app.currentDialog.get()), nullptr);
    app.CloseDialog();

    // The command row.
    app.OnHudClick(kHudReturnButtonId);
    ASSERT_EQ(Member(0).GetOrders().size(), 1u);
    EXPECT_EQ(Member(0).GetOrders().front()->GetType(), VARD::kOrderReturnToEntrance);
    app.TogglePause(true);
    for (const auto& [id, title] :
         std::vector<std::pair<int, std::string>>{{kHudMessagesButtonId, "Messages"},
                                                  {kHudFullMapButtonId, "Map"},
                                                  {kHudGameButtonId, "Game"}})
    {
        app.OnHudClick(id);
        ASSERT_TRUE(app.currentDialog) << id;
        EXPECT_NE(DialogTitle().find(title), std::string::npos) << DialogTitle();
        app.CloseDialog();
    }
    app.OnHudClick(kHudSelectAllButtonId);
    EXPECT_EQ(app.selectedMember, kWholePartySelected);
    // With the whole party, slots do nothing.
    app.OnHudClick(212);
    app.OnHudRightClick(212);
    EXPECT_FALSE(app.currentDialog);
    EXPECT_EQ(app.GetSelectedActionSlot(&Member(0)), VARDUI::kActionSlotNone);

    // On the world map Select All, Return and the map do nothing.
    app.SelectPartyMember(2);
    Game().SetState(VARD::kGameOnWorldMap);
    app.OnHudClick(kHudSelectAllButtonId);
    app.OnHudClick(kHudReturnButtonId);
    app.OnHudClick(kHudFullMapButtonId);
    EXPECT_EQ(app.selectedMember, 2u);
    EXPECT_TRUE(Member(2).GetOrders().empty());
    EXPECT_FALSE(app.currentDialog);
}

TEST_F(AppHud, ThePointerFollowsWhatIsPickedAndTheChosenAction)
{
    VARD::CTile* floor = Area().GetTile(11, 15);
    VARD::CTile* door = nullptr;
    for (std::uint32_t row = 0; row < Area().GetHeight() && !door; ++row)
        for (std::uint32_t column = 0; column < Area().GetWidth() && !door; ++column)
            if (VARD::CTile* tile = Area().GetTile(column, row);
                tile && tile->GetKind() == VARD::kTileKindDoor)
                door = tile;
    ASSERT_NE(door, nullptr);
    const auto stranger = VARD::CreateActorFromTemplate("bandit", "", app.engine->Module(), Game());
    VARD::CObject* object = Area().Objects().empty() ? nullptr : Area().Objects().front().get();
    ASSERT_NE(object, nullptr);

    VARDGraph::PickResult picked;
    app.pickOfScreenPoint = [&](const VARDUI::Point&) { return picked; };
    const auto cursorOver =
        [&](VARDGraph::PickKind kind, VARD::CThing* thing, int nearExit, int slotType)
    {
        picked = {kind, thing, nearExit};
        app.SetActionSlotType(&Member(0), slotType, 2);
        if (slotType == 0)
            app.ClearActionSlotSelection(&Member(0));
        else
            app.SelectActionSlot(&Member(0), 2);
        app.HandleMessage(Mouse(MessageKind::MouseMove, 500, 300));
        return machine.window->cursor;
    };
    using VARDGraph::kPickActor;
    using VARDGraph::kPickNothing;
    using VARDGraph::kPickObject;
    using VARDGraph::kPickTile;
    struct Case
    {
        VARDGraph::PickKind kind;
        VARD::CThing* thing;
        int nearExit;
        int attitude;
        int slotType;
        Cursor cursor;
    };
    const std::vector<Case> cases{
        {kPickNothing, nullptr, 0, 0, 0, Cursor::Arrow},
        {kPickTile, floor, 0, 0, 0, Cursor::SizeAll},
        {kPickTile, door, 0, 0, 0, Cursor::Hand},
        {kPickTile, floor, 1, 0, 0, Cursor::UpArrow},
        {kPickTile, floor, 1, 0, 11, Cursor::Hand},
        {kPickTile, door, 0, 0, 2, Cursor::Arrow},
        {kPickTile, floor, 0, 0, 12, Cursor::Arrow},
        {kPickObject, object, 0, 0, 2, Cursor::Hand},
        {kPickActor, &Member(0), 0, 0, 2, Cursor::Arrow},
        {kPickActor, &Member(1), 0, 0, 0, Cursor::Arrow},
        {kPickActor, stranger.get(), 0, VARD::kAttitudeHostile, 0, Cursor::Cross},
        {kPickActor, stranger.get(), 0, VARD::kAttitudeBerserk, 0, Cursor::Cross},
        {kPickActor, stranger.get(), 0, VARD::kAttitudeNeutral, 0, Cursor::Hand},
        {kPickActor, stranger.get(), 0, VARD::kAttitudeFriendly, 2, Cursor::Cross},
        {kPickActor, stranger.get(), 0, VARD::kAttitudeHostile, 12, Cursor::Hand},
        {kPickActor, &Member(1), 0, 0, 11, Cursor::Hand},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
    {
        const Case& c = cases[i];
        stranger->SetAttitude(static_cast<std::uint32_t>(c.attitude));
        EXPECT_EQ(cursorOver(c.kind, c.thing, c.nearExit, c.slotType), c.cursor) << "case " << i;
    }
    // With the whole party selected no bar is read: over a neutral stranger
    // the hand shows though the first member has Attack chosen.
    app.SetActionSlotType(&Member(0), VARDUI::kActionSlotAttack, 2);
    app.SelectActionSlot(&Member(0), 2);
    app.SelectWholeParty();
    stranger->SetAttitude(VARD::kAttitudeNeutral);
    picked = {kPickActor, stranger.get(), 0};
    app.HandleMessage(Mouse(MessageKind::MouseMove, 500, 300));
    EXPECT_EQ(machine.window->cursor, Cursor::Hand);
    app.SelectPartyMember(0);
    // The hover window shows the thing; over a widget it shows the widget and
    // the pick is not asked.
    auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(app.hoverWindow);
    ASSERT_NE(hover, nullptr);
    stranger->SetName("Grint");
    stranger->SetAttitude(VARD::kAttitudeNeutral);
    EXPECT_EQ(cursorOver(kPickActor, stranger.get(), 0, 0), Cursor::Hand);
    EXPECT_EQ(hover->GetInfo().title, "Grint");
    app.HandleMessage(Mouse(MessageKind::MouseMove, 20, 20));
    EXPECT_EQ(machine.window->cursor, Cursor::Arrow);
    EXPECT_EQ(hover->GetInfo().title, "Game Menu");
}

TEST_F(AppHud, TheCameraOrbitsTheSelectionCentreAndAltLooksFromTheOtherSide)
{
    const gfx::Rect client{0, 0, 1024, 768};
    const gfx::Vec3 target{10.0f, 0.0f, 20.0f};
    // The eye's angle round the target as the renderer places it, and the
    // ring flag: ALT turns the view round except on the world map, CTRL
    // shows rings, and behind a dialog neither counts.
    struct Case
    {
        std::set<std::uint32_t> keys;
        std::int32_t state;
        bool dialog;
        double eyeAngle;
        int rings;
    };
    const std::uint32_t alt = platform::vk::kAlt;
    const std::uint32_t ctrl = platform::vk::kControl;
    for (const Case& c : std::vector<Case>{{{}, VARD::kGameRunning, false, 60.0, 0},
                                           {{alt}, VARD::kGameRunning, false, 240.0, 0},
                                           {{ctrl}, VARD::kGameRunning, false, 60.0, 1},
                                           {{alt, ctrl}, VARD::kGameOnWorldMap, false, 60.0, 1},
                                           {{alt, ctrl}, VARD::kGameRunning, true, 60.0, 0}})
    {
        machine.window->keys.down = c.keys;
        Game().SetState(c.state);
        if (c.dialog)
            app.SetDialog(true, std::make_shared<PlainDialogs::CVARDGameMenuDlg>());
        const VARDGraph::SceneCamera camera = app.BuildGameCamera(&client, &target);
        const double w = (camera.yaw + 90.0) * std::numbers::pi / 180.0;
        const double angle = std::atan2(std::sin(w), std::cos(w)) * 180.0 / std::numbers::pi;
        EXPECT_NEAR(std::fmod(angle + 360.0, 360.0), c.eyeAngle, 1e-4);
        EXPECT_EQ(camera.ringFlag, c.rings);
        EXPECT_FLOAT_EQ(camera.pitch, 32.5f);
        if (c.dialog)
            app.CloseDialog();
    }
    // On the world map the view looks at the origin.
    Game().SetState(VARD::kGameOnWorldMap);
    gfx::Vec3 centre{1.0f, 2.0f, 3.0f};
    app.GetSelectionCentre(centre);
    EXPECT_EQ(std::vector<float>({centre.x, centre.y, centre.z}), std::vector<float>(3, 0.0f));
    Game().SetState(VARD::kGameRunning);

    // The camera looks at the mean of the selected members.
    Member(0).SetPosition(10.0, 20.0);
    Member(1).SetPosition(13.0, 26.0);
    Member(2).SetPosition(16.0, 29.0);
    app.GetSelectionCentre(centre);
    EXPECT_EQ(std::vector<float>({centre.x, centre.y, centre.z}),
              (std::vector<float>{10.0f, 0.0f, 20.0f}));
    app.SelectWholeParty();
    app.GetSelectionCentre(centre);
    EXPECT_FLOAT_EQ(centre.x, 13.0f);
    EXPECT_FLOAT_EQ(centre.z, 25.0f);
    // Nobody selected: the view stays where it was rather than dividing by
    // none.
    for (std::size_t i = 0; i < 3; ++i)
        Member(i).SetActivityState(VARD::kActivityDead);
    Member(0).SetPosition(50.0, 50.0);
    app.GetSelectionCentre(centre);
    EXPECT_FLOAT_EQ(centre.x, 13.0f);
    EXPECT_FLOAT_EQ(centre.z, 25.0f);
}

} // namespace
