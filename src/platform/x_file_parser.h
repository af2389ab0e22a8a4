#pragma once

#include "platform/gfx_math.h"
#include "platform/x_file.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

// The data objects of a mesh file as read, before they become one mesh.
// Internal to the platform.
namespace gfx::xfile
{

// A material of a material list: given in place, or a reference by name to
// one given elsewhere in the file.
struct MaterialEntry
{
    bool reference = false;
    std::string name;
    XMaterial material;
};

struct ParsedMesh
{
    Matrix transform = Matrix::Identity();
    std::vector<Vec3> positions;
    std::vector<std::uint32_t> faceSizes;
    // Position indices of all faces, one after the other.
    std::vector<std::uint32_t> faceCorners;
    bool hasNormals = false;
    std::vector<Vec3> normals;
    // Normal indices, corner by corner as faceCorners.
    std::vector<std::uint32_t> normalCorners;
    bool hasUv = false;
    std::vector<Vec2> uvs;
    bool hasMaterialList = false;
    std::vector<std::uint32_t> faceMaterials;
    std::vector<MaterialEntry> materials;
};

struct ParsedFile
{
    // In file order, each with the frames' transforms around it.
    std::vector<ParsedMesh> meshes;
    // Every named material, for references from material lists.
    std::map<std::string, XMaterial> named;
};

// Throws gfx::Error for a malformed or truncated file.
ParsedFile ParseXFile(std::span<const std::uint8_t> bytes);

} // namespace gfx::xfile
