// How fast a frame draws on the software renderer: a lit, textured mesh of
// 10,000 triangles, 2,000 sprites and 200 lines of text. Reports frames per
// second and the median and 99th percentile of single frames, each read
// back so that its drawing has finished.
#include "platform/device.h"
#include "platform/font.h"
#include "platform/gl_context.h"
#include "platform/heap.h"
#include "platform/sprite.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace
{

constexpr std::uint32_t kWidth = 1024;
constexpr std::uint32_t kHeight = 768;

double Percentile(const std::vector<double>& values, double share)
{
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
    return sorted.empty() ? 0.0 : sorted[index];
}

gfx::Image Checker(std::uint32_t side)
{
    gfx::Image image{side, side, std::vector<std::uint8_t>(side * side * 4)};
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x)
        {
            const std::uint8_t v = ((x / 8 + y / 8) % 2) ? 230 : 60;
            std::uint8_t* p = image.Pixel(x, y);
            p[0] = v;
            p[1] = v;
            p[2] = 255 - v;
            p[3] = 255;
        }
    return image;
}

// A ground of 50 × 100 quads, two triangles each.
gfx::Mesh Ground()
{
    std::vector<gfx::MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    constexpr std::uint32_t columns = 50;
    constexpr std::uint32_t rows = 100;
    for (std::uint32_t r = 0; r <= rows; ++r)
        for (std::uint32_t c = 0; c <= columns; ++c)
            vertices.push_back({{c * 2.0f - 50.0f, 0.0f, r * 1.0f - 50.0f},
                                {0.0f, 1.0f, 0.0f},
                                {c * 0.25f, r * 0.25f}});
    for (std::uint32_t r = 0; r < rows; ++r)
        for (std::uint32_t c = 0; c < columns; ++c)
        {
            const std::uint32_t a = r * (columns + 1) + c;
            const std::uint32_t b = a + columns + 1;
            indices.insert(indices.end(), {a, b, a + 1, a + 1, b, b + 1});
        }
    std::vector<std::uint32_t> attributes(indices.size() / 3, 0);
    return gfx::Mesh(gfx::VertexLayout::PositionNormalTexture, gfx::IndexFormat::Bits16,
                     std::move(vertices), std::move(indices), std::move(attributes));
}

void DrawFrame(benchmark::State& state)
{
    platform::KeepFreedMemory();
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    auto context = platform::GlContext::CreateHidden(kWidth, kHeight);
    gfx::Device device(*context, kWidth, kHeight);
    device.SetNormalizeNormals(true);
    device.SetCullMode(gfx::CullMode::Clockwise);
    device.SetSamplerFilter(gfx::TextureFilter::Linear, gfx::TextureFilter::Linear,
                            gfx::TextureFilter::None);
    device.SetBlend(gfx::BlendFactor::SourceAlpha, gfx::BlendFactor::InverseSourceAlpha);
    auto groundTexture = device.CreateTexture(Checker(64));
    auto spriteTexture = device.CreateTexture(Checker(16));
    const gfx::Mesh ground = Ground();
    gfx::Font font(device, 16);
    gfx::Material material;
    material.diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    material.ambient = material.diffuse;
    gfx::Light sun;
    sun.diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
    sun.direction = gfx::Normalize(gfx::Vec3{-1.0f, -1.0f, 0.0f});
    gfx::Light lamp;
    lamp.type = gfx::LightType::Point;
    lamp.diffuse = {0.6f, 0.6f, 0.4f, 0.0f};
    lamp.position = {0.0f, 10.0f, 0.0f};
    lamp.range = 100.0f;
    lamp.attenuation1 = 0.05f;
    const std::string line = "The quick brown fox jumps over the lazy dog, 0123456789.";

    std::vector<double> frames;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        device.BeginScene();
        device.SetTransform(gfx::TransformState::View,
                            gfx::Matrix::LookAtRH({0, 40, 60}, {0, 0, 0}, {0, 1, 0}));
        device.SetTransform(gfx::TransformState::Projection,
                            gfx::Matrix::PerspectiveFovRH(std::numbers::pi_v<float> / 4,
                                                          4.0f / 3.0f, 1.0f, 200.0f));
        device.SetAmbient(0xFF4C4C7Fu);
        device.SetLight(0, sun);
        device.SetLight(1, lamp);
        device.LightEnable(0, true);
        device.LightEnable(1, true);
        device.SetMaterial(material);
        device.SetTexture(groundTexture.get());
        device.DrawSubset(ground, 0);

        device.SetAlphaBlendEnable(true);
        gfx::Sprite sprite(device);
        sprite.Begin(0);
        std::uint32_t seed = 12345;
        for (int i = 0; i < 2000; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            const gfx::Vec3 at{static_cast<float>(seed % (kWidth - 16)),
                               static_cast<float>((seed >> 12) % (kHeight - 16)), 0.0f};
            sprite.Draw(*spriteTexture, nullptr, nullptr, &at, 0xC0FFFFFFu | (seed & 0xFF));
        }
        for (int i = 0; i < 200; ++i)
        {
            const int column = i / 48;
            const int row = i % 48;
            gfx::Rect rect{column * 256, row * 16, column * 256 + 250, row * 16 + 16};
            font.DrawText(&sprite, line, rect, gfx::kTextSingleLine, 0xFFFFFFFFu);
        }
        sprite.End();
        device.EndScene();
        device.Present();
        benchmark::DoNotOptimize(device.ReadPixels());
        frames.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["median_ms"] = Percentile(frames, 0.5);
    state.counters["p99_ms"] = Percentile(frames, 0.99);
}

} // namespace

BENCHMARK(DrawFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
