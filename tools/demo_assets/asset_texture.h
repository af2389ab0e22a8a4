#pragma once

#include "platform/image.h"

#include <cstdint>
#include <vector>

namespace DemoAssets
{

struct Rgb
{
    int r = 0;
    int g = 0;
    int b = 0;
};

// A small picture painted with deterministic noise, so the same program
// always paints the same pixels.
class Painter
{
public:
    Painter(std::uint32_t width, std::uint32_t height, std::uint32_t seed);

    std::uint32_t Width() const { return m_Image.width; }
    std::uint32_t Height() const { return m_Image.height; }

    // A value in 0..1 that depends only on the seed and the arguments.
    double Hash(std::int64_t x, std::int64_t y, std::uint32_t salt = 0) const;
    // Smooth noise in 0..1 with cells of the given size, wrapping at the
    // picture's edges so textures tile.
    double Noise(double x, double y, int cell, std::uint32_t salt = 0) const;

    void Set(std::uint32_t x, std::uint32_t y, const Rgb& colour, int alpha = 255);
    Rgb Get(std::uint32_t x, std::uint32_t y) const;
    // The colour scaled by a factor, in steps of 1/8 so the file packs well.
    static Rgb Shade(const Rgb& colour, double factor);
    static Rgb Mix(const Rgb& a, const Rgb& b, double t);

    // Every pixel of the rectangle: base shaded by noise of the given cell
    // size and strength.
    void FillNoise(std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1,
                   const Rgb& base, int cell, double strength, std::uint32_t salt = 0);

    std::vector<std::uint8_t> Png() const;

private:
    gfx::Image m_Image;
    std::uint32_t m_Seed;
};

} // namespace DemoAssets
