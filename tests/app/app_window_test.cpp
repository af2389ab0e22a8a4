// The program on the machine's own window, OpenGL device and desktop, under
// a virtual X display: it starts on the demo module, paints its first screen
// and ends on a close posted after that paint.

#include "app/app_platform.h"
#include "app/game_app.h"
#include "app/shell_dialogs.h"
#include "platform/audio.h"
#include "platform/device.h"
#include "rules/engine.h"
#include "tool_support.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

namespace
{

// As in the platform's window test: SDL unloads the X and GL libraries with
// its last window, after which the leak checker cannot name what their
// globals held. Keeping them loaded lets the suppressions stay narrow.
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

// The machine's window, which posts a close once the first paint is done.
class ClosingWindow final : public CAppWindow
{
public:
    ClosingWindow(std::unique_ptr<CAppWindow> inner, std::function<void()> afterFirstPaint)
        : m_Inner(std::move(inner)), m_AfterFirstPaint(std::move(afterFirstPaint))
    {
    }

    CAppWindow& Inner() { return *m_Inner; }
    int paints = 0;
    std::vector<platform::MessageKind> kinds;

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
                kinds.push_back(message.kind);
                handler(message);
                if (message.kind == platform::MessageKind::Paint && paints++ == 0)
                {
                    m_AfterFirstPaint();
                    m_Inner->PostClose();
                }
            });
    }

private:
    std::unique_ptr<CAppWindow> m_Inner;
    std::function<void()> m_AfterFirstPaint;
};

class ClosingMachine final : public CAppPlatform
{
public:
    explicit ClosingMachine(std::function<void()> afterFirstPaint)
        : m_AfterFirstPaint(std::move(afterFirstPaint))
    {
    }

    ClosingWindow* window = nullptr;

    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override
    {
        CMainWindowResult result = m_Real.CreateMainWindow(title, width, height);
        if (result.window)
        {
            auto wrapped =
                std::make_unique<ClosingWindow>(std::move(result.window), m_AfterFirstPaint);
            window = wrapped.get();
            result.window = std::move(wrapped);
        }
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow& made) override
    {
        return m_Real.CreateDevice(static_cast<ClosingWindow&>(made).Inner());
    }
    // A box would wait for a click that never comes.
    platform::Desktop& GetDesktop() override { return desktop; }
    platform::FakeDesktop desktop;
    std::unique_ptr<audio::Device> OpenAudioDevice() override { return m_Real.OpenAudioDevice(); }
    std::uint32_t GetTickCount() override { return m_Real.GetTickCount(); }
    std::filesystem::path GetExecutableFolder() override { return m_Real.GetExecutableFolder(); }

private:
    CSystemAppPlatform m_Real;
    std::function<void()> m_AfterFirstPaint;
};

TEST(AppOnTheDisplay, StartsOnTheDemoModulePaintsTheSplashBuildsTheSceneAndEndsOnAPostedClose)
{
    gfx::Image frame;
    std::string title;
    {
        // The machine outlives the application object, as in the program.
        CGameApp* running = nullptr;
        ClosingMachine machine(
            [&]
            {
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
            });
        CGameApp app;
        running = &app;
        EXPECT_EQ(app.Run(machine, VARD_DEMO_MODULE), 0);
        ASSERT_NE(machine.window, nullptr);
        EXPECT_EQ(machine.window->paints, 1);
        EXPECT_EQ(machine.window->kinds.back(), platform::MessageKind::Close);
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
