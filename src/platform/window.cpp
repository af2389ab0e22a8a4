#include "platform/window.h"

#include "platform/display_text.h"
#include "platform/platform_error.h"

#include <SDL2/SDL.h>

namespace platform
{

namespace
{

// The up-arrow pointer: 'X' black, '.' white, blank see-through; the tip is
// the hot spot.
constexpr int kUpArrowWidth = 16;
constexpr int kUpArrowHotX = 7;
constexpr const char* kUpArrowRows[] = {
    "       X        ", "      X.X       ", "     X...X      ", "    X.....X     ",
    "   X.......X    ", "  X.........X   ", " X...........X  ", "XXXXXX...XXXXXX ",
    "     X...X      ", "     X...X      ", "     X...X      ", "     X...X      ",
    "     X...X      ", "     X...X      ", "     X...X      ", "     X...X      ",
    "     X...X      ", "     X...X      ", "     X...X      ", "     XXXXX      ",
};

SDL_Cursor* CreateUpArrowCursor()
{
    constexpr int height = static_cast<int>(std::size(kUpArrowRows));
    constexpr int rowBytes = kUpArrowWidth / 8;
    Uint8 data[rowBytes * height] = {};
    Uint8 mask[rowBytes * height] = {};
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < kUpArrowWidth; ++x)
        {
            const char pixel = kUpArrowRows[y][x];
            const int byte = y * rowBytes + x / 8;
            const auto bit = static_cast<Uint8>(0x80 >> (x % 8));
            if (pixel != ' ')
            {
                mask[byte] |= bit;
            }
            if (pixel == 'X')
            {
                data[byte] |= bit;
            }
        }
    }
    return SDL_CreateCursor(data, mask, kUpArrowWidth, height, kUpArrowHotX, 0);
}

} // namespace

Window::Window(const std::string& title, int width, int height, const Clock& clock)
{
    // Two presses count as a double click only close together, as on the
    // desktop the design was made for.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "4");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        throw Error(std::string("cannot start the video system: ") + SDL_GetError());
    }
    m_VideoStarted = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    m_Window = SDL_CreateWindow(DisplayText(title).c_str(), SDL_WINDOWPOS_UNDEFINED,
                                SDL_WINDOWPOS_UNDEFINED, width, height,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (m_Window == nullptr)
    {
        const std::string reason = SDL_GetError();
        Destroy();
        throw Error("cannot create the window: " + reason);
    }
    m_Context = SDL_GL_CreateContext(m_Window);
    if (m_Context == nullptr)
    {
        const std::string reason = SDL_GetError();
        Destroy();
        throw NoGlContextError("cannot create an OpenGL 3.3 core context: " + reason);
    }
    // Presenting waits for the display's refresh where the driver allows it.
    SDL_GL_SetSwapInterval(1);
    SDL_Window* window = m_Window;
    m_Pump = std::make_unique<MessagePump>(
        SDL_GetWindowID(m_Window), clock, *this,
        [window]
        {
            const Uint32 flags = SDL_GetWindowFlags(window);
            WindowState state;
            state.minimized = (flags & SDL_WINDOW_MINIMIZED) != 0;
            state.maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
            SDL_GetWindowSize(window, &state.clientWidth, &state.clientHeight);
            return state;
        });
}

Window::~Window()
{
    Destroy();
}

void Window::Destroy()
{
    for (SDL_Cursor*& cursor : m_Cursors)
    {
        if (cursor != nullptr)
        {
            SDL_FreeCursor(cursor);
            cursor = nullptr;
        }
    }
    if (m_Context != nullptr)
    {
        SDL_GL_DeleteContext(m_Context);
        m_Context = nullptr;
    }
    if (m_Window != nullptr)
    {
        SDL_DestroyWindow(m_Window);
        m_Window = nullptr;
    }
    if (m_VideoStarted)
    {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        m_VideoStarted = false;
    }
}

void Window::Show()
{
    SDL_ShowWindow(m_Window);
}

void Window::SetTitle(const std::string& title)
{
    SDL_SetWindowTitle(m_Window, DisplayText(title).c_str());
}

std::string Window::GetTitle() const
{
    return SDL_GetWindowTitle(m_Window);
}

void Window::SetIcon(const gfx::Image& icon)
{
    if (icon.width == 0 || icon.height == 0 ||
        icon.pixels.size() != static_cast<std::size_t>(icon.width) * icon.height * 4)
    {
        throw Error("the window icon is not a whole image");
    }
    // SDL only reads the pixels while it copies them into the icon.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(icon.pixels.data()), static_cast<int>(icon.width),
        static_cast<int>(icon.height), 32, static_cast<int>(icon.width * 4),
        SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr)
    {
        throw Error(std::string("cannot make the window icon: ") + SDL_GetError());
    }
    SDL_SetWindowIcon(m_Window, surface);
    SDL_FreeSurface(surface);
}

ClientSize Window::GetClientSize() const
{
    ClientSize size;
    SDL_GetWindowSize(m_Window, &size.width, &size.height);
    return size;
}

ClientSize Window::GetDrawableSize() const
{
    ClientSize size;
    SDL_GL_GetDrawableSize(m_Window, &size.width, &size.height);
    return size;
}

void Window::SetClientSize(int width, int height)
{
    SDL_SetWindowSize(m_Window, width, height);
}

void Window::SetPosition(int x, int y)
{
    SDL_SetWindowPosition(m_Window, x, y);
}

void Window::SetMinimumSize(int width, int height)
{
    SDL_SetWindowMinimumSize(m_Window, width, height);
}

bool Window::LoadCursors()
{
    const SDL_SystemCursor system[] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_SIZEALL,
                                       SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_CROSSHAIR,
                                       SDL_SYSTEM_CURSOR_HAND,  SDL_SYSTEM_CURSOR_WAIT};
    bool complete = true;
    for (std::size_t i = 0; i < m_Cursors.size(); ++i)
    {
        if (m_Cursors[i] == nullptr)
        {
            m_Cursors[i] = static_cast<Cursor>(i) == Cursor::UpArrow
                               ? CreateUpArrowCursor()
                               : SDL_CreateSystemCursor(system[i]);
        }
        complete = complete && m_Cursors[i] != nullptr;
    }
    return complete;
}

void Window::SetCursor(Cursor cursor)
{
    SDL_Cursor* shape = m_Cursors[static_cast<std::size_t>(cursor)];
    if (shape != nullptr)
    {
        SDL_SetCursor(shape);
    }
}

bool Window::IsDown(std::uint32_t virtualKey) const
{
    const SDL_Keymod mods = SDL_GetModState();
    switch (virtualKey)
    {
    case vk::kShift:
        return (mods & KMOD_SHIFT) != 0;
    case vk::kControl:
        return (mods & KMOD_CTRL) != 0;
    case vk::kAlt:
        return (mods & KMOD_ALT) != 0;
    default:
        return false;
    }
}

void Window::MakeCurrent()
{
    SDL_GL_MakeCurrent(m_Window, m_Context);
}

void Window::SwapBuffers()
{
    SDL_GL_SwapWindow(m_Window);
}

} // namespace platform
