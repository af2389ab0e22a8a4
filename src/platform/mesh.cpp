#include "platform/mesh.h"

#include "platform/gfx_error.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>

namespace gfx
{

std::uint32_t VertexStride(VertexLayout layout)
{
    return layout == VertexLayout::PositionNormal ? 24u : 32u;
}

namespace
{

constexpr std::uint64_t kMax16BitVertices = 65536;
constexpr std::uint32_t kNoAttribute = 0xFFFFFFFFu;

} // namespace

Mesh::Mesh(VertexLayout layout, IndexFormat indexFormat, std::vector<MeshVertex> vertices,
           std::vector<std::uint32_t> indices, std::vector<std::uint32_t> attributes,
           std::uint32_t attributeCount)
    : m_Layout(layout), m_IndexFormat(indexFormat), m_Vertices(std::move(vertices)),
      m_Indices(std::move(indices)), m_Attributes(std::move(attributes)),
      m_AttributeCount(attributeCount)
{
    if (m_Vertices.size() > std::numeric_limits<std::uint32_t>::max())
        throw Error("mesh: too many vertices");
    if (m_Indices.size() % 3 != 0)
        throw Error("mesh: " + std::to_string(m_Indices.size()) +
                    " indices do not make whole triangles");
    if (m_Attributes.size() != m_Indices.size() / 3)
        throw Error("mesh: " + std::to_string(m_Attributes.size()) + " attributes for " +
                    std::to_string(m_Indices.size() / 3) + " faces");
    if (m_IndexFormat == IndexFormat::Bits16 && m_Vertices.size() > kMax16BitVertices)
        throw Error("mesh: " + std::to_string(m_Vertices.size()) + " vertices need 32-bit indices");
    for (std::uint32_t index : m_Indices)
        if (index >= m_Vertices.size())
            throw Error("mesh: index " + std::to_string(index) + " past " +
                        std::to_string(m_Vertices.size()) + " vertices");
    for (std::uint32_t attribute : m_Attributes)
    {
        if (attribute == kNoAttribute)
            throw Error("mesh: attribute out of range");
        m_AttributeCount = std::max(m_AttributeCount, attribute + 1);
    }
}

std::span<MeshVertex> Mesh::EditVertices()
{
    ++m_Revision;
    return m_Vertices;
}

std::span<std::uint32_t> Mesh::EditAttributes()
{
    ++m_Revision;
    return m_Attributes;
}

std::vector<FaceRange> Mesh::GetAttributeTable() const
{
    std::vector<FaceRange> table;
    for (std::uint32_t face = 0; face < m_Attributes.size(); ++face)
    {
        if (table.empty() || table.back().attribute != m_Attributes[face])
            table.push_back({m_Attributes[face], face, 0});
        ++table.back().faceCount;
    }
    return table;
}

std::vector<FaceRange> Mesh::GetSubset(std::uint32_t attribute) const
{
    std::vector<FaceRange> ranges;
    for (const FaceRange& range : GetAttributeTable())
        if (range.attribute == attribute)
            ranges.push_back(range);
    return ranges;
}

void Mesh::Optimize(std::uint32_t flags)
{
    ++m_Revision;
    if (flags & kMeshOptimizeAttributeSort)
    {
        std::vector<std::uint32_t> order(m_Attributes.size());
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(),
                         [this](std::uint32_t a, std::uint32_t b)
                         { return m_Attributes[a] < m_Attributes[b]; });
        std::vector<std::uint32_t> indices(m_Indices.size());
        std::vector<std::uint32_t> attributes(m_Attributes.size());
        for (std::size_t i = 0; i < order.size(); ++i)
        {
            std::copy_n(m_Indices.begin() + order[i] * 3, 3, indices.begin() + i * 3);
            attributes[i] = m_Attributes[order[i]];
        }
        m_Indices = std::move(indices);
        m_Attributes = std::move(attributes);
    }
    if (flags & kMeshOptimizeCompact)
    {
        std::vector<std::uint32_t> remap(m_Vertices.size(), kNoAttribute);
        for (std::uint32_t index : m_Indices)
            remap[index] = 0;
        std::vector<MeshVertex> kept;
        for (std::size_t i = 0; i < m_Vertices.size(); ++i)
            if (remap[i] == 0)
            {
                remap[i] = static_cast<std::uint32_t>(kept.size());
                kept.push_back(m_Vertices[i]);
            }
        for (std::uint32_t& index : m_Indices)
            index = remap[index];
        m_Vertices = std::move(kept);
    }
}

