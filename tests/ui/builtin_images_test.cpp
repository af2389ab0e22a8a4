#include "builtin_images.h"
#include "resources/builtin_images.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace
{

const std::filesystem::path kImages = VARD_BUILTIN_IMAGES;

// Every built-in image and its size: icons 32 x 32 (the window's too), marks
// 16 x 16, and the larger pieces.
std::map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> ExpectedSizes()
{
    const std::set<std::uint32_t> absent = {128, 132, 136, 155, 156, 157, 158, 159,
                                            165, 175, 179, 180, 181, 182, 183, 191};
    const std::set<std::uint32_t> marks = {126, 127, 129, 131, 138, 139, 140, 196, 197, 198, 199};
    const std::map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> large = {
        {137, {640, 480}}, {160, {728, 180}}, {184, {64, 64}},  {185, {256, 32}},
        {186, {64, 32}},   {187, {32, 32}},   {188, {64, 64}},  {189, {64, 32}},
        {192, {64, 64}},   {193, {64, 64}},   {194, {256, 512}}};
    std::map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> sizes;
    sizes[107] = {32, 32};
    for (std::uint32_t id = 110; id <= 199; ++id)
    {
        if (absent.count(id))
            continue;
        if (large.count(id))
            sizes[id] = large.at(id);
        else
            sizes[id] = marks.count(id) ? std::pair{16u, 16u} : std::pair{32u, 32u};
    }
    return sizes;
}

} // namespace

TEST(BuiltInImages, GeneratorReproducesTheCommittedFiles)
{
    std::set<std::string> generated;
    for (const BuiltInImages::GeneratedFile& file : BuiltInImages::GenerateBuiltInImages())
    {
        generated.insert(file.name);
        std::ifstream in(kImages / file.name, std::ios::binary);
        const std::vector<std::uint8_t> committed{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
        EXPECT_TRUE(committed == file.bytes)
            << file.name << " differs; run vardimages src/resources/images and commit the result";
    }
    std::set<std::string> committed;
    for (const auto& entry : std::filesystem::directory_iterator(kImages))
        committed.insert(entry.path().filename().string());
    EXPECT_EQ(committed, generated);
}

TEST(BuiltInImages, SeventyFiveEmbeddedAtTheirSizes)
{
    const auto sizes = ExpectedSizes();
    ASSERT_EQ(sizes.size(), 75u);
    std::vector<std::uint32_t> ids;
    for (const auto& [id, size] : sizes)
        ids.push_back(id);
    EXPECT_EQ(VARDResources::BuiltInImageIds(), ids);
    for (const auto& [id, size] : sizes)
    {
        SCOPED_TRACE(id);
        const auto bytes = VARDResources::FindBuiltInImage(id);
        const gfx::Image image = gfx::DecodeImage(bytes);
        EXPECT_EQ(image.width, size.first);
        EXPECT_EQ(image.height, size.second);
        // Nothing is an empty picture.
        std::uint32_t inked = 0;
        for (std::size_t i = 3; i < image.pixels.size(); i += 4)
            inked += image.pixels[i] > 128;
        EXPECT_GT(inked, image.width * image.height / 20);
    }
    EXPECT_TRUE(VARDResources::FindBuiltInImage(128).empty());
    EXPECT_TRUE(VARDResources::FindBuiltInImage(200).empty());
}
