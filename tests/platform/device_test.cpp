#include "gl_fixture.h"

#include "platform/gfx_error.h"

#include <cmath>
#include <set>
#include <vector>

namespace
{

using gfx::Vec3;

gfx::MeshVertex V(float x, float y, float z, float u = 0.0f, float v = 0.0f)
{
    return {{x, y, z}, {0.0f, 0.0f, 1.0f}, {u, v}};
}

// The whole viewport at depth z, as two triangles of a list, uv 0..1 from
// the top-left corner.
std::vector<gfx::MeshVertex> Screen(float z)
{
    return {V(-1, 1, z, 0, 0), V(1, 1, z, 1, 0),  V(-1, -1, z, 0, 1),
            V(1, 1, z, 1, 0),  V(1, -1, z, 1, 1), V(-1, -1, z, 0, 1)};
}

gfx::Material Emissive(float r, float g, float b)
{
    gfx::Material material;
    material.emissive = {r, g, b, 1.0f};
    return material;
}

int Byte(double c)
{
    return static_cast<int>(std::lround(std::clamp(c, 0.0, 1.0) * 255.0));
}

class DeviceTest : public GlTest
{
protected:
    void DrawList(const std::vector<gfx::MeshVertex>& vertices)
    {
        auto buffer = device->CreateVertexBuffer(gfx::VertexLayout::PositionNormalTexture,
                                                 static_cast<std::uint32_t>(vertices.size()));
        buffer->Write(vertices);
        device->SetStreamSource(buffer.get());
        device->DrawPrimitive(gfx::PrimitiveType::TriangleList, 0,
                              static_cast<std::uint32_t>(vertices.size() / 3));
        Drawn();
    }
};

} // namespace

TEST_F(DeviceTest, EmissiveQuadReadsItsColour)
{
    device->SetCullMode(gfx::CullMode::None);
    device->SetMaterial(Emissive(0.2f, 0.6f, 0.4f));
    auto strip = device->CreateVertexBuffer(gfx::VertexLayout::PositionNormal, 4);
    strip->Write(std::vector{V(-0.5f, -0.5f, 0.5f), V(-0.5f, 0.5f, 0.5f), V(0.5f, -0.5f, 0.5f),
                             V(0.5f, 0.5f, 0.5f)});
    device->SetStreamSource(strip.get());
    device->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(32, 32), 51, 153, 102);
    EXPECT_RGB_NEAR(PixelAt(4, 4), 0, 0, 0);
    EXPECT_THROW(device->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 1, 2), gfx::Error);
}

TEST_F(DeviceTest, LitQuadMatchesTheLightingFormula)
{
    // A unit square facing +z with a point light on its axis: every corner
    // is sqrt(6) from the light, so the whole quad has one colour.
    device->SetCullMode(gfx::CullMode::None);
    device->SetAmbient(0xFF333333u);
    gfx::Material material;
    material.diffuse = {0.9f, 0.8f, 0.6f, 1.0f};
    material.ambient = {0.5f, 0.5f, 0.5f, 1.0f};
    material.emissive = {0.05f, 0.0f, 0.0f, 1.0f};
    device->SetMaterial(material);
    gfx::Light point;
    point.type = gfx::LightType::Point;
    point.diffuse = {1.0f, 0.5f, 0.25f, 0.0f};
    point.position = {0.0f, 0.0f, 2.0f};
    point.range = 100.0f;
    point.attenuation1 = 0.5f;
    gfx::Light sun;
    sun.diffuse = {0.1f, 0.1f, 0.1f, 0.0f};
    sun.direction = {0.0f, 0.0f, -1.0f};
    gfx::Light outOfReach = point;
    outOfReach.range = 2.0f;
    gfx::Light disabled = sun;
    disabled.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    device->SetLight(0, point);
    device->SetLight(1, sun);
    device->SetLight(2, outOfReach);
    device->SetLight(5, disabled);
    device->LightEnable(0, true);
    device->LightEnable(1, true);
    device->LightEnable(2, true);
    DrawList({V(-1, -1, 0), V(1, -1, 0), V(-1, 1, 0), V(1, -1, 0), V(1, 1, 0), V(-1, 1, 0)});

    const double d = std::sqrt(6.0);
    const double lambert = 2.0 / d;
    const double attenuation = 1.0 / (0.5 * d);
    auto channel = [&](double emissive, double light, double diffuse) {
        return Byte(emissive + 0.2 * 0.5 + attenuation * lambert * light * diffuse + 0.1 * diffuse);
    };
    EXPECT_RGB_NEAR(PixelAt(32, 32), channel(0.05, 1.0, 0.9), channel(0, 0.5, 0.8),
                    channel(0, 0.25, 0.6));
    EXPECT_RGB_NEAR(PixelAt(3, 60), channel(0.05, 1.0, 0.9), channel(0, 0.5, 0.8),
                    channel(0, 0.25, 0.6));

    // Lighting off: the vertices are white.
    device->SetLighting(false);
    DrawList(Screen(0.0f));
    EXPECT_RGB_NEAR(PixelAt(32, 32), 255, 255, 255);
}

