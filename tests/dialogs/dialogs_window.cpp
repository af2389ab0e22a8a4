// The start screen on the machine's own window and OpenGL device under a
// virtual X display: the splash is painted, closed with ESC, and the start
// screen's frame is read back once painted.

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

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <functional>
#include <link.h>

namespace
{

// SDL unloads the X and GL libraries with its last window, after which the
// leak checker cannot name what their globals held; keeping them loaded
// lets the shell tests' suppressions serve here too.
void KeepLoadedLibraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*)
        {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

// The machine's window, handing each paint to the test after it is done.
class WatchedWindow final : public CAppWindow
{
public:
    WatchedWindow(std::unique_ptr<CAppWindow> inner, std::function<void(int)> afterPaint)
        : m_Inner(std::move(inner)), m_AfterPaint(std::move(afterPaint))
    {
    }

    CAppWindow& Inner() { return *m_Inner; }

    bool IsDown(std::uint32_t key) const override { return m_Inner->IsDown(key); }
    std::uint32_t SetTimer(std::uint32_t id, std::uint32_t ms) override
    {
        return m_Inner->SetTimer(id, ms);
    }
    bool KillTimer(std::uint32_t id) override { return m_Inner->KillTimer(id); }
    void Show() override { m_Inner->Show(); }
    void SetTitle(const std::string& title) override { m_Inner->SetTitle(title); }
    std::string GetTitle() const override { return m_Inner->GetTitle(); }
    platform::ClientSize GetClientSize() const override { return m_Inner->GetClientSize(); }
    void SetClientSize(int width, int height) override { m_Inner->SetClientSize(width, height); }
    void SetMinimumSize(int width, int height) override { m_Inner->SetMinimumSize(width, height); }
    void Invalidate() override { m_Inner->Invalidate(); }
    void PostAppMessage(std::uint32_t number) override { m_Inner->PostAppMessage(number); }
    void PostClose() override { m_Inner->PostClose(); }
    void TrackMouseLeave() override { m_Inner->TrackMouseLeave(); }
    bool LoadCursors() override { return m_Inner->LoadCursors(); }
    void SetCursor(platform::Cursor cursor) override { m_Inner->SetCursor(cursor); }
    int Run(const std::function<void(const platform::Message&)>& handler) override
    {
        return m_Inner->Run(
            [&](const platform::Message& message)
            {
                handler(message);
                if (message.kind == platform::MessageKind::Paint)
                    m_AfterPaint(m_Paints++);
            });
    }

private:
    std::unique_ptr<CAppWindow> m_Inner;
    std::function<void(int)> m_AfterPaint;
    int m_Paints = 0;
};

class WatchedMachine final : public CAppPlatform
{
public:
    explicit WatchedMachine(std::function<void(int)> afterPaint)
        : m_AfterPaint(std::move(afterPaint))
    {
    }

    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override
    {
        CMainWindowResult result = m_Real.CreateMainWindow(title, width, height);
        if (result.window)
            result.window = std::make_unique<WatchedWindow>(std::move(result.window), m_AfterPaint);
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow& made) override
    {
        return m_Real.CreateDevice(static_cast<WatchedWindow&>(made).Inner());
    }
    // A box would wait for a click that never comes.
    platform::Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<audio::Device> OpenAudioDevice() override { return m_Real.OpenAudioDevice(); }
    std::uint32_t GetTickCount() override { return m_Real.GetTickCount(); }
    std::filesystem::path GetExecutableFolder() override { return m_Real.GetExecutableFolder(); }

    platform::FakeDesktop desktop;

private:
    CSystemAppPlatform m_Real;
    std::function<void(int)> m_AfterPaint;
};

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
        WatchedMachine machine(
            [&](int paint)
            {
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
