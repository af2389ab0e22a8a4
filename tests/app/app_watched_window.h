#pragma once

// The program on the machine's own window, device and desktop boxes replaced
// by a fake, with the test shown each message once the program has handled it.

#include "app/app_platform.h"
#include "platform/audio.h"
#include "platform/desktop.h"
#include "platform/messages.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace AppTest
{

class WatchedWindow final : public CAppWindow
{
public:
    // Called with this window after the program's handler.
    using Watcher = std::function<void(CAppWindow& window, const platform::Message& message)>;

    WatchedWindow(std::unique_ptr<CAppWindow> inner, Watcher watcher)
        : m_Inner(std::move(inner)), m_Watcher(std::move(watcher))
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
    void SetIcon(const gfx::Image& icon) override { m_Inner->SetIcon(icon); }
    platform::ClientSize GetClientSize() const override { return m_Inner->GetClientSize(); }
    void SetClientSize(int width, int height) override { m_Inner->SetClientSize(width, height); }
    void SetPosition(int x, int y) override { m_Inner->SetPosition(x, y); }
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
                m_Watcher(*this, message);
            });
    }

private:
    std::unique_ptr<CAppWindow> m_Inner;
    Watcher m_Watcher;
};

class WatchedMachine final : public CAppPlatform
{
public:
    explicit WatchedMachine(WatchedWindow::Watcher watcher) : m_Watcher(std::move(watcher)) {}

    WatchedWindow* window = nullptr;
    // A box would wait for a click that never comes.
    platform::FakeDesktop desktop;

    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override
    {
        CMainWindowResult result = m_Real.CreateMainWindow(title, width, height);
        if (result.window)
        {
            auto wrapped = std::make_unique<WatchedWindow>(std::move(result.window), m_Watcher);
            window = wrapped.get();
            result.window = std::move(wrapped);
        }
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow& made) override
    {
        return m_Real.CreateDevice(static_cast<WatchedWindow&>(made).Inner());
    }
    platform::Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<audio::Device> OpenAudioDevice() override { return m_Real.OpenAudioDevice(); }
    std::uint32_t GetTickCount() override { return m_Real.GetTickCount(); }
    std::filesystem::path GetExecutableFolder() override { return m_Real.GetExecutableFolder(); }

private:
    CSystemAppPlatform m_Real;
    WatchedWindow::Watcher m_Watcher;
};

} // namespace AppTest
