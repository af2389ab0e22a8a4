#include "asset_texture.h"

#include <algorithm>
#include <cmath>

namespace DemoAssets
{

Painter::Painter(std::uint32_t width, std::uint32_t height, std::uint32_t seed) : m_Seed(seed)
{
    m_Image.width = width;
    m_Image.height = height;
    m_Image.pixels.assign(static_cast<std::size_t>(width) * height * 4, 255);
}

double Painter::Hash(std::int64_t x, std::int64_t y, std::uint32_t salt) const
{
    std::uint64_t h = m_Seed * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(x) * 0xBF58476D1CE4E5B9ull;
    h ^= static_cast<std::uint64_t>(y) * 0x94D049BB133111EBull;
    h ^= static_cast<std::uint64_t>(salt) * 0xD6E8FEB86659FD93ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<double>(h >> 11) / static_cast<double>(1ull << 53);
}

double Painter::Noise(double x, double y, int cell, std::uint32_t salt) const
{
    const auto cellsX = static_cast<std::int64_t>(std::max<std::uint32_t>(1, Width() / cell));
    const auto cellsY = static_cast<std::int64_t>(std::max<std::uint32_t>(1, Height() / cell));
    const double fx = x / cell;
    const double fy = y / cell;
    const auto ix = static_cast<std::int64_t>(std::floor(fx));
    const auto iy = static_cast<std::int64_t>(std::floor(fy));
    const double tx = fx - static_cast<double>(ix);
    const double ty = fy - static_cast<double>(iy);
    auto at = [&](std::int64_t cx, std::int64_t cy)
    { return Hash(((cx % cellsX) + cellsX) % cellsX, ((cy % cellsY) + cellsY) % cellsY, salt); };
    const double sx = tx * tx * (3 - 2 * tx);
    const double sy = ty * ty * (3 - 2 * ty);
    const double top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
    const double bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

void Painter::Set(std::uint32_t x, std::uint32_t y, const Rgb& colour, int alpha)
{
    if (x >= Width() || y >= Height())
        return;
    std::uint8_t* p = m_Image.Pixel(x, y);
    p[0] = static_cast<std::uint8_t>(std::clamp(colour.r, 0, 255));
    p[1] = static_cast<std::uint8_t>(std::clamp(colour.g, 0, 255));
    p[2] = static_cast<std::uint8_t>(std::clamp(colour.b, 0, 255));
    p[3] = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
}

Rgb Painter::Get(std::uint32_t x, std::uint32_t y) const
{
    const std::uint8_t* p = m_Image.Pixel(x, y);
    return {p[0], p[1], p[2]};
}

Rgb Painter::Shade(const Rgb& colour, double factor)
{
    const double stepped = std::round(factor * 8.0) / 8.0;
    return {static_cast<int>(colour.r * stepped), static_cast<int>(colour.g * stepped),
            static_cast<int>(colour.b * stepped)};
}

Rgb Painter::Mix(const Rgb& a, const Rgb& b, double t)
{
    return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
            static_cast<int>(a.b + (b.b - a.b) * t)};
}

void Painter::FillNoise(std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1,
                        const Rgb& base, int cell, double strength, std::uint32_t salt)
{
    for (std::uint32_t y = y0; y < y1; ++y)
        for (std::uint32_t x = x0; x < x1; ++x)
        {
            const double n = Noise(x, y, cell, salt);
            Set(x, y, Shade(base, 1.0 + (n - 0.5) * 2.0 * strength));
        }
}

std::vector<std::uint8_t> Painter::Png() const
{
    return gfx::EncodePng(m_Image);
}

} // namespace DemoAssets
