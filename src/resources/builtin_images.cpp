#include "resources/builtin_images.h"

#include "builtin_images_table.h"

namespace VARDResources
{

std::span<const std::uint8_t> FindBuiltInImage(std::uint32_t id)
{
    for (std::size_t i = 0; i < kBuiltInImageCount; ++i)
        if (kBuiltInImages[i].id == id)
            return {kBuiltInImages[i].bytes, kBuiltInImages[i].size};
    return {};
}

std::vector<std::uint32_t> BuiltInImageIds()
{
    std::vector<std::uint32_t> ids;
    for (std::size_t i = 0; i < kBuiltInImageCount; ++i)
        ids.push_back(kBuiltInImages[i].id);
    return ids;
}

} // namespace VARDResources
