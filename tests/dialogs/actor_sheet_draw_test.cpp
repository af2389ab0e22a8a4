// The information page drawn on Mesa's software OpenGL with no display: the
// sheet's panel darkens what lies below it, and the highlighted "Spend Level
// Points" button and the action bar show. The store's hover titles measured
// with the font they are drawn in.

#include "app_fakes.h"
#include "dialogs/actor_info_dlg.h"
#include "dialogs/game_dialog_factory.h"
#include "platform/gl_context.h"
#include "platform/image.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace
{

constexpr std::uint32_t kWidth = 864;
constexpr std::uint32_t kHeight = 720;

platform::Message KeyDown(std::uint32_t code)
{
    platform::Message message;
    message.kind = platform::MessageKind::KeyDown;
    message.code = code;
    return message;
}

int Brightness(const gfx::Image& image, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p =
        image.Pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
    return p[0] + p[1] + p[2];
}

TEST(ActorSheetDraw, ThePanelTheHighlightedButtonAndTheActionBarShow)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    AppTest::FakeAppPlatform machine;
    CGameApp app;
    app.dialogFactory = std::make_unique<CGameDialogFactory>();
    ASSERT_EQ(app.Run(machine, VARD_DEMO_MODULE), -1);
    app.HandleMessage(KeyDown('K'));
    app.HandleMessage(KeyDown(platform::vk::kEscape));
    ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
    app.engine->EnterArea();
    app.gameLoaded = 1;
    app.RefreshActorInfos(true);
    const auto hero = app.engine->Game().GetParty().at(0);
    hero->SetAttributePoints(1);

    auto context = platform::GlContext::CreateHidden(kWidth, kHeight);
    gfx::Device device(*context, kWidth, kHeight);
    {
        VARDUI::CUIManager ui;
        CActorInfoDlg page(&app, hero);
        const gfx::Rect client{0, 0, static_cast<std::int32_t>(kWidth),
                               static_cast<std::int32_t>(kHeight)};
        page.BuildUI(&client, &ui);
        ui.CreateResources(device);
        // A light grey ground, so the panel's translucent black shows.
        device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFFC0C0C0u, 1.0f);
        ui.Draw(device, nullptr);
        const gfx::Image frame = device.ReadPixels();
        if (const char* out = std::getenv("VARD_SHEET_SHOT"))
        {
            const auto png = gfx::EncodePng(frame);
            std::ofstream(out, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()),
                       static_cast<std::streamsize>(png.size()));
        }
        // The panel: 800 x 656 centred, so from (32, 32).
        const std::int32_t left = 32;
        const std::int32_t top = 32;
        EXPECT_EQ(Brightness(frame, 8, 8), 3 * 0xC0);
        const int panel = Brightness(frame, left + 400, top + 120);
        EXPECT_LT(panel, 3 * 0xC0 / 2);
        // The "Spend Level Points" button (448, 320) in the page at (16, 144)
        // and the action bar at (688, 400) differ from the bare panel.
        int buttonDiffers = 0;
        for (std::int32_t x = left + 16 + 448; x < left + 16 + 656; x += 4)
            buttonDiffers += Brightness(frame, x, top + 144 + 320 + 16) != panel;
        EXPECT_GT(buttonDiffers, 10);
        // Its frame is drawn highlighted: green over the grey of the others.
        int green = 0;
        for (std::int32_t y = top + 144 + 318; y < top + 144 + 323; ++y)
            for (std::int32_t x = left + 16 + 460; x < left + 16 + 640; x += 8)
            {
                const std::uint8_t* p =
                    frame.Pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
                green += p[1] > p[0] + 60;
            }
        EXPECT_GT(green, 10);
        int slotsDiffer = 0;
        for (std::int32_t y = top + 400; y < top + 640; y += 4)
            slotsDiffer += Brightness(frame, left + 688 + 24, y) != panel;
        EXPECT_GT(slotsDiffer, 10);
    }
}

// The hover window cuts its title at its edges: every ware of the demo's
// stores, "Name (N gold)", fits whole beside the item's icon, measured with
// the font the window draws it in.
TEST(StoreHoverTitles, EveryWareOfTheDemoTownFitsBesideItsIcon)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    AppTest::FakeAppPlatform machine;
    CGameApp app;
    app.dialogFactory = std::make_unique<CGameDialogFactory>();
    ASSERT_EQ(app.Run(machine, VARD_DEMO_MODULE), -1);
    app.HandleMessage(KeyDown('K'));
    app.HandleMessage(KeyDown(platform::vk::kEscape));
    ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
    app.engine->EnterArea();

    auto context = platform::GlContext::CreateHidden(64, 64);
    gfx::Device device(*context, 64, 64);
    VARDUI::CUIDrawHelp help(device);
    const VARDUI::CUIHoverWindow hover;
    // The icon takes the window's first 32 pixels and one more apart.
    const std::int32_t titleWidth = hover.GetRect().Width() - 33;
    std::size_t wares = 0;
    for (const auto& keeper : app.engine->Game().GetCurrentArea()->Actors())
        for (const auto& ware : keeper->CollectTradeItems())
        {
            ++wares;
            VARDUI::CUIHoverInfo record;
            VARDUI::FillPricedItemHoverInfo(*ware, ware->GetTemplate()->GetValue(), record);
            ASSERT_NE(record.icon, 0u) << record.title;
            VARDUI::Rect measured{0, 0, 1000, 0};
            VARDUI::CUIDrawHelp::DrawText(help.GetFont(), nullptr, record.title, measured,
                                          VARDUI::kUITextMeasure, 0);
            EXPECT_LE(measured.Width(), titleWidth) << record.title;
        }
    // The merchant's and the armourer's, the potions among them.
    EXPECT_GT(wares, 12u);
}

} // namespace
