// The game screen painted on Mesa's software OpenGL: the area seen through
// the game screen's camera with the HUD over it, and the pointer on the
// world map.

#include "app_fakes.h"
#include "app_offscreen.h"

#include "app/game_view.h"
#include "graphics/scene_renderer.h"
#include "platform/gl_context.h"
#include "platform/image.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_hover_window.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/module.h"
#include "world/order.h"
#include "world/tile.h"
#include "world/world_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace
{

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kHeight = 768;

using AppTest::KeyDown;
using AppTest::OffscreenMachine;

// The demo started past its first screens with a made fighter.
class AppHudDrawn : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        ASSERT_EQ(app.Run(machine, VARD_DEMO_MODULE), -1);
        app.HandleMessage(KeyDown('K'));
        app.HandleMessage(KeyDown(platform::vk::kEscape));
        ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
    }

    // The party in the demo town, or on the world map, as a loaded game
    // shows it, painted once.
    void ShowGame(bool onWorldMap)
    {
        VARD::CGame& game = app.engine->Game();
        if (onWorldMap)
        {
            game.LoadWorldMap("worldmap", *app.engine->GetModule()->GetDataFileFactory());
            game.SetState(VARD::kGameOnWorldMap);
        }
        else
            app.engine->EnterArea();
        app.gameLoaded = 1;
        app.RefreshActorInfos(true);
        app.SelectFirstPartyMember();
        app.OnGameLoaded();
        ASSERT_TRUE(machine.fakes.desktop.boxes.empty());
        ASSERT_EQ(app.sceneBuilt, 1);
        app.OnPaint();
    }

    // Where a point of the world, `height` above the ground, shows in the
    // view as last painted.
    VARDUI::Point ScreenOf(double x, double y, double height)
    {
        const gfx::Device& device = *app.device->Get();
        const gfx::Vec3 seen =
            gfx::Project({static_cast<float>(x), static_cast<float>(height), static_cast<float>(y)},
                         device.GetViewport(), device.GetTransform(gfx::TransformState::Projection),
                         device.GetTransform(gfx::TransformState::View), gfx::Matrix::Identity());
        return {static_cast<int>(std::lround(seen.x)), static_cast<int>(std::lround(seen.y))};
    }

    OffscreenMachine machine;
    CGameApp app;
};

TEST_F(AppHudDrawn, TheAreaIsSeenFromTheOrbitCameraWithTheHudOverIt)
{
    ASSERT_NO_FATAL_FAILURE(ShowGame(false));
    gfx::Device& device = *app.device->Get();
    const gfx::Image frame = device.ReadPixels();
    ASSERT_EQ(frame.width, kWidth);

    // The camera stands where the game screen's record puts it: 350 from
    // the hero, 32.5 degrees up, at 60 degrees round him.
    const VARD::CActor& hero = *app.engine->Game().GetParty().front();
    const double p = 32.5 * std::numbers::pi / 180.0;
    const double w = 420.0 * std::numbers::pi / 180.0;
    const gfx::Vec3 eye{static_cast<float>(hero.GetX() + std::cos(w) * std::cos(p) * 350.0),
                        static_cast<float>(std::sin(p) * 350.0),
                        static_cast<float>(hero.GetY() + std::sin(w) * std::cos(p) * 350.0)};
    const gfx::Vec3 seen = gfx::TransformCoord(eye, device.GetTransform(gfx::TransformState::View));
    EXPECT_NEAR(seen.x, 0.0f, 0.05f);
    EXPECT_NEAR(seen.y, 0.0f, 0.05f);
    EXPECT_NEAR(seen.z, 0.0f, 0.05f);

    // Mean brightness of a block of the frame.
    const auto brightness =
        [&](std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom)
    {
        double sum = 0.0;
        for (std::uint32_t y = top; y < bottom; ++y)
            for (std::uint32_t x = left; x < right; ++x)
            {
                const std::uint8_t* pixel = frame.Pixel(x, y);
                sum += (pixel[0] + pixel[1] + pixel[2]) / 3.0;
            }
        return sum / ((right - left) * (bottom - top));
    };
    // The area fills the view round the hero; the translucent message window
    // darkens the strip it covers.
    const double view = brightness(200, 250, 824, 500);
    EXPECT_GT(view, 20.0);
    EXPECT_LT(brightness(130, 668, 898, 748), view * 0.5);
    // The command row's "Game" caption is white on its backdrop.
    int white = 0;
    for (std::uint32_t y = 12; y < 36; ++y)
        for (std::uint32_t x = 12; x < 56; ++x)
            white += frame.Pixel(x, y)[0] > 200 && frame.Pixel(x, y)[1] > 200 &&
                     frame.Pixel(x, y)[2] > 200;
    EXPECT_GT(white, 10);
}

