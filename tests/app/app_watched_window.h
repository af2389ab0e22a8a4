#pragma once

// The program on the machine's own window, device and sound, its desktop
// boxes replaced by a fake and its window wrapped: by a watcher that is shown
// each message once the program has handled it, or by a wrapper of the
// caller's own (the frame benchmark times the paints).

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

// Hands every call to the window it wraps; a wrapper overrides what it
// watches.
class ForwardingWindow : public CAppWindow
{
public:
    explicit ForwardingWindow(std::unique_ptr<CAppWindow> inner) : m_Inner(std::move(inner)) {}

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
        return m_Inner->Run(handler);
    }

private:
    std::unique_ptr<CAppWindow> m_Inner;
};

// The machine's own platform with its main window wrapped by Wrap (and its
// device by WrapDevice); a box would wait for a click that never comes, so
// the desktop is a fake.
class WrappingMachine : public CAppPlatform
{
public:
    platform::FakeDesktop desktop;

    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override
    {
        CMainWindowResult result = m_Real.CreateMainWindow(title, width, height);
        if (result.window)
            result.window = Wrap(std::move(result.window));
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow& made) override
    {
        auto device = m_Real.CreateDevice(static_cast<ForwardingWindow&>(made).Inner());
        return device ? WrapDevice(std::move(device)) : nullptr;
    }
    platform::Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<audio::Device> OpenAudioDevice() override { return m_Real.OpenAudioDevice(); }
    std::uint32_t GetTickCount() override { return m_Real.GetTickCount(); }
    std::filesystem::path GetExecutableFolder() override { return m_Real.GetExecutableFolder(); }

protected:
    virtual std::unique_ptr<ForwardingWindow> Wrap(std::unique_ptr<CAppWindow> window) = 0;
    virtual std::unique_ptr<CAppDevice> WrapDevice(std::unique_ptr<CAppDevice> device)
    {
        return device;
    }

private:
    CSystemAppPlatform m_Real;
};

class WatchedWindow final : public ForwardingWindow
{
public:
    // Called with this window after the program's handler.
    using Watcher = std::function<void(CAppWindow& window, const platform::Message& message)>;

    WatchedWindow(std::unique_ptr<CAppWindow> inner, Watcher watcher)
        : ForwardingWindow(std::move(inner)), m_Watcher(std::move(watcher))
    {
    }

    int Run(const std::function<void(const platform::Message&)>& handler) override
    {
        return ForwardingWindow::Run(
            [&](const platform::Message& message)
            {
                handler(message);
                m_Watcher(*this, message);
            });
    }

private:
    Watcher m_Watcher;
};

class WatchedMachine : public WrappingMachine
{
public:
    explicit WatchedMachine(WatchedWindow::Watcher watcher) : m_Watcher(std::move(watcher)) {}

    WatchedWindow* window = nullptr;

protected:
    std::unique_ptr<ForwardingWindow> Wrap(std::unique_ptr<CAppWindow> inner) override
    {
        auto wrapped = std::make_unique<WatchedWindow>(std::move(inner), m_Watcher);
        window = wrapped.get();
        return wrapped;
    }

private:
    WatchedWindow::Watcher m_Watcher;
};

} // namespace AppTest
