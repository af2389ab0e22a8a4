#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace VARDGraph
{

// Flags of a sub-model, carried into its model node.
enum : std::uint32_t
{
    kModelFlat = 1,           // drawn without lighting
    kModelMoveTexture = 2,    // the texture slides along v
    kModelTransparent = 4,    // drawn in the second pass only
    kModelNoMultiTexture = 8, // never takes a multigraphic's shared textures
};

// One texture of a model: a file of the module, or (empty name) a solid
// colour 0x00RRGGBB with the value as its alpha.
struct CTextureEntry
{
    std::string name;
    std::uint32_t colour = 0;
    double value = 0.0;
};

// Three recolour colours (0x00RRGGBB): red of a texel picks the first, green
// the second, blue the third.
using ModelColours = std::array<std::uint32_t, 3>;

// One mesh of a graphic description with its texturing.
struct CSubModelInfo
{
    bool generated = false;
    std::uint32_t meshKind = 0;
    // The mesh file, or for a generated mesh the generator's name.
    std::string meshName;
    std::deque<std::uint32_t> parameters;
    std::vector<CTextureEntry> textures;
    double frameTime = 0.0;
    int hasColours = 0;
    ModelColours colours{};
    double textureMotionRate = 0.0;
    std::uint32_t flags = 0;
};

} // namespace VARDGraph
