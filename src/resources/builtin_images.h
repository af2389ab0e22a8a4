#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace VARDResources
{

// The window's icon, at 32 x 32.
constexpr std::uint32_t kWindowIconImage = 107;

// The PNG file of a built-in image; empty when no image has that id.
std::span<const std::uint8_t> FindBuiltInImage(std::uint32_t id);

// Every built-in image's id, ascending.
std::vector<std::uint32_t> BuiltInImageIds();

} // namespace VARDResources
