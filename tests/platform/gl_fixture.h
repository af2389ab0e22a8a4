#pragma once

#include "platform/device.h"
#include "platform/gl_context.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>

// A device on a hidden window of Mesa's software OpenGL, with no X server
// needed; the frame is read back as pixels.
class GlTest : public ::testing::Test
{
protected:
    explicit GlTest(std::uint32_t side = 64) : kSize(side) {}

    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        context =
            platform::GlContext::CreateHidden(static_cast<int>(kSize), static_cast<int>(kSize));
        device = std::make_unique<gfx::Device>(*context, kSize, kSize);
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
    }

    void TearDown() override
    {
        device.reset();
        context.reset();
    }

    std::array<int, 4> PixelAt(std::uint32_t x, std::uint32_t y)
    {
        if (!frame || frameStale)
        {
            frame = std::make_unique<gfx::Image>(device->ReadPixels());
            frameStale = false;
        }
        const std::uint8_t* p = frame->Pixel(x, y);
        return {p[0], p[1], p[2], p[3]};
    }

    // Call after drawing so PixelAt reads the new frame.
    void Drawn() { frameStale = true; }

    const std::uint32_t kSize;
    std::unique_ptr<platform::GlContext> context;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<gfx::Image> frame;
    bool frameStale = true;
};

// Expects the colour within one step of 255 per channel (rounding differs
// between rasterisers).
#define EXPECT_RGB_NEAR(pixel, r, g, b)                                                            \
    do                                                                                             \
    {                                                                                              \
        const auto p_ = (pixel);                                                                   \
        EXPECT_NEAR(p_[0], (r), 1);                                                                \
        EXPECT_NEAR(p_[1], (g), 1);                                                                \
        EXPECT_NEAR(p_[2], (b), 1);                                                                \
    } while (0)
