#include "app/app_platform.h"

#include "graphics/scene_renderer.h"
#include "platform/audio.h"
#include "platform/device.h"
#include "platform/folders.h"
#include "platform/gfx_error.h"
#include "platform/gl_context.h"
#include "platform/platform_error.h"

namespace
{

class CSystemAppWindow final : public CAppWindow
{
public:
    CSystemAppWindow(const std::string& title, int width, int height, const platform::Clock& clock)
        : m_Window(title, width, height, clock)
    {
    }

    platform::Window& Native() { return m_Window; }

    bool IsDown(std::uint32_t virtualKey) const override { return m_Window.IsDown(virtualKey); }
    std::uint32_t SetTimer(std::uint32_t id, std::uint32_t intervalMs) override
    {
        return m_Window.SetTimer(id, intervalMs);
    }
    bool KillTimer(std::uint32_t id) override { return m_Window.KillTimer(id); }
    void Show() override { m_Window.Show(); }
    void SetTitle(const std::string& title) override { m_Window.SetTitle(title); }
    std::string GetTitle() const override { return m_Window.GetTitle(); }
    void SetIcon(const gfx::Image& icon) override
    {
        try
        {
            m_Window.SetIcon(icon);
        }
        catch (const platform::Error&)
        {
        }
    }
    platform::ClientSize GetClientSize() const override { return m_Window.GetClientSize(); }
    void SetClientSize(int width, int height) override { m_Window.SetClientSize(width, height); }
    void SetPosition(int x, int y) override { m_Window.SetPosition(x, y); }
    void SetMinimumSize(int width, int height) override { m_Window.SetMinimumSize(width, height); }
    void Invalidate() override { m_Window.Invalidate(); }
    void PostAppMessage(std::uint32_t number) override { m_Window.PostAppMessage(number); }
    void PostClose() override { m_Window.PostClose(); }
    void TrackMouseLeave() override { m_Window.TrackMouseLeave(); }
    bool LoadCursors() override { return m_Window.LoadCursors(); }
    void SetCursor(platform::Cursor cursor) override { m_Window.SetCursor(cursor); }
    int Run(const std::function<void(const platform::Message&)>& handler) override
    {
        return m_Window.Run(handler);
    }

private:
    platform::Window m_Window;
};

// The drawing device in the window's own drawable. Its back buffer is the
// device's, so a frame can be drawn whatever size the window has now.
class CGlAppDevice final : public CGfxAppDevice
{
public:
    CGlAppDevice(SDL_Window* window, std::uint32_t width, std::uint32_t height)
        : m_Context(window), m_Device(m_Context, width, height)
    {
    }
    // The device's objects go with the context they were made in.
    ~CGlAppDevice() override
    {
        try
        {
            m_Context.MakeCurrent();
        }
        catch (const gfx::Error&)
        {
        }
    }

    gfx::Device* Get() override { return &m_Device; }

    // A size of 0 is the window's drawable size now.
    bool Reset(std::uint32_t width, std::uint32_t height) override
    {
        if (width == 0 || height == 0)
        {
            int drawableWidth = 0;
            int drawableHeight = 0;
            m_Context.GetDrawableSize(drawableWidth, drawableHeight);
            width = static_cast<std::uint32_t>(drawableWidth);
            height = static_cast<std::uint32_t>(drawableHeight);
        }
        try
        {
            m_Device.Reset(width, height);
            return true;
        }
        catch (const gfx::Error&)
        {
            return false;
        }
    }

    bool Present() override
    {
        m_Device.Present();
        return true;
    }
    void ShowBlack() override
    {
        m_Device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        m_Device.Present();
    }

private:
    platform::GlContext m_Context;
    gfx::Device m_Device;
};

} // namespace

void CGfxAppDevice::SetRenderStates()
{
    VARDGraph::ApplyGameRenderStates(*Get());
}

void CGfxAppDevice::Clear(std::uint32_t colour, float depth)
{
    Get()->Clear(gfx::kClearTarget | gfx::kClearZBuffer, colour, depth);
}

bool CGfxAppDevice::BeginScene()
{
    Get()->BeginScene();
    return true;
}

void CGfxAppDevice::EndScene()
{
    Get()->EndScene();
}

CSystemAppPlatform::CSystemAppPlatform()
    : m_Desktop(std::make_unique<platform::SystemDesktop>(nullptr))
{
}

CSystemAppPlatform::~CSystemAppPlatform() = default;

CMainWindowResult CSystemAppPlatform::CreateMainWindow(const std::string& title, int width,
                                                       int height)
{
    CMainWindowResult result;
    try
    {
        auto window = std::make_unique<CSystemAppWindow>(title, width, height, m_Clock);
        m_Window = &window->Native();
        m_Desktop = std::make_unique<platform::SystemDesktop>(m_Window);
        result.window = std::move(window);
    }
    catch (const platform::NoGlContextError&)
    {
        result.noOpenGl = true;
    }
    catch (const platform::Error&)
    {
    }
    return result;
}

std::unique_ptr<CAppDevice> CSystemAppPlatform::CreateDevice(CAppWindow& window)
{
    auto& native = static_cast<CSystemAppWindow&>(window).Native();
    const platform::ClientSize size = native.GetDrawableSize();
    try
    {
        return std::make_unique<CGlAppDevice>(native.GetNativeWindow(),
                                              static_cast<std::uint32_t>(size.width),
                                              static_cast<std::uint32_t>(size.height));
    }
    catch (const gfx::Error&)
    {
        return nullptr;
    }
}

platform::Desktop& CSystemAppPlatform::GetDesktop()
{
    return *m_Desktop;
}

std::unique_ptr<audio::Device> CSystemAppPlatform::OpenAudioDevice()
{
    // The device itself goes silent when the machine has no output; only a
    // device still open elsewhere in the process fails here.
    try
    {
        return std::make_unique<audio::Device>();
    }
    catch (const platform::Error&)
    {
        return nullptr;
    }
}

std::uint32_t CSystemAppPlatform::GetTickCount()
{
    return m_Clock.Milliseconds();
}

std::filesystem::path CSystemAppPlatform::GetExecutableFolder()
{
    return platform::ExecutableFolder();
}
