#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace gfx
{

// Pixels on the CPU: four bytes each in the order red, green, blue, alpha,
// rows from the top, no gaps.
struct Image
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t* Pixel(std::uint32_t x, std::uint32_t y)
    {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
    const std::uint8_t* Pixel(std::uint32_t x, std::uint32_t y) const
    {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
};

// Images larger than this on either side, or with more pixels than
// kMaxImagePixels, are refused before anything is decoded.
constexpr std::uint32_t kMaxImageSide = 8192;
constexpr std::uint64_t kMaxImagePixels = 4096ull * 4096ull;

// A PNG, BMP, TGA or JPG file at its own size; images without alpha get 255.
// Throws gfx::Error for anything else, a damaged file, or a size beyond the
// limits.
Image DecodeImage(std::span<const std::uint8_t> bytes);

// The smallest power of two not below n (1 for 0); n at most 2^31.
std::uint32_t NextPowerOfTwo(std::uint32_t n);

// The image resampled (bilinear, edges clamped) to the next powers of two on
// each side; the same image when both sides already are.
Image StretchToPowerOfTwo(const Image& image);

// A texture's pixels as the game's images are loaded: decoded, then
// stretched to powers of two.
Image LoadTextureImage(std::span<const std::uint8_t> bytes);

// Recolours in place with three colours (0x00RRGGBB): the red of a pixel
// says how much of the first colour it gets, green the second, blue the
// third. Per output channel k: min(R·C0k + G·C1k + B·C2k, 65280) / 256.
// Alpha stays.
void RecolourImage(Image& image, const std::array<std::uint32_t, 3>& colours);

// The image as a PNG file (eight bits a channel, with alpha). The same image
// always gives the same bytes. Throws gfx::Error for an empty image or one
// whose pixels do not match its size.
std::vector<std::uint8_t> EncodePng(const Image& image);

// One pixel of the colour (0x00RRGGBB) with alpha from 0..1 (clamped).
Image MakeSolidImage(std::uint32_t colour, double alpha);

} // namespace gfx
