#pragma once

#include <cstddef>
#include <cstdint>

namespace VARDResources
{

// Written by the build from images/*.png (embed_images.cmake), ascending by id.
struct BuiltInImageEntry
{
    std::uint32_t id;
    const std::uint8_t* bytes;
    std::size_t size;
};

extern const BuiltInImageEntry kBuiltInImages[];
extern const std::size_t kBuiltInImageCount;

} // namespace VARDResources
