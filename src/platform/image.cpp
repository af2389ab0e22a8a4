#include "platform/image.h"

#include "platform/gfx_error.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

// PNG and JPEG go through libpng and libjpeg-turbo, which are fuzzed
// upstream and see far more hostile files than ours do. The single-header
// decoder is kept only for BMP and TGA, reading from memory, with its own
// size guard at our limit.
#include <png.h>
#include <turbojpeg.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 8192
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace gfx
{

static_assert(STBI_MAX_DIMENSIONS == kMaxImageSide);

namespace
{

void CheckSize(std::uint64_t width, std::uint64_t height)
{
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels)
        throw Error("image: size " + std::to_string(width) + " x " + std::to_string(height) +
                    " is out of range");
}

// The PNG decoder sizes its buffer for compressed data from each chunk's
// stated length before it reads the chunk, so a forged length in a tiny file
// would make it allocate gigabytes. Every chunk must fit in the bytes given.
void CheckPngChunks(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || !std::equal(kSignature, kSignature + 8, bytes.begin()))
        return;
    std::size_t at = 8;
    while (bytes.size() - at >= 8)
    {
        const std::uint32_t length = (std::uint32_t{bytes[at]} << 24) |
                                     (std::uint32_t{bytes[at + 1]} << 16) |
                                     (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
        if (length > bytes.size() - at - 8 || bytes.size() - at - 8 - length < 4)
            throw Error("image: PNG chunk of " + std::to_string(length) +
                        " bytes runs past the end of the file");
        if (std::equal(bytes.begin() + at + 4, bytes.begin() + at + 8, "IEND"))
            return;
        at += 12 + std::size_t{length};
    }
}

bool IsPng(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin());
}

bool IsJpeg(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

Image DecodePng(std::span<const std::uint8_t> bytes)
{
    CheckPngChunks(bytes);
    // The size stands in the first chunk, which must be the header: refused
    // before the decoder sees more than that.
    if (bytes.size() >= 24 && std::equal(bytes.begin() + 12, bytes.begin() + 16, "IHDR"))
    {
        const auto big = [&](std::size_t at)
        {
            return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
                   (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
        };
        CheckSize(big(16), big(20));
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    // Frees whatever the reader holds on every way out.
    struct Release
    {
        png_image* png;
        ~Release() { png_image_free(png); }
    } release{&png};
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()))
        throw Error(std::string("image: PNG: ") + png.message);
    CheckSize(png.width, png.height);
    png.format = PNG_FORMAT_RGBA;
    Image image;
    image.width = png.width;
    image.height = png.height;
    image.pixels.resize(std::size_t{image.width} * image.height * 4);
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr))
        throw Error(std::string("image: PNG: ") + png.message);
    return image;
}

Image DecodeJpeg(std::span<const std::uint8_t> bytes)
{
    const std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), tjDestroy);
    if (!handle)
        throw Error("image: JPEG: no decoder");
    const auto fail = [&]
    { return Error(std::string("image: JPEG: ") + tjGetErrorStr2(handle.get())); };
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(handle.get(), bytes.data(), size, &width, &height, &subsampling,
                            &colourspace) != 0)
        throw fail();
    CheckSize(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
    Image image;
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.pixels.resize(std::size_t{image.width} * image.height * 4);
    // A progressive file of endless scans would take endless time. A damaged
    // but readable file decodes as far as it goes, as viewers show it.
    if (tjDecompress2(handle.get(), bytes.data(), size, image.pixels.data(), width, 0, height,
                      TJPF_RGBA, TJFLAG_LIMITSCANS) != 0 &&
        tjGetErrorCode(handle.get()) != TJERR_WARNING)
        throw fail();
    return image;
}

} // namespace

Image DecodeImage(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw Error("image: no data or too much");
    if (IsPng(bytes))
        return DecodePng(bytes);
    if (IsJpeg(bytes))
        return DecodeJpeg(bytes);
    const auto length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels))
        throw Error(std::string("image: ") + stbi_failure_reason());
    CheckSize(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
    std::unique_ptr<stbi_uc, void (*)(void*)> decoded(
        stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 4),
        stbi_image_free);
    if (!decoded)
        throw Error(std::string("image: ") + stbi_failure_reason());
    // The header read twice may differ for a hostile file; trust the decode.
    CheckSize(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
    Image image;
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.pixels.assign(decoded.get(), decoded.get() + std::size_t{image.width} * image.height * 4);
    return image;
}

