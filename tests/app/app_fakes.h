#pragma once

// A window, a device and a machine that record what the shell asks of them,
// so that the window procedure can be driven with messages of the test's own.

#include "app/app_platform.h"
#include "app/game_app.h"
#include "app/vard_dlg.h"
#include "platform/audio.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace AppTest
{

// A mouse message at a point of the client area.
inline platform::Message Mouse(platform::MessageKind kind, int x, int y)
{
    platform::Message message;
    message.kind = kind;
    message.x = x;
    message.y = y;
    return message;
}

inline platform::Message KeyDown(std::uint32_t code)
{
    platform::Message message;
    message.kind = platform::MessageKind::KeyDown;
    message.code = code;
    return message;
}

class FakeAppWindow final : public CAppWindow
{
public:
    bool IsDown(std::uint32_t virtualKey) const override { return keys.IsDown(virtualKey); }
    std::uint32_t SetTimer(std::uint32_t id, std::uint32_t intervalMs) override
    {
        return timers.SetTimer(id, intervalMs);
    }
    bool KillTimer(std::uint32_t id) override { return timers.KillTimer(id); }
    void Show() override { shown = true; }
    void SetTitle(const std::string& text) override
    {
        title = text;
        titles.push_back(text);
    }
    std::string GetTitle() const override { return title; }
    void SetIcon(const gfx::Image& image) override { icon = image; }
    platform::ClientSize GetClientSize() const override { return size; }
    void SetClientSize(int width, int height) override
    {
        size = {width, height};
        ++resizes;
    }
    void SetPosition(int x, int y) override { position = {x, y}; }
    void SetMinimumSize(int width, int height) override { minimum = {width, height}; }
    void Invalidate() override { invalidated = true; }
    void PostAppMessage(std::uint32_t number) override
    {
        posted.push_back({platform::MessageKind::App, number});
    }
    void PostClose() override { posted.push_back({platform::MessageKind::Close}); }
    void TrackMouseLeave() override { tracking = true; }
    bool LoadCursors() override { return cursorsLoad; }
    void SetCursor(platform::Cursor cursor) override { this->cursor = cursor; }
    // Posted messages first, then a paint when invalidated; returns when a
    // Close has been handled, or -1 when the loop would wait for input.
    int Run(const std::function<void(const platform::Message&)>& handler) override
    {
        ++runs;
        for (int handled = 0; handled < 1000; ++handled)
        {
            platform::Message message;
            if (!posted.empty())
            {
                message = posted.front();
                posted.pop_front();
            }
            else if (invalidated)
            {
                invalidated = false;
                message.kind = platform::MessageKind::Paint;
            }
            else
                return -1;
            handler(message);
            if (message.kind == platform::MessageKind::Close)
                return 0;
        }
        return -1;
    }
    platform::FakeKeyState keys;
    platform::FakeTimers timers;
    std::string title;
    // Every title set, in order.
    std::vector<std::string> titles;
    gfx::Image icon;
    platform::ClientSize size{1024, 768};
    platform::ClientSize minimum;
    // Where the desktop put the window, until the program moves it.
    std::pair<int, int> position{-1, -1};
    platform::Cursor cursor = platform::Cursor::Arrow;
    std::deque<platform::Message> posted;
    bool shown = false;
    bool invalidated = false;
    bool tracking = false;
    bool cursorsLoad = true;
    int resizes = 0;
    int runs = 0;
};

// Records the device calls as words; Present can report a lost device and
// Reset can fail, each as many times as asked.
class FakeAppDevice final : public CAppDevice
{
public:
    gfx::Device* Get() override { return nullptr; }
    bool Reset(std::uint32_t width, std::uint32_t height) override
    {
        calls.push_back("Reset " + std::to_string(width) + "x" + std::to_string(height));
        if (failResets > 0)
        {
            --failResets;
            return false;
        }
        return true;
    }
    void SetRenderStates() override { calls.push_back("States"); }
    void Clear(std::uint32_t, float) override { calls.push_back("Clear"); }
    bool BeginScene() override
    {
        calls.push_back("Begin");
        return true;
    }
    void EndScene() override { calls.push_back("End"); }
    bool Present() override
    {
        calls.push_back("Present");
        if (losePresents > 0)
        {
            --losePresents;
            return false;
        }
        return true;
    }
    void ShowBlack() override { calls.push_back("Black"); }

    std::vector<std::string> calls;
    int losePresents = 0;
    int failResets = 0;
};

class FakeAppPlatform : public CAppPlatform
{
public:
    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override
    {
        windowTitle = title;
        CMainWindowResult result;
        result.noOpenGl = noOpenGl;
        if (!noWindow && !noOpenGl)
        {
            auto made = std::make_unique<FakeAppWindow>();
            made->size = {width, height};
            made->cursorsLoad = cursorsLoad;
            window = made.get();
            result.window = std::move(made);
        }
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow&) override
    {
        if (noDevice)
            return nullptr;
        auto made = std::make_unique<FakeAppDevice>();
        device = made.get();
        return made;
    }
    platform::Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<audio::Device> OpenAudioDevice() override { return nullptr; }
    std::uint32_t GetTickCount() override { return clock; }
    std::filesystem::path GetExecutableFolder() override { return executableFolder; }

    // Milliseconds; moves only when the test moves it.
    std::uint32_t clock = 1234;
    bool noWindow = false;
    bool noOpenGl = false;
    bool cursorsLoad = true;
    bool noDevice = false;
    std::filesystem::path executableFolder = "/nonexistent/vard/bin";
    std::string windowTitle;
    platform::FakeDesktop desktop;
    FakeAppWindow* window = nullptr;
    FakeAppDevice* device = nullptr;
};

// A dialog that records what reaches it, with a widget of its own at a
// known place.
class RecordingDlg final : public CVARDDlg
{
public:
    std::string GetTitle() override { return "Recorder"; }
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override
    {
        log.push_back("Button " + std::to_string(elementId));
        return 0;
    }
    int OnKey(int virtualKey, int shiftDown) override
    {
        log.push_back("Key " + std::to_string(virtualKey) + (shiftDown ? " shift" : ""));
        if (throwOnKey)
            throwOnKey();
        return 0;
    }
    int OnRightClick(int elementId) override
    {
        log.push_back("RightClick " + std::to_string(elementId));
        return 0;
    }
    void OnDragStart(int elementId) override
    {
        log.push_back("DragStart " + std::to_string(elementId));
    }
    void OnDragCancel() override { log.push_back("DragCancel"); }
    void OnDrop(int sourceId, int targetId) override
    {
        log.push_back("Drop " + std::to_string(sourceId) + " " + std::to_string(targetId));
    }
    void OnClosed(CGameApp*) override { log.push_back("Closed"); }

    // The widget: id 7 at (100, 100)-(200, 140), pressed to drag.
    static constexpr int kWidgetId = 7;
    std::vector<std::string> log;
    std::function<void()> throwOnKey;
};

} // namespace AppTest
