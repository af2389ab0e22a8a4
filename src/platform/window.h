#pragma once

#include "platform/image.h"
#include "platform/keys.h"
#include "platform/message_pump.h"
#include "platform/timer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

struct SDL_Window;
struct SDL_Cursor;

namespace platform
{

// The mouse pointers the game screen chooses among.
enum class Cursor
{
    Arrow,
    SizeAll,
    UpArrow, // our own bitmap: the system has no such pointer
    Cross,
    Hand,
    Wait,
};

struct ClientSize
{
    int width = 0;
    int height = 0;
};

// The game's one window, with an OpenGL 3.3 core context that is current on
// the creating thread; its message pump delivers what happens to it. It
// answers the key state of the modifiers and runs the window timers.
class Window final : public KeyState, public Timers
{
public:
    // Creates the window hidden, at the given client size. Throws
    // platform::Error when SDL's video, the window or the context fails.
    Window(const std::string& title, int width, int height, const Clock& clock);
    ~Window() override;

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void Show();
    void SetTitle(const std::string& title);
    std::string GetTitle() const;
    // The icon from pixels (red, green, blue, alpha).
    void SetIcon(const gfx::Image& icon);

    ClientSize GetClientSize() const;
    // The size in pixels of what OpenGL draws into.
    ClientSize GetDrawableSize() const;
    void SetClientSize(int width, int height);
    // The window's top-left corner on the desktop.
    void SetPosition(int x, int y);
    void SetMinimumSize(int width, int height);

    // Asks for a Paint message once the posted messages and the input are handled.
    void Invalidate() { m_Pump->Invalidate(); }
    void PostAppMessage(std::uint32_t number) { m_Pump->PostAppMessage(number); }
    void PostClose() { m_Pump->PostClose(); }
    void TrackMouseLeave() { m_Pump->TrackMouseLeave(); }
    // Runs the message loop until a Close message has been handled; returns 0.
    int Run(const std::function<void(const Message&)>& handler) { return m_Pump->Run(handler); }
    MessagePump& Pump() { return *m_Pump; }

    // Creates the six pointers; false when one of them cannot be made.
    bool LoadCursors();
    // Shows the pointer over the client area (after LoadCursors).
    void SetCursor(Cursor cursor);

    bool IsDown(std::uint32_t virtualKey) const override;
    std::uint32_t SetTimer(std::uint32_t id, std::uint32_t intervalMs) override
    {
        return m_Pump->SetTimer(id, intervalMs);
    }
    bool KillTimer(std::uint32_t id) override { return m_Pump->KillTimer(id); }

    // Makes the window's context current and shows what was drawn.
    void MakeCurrent();
    void SwapBuffers();
    // For the rest of the platform layer (the drawing device, the desktop's dialogs).
    SDL_Window* GetNativeWindow() const { return m_Window; }

private:
    void Destroy();

    bool m_VideoStarted = false;
    SDL_Window* m_Window = nullptr;
    void* m_Context = nullptr;
    std::array<SDL_Cursor*, 6> m_Cursors{};
    std::unique_ptr<MessagePump> m_Pump;
};

} // namespace platform
