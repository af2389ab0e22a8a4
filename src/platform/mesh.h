#pragma once

#include "platform/gfx_math.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace gfx
{

// What each vertex holds when it is drawn; the sizes are those of the
// packed vertex (24 and 32 bytes).
enum class VertexLayout : std::uint8_t
{
    PositionNormal,
    PositionNormalTexture,
};

std::uint32_t VertexStride(VertexLayout layout);

enum class IndexFormat : std::uint8_t
{
    Bits16,
    Bits32,
};

// Every mesh keeps all three parts; the layout says which reach the device.
struct MeshVertex
{
    Vec3 position;
    Vec3 normal;
    Vec2 uv;
};

// Consecutive faces that share one attribute.
struct FaceRange
{
    std::uint32_t attribute = 0;
    std::uint32_t faceStart = 0;
    std::uint32_t faceCount = 0;
};

enum : std::uint32_t
{
    // Drops the vertices no face uses, keeping the order of the others.
    kMeshOptimizeCompact = 1,
    // Orders the faces by attribute (stably), so each subset is one range.
    kMeshOptimizeAttributeSort = 2,
};

// An indexed triangle list in system memory with one attribute (subset id)
// per face. Subset i is drawn with material i.
class Mesh
{
public:
    // Three indices a face. Throws gfx::Error when the arrays do not fit
    // together: an index count that is no multiple of three, an index past
    // the vertices, an attribute count other than the face count, 16-bit
    // indices over more than 65536 vertices, an attribute of 0xFFFFFFFF.
    // attributeCount is the number of subsets the mesh declares (a loaded
    // mesh: its materials); it grows to the largest attribute + 1.
    Mesh(VertexLayout layout, IndexFormat indexFormat, std::vector<MeshVertex> vertices,
         std::vector<std::uint32_t> indices, std::vector<std::uint32_t> attributes,
         std::uint32_t attributeCount = 0);

    VertexLayout GetLayout() const { return m_Layout; }
    IndexFormat GetIndexFormat() const { return m_IndexFormat; }
    std::uint32_t GetNumVertices() const { return static_cast<std::uint32_t>(m_Vertices.size()); }
    std::uint32_t GetNumFaces() const { return static_cast<std::uint32_t>(m_Attributes.size()); }
    std::uint32_t GetAttributeCount() const { return m_AttributeCount; }
    void SetAttributeCount(std::uint32_t count) { m_AttributeCount = count; }

    const std::vector<MeshVertex>& GetVertices() const { return m_Vertices; }
    const std::vector<std::uint32_t>& GetIndices() const { return m_Indices; }
    const std::vector<std::uint32_t>& GetAttributes() const { return m_Attributes; }

    // In-place edits; the sizes stay. Each one bumps the revision.
    std::span<MeshVertex> EditVertices();
    std::span<std::uint32_t> EditAttributes();

    // Runs of equal attribute, in face order.
    std::vector<FaceRange> GetAttributeTable() const;
    // The runs of one attribute; empty when no face has it.
    std::vector<FaceRange> GetSubset(std::uint32_t attribute) const;

    void Optimize(std::uint32_t flags);

    // The vertices as the device takes them: position, normal and, with the
    // texture layout, uv; VertexStride(layout) / 4 floats each.
    std::vector<float> PackVertices() const;
    // Only for 16-bit meshes (gfx::Error otherwise).
    std::vector<std::uint16_t> PackIndices16() const;

    // Counts every change, so a device that keeps an uploaded copy knows when
    // to upload again; the device keeps that copy in DeviceData.
    std::uint64_t GetRevision() const { return m_Revision; }
    std::shared_ptr<void>& DeviceData() const { return m_DeviceData; }

private:
    VertexLayout m_Layout;
    IndexFormat m_IndexFormat;
    std::vector<MeshVertex> m_Vertices;
    std::vector<std::uint32_t> m_Indices;
    std::vector<std::uint32_t> m_Attributes;
    std::uint32_t m_AttributeCount = 0;
    std::uint64_t m_Revision = 0;
    mutable std::shared_ptr<void> m_DeviceData;
};

// One mesh of all the given ones, each moved by its transform (positions as
// points, normals by the inverse transpose, renormalised). The first mesh
// gives the layout. Attributes of each mesh follow those of the meshes before
// it: mesh k's attribute a becomes a + the attribute counts of meshes 0..k-1.
// 32-bit indices when any input has them or the vertices need them. Throws
// gfx::Error for no meshes, a count mismatch or a result beyond 32-bit counts.
Mesh ConcatenateMeshes(std::span<const Mesh* const> meshes, std::span<const Matrix> transforms);

} // namespace gfx
