#include "platform/gl_context.h"

#include "platform/gfx_error.h"

#include <SDL.h>

#include <string>

namespace platform
{

void GlContext::SetContextAttributes()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
}

std::unique_ptr<GlContext> GlContext::CreateHidden(int width, int height)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw gfx::Error(std::string("cannot start SDL video: ") + SDL_GetError());
    SetContextAttributes();
    SDL_Window* window = SDL_CreateWindow("vard", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                          width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window)
    {
        const std::string error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw gfx::Error("cannot create a window for OpenGL: " + error);
    }
    try
    {
        return std::unique_ptr<GlContext>(new GlContext(window, true));
    }
    catch (...)
    {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw;
    }
}

GlContext::GlContext(SDL_Window* window) : GlContext(window, false) {}

GlContext::GlContext(SDL_Window* window, bool ownsWindow) : m_Window(window)
{
    m_Context = SDL_GL_CreateContext(window);
    if (!m_Context)
        throw gfx::Error(std::string("cannot create an OpenGL 3.3 context: ") + SDL_GetError());
    // Set only once construction can no longer fail, so a failed context
    // leaves the window to the one who made it.
    m_OwnsWindow = ownsWindow;
}

GlContext::~GlContext()
{
    SDL_GL_DeleteContext(m_Context);
    if (m_OwnsWindow)
    {
        SDL_DestroyWindow(m_Window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

void GlContext::MakeCurrent()
{
    if (SDL_GL_MakeCurrent(m_Window, m_Context) != 0)
        throw gfx::Error(std::string("cannot make the OpenGL context current: ") + SDL_GetError());
}

void GlContext::SwapBuffers()
{
    SDL_GL_SwapWindow(m_Window);
}

void GlContext::GetDrawableSize(int& width, int& height) const
{
    SDL_GL_GetDrawableSize(m_Window, &width, &height);
}

} // namespace platform