// The place under the pointer is the map view's highlighted one, named in
// the hover window and shown with the hand; off every place there is none.
TEST_F(AppHudDrawn, ThePlaceUnderThePointerIsHighlightedOnTheWorldMap)
{
    ASSERT_NO_FATAL_FAILURE(ShowGame(true));
    const VARD::CMap2& map = *app.engine->Game().GetCurrentWorldMap();
    const VARDGraph::MapLayout layout = app.mapView.ComputeLayout(*app.device->Get(), map, nullptr);
    ASSERT_TRUE(layout.IsUsable());
    const auto* hover = dynamic_cast<VARDUI::CUIHoverWindow*>(app.hoverWindow);
    ASSERT_NE(hover, nullptr);
    const auto pointAt = [&](double px, double py)
    {
        platform::Message move;
        move.kind = platform::MessageKind::MouseMove;
        move.x = static_cast<int>(layout.cx + (px - layout.hw) * layout.s);
        move.y = static_cast<int>(layout.cy + (py - layout.hh) * layout.s);
        app.HandleMessage(move);
    };

    ASSERT_EQ(map.GetAreas().size(), 2u);
    for (const auto& place : map.GetAreas())
    {
        SCOPED_TRACE(place->GetName());
        pointAt(place->GetX1() + place->GetX2() / 2, place->GetY1() + place->GetY2() / 2);
        EXPECT_EQ(app.mapView.GetHighlightedLocation(), place);
        EXPECT_EQ(hover->GetInfo().title, place->GetDisplayName());
        EXPECT_EQ(machine.window->cursor, platform::Cursor::Hand);
    }
    // The plains below the places hold none.
    pointAt(700, 600);
    EXPECT_EQ(app.mapView.GetHighlightedLocation(), nullptr);
    EXPECT_EQ(hover->GetInfo().title, "");
    EXPECT_EQ(machine.window->cursor, platform::Cursor::Arrow);
}

