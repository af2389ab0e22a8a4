#pragma once

#include "platform/material.h"
#include "platform/mesh.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace gfx
{

// A material of a mesh file. The texture file name only tells that the
// material is textured; which texture it gets is the model's business.
struct XMaterial
{
    Material material; // ambient left zero: the file has none
    std::string textureFile;

    bool HasTexture() const { return !textureFile.empty(); }
};

struct XMeshFile
{
    Mesh mesh;
    // In file order; subset i of the mesh uses material i. Never empty.
    std::vector<XMaterial> materials;
};

// Reads a .x mesh file (text or binary, either compressed, 32- or 64-bit floats)
// from its bytes. Every mesh of the file, in file order, joins one mesh with
// the transforms of the frames around it applied; faces of more than three
// corners become fans of triangles; vertices are split where a corner's
// normal differs. The layout has texture coordinates when any mesh has them.
// A mesh without normals gets smooth ones from its faces; a mesh without a
// material list gets one mid-grey material. Throws gfx::Error, naming the
// place, for a malformed or truncated file; never allocates more than the
// bytes given can describe.
XMeshFile LoadXMesh(std::span<const std::uint8_t> bytes);

// The material given to a mesh that names none.
XMaterial DefaultXMaterial();

} // namespace gfx
