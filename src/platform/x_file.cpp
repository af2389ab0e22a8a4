#include "platform/x_file.h"

#include "platform/gfx_error.h"
#include "platform/x_file_parser.h"

#include <unordered_map>

namespace gfx
{

namespace
{

// Gives each of the mesh's vertices the normalised sum of the normals of the
// faces around it, weighted by their areas.
void SmoothNormals(std::vector<MeshVertex>& vertices, std::size_t firstVertex,
                   const std::vector<std::uint32_t>& indices, std::size_t firstIndex)
{
    for (std::size_t i = firstIndex; i + 2 < indices.size(); i += 3)
    {
        MeshVertex& a = vertices[indices[i]];
        MeshVertex& b = vertices[indices[i + 1]];
        MeshVertex& c = vertices[indices[i + 2]];
        const Vec3 n = Cross(b.position - a.position, c.position - a.position);
        a.normal = a.normal + n;
        b.normal = b.normal + n;
        c.normal = c.normal + n;
    }
    for (std::size_t i = firstVertex; i < vertices.size(); ++i)
        vertices[i].normal = Normalize(vertices[i].normal);
}

XMeshFile BuildMesh(const xfile::ParsedFile& file)
{
    if (file.meshes.empty())
        throw Error("mesh file: no mesh in the file");
    bool withUv = false;
    for (const xfile::ParsedMesh& mesh : file.meshes)
        withUv = withUv || mesh.hasUv;

    std::vector<XMaterial> materials;
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<std::uint32_t> attributes;
    for (const xfile::ParsedMesh& mesh : file.meshes)
    {
        const std::uint32_t materialBase = static_cast<std::uint32_t>(materials.size());
        if (mesh.hasMaterialList)
            for (const xfile::MaterialEntry& entry : mesh.materials)
            {
                if (!entry.reference)
                {
                    materials.push_back(entry.material);
                    continue;
                }
                const auto found = file.named.find(entry.name);
                if (found == file.named.end())
                    throw Error("mesh file: no material named \"" + entry.name + "\"");
                materials.push_back(found->second);
            }
        else
            materials.push_back(DefaultXMaterial());

        const std::optional<Matrix> inverse = Inverse(mesh.transform);
        const Matrix normalTransform = inverse ? Transpose(*inverse) : mesh.transform;
        const std::size_t vertexBase = vertices.size();
        const std::size_t indexBase = indices.size();
        for (std::size_t i = 0; i < mesh.positions.size(); ++i)
            vertices.push_back({TransformCoord(mesh.positions[i], mesh.transform), Vec3{},
                                mesh.hasUv ? mesh.uvs[i] : Vec2{}});

        // A vertex takes the normal of the first corner that uses it; a
        // corner with another normal gets a copy of the vertex.
        std::vector<std::int64_t> normalOf(mesh.positions.size(), -1);
        std::unordered_map<std::uint64_t, std::uint32_t> copies;
        std::vector<std::uint32_t> cornerVertex(mesh.faceCorners.size());
        for (std::size_t c = 0; c < mesh.faceCorners.size(); ++c)
        {
            const std::uint32_t p = mesh.faceCorners[c];
            std::size_t vertex = vertexBase + p;
            if (mesh.hasNormals)
            {
                const std::uint32_t n = mesh.normalCorners[c];
                const Vec3 normal = Normalize(TransformNormal(mesh.normals[n], normalTransform));
                if (normalOf[p] < 0)
                {
                    normalOf[p] = n;
                    vertices[vertex].normal = normal;
                }
                else if (!(vertices[vertex].normal == normal))
                {
                    const std::uint64_t key = (std::uint64_t{p} << 32) | n;
                    const auto [found, added] =
                        copies.try_emplace(key, static_cast<std::uint32_t>(vertices.size()));
                    if (added)
                    {
                        MeshVertex copy = vertices[vertex];
                        copy.normal = normal;
                        vertices.push_back(copy);
                    }
                    vertex = found->second;
                }
            }
            cornerVertex[c] = static_cast<std::uint32_t>(vertex);
        }

        std::size_t start = 0;
        for (std::size_t face = 0; face < mesh.faceSizes.size(); ++face)
        {
            const std::uint32_t attribute =
                materialBase + (mesh.hasMaterialList ? mesh.faceMaterials[face] : 0);
            for (std::uint32_t t = 1; t + 1 < mesh.faceSizes[face]; ++t)
            {
                indices.push_back(cornerVertex[start]);
                indices.push_back(cornerVertex[start + t]);
                indices.push_back(cornerVertex[start + t + 1]);
                attributes.push_back(attribute);
            }
            start += mesh.faceSizes[face];
        }
        if (!mesh.hasNormals)
            SmoothNormals(vertices, vertexBase, indices, indexBase);
    }
    const IndexFormat format = vertices.size() > 65536 ? IndexFormat::Bits32 : IndexFormat::Bits16;
    const auto materialCount = static_cast<std::uint32_t>(materials.size());
    return XMeshFile{
        Mesh(withUv ? VertexLayout::PositionNormalTexture : VertexLayout::PositionNormal, format,
             std::move(vertices), std::move(indices), std::move(attributes), materialCount),
        std::move(materials)};
}

} // namespace

XMaterial DefaultXMaterial()
{
    XMaterial result;
    result.material.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    return result;
}

XMeshFile LoadXMesh(std::span<const std::uint8_t> bytes)
{
    return BuildMesh(xfile::ParseXFile(bytes));
}

} // namespace gfx