TEST_F(DeviceTest, CullingDropsFacesByTheirWindingOnScreen)
{
    device->SetMaterial(Emissive(1, 1, 1));
    const std::vector<gfx::MeshVertex> clockwiseLeft = {V(-0.9f, -0.5f, 0), V(-0.5f, 0.5f, 0),
                                                        V(-0.1f, -0.5f, 0)};
    const std::vector<gfx::MeshVertex> counterRight = {V(0.1f, -0.5f, 0), V(0.9f, -0.5f, 0),
                                                       V(0.5f, 0.5f, 0)};
    struct Case
    {
        gfx::CullMode mode;
        int left;
        int right;
    };
    for (const Case& c :
         {Case{gfx::CullMode::Clockwise, 0, 255}, Case{gfx::CullMode::CounterClockwise, 255, 0},
          Case{gfx::CullMode::None, 255, 255}})
    {
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        device->SetCullMode(c.mode);
        DrawList(clockwiseLeft);
        DrawList(counterRight);
        EXPECT_EQ(PixelAt(16, 37)[0], c.left) << static_cast<int>(c.mode);
        EXPECT_EQ(PixelAt(48, 37)[0], c.right) << static_cast<int>(c.mode);
    }
}

TEST_F(DeviceTest, TextureZeroTransformMovesTheTexture)
{
    device->SetCullMode(gfx::CullMode::None);
    device->SetLighting(false);
    device->SetSamplerFilter(gfx::TextureFilter::Point, gfx::TextureFilter::Point,
                             gfx::TextureFilter::None);
    gfx::Image image{1, 2, {255, 0, 0, 255, 0, 0, 255, 255}};
    auto texture = device->CreateTexture(image, false);
    EXPECT_EQ(texture->GetHeight(), 2u);
    device->SetTexture(texture.get());
    gfx::Matrix slide = gfx::Matrix::Identity();
    slide.m[2][1] = 0.5f; // v moves by half the texture
    device->SetTransform(gfx::TransformState::Texture0, slide);

    DrawList(Screen(0.5f)); // the transform is set but not switched on
    EXPECT_RGB_NEAR(PixelAt(32, 8), 255, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 56), 0, 0, 255);

    device->SetTextureTransform0(true);
    DrawList(Screen(0.5f));
    EXPECT_RGB_NEAR(PixelAt(32, 8), 0, 0, 255);
    EXPECT_RGB_NEAR(PixelAt(32, 56), 255, 0, 0);

    // Stage 0 modulates the texture by the lit colour.
    device->SetTextureTransform0(false);
    device->SetLighting(true);
    device->SetMaterial(Emissive(0.5f, 0.5f, 0.5f));
    DrawList(Screen(0.5f));
    EXPECT_RGB_NEAR(PixelAt(32, 8), 128, 0, 0);
}

TEST_F(DeviceTest, DepthTestAlphaBlendingAndViewport)
{
    device->SetCullMode(gfx::CullMode::None);
    device->SetMaterial(Emissive(1, 0, 0));
    DrawList(Screen(0.2f));
    device->SetMaterial(Emissive(0, 1, 0));
    DrawList(Screen(0.8f));
    EXPECT_RGB_NEAR(PixelAt(32, 32), 255, 0, 0); // the nearer stays
    device->SetZEnable(false);
    DrawList(Screen(0.8f));
    EXPECT_RGB_NEAR(PixelAt(32, 32), 0, 255, 0);

    // Half-transparent white over the green.
    gfx::Image half{1, 1, {255, 255, 255, 128}};
    auto texture = device->CreateTexture(half);
    device->SetTexture(texture.get());
    device->SetLighting(false);
    device->SetAlphaBlendEnable(true);
    device->SetBlend(gfx::BlendFactor::SourceAlpha, gfx::BlendFactor::InverseSourceAlpha);
    DrawList(Screen(0.5f));
    EXPECT_RGB_NEAR(PixelAt(32, 32), 128, 255, 128);

    device->SetViewport({16, 16, 32, 32, 0.0f, 1.0f});
    device->Clear(gfx::kClearTarget, 0xFF0000FFu, 1.0f);
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(20, 20), 0, 0, 255);
    EXPECT_RGB_NEAR(PixelAt(8, 8), 128, 255, 128);
    EXPECT_THROW(device->SetViewport({40, 0, 32, 32, 0.0f, 1.0f}), gfx::Error);
}