std::vector<float> Mesh::PackVertices() const
{
    const bool withUv = m_Layout == VertexLayout::PositionNormalTexture;
    std::vector<float> packed;
    packed.reserve(m_Vertices.size() * (withUv ? 8 : 6));
    for (const MeshVertex& v : m_Vertices)
    {
        packed.insert(packed.end(), {v.position.x, v.position.y, v.position.z, v.normal.x,
                                     v.normal.y, v.normal.z});
        if (withUv)
            packed.insert(packed.end(), {v.uv.x, v.uv.y});
    }
    return packed;
}

std::vector<std::uint16_t> Mesh::PackIndices16() const
{
    if (m_IndexFormat != IndexFormat::Bits16)
        throw Error("mesh: 32-bit indices asked for as 16-bit");
    return std::vector<std::uint16_t>(m_Indices.begin(), m_Indices.end());
}

Mesh ConcatenateMeshes(std::span<const Mesh* const> meshes, std::span<const Matrix> transforms)
{
    if (meshes.empty())
        throw Error("mesh concatenation: no meshes");
    if (transforms.size() != meshes.size())
        throw Error("mesh concatenation: " + std::to_string(meshes.size()) + " meshes but " +
                    std::to_string(transforms.size()) + " transforms");
    std::uint64_t vertexTotal = 0;
    std::uint64_t indexTotal = 0;
    std::uint64_t attributeTotal = 0;
    bool wide = false;
    for (const Mesh* mesh : meshes)
    {
        if (!mesh)
            throw Error("mesh concatenation: missing mesh");
        vertexTotal += mesh->GetNumVertices();
        indexTotal += mesh->GetIndices().size();
        attributeTotal += mesh->GetAttributeCount();
        wide = wide || mesh->GetIndexFormat() == IndexFormat::Bits32;
    }
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();
    if (vertexTotal > kLimit || indexTotal > kLimit || attributeTotal >= kLimit)
        throw Error("mesh concatenation: result too large");
    wide = wide || vertexTotal > kMax16BitVertices;

    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<std::uint32_t> attributes;
    vertices.reserve(vertexTotal);
    indices.reserve(indexTotal);
    attributes.reserve(indexTotal / 3);
    std::uint32_t vertexBase = 0;
    std::uint32_t attributeBase = 0;
    for (std::size_t k = 0; k < meshes.size(); ++k)
    {
        const Mesh& mesh = *meshes[k];
        const Matrix& transform = transforms[k];
        const std::optional<Matrix> inverse = Inverse(transform);
        const Matrix normalTransform = inverse ? Transpose(*inverse) : transform;
        const bool withUv = mesh.GetLayout() == VertexLayout::PositionNormalTexture;
        for (const MeshVertex& v : mesh.GetVertices())
            vertices.push_back({TransformCoord(v.position, transform),
                                Normalize(TransformNormal(v.normal, normalTransform)),
                                withUv ? v.uv : Vec2{}});
        for (std::uint32_t index : mesh.GetIndices())
            indices.push_back(index + vertexBase);
        for (std::uint32_t attribute : mesh.GetAttributes())
        {
            if (attribute >= kLimit - attributeBase)
                throw Error("mesh concatenation: attribute out of range");
            attributes.push_back(attribute + attributeBase);
        }
        vertexBase += mesh.GetNumVertices();
        attributeBase += mesh.GetAttributeCount();
    }
    return Mesh(meshes[0]->GetLayout(), wide ? IndexFormat::Bits32 : IndexFormat::Bits16,
                std::move(vertices), std::move(indices), std::move(attributes), attributeBase);
}

} // namespace gfx
