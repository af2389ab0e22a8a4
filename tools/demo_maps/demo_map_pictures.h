#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace DemoMaps
{

// One file of the demo module's "map" folder.
struct Picture
{
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The demo world map's ground tiles (256 × 256) and place images, in name
// order. Integer arithmetic only, so every machine writes the same bytes.
std::vector<Picture> GenerateDemoMapPictures();

} // namespace DemoMaps