TEST_F(DeviceTest, MeshSubsetsDrawTheirOwnFacesAndFollowEdits)
{
    device->SetCullMode(gfx::CullMode::None);
    // Attribute 0 the left half, attribute 1 the right half.
    gfx::Mesh mesh(gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
                   {V(-1, 1, 0), V(0, 1, 0), V(-1, -1, 0), V(0, -1, 0), V(1, 1, 0), V(1, -1, 0)},
                   {0, 1, 2, 1, 3, 2, 1, 4, 3, 4, 5, 3}, {0, 0, 1, 1});
    device->SetMaterial(Emissive(0, 0, 1));
    device->DrawSubset(mesh, 1);
    device->DrawSubset(mesh, 7); // no such faces: nothing
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(48, 32), 0, 0, 255);
    EXPECT_RGB_NEAR(PixelAt(16, 32), 0, 0, 0);

    // Moving the right half's outer edge inward shows at the next draw.
    for (gfx::MeshVertex& v : mesh.EditVertices())
        if (v.position.x == 1.0f)
            v.position.x = 0.5f;
    device->Clear(gfx::kClearTarget, 0xFF000000u, 1.0f);
    device->DrawSubset(mesh, 1);
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(40, 32), 0, 0, 255);
    EXPECT_RGB_NEAR(PixelAt(56, 32), 0, 0, 0);
}

TEST_F(DeviceTest, LightLimitsAndSceneNesting)
{
    EXPECT_EQ(device->GetCaps().maxActiveLights, 8u);
    for (std::uint32_t i = 0; i < 8; ++i)
        device->LightEnable(i * 3, true);
    EXPECT_THROW(device->LightEnable(1, true), gfx::Error);
    device->LightEnable(3, false);
    EXPECT_NO_THROW(device->LightEnable(1, true));
    EXPECT_FALSE(device->IsLightEnabled(3));
    EXPECT_THROW(device->SetLight(gfx::Device::kMaxLightSlots, gfx::Light{}), gfx::Error);

    device->BeginScene();
    EXPECT_THROW(device->BeginScene(), gfx::Error);
    device->EndScene();
    EXPECT_THROW(device->EndScene(), gfx::Error);
    EXPECT_NO_THROW(device->Present());
}

