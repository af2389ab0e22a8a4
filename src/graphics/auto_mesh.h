#pragma once

#include "graphics/sub_model_info.h"
#include "platform/x_file.h"

#include <cstdint>
#include <deque>
#include <string>

namespace VARDGraph
{

// The generated shapes come back like a loaded mesh file: a 16-bit indexed
// mesh with position, normal and uv, and its materials in subset order. A
// textured material carries the marker texture name "x"; which texture it
// gets is the model description's business.
using AutoParameters = std::deque<std::uint32_t>;

// Picks the generator by the exact name ("auto-floor", "auto-wall", ...).
// Code 1 for an unknown name or a parameter list of the wrong length.
gfx::XMeshFile CreateAutoMesh(const std::string& name, const AutoParameters& parameters);
gfx::XMeshFile CreateAutoMesh(const CSubModelInfo& subModel);

enum class PillarStyle
{
    SideTextures, // one material per side
    Repeat,       // every side shows the whole texture
    Wrap,         // the texture goes once round the column
};

gfx::XMeshFile CreateAutoFloor(const AutoParameters& parameters);
gfx::XMeshFile CreateAutoWall(const AutoParameters& parameters, bool twoSided);
gfx::XMeshFile CreateAutoPillar(const AutoParameters& parameters, PillarStyle style);
gfx::XMeshFile CreateAutoDecal(const AutoParameters& parameters);
gfx::XMeshFile CreateAutoSphere();
gfx::XMeshFile CreateAutoDownEdge(const AutoParameters& parameters);
gfx::XMeshFile CreateAutoVoidEdge(const AutoParameters& parameters);
gfx::XMeshFile CreateAutoVoidCorner(const AutoParameters& parameters);

} // namespace VARDGraph
