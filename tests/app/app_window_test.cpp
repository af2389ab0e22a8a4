// The program on the machine's own window, OpenGL device and desktop, under
// a virtual X display: it starts on the demo module, paints its first screen
// and ends on a close posted after that paint.

#include "app_watched_window.h"

#include "app/app_platform.h"
#include "app/game_app.h"
#include "app/shell_dialogs.h"
#include "platform/audio.h"
#include "platform/device.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "xvfb_util.h"

#include <gtest/gtest.h>

namespace
{

TEST(AppOnTheDisplay, StartsOnTheDemoModulePaintsTheSplashBuildsTheSceneAndEndsOnAPostedClose)
{
    gfx::Image frame;
    std::string title;
    {
        // The machine outlives the application object, as in the program.
        CGameApp* running = nullptr;
        int paints = 0;
        std::vector<platform::MessageKind> kinds;
        // A close is posted once the first paint is done.
        AppTest::WatchedMachine machine(
            [&](CAppWindow& window, const platform::Message& message)
            {
                kinds.push_back(message.kind);
                if (message.kind != platform::MessageKind::Paint || paints++ != 0)
                    return;
                frame = running->device->Get()->ReadPixels();
                title = running->window->GetTitle();
                // Every library the program needs is loaded by now.
                KeepLoadedLibraries();
                // A game in the demo town: its scene is built on the window's
                // device before the close is handled.
                ToolSupport::CreateMainCharacter(*running->engine, "Hero", "fighter", "male");
                running->engine->EnterArea();
                running->gameLoaded = 1;
                running->window->PostAppMessage(kAppMessageGameLoaded);
                window.PostClose();
            });
        CGameApp app;
        running = &app;
        EXPECT_EQ(app.Run(machine, VARD_DEMO_MODULE), 0);
        ASSERT_NE(machine.window, nullptr);
        EXPECT_EQ(paints, 1);
        EXPECT_EQ(kinds.back(), platform::MessageKind::Close);
        EXPECT_NE(dynamic_cast<PlainDialogs::CSplashDlg*>(app.currentDialog.get()), nullptr);
        EXPECT_TRUE(machine.desktop.boxes.empty());
        EXPECT_EQ(app.sceneBuilt, 1);
        EXPECT_FALSE(app.scene.GetGraphicCache().empty());
    }
    EXPECT_EQ(title, "Brelmoor - Tessaly");
    ASSERT_GT(frame.width, 0u);
    ASSERT_GT(frame.height, 0u);
    // The splash's "Done" button sits centred below the top third, 120 by
    // 32 pixels; the title stands above
    // it; the bottom corner stays black.
    const auto lit =
        [&](std::uint32_t left, std::uint32_t top, std::uint32_t width, std::uint32_t height)
    {
        int count = 0;
        for (std::uint32_t y = top; y < top + height; ++y)
            for (std::uint32_t x = left; x < left + width; ++x)
            {
                const std::size_t at = (static_cast<std::size_t>(y) * frame.width + x) * 4;
                count += frame.pixels[at] + frame.pixels[at + 1] + frame.pixels[at + 2] > 0;
            }
        return count;
    };
    EXPECT_EQ(lit(0, frame.height - 50, 50, 50), 0);
    EXPECT_GT(lit(frame.width / 2 - 60, frame.height / 3 + 32, 120, 32), 40);
    // The title above it.
    EXPECT_GT(lit(frame.width / 2 - 100, frame.height / 3 - 40, 200, 40), 20);
}

} // namespace