TEST_F(DeviceTest, ShortcutsDrawTheSamePixelsAsTheGeneralPath)
{
    // Every case blends over a striped background, lit or not, with opaque
    // and half-transparent textures of one texel and of four, none, alpha
    // test and sprites. A shortcut taken where the source is not opaque, a
    // constant texel that is not the texture's, or lighting left out where
    // it shines would all show.
    const gfx::Image opaqueOne{1, 1, {200, 40, 90, 255}};
    const gfx::Image halfOne{1, 1, {30, 220, 140, 100}};
    const gfx::Image opaqueFour{
        2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 90, 90, 90, 255}};
    const gfx::Image mixedFour{
        2, 2, {255, 0, 0, 255, 0, 255, 0, 60, 0, 0, 255, 255, 90, 90, 90, 0}};
    gfx::Light sun;
    sun.diffuse = {0.7f, 0.6f, 0.5f, 0.0f};
    sun.direction = {0.3f, -0.2f, -1.0f};

    const auto drawAll = [&](bool shortcuts)
    {
        device->SetShortcuts(shortcuts);
        device->SetRenderStates({});
        device->SetCullMode(gfx::CullMode::None);
        device->SetLight(0, sun);
        device->LightEnable(0, true);
        device->SetAmbient(0xFF202020u);
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        for (int stripe = 0; stripe < 8; ++stripe)
        {
            const float x = -1.0f + 0.25f * static_cast<float>(stripe);
            device->SetMaterial(Emissive(0.1f * stripe, 0.5f, 1.0f - 0.1f * stripe));
            DrawList({V(x, -1, 0.9f), V(x + 0.25f, -1, 0.9f), V(x, 1, 0.9f), V(x + 0.25f, -1, 0.9f),
                      V(x + 0.25f, 1, 0.9f), V(x, 1, 0.9f)});
        }
        std::vector<std::shared_ptr<gfx::Texture>> textures = {
            nullptr, device->CreateTexture(opaqueOne, false), device->CreateTexture(halfOne, false),
            device->CreateTexture(opaqueFour), device->CreateTexture(mixedFour)};
        gfx::Material lit;
        lit.diffuse = {0.8f, 0.7f, 0.9f, 0.5f};
        lit.ambient = {0.4f, 0.4f, 0.4f, 1.0f};
        int cell = 0;
        for (const auto& texture : textures)
            for (int lighting = 0; lighting < 2; ++lighting)
                for (int alphaTest = 0; alphaTest < 2; ++alphaTest)
                {
                    const float x = -1.0f + 0.25f * static_cast<float>(cell % 8);
                    const float y = -1.0f + 0.4f * static_cast<float>(cell / 8);
                    ++cell;
                    device->SetTexture(texture.get());
                    device->SetLighting(lighting != 0);
                    device->SetMaterial(lit);
                    device->SetAlphaBlendEnable(true);
                    device->SetBlend(gfx::BlendFactor::SourceAlpha,
                                     gfx::BlendFactor::InverseSourceAlpha);
                    device->SetAlphaTest(alphaTest != 0, 80);
                    device->SetSamplerFilter(gfx::TextureFilter::Linear, gfx::TextureFilter::Linear,
                                             gfx::TextureFilter::None);
                    DrawList({V(x, y, 0.5f, 0, 0), V(x + 0.25f, y, 0.5f, 1, 0),
                              V(x, y + 0.4f, 0.5f, 0, 1), V(x + 0.25f, y, 0.5f, 1, 0),
                              V(x + 0.25f, y + 0.4f, 0.5f, 1, 1), V(x, y + 0.4f, 0.5f, 0, 1)});
                }
        device->SetTexture(nullptr);
        // Sprites take their colour, and with modulated alpha their alpha,
        // from the vertices: an opaque texel so modulated is no opaque source.
        device->SetAlphaTest(false, 0);
        for (int modulate = 0; modulate < 2; ++modulate)
        {
            gfx::RenderStates states;
            states.zEnable = false;
            states.alphaBlendEnable = true;
            states.sourceBlend = gfx::BlendFactor::SourceAlpha;
            states.destinationBlend = gfx::BlendFactor::InverseSourceAlpha;
            states.cullMode = gfx::CullMode::None;
            states.modulateAlpha = modulate != 0;
            device->SetRenderStates(states);
            const float y = modulate ? 0.6f : 0.2f;
            const std::uint32_t colour = 0x80FF8040u;
            const std::vector<gfx::SpriteVertex> quad = {
                {-1, y, 0.5f, 0, 0, colour},        {1, y, 0.5f, 1, 0, colour},
                {-1, y + 0.3f, 0.5f, 0, 1, colour}, {1, y, 0.5f, 1, 0, colour},
                {1, y + 0.3f, 0.5f, 1, 1, colour},  {-1, y + 0.3f, 0.5f, 0, 1, colour}};
            device->DrawSpriteTriangles(quad, *textures[2 - modulate], gfx::Matrix::Identity());
        }
        return device->ReadPixels();
    };
    const gfx::Image general = drawAll(false);
    const gfx::Image shortcut = drawAll(true);
    ASSERT_EQ(general.pixels.size(), shortcut.pixels.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < general.pixels.size(); ++i)
        differing += general.pixels[i] != shortcut.pixels[i];
    EXPECT_EQ(differing, 0u);
    // The cases did draw: far more colours show than the stripes have.
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < general.pixels.size(); i += 4)
        colours.insert(general.pixels[i] | general.pixels[i + 1] << 8 |
                       general.pixels[i + 2] << 16);
    EXPECT_GT(colours.size(), 30u);
}