std::uint32_t NextPowerOfTwo(std::uint32_t n)
{
    std::uint32_t power = 1;
    while (power < n && power < 0x80000000u)
        power <<= 1;
    return power;
}

namespace
{

// Source samples and weights for one output coordinate: pixel centres map
// onto pixel centres.
struct Tap
{
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    float weight = 0.0f; // of the second
};

std::vector<Tap> MakeTaps(std::uint32_t from, std::uint32_t to)
{
    std::vector<Tap> taps(to);
    const double ratio = static_cast<double>(from) / to;
    for (std::uint32_t i = 0; i < to; ++i)
    {
        const double position = std::max(0.0, (i + 0.5) * ratio - 0.5);
        const auto base = static_cast<std::uint32_t>(position);
        taps[i].first = std::min(base, from - 1);
        taps[i].second = std::min(base + 1, from - 1);
        taps[i].weight = static_cast<float>(position - base);
    }
    return taps;
}

} // namespace

Image StretchToPowerOfTwo(const Image& image)
{
    if (image.width == 0 || image.height == 0)
        throw Error("image: nothing to stretch");
    const std::uint32_t width = NextPowerOfTwo(image.width);
    const std::uint32_t height = NextPowerOfTwo(image.height);
    if (width == image.width && height == image.height)
        return image;
    CheckSize(width, height);
    const std::vector<Tap> columns = MakeTaps(image.width, width);
    const std::vector<Tap> rows = MakeTaps(image.height, height);
    Image result;
    result.width = width;
    result.height = height;
    result.pixels.resize(std::size_t{width} * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
    {
        const Tap& row = rows[y];
        for (std::uint32_t x = 0; x < width; ++x)
        {
            const Tap& column = columns[x];
            const std::uint8_t* p00 = image.Pixel(column.first, row.first);
            const std::uint8_t* p01 = image.Pixel(column.second, row.first);
            const std::uint8_t* p10 = image.Pixel(column.first, row.second);
            const std::uint8_t* p11 = image.Pixel(column.second, row.second);
            std::uint8_t* out = result.Pixel(x, y);
            for (int k = 0; k < 4; ++k)
            {
                const float top = p00[k] + (p01[k] - p00[k]) * column.weight;
                const float bottom = p10[k] + (p11[k] - p10[k]) * column.weight;
                const float value = top + (bottom - top) * row.weight;
                out[k] = static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
            }
        }
    }
    return result;
}

Image LoadTextureImage(std::span<const std::uint8_t> bytes)
{
    return StretchToPowerOfTwo(DecodeImage(bytes));
}

void RecolourImage(Image& image, const std::array<std::uint32_t, 3>& colours)
{
    // Components of each colour by output channel: red, green, blue.
    std::uint32_t c[3][3];
    for (int i = 0; i < 3; ++i)
    {
        c[i][0] = (colours[i] >> 16) & 0xFFu;
        c[i][1] = (colours[i] >> 8) & 0xFFu;
        c[i][2] = colours[i] & 0xFFu;
    }
    for (std::size_t at = 0; at + 3 < image.pixels.size(); at += 4)
    {
        std::uint8_t* p = image.pixels.data() + at;
        const std::uint32_t r = p[0];
        const std::uint32_t g = p[1];
        const std::uint32_t b = p[2];
        for (int k = 0; k < 3; ++k)
            p[k] = static_cast<std::uint8_t>(
                std::min<std::uint32_t>(r * c[0][k] + g * c[1][k] + b * c[2][k], 65280u) / 256u);
    }
}

Image MakeSolidImage(std::uint32_t colour, double alpha)
{
    Image image;
    image.width = 1;
    image.height = 1;
    const double clamped = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0);
    image.pixels = {static_cast<std::uint8_t>((colour >> 16) & 0xFFu),
                    static_cast<std::uint8_t>((colour >> 8) & 0xFFu),
                    static_cast<std::uint8_t>(colour & 0xFFu),
                    static_cast<std::uint8_t>(std::lround(clamped * 255.0))};
    return image;
}

} // namespace gfx
