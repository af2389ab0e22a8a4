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
#include "world/game.h"
#include "world/module.h"
#include "world/world_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace
{

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kHeight = 768;

using AppTest::OffscreenMachine;

platform::Message Key(std::uint32_t code)
{
    platform::Message message;
    message.kind = platform::MessageKind::KeyDown;
    message.code = code;
    return message;
}

// The demo started past its first screens with a made fighter.
class AppHudDrawn : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        ASSERT_EQ(app.Run(machine, VARD_DEMO_MODULE), -1);
        app.HandleMessage(Key('K'));
        app.HandleMessage(Key(platform::vk::kEscape));
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

} // namespace