TEST_F(DeviceTest, SamplesAreCountedByPassWhereTheyPassTheDepthTest)
{
    device->SetCullMode(gfx::CullMode::None);
    device->SetMaterial(Emissive(1, 0, 0));
    DrawList(Screen(0.5f)); // before counting: not counted
    device->Clear(gfx::kClearZBuffer, 0, 1.0f);
    device->CountSamples(true);
    EXPECT_TRUE(device->IsCountingSamples());
    device->SetSamplePass(2);
    // The left half, near; then the whole screen behind it, which passes
    // only on the right half; then the whole screen far behind, which
    // passes nowhere.
    DrawList({V(-1, 1, 0.2f), V(0, 1, 0.2f), V(-1, -1, 0.2f), V(0, 1, 0.2f), V(0, -1, 0.2f),
              V(-1, -1, 0.2f)});
    device->SetSamplePass(5);
    DrawList(Screen(0.6f));
    device->SetSamplePass(6);
    DrawList(Screen(0.9f));
    device->SetSamplePass(0);
    const gfx::Device::SampleCounts counts = device->TakeSampleCounts();
    const std::uint64_t half = kSize * kSize / 2;
    EXPECT_EQ(counts.passed[2], half);
    EXPECT_EQ(counts.passed[5], half);
    EXPECT_EQ(counts.passed[6], 0u);
    EXPECT_EQ(counts.passed[0] + counts.passed[1] + counts.passed[3] + counts.passed[4], 0u);
    // Where the driver counts shading, every passing fragment was shaded.
    if (counts.shaded[2] != 0)
    {
        EXPECT_GE(counts.shaded[2], half);
    }
    // Taking restarts the counts; stopping leaves later draws uncounted.
    EXPECT_EQ(device->TakeSampleCounts().passed[2], 0u);
    device->CountSamples(false);
    device->SetSamplePass(2);
    DrawList(Screen(0.1f));
    EXPECT_EQ(device->TakeSampleCounts().passed[2], 0u);
    EXPECT_THROW(device->SetSamplePass(gfx::Device::kSamplePasses), gfx::Error);
}

TEST_F(DeviceTest, ConstantBlendIsWhatADrawOfThatColourLeaves)
{
    // Targets and see-through sources of every kind of alpha, each drawn
    // unlit over a clear of the target and asked of BlendConstant, which
    // must give the very bytes, twice (the second time remembered).
    const std::uint32_t targets[] = {0xFF78AAE6u, 0xFF101630u, 0x80FFFFFFu};
    const std::uint32_t sources[] = {0x66FAFAFAu, 0x665A5F78u, 0x01FF0000u, 0xFE00FF7Fu,
                                     0x00123456u};
    for (const std::uint32_t target : targets)
        for (const std::uint32_t source : sources)
        {
            SCOPED_TRACE(std::to_string(target) + " under " + std::to_string(source));
            device->SetRenderStates({});
            device->SetCullMode(gfx::CullMode::None);
            device->SetLighting(false);
            device->SetAlphaBlendEnable(true);
            device->SetBlend(gfx::BlendFactor::SourceAlpha, gfx::BlendFactor::InverseSourceAlpha);
            const gfx::Image texel{
                1,
                1,
                {static_cast<std::uint8_t>(source >> 16), static_cast<std::uint8_t>(source >> 8),
                 static_cast<std::uint8_t>(source), static_cast<std::uint8_t>(source >> 24)}};
            const auto texture = device->CreateTexture(texel, false);
            device->SetTexture(texture.get());
            device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, target, 1.0f);
            DrawList(Screen(0.5f));
            device->SetTexture(nullptr);
            const auto drawn = PixelAt(kSize / 2, kSize / 2);
            const std::uint32_t expected = std::uint32_t(drawn[3]) << 24 |
                                           std::uint32_t(drawn[0]) << 16 |
                                           std::uint32_t(drawn[1]) << 8 | std::uint32_t(drawn[2]);
            EXPECT_EQ(device->BlendConstant(target, source), expected);
            EXPECT_EQ(device->BlendConstant(target, source), expected);
        }
    // The frame drawn into before is still the one drawn into after.
    device->SetMaterial(Emissive(0, 1, 0));
    device->SetRenderStates({});
    device->SetCullMode(gfx::CullMode::None);
    DrawList(Screen(0.1f));
    EXPECT_RGB_NEAR(PixelAt(3, 3), 0, 255, 0);
}
