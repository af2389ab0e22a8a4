// The inventory page drawn on Mesa's software OpenGL with no display: every
// equipment box of the page sits on the part of the paper doll that takes
// its item, and the doll is drawn under it.

#include "app_fakes.h"
#include "builtin_images.h"
#include "dialogs/actor_inv_dlg.h"
#include "dialogs/game_dialog_factory.h"
#include "platform/gl_context.h"
#include "platform/image.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/game.h"

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

bool Inside(const gfx::Rect& rect, double x, double y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

TEST(InventoryPageDraw, EveryEquipmentBoxSitsOnTheDollPartThatTakesIt)
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
    // Bare, so that every box is empty and the doll shows through it.
    for (std::uint32_t slot = 0; slot < CActorInvDlg::kSlotCount; ++slot)
        hero->SetEquipmentSlot(slot, nullptr);

    auto context = platform::GlContext::CreateHidden(kWidth, kHeight);
    gfx::Device device(*context, kWidth, kHeight);
    VARDUI::CUIManager ui;
    CActorInvDlg page(&app, hero);
    const gfx::Rect client{0, 0, static_cast<std::int32_t>(kWidth),
                           static_cast<std::int32_t>(kHeight)};
    page.BuildUI(&client, &ui);
    ui.CreateResources(device);
    device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
    ui.Draw(device, nullptr);
    const gfx::Image frame = device.ReadPixels();
    if (const char* out = std::getenv("VARD_INVENTORY_SHOT"))
    {
        const auto png = gfx::EncodePng(frame);
        std::ofstream(out, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
    }

    const gfx::Rect* doll = nullptr;
    std::vector<gfx::Rect> boxes(CActorInvDlg::kSlotCount);
    for (const auto& element : ui.GetElements())
    {
        if (const auto* image = dynamic_cast<const VARDUI::CUIImageBackground*>(element.get()))
            if (image->GetImage() == BuiltInImages::kPaperDollImage)
                doll = &image->GetRect();
        const std::int32_t slot = element->GetId() - CActorInvDlg::kFirstEquipId;
        if (slot >= 0 && slot < CActorInvDlg::kSlotCount)
            boxes[static_cast<std::size_t>(slot)] = element->GetRect();
    }
    ASSERT_NE(doll, nullptr);
    const std::vector<BuiltInImages::DollPart> parts = BuiltInImages::PaperDollParts();
    ASSERT_EQ(parts.size(), boxes.size());
    for (std::size_t s = 0; s < boxes.size(); ++s)
    {
        ASSERT_EQ(boxes[s].Width(), 48) << s;
        for (std::size_t p = 0; p < parts.size(); ++p)
            EXPECT_EQ(Inside(boxes[s], doll->left + parts[p].x, doll->top + parts[p].y), p == s)
                << "box of slot " << s << ", " << parts[p].name;
        // The doll is drawn where the box sits: lit grey, not the black ground.
        const std::uint8_t* pixel = frame.Pixel(static_cast<std::uint32_t>(doll->left + parts[s].x),
                                                static_cast<std::uint32_t>(doll->top + parts[s].y));
        EXPECT_GT(pixel[0] + pixel[1] + pixel[2], 3 * 40) << parts[s].name;
    }
}

} // namespace
