#pragma once

// The fake machine with a real drawing device: Mesa's software OpenGL on a
// hidden context, read back instead of shown. Set SDL_VIDEODRIVER=offscreen
// and LIBGL_ALWAYS_SOFTWARE=1 before the program runs.

#include "app_fakes.h"

#include "app/app_platform.h"
#include "platform/device.h"
#include "platform/gl_context.h"

#include <cstdint>
#include <memory>

namespace AppTest
{

class OffscreenAppDevice final : public CGfxAppDevice
{
public:
    OffscreenAppDevice(std::uint32_t width, std::uint32_t height)
        : m_Context(platform::GlContext::CreateHidden(width, height)),
          m_Device(*m_Context, width, height)
    {
    }
    gfx::Device* Get() override { return &m_Device; }
    bool Reset(std::uint32_t width, std::uint32_t height) override
    {
        m_Device.Reset(width, height);
        return true;
    }
    bool Present() override { return true; }
    void ShowBlack() override {}

private:
    std::unique_ptr<platform::GlContext> m_Context;
    gfx::Device m_Device;
};

// The fakes' window, desktop and clock, with the off-screen device.
class OffscreenMachine final : public CAppPlatform
{
public:
    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override
    {
        CMainWindowResult result = fakes.CreateMainWindow(title, width, height);
        window = fakes.window;
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow&) override
    {
        return std::make_unique<OffscreenAppDevice>(1024, 768);
    }
    platform::Desktop& GetDesktop() override { return fakes.desktop; }
    std::unique_ptr<audio::Device> OpenAudioDevice() override { return nullptr; }
    std::uint32_t GetTickCount() override { return fakes.clock; }
    std::filesystem::path GetExecutableFolder() override { return "/nonexistent"; }

    FakeAppPlatform fakes;
    FakeAppWindow* window = nullptr;
};

} // namespace AppTest