TEST_F(AppHudDrawn, PressesInTheViewGoThroughThePickToOrdersAndPages)
{
    ASSERT_NO_FATAL_FAILURE(ShowGame(false));
    VARD::CGame& game = app.engine->Game();
    VARD::CArea& town = *game.GetCurrentArea();
    VARD::CActor& hero = *game.GetParty().front();
    // The townsfolk step aside for a stranger of the test's own.
    for (const auto& actor : town.GetActors())
        if (actor.get() != &hero)
            town.RemoveActor(actor.get());
    const auto stranger = VARD::CreateActorFromTemplate("bandit", "", app.engine->Module(), game);
    stranger->SetName("Grint");
    stranger->SetAttitude(VARD::kAttitudeNeutral);
    // A bandit sneaks; this one walks in plain sight.
    stranger->StopPower();
    stranger->SetPosition(hero.GetX() + 5.0, hero.GetY());
    town.AddActor(stranger);
    const double groundX = hero.GetX() - 5.0;
    const double groundY = hero.GetY() + 2.0;
    const VARDUI::Point onHero = ScreenOf(hero.GetX(), hero.GetY(), 1.0);
    const VARDUI::Point onStranger = ScreenOf(stranger->GetX(), stranger->GetY(), 1.0);
    const VARDUI::Point onGround = ScreenOf(groundX, groundY, 0.0);
    const VARDUI::Point onGameButton{30, 20};
    const auto pickAt = [&](const VARDUI::Point& point)
    {
        return app.scene.Pick(*app.device->Get(), static_cast<float>(point.x),
                              static_cast<float>(point.y), town);
    };
    ASSERT_EQ(pickAt(onHero).thing, &hero);
    ASSERT_EQ(pickAt(onStranger).thing, stranger.get());
    ASSERT_EQ(pickAt(onGround).kind, VARDGraph::kPickTile);
    ASSERT_EQ(static_cast<VARD::CTile*>(pickAt(onGround).thing)->GetKind(), VARD::kTileKindFloor);

    // The hero's queue, a walk shown by where it ends, and the dialog open.
    const auto snapshot = [&]
    {
        std::string out;
        for (const auto& order : hero.GetOrders())
        {
            out += std::to_string(order->GetType());
            if (const auto* walk = dynamic_cast<const VARD::CMoveOrder*>(order.get()))
                out +=
                    std::abs(walk->GetX() - groundX) < 0.1 && std::abs(walk->GetY() - groundY) < 0.1
                        ? "@ground"
                        : "@elsewhere";
            out += " ";
        }
        return out + "| " + (app.currentDialog ? app.currentDialog->GetTitle() : "");
    };
    struct Row
    {
        const char* what;
        std::uint32_t keyFirst; // 0: none
        platform::MessageKind kind;
        VARDUI::Point point;
        std::uint32_t flags;
        std::string after;
    };
    using platform::MessageKind;
    const Row rows[] = {
        {"a press on the ground", 0, MessageKind::LeftDown, onGround, 0, "1@ground | "},
        {"a SHIFT press on the ground", 0, MessageKind::LeftDown, onGround, platform::kMouseShift,
         "1@elsewhere 1@ground | "},
        {"a press on a stranger", 0, MessageKind::LeftDown, onStranger, 0, "18 | "},
        {"F1 and a press on a stranger", platform::vk::kF1, MessageKind::LeftDown, onStranger, 0,
         "2 | "},
        {"F1 and a press on the ground", platform::vk::kF1, MessageKind::LeftDown, onGround, 0,
         "1@elsewhere | "},
        {"a press on the Game button", 0, MessageKind::LeftDown, onGameButton, 0,
         "1@elsewhere | Game Menu"},
        {"a right press on the hero", 0, MessageKind::RightDown, onHero, 0,
         "1@elsewhere | Hero - Information"},
        {"a right press on a stranger", 0, MessageKind::RightDown, onStranger, 0,
         "1@elsewhere | Grint"},
        {"a double click on a stranger", 0, MessageKind::LeftDoubleClick, onStranger, 0,
         "1@elsewhere | Grint"},
        {"a right press on the ground", 0, MessageKind::RightDown, onGround, 0, "1@elsewhere | "},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        while (app.currentDialog)
            app.CloseDialog();
        hero.ClearOrders();
        hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(1.0, 1.0), false);
        app.ClearActionSlotSelection(&hero);
        if (row.keyFirst != 0)
            app.HandleMessage(KeyDown(row.keyFirst));
        app.HandleMessage({row.kind, 0, row.point.x, row.point.y, row.flags});
        app.HandleMessage({platform::MessageKind::LeftUp, 0, row.point.x, row.point.y, 0});
        EXPECT_EQ(snapshot(), row.after);
    }
    EXPECT_TRUE(machine.fakes.desktop.boxes.empty());
}

TEST_F(AppHudDrawn, TheTilesAreBuiltAgainWhenTheGameSaysTheyChanged)
{
    ASSERT_NO_FATAL_FAILURE(ShowGame(false));
    VARD::CGame& game = app.engine->Game();
    const auto& masters = game.GetCurrentArea()->GetMasterTiles();
    ASSERT_FALSE(masters.empty());
    const auto unbuilt = [&]
    {
        std::size_t count = 0;
        for (const auto& master : masters)
            count += master->GetTemplate()->GetGraphicName() != "0" && !master->GetGraphic();
        return count;
    };
    ASSERT_EQ(unbuilt(), 0u);
    for (const auto& master : masters)
        master->SetGraphic(nullptr);
    const std::size_t dropped = unbuilt();
    ASSERT_GT(dropped, 0u);
    game.PostEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventDoorOpened));
    app.DrainTickEvents();
    EXPECT_EQ(unbuilt(), dropped);
    game.PostEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventTilesPatched));
    app.DrainTickEvents();
    EXPECT_EQ(unbuilt(), 0u);
}

} // namespace
