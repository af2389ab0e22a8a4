#include "gl_fixture.h"

#include "platform/gfx_error.h"
#include "platform/sprite.h"

#include <cmath>
#include <numbers>

namespace
{

gfx::Image Solid(std::uint32_t side, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    gfx::Image image{side, side, {}};
    for (std::uint32_t i = 0; i < side * side; ++i)
        image.pixels.insert(image.pixels.end(), {r, g, b, a});
    return image;
}

class SpriteTest : public GlTest
{
protected:
    // A camera looking at the origin from (0, 5, 10).
    void SetCamera()
    {
        view = gfx::Matrix::LookAtRH({0, 5, 10}, {0, 0, 0}, {0, 1, 0});
        projection = gfx::Matrix::PerspectiveFovRH(std::numbers::pi_v<float> / 3, 1, 1, 100);
        device->SetTransform(gfx::TransformState::View, view);
        device->SetTransform(gfx::TransformState::Projection, projection);
    }

    // A billboard size units wide centred at point, as effects draw them.
    void Billboard(gfx::Sprite& sprite, const gfx::Texture& texture, gfx::Vec3 point, float size,
                   std::uint32_t colour)
    {
        const float s = size / static_cast<float>(texture.GetWidth());
        sprite.SetTransform(gfx::Matrix::Scaling(s, -s, s) *
                            gfx::Matrix::Translation(point.x, point.y, point.z));
        const gfx::Vec3 centre{static_cast<float>(texture.GetWidth() / 2),
                               static_cast<float>(texture.GetHeight() / 2), 0};
        sprite.Draw(texture, nullptr, &centre, nullptr, colour);
    }

    gfx::Vec3 OnScreen(gfx::Vec3 point)
    {
        return gfx::Project(point, device->GetViewport(), projection, view,
                            gfx::Matrix::Identity());
    }

    gfx::Matrix view;
    gfx::Matrix projection;
};

constexpr std::uint32_t kBillboardFlags =
    gfx::kSpriteAlphaBlend | gfx::kSpriteBillboard | gfx::kSpriteSortDepthBackToFront;

} // namespace

TEST_F(SpriteTest, ScreenSpritesAreTintedAndPlacedInPixels)
{
    auto texture = device->CreateTexture(Solid(4, 200, 100, 50, 255));
    gfx::Sprite sprite(*device);
    EXPECT_THROW(sprite.Draw(*texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), gfx::Error);
    sprite.Begin(gfx::kSpriteAlphaBlend);
    const gfx::Vec3 at{10, 20, 0};
    sprite.Draw(*texture, nullptr, nullptr, &at, 0xFF808080u);
    // Scaled twice and moved by the transform, two texels of source.
    sprite.SetTransform(gfx::Matrix::Scaling(2, 2, 1) * gfx::Matrix::Translation(30, 30, 0));
    const gfx::Rect source{0, 0, 2, 2};
    sprite.Draw(*texture, &source, nullptr, nullptr, 0xFFFFFFFFu);
    sprite.SetTransform(gfx::Matrix::Identity());
    const gfx::Vec3 centre{2, 2, 0};
    const gfx::Vec3 middle{50, 50, 0};
    sprite.Draw(*texture, nullptr, &centre, &middle, 0xFF00FFFFu);
    sprite.End();
    Drawn();

    EXPECT_RGB_NEAR(PixelAt(10, 20), 100, 50, 25); // the tint multiplies
    EXPECT_RGB_NEAR(PixelAt(13, 23), 100, 50, 25);
    EXPECT_RGB_NEAR(PixelAt(9, 20), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(14, 23), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(30, 30), 200, 100, 50);
    EXPECT_RGB_NEAR(PixelAt(33, 33), 200, 100, 50);
    EXPECT_RGB_NEAR(PixelAt(34, 33), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(48, 48), 0, 100, 50);
    EXPECT_RGB_NEAR(PixelAt(51, 51), 0, 100, 50);
    EXPECT_RGB_NEAR(PixelAt(47, 48), 0, 0, 0);

    // End gives the device its states back.
    EXPECT_TRUE(device->GetRenderStates().lighting);
    EXPECT_FALSE(device->GetRenderStates().alphaBlendEnable);
    EXPECT_EQ(device->GetRenderStates().cullMode, gfx::CullMode::CounterClockwise);
    EXPECT_THROW(sprite.End(), gfx::Error);
}

