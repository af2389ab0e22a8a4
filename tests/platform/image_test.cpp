#include "platform/gfx_error.h"
#include "platform/image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

// The encoder only makes PNG and JPEG test input; its functions stay private to this file.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace
{

using Bytes = std::vector<std::uint8_t>;

void PutLE(Bytes& out, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 2 × 2 24-bit BMP: bottom row first, blue-green-red, rows padded to 4 bytes.
Bytes TwoByTwoBmp()
{
    Bytes b = {'B', 'M'};
    PutLE(b, 14 + 40 + 16, 4);
    PutLE(b, 0, 4);
    PutLE(b, 14 + 40, 4);
    PutLE(b, 40, 4);
    PutLE(b, 2, 4); // width
    PutLE(b, 2, 4); // height, positive: bottom-up
    PutLE(b, 1, 2);
    PutLE(b, 24, 2);
    PutLE(b, 0, 4); // no compression
    PutLE(b, 16, 4);
    PutLE(b, 2835, 4);
    PutLE(b, 2835, 4);
    PutLE(b, 0, 4);
    PutLE(b, 0, 4);
    // Bottom row: blue, white; top row: red, green.
    for (std::uint8_t v : {255, 0, 0, 255, 255, 255, 0, 0})
        b.push_back(v);
    for (std::uint8_t v : {0, 0, 255, 0, 255, 0, 0, 0})
        b.push_back(v);
    return b;
}

// A 2 × 1 32-bit uncompressed TGA with its origin at the top left.
Bytes TwoByOneTga()
{
    Bytes b = {0, 0, 2};
    for (int i = 0; i < 9; ++i)
        b.push_back(0);
    PutLE(b, 2, 2);
    PutLE(b, 1, 2);
    b.push_back(32);
    b.push_back(0x28);                                      // 8 alpha bits, top-left origin
    for (std::uint8_t v : {10, 20, 30, 40, 50, 60, 70, 80}) // blue, green, red, alpha
        b.push_back(v);
    return b;
}

Bytes EncodePng(int width, int height, const std::vector<std::uint8_t>& rgba)
{
    Bytes out;
    stbi_write_png_to_func(
        [](void* context, void* data, int size)
        {
            auto* bytes = static_cast<Bytes*>(context);
            const auto* p = static_cast<const std::uint8_t*>(data);
            bytes->insert(bytes->end(), p, p + size);
        },
        &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

Bytes EncodeJpeg(int width, int height, const std::vector<std::uint8_t>& rgba)
{
    Bytes out;
    stbi_write_jpg_to_func(
        [](void* context, void* data, int size)
        {
            auto* bytes = static_cast<Bytes*>(context);
            const auto* p = static_cast<const std::uint8_t*>(data);
            bytes->insert(bytes->end(), p, p + size);
        },
        &out, width, height, 4, rgba.data(), 100);
    return out;
}

std::vector<std::uint8_t> PixelOf(const gfx::Image& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.Pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

using Rgba = std::vector<std::uint8_t>;

} // namespace

TEST(ImageDecode, BmpRowsComeTopFirst)
{
    const gfx::Image image = gfx::DecodeImage(TwoByTwoBmp());
    ASSERT_EQ(image.width, 2u);
    ASSERT_EQ(image.height, 2u);
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(PixelOf(image, 0, 1), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelOf(image, 1, 1), (Rgba{255, 255, 255, 255}));
}

TEST(ImageDecode, TgaKeepsAlpha)
{
    const gfx::Image image = gfx::DecodeImage(TwoByOneTga());
    ASSERT_EQ(image.width, 2u);
    ASSERT_EQ(image.height, 1u);
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{30, 20, 10, 40}));
    EXPECT_EQ(PixelOf(image, 1, 0), (Rgba{70, 60, 50, 80}));
}

TEST(ImageDecode, PngRoundTrip)
{
    const Rgba pixels = {1, 2, 3, 4, 250, 251, 252, 253, 9, 8, 7, 0};
    const gfx::Image image = gfx::DecodeImage(EncodePng(3, 1, pixels));
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 1u);
    EXPECT_EQ(image.pixels, pixels);
}

TEST(ImageDecode, JpegDecodesOpaqueWithinRounding)
{
    // Flat 8 × 8 blocks of two colours survive the encoder nearly exact.
    Rgba pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (std::uint8_t v : y < 8 ? Rgba{200, 40, 90, 255} : Rgba{20, 180, 60, 255})
                pixels.push_back(v);
    const gfx::Image image = gfx::DecodeImage(EncodeJpeg(16, 16, pixels));
    ASSERT_EQ(image.width, 16u);
    ASSERT_EQ(image.height, 16u);
    for (const auto& [x, y, expected] :
         {std::tuple{3u, 2u, Rgba{200, 40, 90, 255}}, std::tuple{12u, 13u, Rgba{20, 180, 60, 255}}})
    {
        const Rgba got = PixelOf(image, x, y);
        for (std::size_t c = 0; c < 4; ++c)
            EXPECT_NEAR(got[c], expected[c], 6) << x << ',' << y << " channel " << c;
    }
}

TEST(ImageDecode, DamagedJpegAndPngFilesFailWithTheLayersError)
{
    // Inputs that once wrote out of bounds in a decoder: a Huffman table
    // whose counts pass 256 (9 bytes), and truncated and bit-flipped files.
    const Rgba grey(8 * 8 * 4, 128);
    std::vector<Bytes> cases = {{0xff, 0xd8, 0xff, 0xc4, 0x01, 0x0e, 0x00, 0xff, 0x0e}};
    const Bytes jpeg = EncodeJpeg(8, 8, grey);
    cases.emplace_back(jpeg.begin(), jpeg.begin() + 20);
    Bytes png = EncodePng(8, 8, grey);
    png[png.size() / 2] ^= 0x5A;
    cases.push_back(png);
    const std::filesystem::path folder =
        std::filesystem::path(VARD_TEST_DATA) / "platform" / "image_fuzz";
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        std::ifstream in(entry.path(), std::ios::binary);
        cases.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (const Bytes& bytes : cases)
        EXPECT_THROW(gfx::DecodeImage(bytes), gfx::Error) << bytes.size() << " bytes";
}

TEST(ImageDecode, BadDataFails)
{
    EXPECT_THROW(gfx::DecodeImage(Bytes{}), gfx::Error);
    EXPECT_THROW(
        gfx::DecodeImage(Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}),
        gfx::Error);
    const Bytes png = EncodePng(3, 1, Rgba(12, 7));
    EXPECT_THROW(gfx::DecodeImage(Bytes(png.begin(), png.begin() + png.size() / 2)), gfx::Error);
    const Bytes bmp = TwoByTwoBmp();
    EXPECT_THROW(gfx::DecodeImage(Bytes(bmp.begin(), bmp.begin() + 20)), gfx::Error);
}

