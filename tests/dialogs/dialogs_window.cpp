// The start screen on the machine's own window and OpenGL device under a
// virtual X display: the splash is painted, closed with ESC, and the start
// screen's frame is read back once painted.

#include "app_watched_window.h"

#include "app/app_platform.h"
#include "app/game_app.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/start_dlg.h"
#include "platform/audio.h"
#include "platform/desktop.h"
#include "platform/device.h"
#include "platform/image.h"
#include "platform/keys.h"
#include "resources/builtin_images.h"
#include "xvfb_util.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <functional>

namespace
{

// Mean red, green and blue over a rectangle of RGBA rows.
std::array<double, 3> MeanColour(const std::vector<std::uint8_t>& pixels, std::uint32_t stride,
                                 const gfx::Rect& rect)
{
    std::array<double, 3> sum{};
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            for (int c = 0; c < 3; ++c)
                sum[c] += pixels[(static_cast<std::size_t>(y) * stride + x) * 4 + c];
    const double count = static_cast<double>(rect.Width()) * rect.Height();
    for (double& value : sum)
        value /= count;
    return sum;
}

TEST(StartScreenOnTheDisplay, TheTitleBannerIsPaintedAboveTheNotice)
{
    gfx::Image frame;
    std::string title;
    {
        CGameApp* running = nullptr;
        int paints = 0;
        AppTest::WatchedMachine machine(
            [&](CAppWindow&, const platform::Message& message)
            {
                if (message.kind != platform::MessageKind::Paint)
                    return;
                const int paint = paints++;
                if (paint == 0)
                {
                    KeepLoadedLibraries();
                    platform::Message key;
                    key.kind = platform::MessageKind::KeyDown;
                    key.code = platform::vk::kEscape;
                    running->HandleMessage(key);
                }
                else if (paint == 1)
                {
                    frame = running->device->Get()->ReadPixels();
                    title = running->window->GetTitle();
                    running->window->PostClose();
                }
            });
        CGameApp app;
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
        running = &app;
        EXPECT_EQ(app.Run(machine, VARD_DEMO_MODULE), 0);
        EXPECT_NE(dynamic_cast<CStartDlg*>(app.currentDialog.get()), nullptr);
        EXPECT_TRUE(machine.desktop.boxes.empty());
    }
    EXPECT_EQ(title, "Brelmoor - Welcome");
    ASSERT_GE(frame.width, 864u);
    ASSERT_GE(frame.height, 720u);
    // For a look at the screen: VARD_KEEP_SCREENSHOT=path.png.
    if (const char* keep = std::getenv("VARD_KEEP_SCREENSHOT"))
    {
        const std::vector<std::uint8_t> png = gfx::EncodePng(frame);
        std::ofstream(keep, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
    }

    // The banner stands where the column puts it, 730 x 182 pixels, with the
    // colours of its picture; the panel's corner beside it is the backdrop.
    const int cx = static_cast<int>(frame.width) / 2;
    const int cy = static_cast<int>(frame.height) / 2;
    const gfx::Image banner =
        gfx::DecodeImage(VARDResources::FindBuiltInImage(CStartDlg::kTitleImage));
    const auto drawn =
        MeanColour(frame.pixels, frame.width, {cx - 340, cy - 190, cx + 340, cy - 26});
    const auto source = MeanColour(banner.pixels, banner.width, {25, 9, 703, 171});
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(drawn[c], source[c], 12.0) << c;
    // The letters are brighter than the banner's dark ground: gold shows.
    const auto letters =
        MeanColour(frame.pixels, frame.width, {cx - 230, cy - 150, cx + 230, cy - 66});
    EXPECT_GT(letters[0], drawn[2] + 20.0);
    // Outside the panel the screen is black.
    const auto outside = MeanColour(frame.pixels, frame.width, {0, 0, 40, 40});
    for (int c = 0; c < 3; ++c)
        EXPECT_LT(outside[c], 1.0);
}

} // namespace
