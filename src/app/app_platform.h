#pragma once

// What the application object asks of the machine: its one window, the
// drawing device on it, the desktop's message boxes, the sound output, the
// clock and the program's folder. The game runs on the system's; tests hand
// in fakes and feed the window procedure messages of their own.

#include "platform/desktop.h"
#include "platform/keys.h"
#include "platform/messages.h"
#include "platform/timer.h"
#include "platform/window.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace audio
{
class Device;
}

namespace gfx
{
class Device;
}

// The shell's view of its window.
class CAppWindow : public platform::KeyState, public platform::Timers
{
public:
    virtual void Show() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string GetTitle() const = 0;
    // A window the desktop cannot give the icon goes on without it.
    virtual void SetIcon(const gfx::Image& icon) = 0;
    virtual platform::ClientSize GetClientSize() const = 0;
    virtual void SetClientSize(int width, int height) = 0;
    virtual void SetPosition(int x, int y) = 0;
    virtual void SetMinimumSize(int width, int height) = 0;
    // A Paint message follows once posted messages and input are handled.
    virtual void Invalidate() = 0;
    virtual void PostAppMessage(std::uint32_t number) = 0;
    virtual void PostClose() = 0;
    virtual void TrackMouseLeave() = 0;
    virtual bool LoadCursors() = 0;
    virtual void SetCursor(platform::Cursor cursor) = 0;
    // Hands every message to the handler until a Close has been handled;
    // returns the loop's exit code.
    virtual int Run(const std::function<void(const platform::Message&)>& handler) = 0;
};

// The shell's view of its drawing device. Unlike the device the shell was
// designed for, an OpenGL device is never lost; a fake one in the tests is,
// so the recovery path stays exercised.
class CAppDevice
{
public:
    virtual ~CAppDevice() = default;

    // What the scene and the widgets draw with; null for a fake.
    virtual gfx::Device* Get() = 0;
    // A new back buffer size; false when the device cannot take it.
    virtual bool Reset(std::uint32_t width, std::uint32_t height) = 0;
    virtual void SetRenderStates() = 0;
    virtual void Clear(std::uint32_t colour, float depth) = 0;
    // False when nothing can be drawn this time.
    virtual bool BeginScene() = 0;
    virtual void EndScene() = 0;
    // False when the device was lost on the way to the window.
    virtual bool Present() = 0;
    // Shows a black client area, as while the frame is dragged.
    virtual void ShowBlack() = 0;
};

// The shell's drawing calls on the gfx::Device that Get gives: the game's
// render states, a clear of colour and depth, scenes that always begin.
// Where the frame goes (a window, or nowhere) is left to the owner.
class CGfxAppDevice : public CAppDevice
{
public:
    void SetRenderStates() override;
    void Clear(std::uint32_t colour, float depth) override;
    bool BeginScene() override;
    void EndScene() override;
};

// The main window, or why there is none.
struct CMainWindowResult
{
    std::unique_ptr<CAppWindow> window;
    // The window could be made but no OpenGL 3.3 context on it.
    bool noOpenGl = false;
};

class CAppPlatform
{
public:
    virtual ~CAppPlatform() = default;

    virtual CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) = 0;
    // Null when no device can be made on the window.
    virtual std::unique_ptr<CAppDevice> CreateDevice(CAppWindow& window) = 0;
    // Message boxes over the main window once it exists.
    virtual platform::Desktop& GetDesktop() = 0;
    // The default output; null when there is none (the game is then silent).
    virtual std::unique_ptr<audio::Device> OpenAudioDevice() = 0;
    virtual std::uint32_t GetTickCount() = 0;
    virtual std::filesystem::path GetExecutableFolder() = 0;
};

// The machine's own window, OpenGL, desktop and sound.
class CSystemAppPlatform final : public CAppPlatform
{
public:
    CSystemAppPlatform();
    ~CSystemAppPlatform() override;

    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override;
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow& window) override;
    platform::Desktop& GetDesktop() override;
    std::unique_ptr<audio::Device> OpenAudioDevice() override;
    std::uint32_t GetTickCount() override;
    std::filesystem::path GetExecutableFolder() override;

private:
    platform::SystemClock m_Clock;
    platform::Window* m_Window = nullptr;
    std::unique_ptr<platform::SystemDesktop> m_Desktop;
};
