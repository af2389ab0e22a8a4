#include "platform/platform_error.h"
#include "platform/window.h"
#include "xvfb_util.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

using platform::Message;
using platform::MessageKind;

// The context's version from OpenGL itself, as "major.minor ...".
std::string GlVersion()
{
    using GetString = const unsigned char* (*)(unsigned int);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned int kVersion = 0x1F02;
    const unsigned char* version = getString != nullptr ? getString(kVersion) : nullptr;
    return version != nullptr ? reinterpret_cast<const char*>(version) : "";
}

TEST(Window, OpensWithACoreContextAndEndsItsLoopOnAPostedClose)
{
    platform::SystemClock clock;
    platform::Window window("Brelmoor - Welcome", 864, 720, clock);
    window.Show();

    int major = 0;
    int minor = 0;
    const std::string version = GlVersion();
    ASSERT_EQ(std::sscanf(version.c_str(), "%d.%d", &major, &minor), 2) << version;
    EXPECT_GE(major * 10 + minor, 33) << version;
    EXPECT_NE(version.find("Core"), std::string::npos) << version;

    EXPECT_EQ(window.GetClientSize().width, 864);
    EXPECT_EQ(window.GetClientSize().height, 720);
    window.SetMinimumSize(864, 720);
    window.SetClientSize(400, 300);
    EXPECT_EQ(window.GetClientSize().width, 864);
    EXPECT_EQ(window.GetClientSize().height, 720);

    ASSERT_TRUE(window.LoadCursors());
    for (const platform::Cursor cursor :
         {platform::Cursor::Arrow, platform::Cursor::SizeAll, platform::Cursor::UpArrow,
          platform::Cursor::Cross, platform::Cursor::Hand, platform::Cursor::Wait})
    {
        window.SetCursor(cursor);
    }

    gfx::Image icon{2, 2, std::vector<std::uint8_t>(16, 0xFF)};
    window.SetIcon(icon);
    icon.pixels.resize(12);
    EXPECT_THROW(window.SetIcon(icon), platform::Error);

    EXPECT_FALSE(window.IsDown(platform::vk::kShift));
    EXPECT_FALSE(window.IsDown(platform::vk::kControl));
    EXPECT_FALSE(window.IsDown(platform::vk::kAlt));

    // Start-up posts its message; its handler sets the title and starts the
    // game timer; the first timer message closes the window.
    window.PostAppMessage(0x8000);
    std::vector<Message> handled;
    const int exitCode = window.Run(
        [&](const Message& message)
        {
            handled.push_back(message);
            if (message.kind == MessageKind::App)
            {
                window.SetTitle("Brelmoor - Caf\xE9");
                window.SetTimer(1, 16);
                window.Invalidate();
            }
            else if (message.kind == MessageKind::Paint)
            {
                window.SwapBuffers();
            }
            else if (message.kind == MessageKind::Timer)
            {
                EXPECT_TRUE(window.KillTimer(message.code));
                window.PostClose();
            }
        });
    EXPECT_EQ(exitCode, 0);
    ASSERT_GE(handled.size(), 4u);
    EXPECT_EQ(handled.front().kind, MessageKind::App);
    EXPECT_EQ(handled.front().code, 0x8000u);
    EXPECT_EQ(handled[handled.size() - 2].kind, MessageKind::Timer);
    EXPECT_EQ(handled[handled.size() - 2].code, 1u);
    EXPECT_EQ(handled.back().kind, MessageKind::Close);
    int paints = 0;
    for (const Message& message : handled)
    {
        paints += message.kind == MessageKind::Paint ? 1 : 0;
    }
    EXPECT_GE(paints, 1);
    EXPECT_EQ(window.GetTitle(), "Brelmoor - Caf\xC3\xA9");
    KeepLoadedLibraries();
}

} // namespace