TEST(ImageDecode, OversizedHeaderFailsBeforeDecoding)
{
    // A PNG header claiming 5000 × 5000 pixels (more than the pixel limit)
    // followed by nothing: refused from the header alone.
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto putBE = [&b](std::uint32_t v)
    {
        for (int i = 3; i >= 0; --i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    putBE(13);
    for (char c : std::string("IHDR"))
        b.push_back(static_cast<std::uint8_t>(c));
    putBE(5000);
    putBE(5000);
    for (std::uint8_t v : {8, 6, 0, 0, 0})
        b.push_back(v);
    putBE(static_cast<std::uint32_t>(crc32(0, b.data() + 12, 17)));
    try
    {
        gfx::DecodeImage(b);
        FAIL() << "no error";
    }
    catch (const gfx::Error& error)
    {
        EXPECT_NE(std::string(error.what()).find("5000 x 5000"), std::string::npos) << error.what();
    }
}

TEST(ImageStretch, NextPowerOfTwo)
{
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> cases = {
        {0, 1}, {1, 1}, {2, 2}, {3, 4}, {5, 8}, {256, 256}, {257, 512}, {600, 1024}};
    for (const auto& [n, expected] : cases)
        EXPECT_EQ(gfx::NextPowerOfTwo(n), expected) << n;
}

TEST(ImageStretch, ThreePixelsBecomeFour)
{
    gfx::Image image;
    image.width = 3;
    image.height = 1;
    image.pixels = {0, 0, 0, 255, 100, 0, 0, 255, 200, 0, 0, 255};
    const gfx::Image stretched = gfx::StretchToPowerOfTwo(image);
    ASSERT_EQ(stretched.width, 4u);
    ASSERT_EQ(stretched.height, 1u);
    // Output centres 0.5, 1.5, 2.5, 3.5 sample the source at 0, 0.625,
    // 1.375 and 2 (clamped): 0, 62.5, 137.5 and 200, rounded.
    const std::vector<std::uint8_t> reds = {stretched.pixels[0], stretched.pixels[4],
                                            stretched.pixels[8], stretched.pixels[12]};
    EXPECT_EQ(reds, (std::vector<std::uint8_t>{0, 63, 138, 200}));
    EXPECT_EQ(stretched.pixels[7], 255);
}

TEST(ImageStretch, BothSidesAndPowersLeftAlone)
{
    gfx::Image image;
    image.width = 3;
    image.height = 5;
    image.pixels.assign(3 * 5 * 4, 77);
    const gfx::Image stretched = gfx::StretchToPowerOfTwo(image);
    EXPECT_EQ(stretched.width, 4u);
    EXPECT_EQ(stretched.height, 8u);
    EXPECT_EQ(stretched.pixels, std::vector<std::uint8_t>(4 * 8 * 4, 77));

    const gfx::Image loaded = gfx::LoadTextureImage(TwoByTwoBmp());
    EXPECT_EQ(loaded.width, 2u);
    EXPECT_EQ(PixelOf(loaded, 1, 0), (Rgba{0, 255, 0, 255}));
}

TEST(ImageRecolour, ChannelsPickTheColours)
{
    gfx::Image image;
    image.width = 4;
    image.height = 1;
    image.pixels = {255, 0, 0, 17, 255, 255, 255, 200, 0, 255, 0, 255, 0, 0, 0, 3};
    // Pixel 0 with C0 = (200, 100, 50): 255 × c / 256 gives 199, 99, 49.
    gfx::RecolourImage(image, {0x00C86432u, 0x00FF8000u, 0x00FFFFFFu});
    EXPECT_EQ(PixelOf(image, 0, 0), (Rgba{199, 99, 49, 17}));
    // Pure green with C1 = (255, 128, 0): 65025 / 256 = 254, 32640 / 256 = 127.
    EXPECT_EQ(PixelOf(image, 2, 0), (Rgba{254, 127, 0, 255}));
    EXPECT_EQ(PixelOf(image, 3, 0), (Rgba{0, 0, 0, 3}));

    gfx::Image white;
    white.width = 1;
    white.height = 1;
    white.pixels = {255, 255, 255, 9};
    // The sum is clamped at 65280 before the division: full white stays white.
    gfx::RecolourImage(white, {0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu});
    EXPECT_EQ(PixelOf(white, 0, 0), (Rgba{255, 255, 255, 9}));
}

TEST(ImageSolid, ColourAndAlpha)
{
    EXPECT_EQ(gfx::MakeSolidImage(0x00336699u, 0.5).pixels, (Rgba{0x33, 0x66, 0x99, 128}));
    EXPECT_EQ(gfx::MakeSolidImage(0xFF102030u, 1.0).pixels, (Rgba{0x10, 0x20, 0x30, 255}));
    EXPECT_EQ(gfx::MakeSolidImage(0x00FFFFFFu, 2.0).pixels[3], 255);
    EXPECT_EQ(gfx::MakeSolidImage(0x00FFFFFFu, -1.0).pixels[3], 0);
    const gfx::Image solid = gfx::MakeSolidImage(0, 0.0);
    EXPECT_EQ(solid.width, 1u);
    EXPECT_EQ(solid.height, 1u);
}

TEST(ImageDecode, ForgedPngChunkLengthFailsBeforeDecoding)
{
    // A 128-byte PNG whose compressed-data chunk claims some 2 GB.
    const std::filesystem::path path = std::filesystem::path(VARD_TEST_DATA) / "platform" /
                                       "image_fuzz" / "png_idat_length_2gb.png";
    std::ifstream in(path, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 128u);
    try
    {
        gfx::DecodeImage(bytes);
        FAIL() << "no error";
    }
    catch (const gfx::Error& error)
    {
        EXPECT_NE(std::string(error.what()).find("runs past the end"), std::string::npos)
            << error.what();
    }
    // The same chunk walk accepts a good file.
    const Bytes png = EncodePng(2, 2, Rgba(16, 200));
    EXPECT_EQ(gfx::DecodeImage(png).pixels, Rgba(16, 200));
}
