#pragma once

#include <memory>

struct SDL_Window;

namespace platform
{

// An OpenGL 3.3 core context on an SDL window. Tests and benchmarks make one
// on a hidden window of their own; the game's window hands its SDL window in
// and keeps it.
class GlContext
{
public:
    // A hidden window of the given client size with its context, current on
    // return. Throws gfx::Error when SDL's video or the context cannot be had.
    static std::unique_ptr<GlContext> CreateHidden(int width, int height);

    // The context of a window made with SDL_WINDOW_OPENGL and the attributes
    // that SetContextAttributes asks for; the window stays the caller's.
    explicit GlContext(SDL_Window* window);
    ~GlContext();

    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // Asks SDL for a 3.3 core context with a depth buffer; call before the
    // window is created.
    static void SetContextAttributes();

    void MakeCurrent();
    void SwapBuffers();
    // The size of the window's drawable in pixels.
    void GetDrawableSize(int& width, int& height) const;
    SDL_Window* GetWindow() const { return m_Window; }

private:
    GlContext(SDL_Window* window, bool ownsWindow);

    SDL_Window* m_Window = nullptr;
    void* m_Context = nullptr;
    bool m_OwnsWindow = false;
};

} // namespace platform