TEST_F(SpriteTest, BillboardLandsAtItsProjectedPointTopRowUp)
{
    SetCamera();
    // Top half red, bottom half green.
    gfx::Image image = Solid(8, 255, 0, 0, 255);
    for (std::uint32_t y = 4; y < 8; ++y)
        for (std::uint32_t x = 0; x < 8; ++x)
            image.Pixel(x, y)[0] = 0, image.Pixel(x, y)[1] = 255;
    auto texture = device->CreateTexture(image);
    const gfx::Vec3 point{1.0f, 0.5f, -2.0f};
    gfx::Sprite sprite(*device);
    sprite.SetWorldViewRH(gfx::Matrix::Identity(), view);
    sprite.Begin(kBillboardFlags);
    Billboard(sprite, *texture, point, 4.0f, 0xFFFFFFFFu);
    sprite.End();
    Drawn();

    const gfx::Vec3 p = OnScreen(point);
    const auto x = static_cast<std::uint32_t>(p.x);
    const auto y = static_cast<std::uint32_t>(p.y);
    EXPECT_RGB_NEAR(PixelAt(x, y - 4), 255, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(x, y + 4), 0, 255, 0);
    // The quad is about 18 pixels wide there: its edges lie within reach.
    EXPECT_RGB_NEAR(PixelAt(x - 7, y - 4), 255, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(x - 12, y - 4), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(2, 2), 0, 0, 0);
}

TEST_F(SpriteTest, NearerBillboardCoversFartherOneAndDepthIsTested)
{
    SetCamera();
    auto white = device->CreateTexture(Solid(8, 255, 255, 255, 255));
    auto clear = device->CreateTexture(Solid(8, 255, 255, 255, 0));
    const gfx::Vec3 eye{0, 5, 10};
    const gfx::Vec3 near{1.0f, 0.5f, -2.0f};
    const gfx::Vec3 far = eye + (near - eye) * 1.5f; // behind it on the same sight line
    const gfx::Vec3 p = OnScreen(near);
    const auto x = static_cast<std::uint32_t>(p.x);
    const auto y = static_cast<std::uint32_t>(p.y);
    gfx::Sprite sprite(*device);
    sprite.SetWorldViewRH(gfx::Matrix::Identity(), view);

    // Without the depth test only the order counts: sorted, the near comes last.
    device->SetZEnable(false);
    for (std::uint32_t flags :
         {kBillboardFlags, kBillboardFlags & ~gfx::kSpriteSortDepthBackToFront})
    {
        sprite.Begin(flags);
        Billboard(sprite, *white, near, 2.0f, 0xFFFF0000u);
        Billboard(sprite, *white, far, 2.0f, 0xFF00FF00u);
        sprite.End();
        Drawn();
        if (flags & gfx::kSpriteSortDepthBackToFront)
            EXPECT_RGB_NEAR(PixelAt(x, y), 255, 0, 0);
        else
            EXPECT_RGB_NEAR(PixelAt(x, y), 0, 255, 0);
    }

    // Depth-tested: nothing shows behind a nearer depth; and fully
    // transparent texels leave no depth behind.
    device->SetZEnable(true);
    device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 0.1f);
    sprite.Begin(kBillboardFlags);
    Billboard(sprite, *white, near, 2.0f, 0xFFFF0000u);
    sprite.End();
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(x, y), 0, 0, 0);
    device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
    sprite.Begin(gfx::kSpriteAlphaBlend | gfx::kSpriteBillboard);
    Billboard(sprite, *clear, near, 2.0f, 0xFFFFFFFFu);
    Billboard(sprite, *white, far, 2.0f, 0xFF0000FFu);
    sprite.End();
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(x, y), 0, 0, 255);
}
