#include "platform/gfx_error.h"
#include "platform/mesh.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

gfx::MeshVertex At(float x, float y, float z)
{
    return {{x, y, z}, {0, 1, 0}, {x, z}};
}

// Three triangles of one unit square's corners, one per material 0, 1, 2.
gfx::Mesh ThreeMaterialPiece()
{
    return gfx::Mesh(gfx::VertexLayout::PositionNormalTexture, gfx::IndexFormat::Bits16,
                     {At(0, 0, 0), At(1, 0, 0), At(1, 0, 1), At(0, 0, 1)},
                     {0, 1, 2, 0, 2, 3, 1, 2, 3}, {0, 1, 2});
}

} // namespace

TEST(Mesh, StridesOfTheLayouts)
{
    EXPECT_EQ(gfx::VertexStride(gfx::VertexLayout::PositionNormal), 24u);
    EXPECT_EQ(gfx::VertexStride(gfx::VertexLayout::PositionNormalTexture), 32u);
}

TEST(Mesh, InconsistentArraysAreRefused)
{
    const std::vector<gfx::MeshVertex> three = {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)};
    using gfx::IndexFormat;
    using gfx::VertexLayout;
    EXPECT_THROW(gfx::Mesh(VertexLayout::PositionNormal, IndexFormat::Bits16, three, {0, 1}, {}),
                 gfx::Error);
    EXPECT_THROW(
        gfx::Mesh(VertexLayout::PositionNormal, IndexFormat::Bits16, three, {0, 1, 3}, {0}),
        gfx::Error);
    EXPECT_THROW(gfx::Mesh(VertexLayout::PositionNormal, IndexFormat::Bits16, three, {0, 1, 2}, {}),
                 gfx::Error);
    EXPECT_THROW(gfx::Mesh(VertexLayout::PositionNormal, IndexFormat::Bits16, three, {0, 1, 2},
                           {0xFFFFFFFFu}),
                 gfx::Error);
    std::vector<gfx::MeshVertex> many(65537);
    EXPECT_THROW(
        gfx::Mesh(VertexLayout::PositionNormal, IndexFormat::Bits16, many, {0, 1, 65536}, {0}),
        gfx::Error);
    EXPECT_NO_THROW(
        gfx::Mesh(VertexLayout::PositionNormal, IndexFormat::Bits32, many, {0, 1, 65536}, {0}));
}

TEST(Mesh, AttributeCountGrowsToTheLargestAttribute)
{
    const gfx::Mesh declared(gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
                             {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)}, {0, 1, 2}, {0}, 4);
    EXPECT_EQ(declared.GetAttributeCount(), 4u);
    const gfx::Mesh grown(gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
                          {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)}, {0, 1, 2}, {6}, 2);
    EXPECT_EQ(grown.GetAttributeCount(), 7u);
}

TEST(Mesh, AttributeTableAndSubsets)
{
    gfx::Mesh mesh(gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
                   {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)}, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2},
                   {1, 1, 0, 1});
    const std::vector<gfx::FaceRange> table = mesh.GetAttributeTable();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].attribute, 1u);
    EXPECT_EQ(table[0].faceStart, 0u);
    EXPECT_EQ(table[0].faceCount, 2u);
    EXPECT_EQ(table[1].attribute, 0u);
    EXPECT_EQ(table[1].faceStart, 2u);
    EXPECT_EQ(table[2].faceStart, 3u);
    const std::vector<gfx::FaceRange> ones = mesh.GetSubset(1);
    ASSERT_EQ(ones.size(), 2u);
    EXPECT_EQ(ones[1].faceStart, 3u);
    EXPECT_TRUE(mesh.GetSubset(5).empty());
}

TEST(Mesh, OptimizeSortsStablyAndCompacts)
{
    // Vertex 1 is used by no face; faces carry attributes 2, 0, 2, 0.
    gfx::Mesh mesh(gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
                   {At(0, 0, 0), At(9, 9, 9), At(1, 0, 0), At(1, 0, 1), At(0, 0, 1)},
                   {0, 2, 3, 0, 3, 4, 2, 3, 4, 0, 2, 4}, {2, 0, 2, 0});
    const std::uint64_t before = mesh.GetRevision();
    mesh.Optimize(gfx::kMeshOptimizeCompact | gfx::kMeshOptimizeAttributeSort);
    EXPECT_GT(mesh.GetRevision(), before);
    EXPECT_EQ(mesh.GetAttributes(), (std::vector<std::uint32_t>{0, 0, 2, 2}));
    // Old vertices 0, 2, 3, 4 become 0, 1, 2, 3.
    EXPECT_EQ(mesh.GetIndices(), (std::vector<std::uint32_t>{0, 2, 3, 0, 1, 3, 0, 1, 2, 1, 2, 3}));
    ASSERT_EQ(mesh.GetNumVertices(), 4u);
    EXPECT_EQ(mesh.GetVertices()[1].position, (gfx::Vec3{1, 0, 0}));
    EXPECT_EQ(mesh.GetAttributeTable().size(), 2u);
}

TEST(Mesh, PackedVerticesFollowTheLayout)
{
    const gfx::Mesh textured = ThreeMaterialPiece();
    const std::vector<float> packed = textured.PackVertices();
    ASSERT_EQ(packed.size(), 4u * 8u);
    // Vertex 2: position (1, 0, 1), normal (0, 1, 0), uv (1, 1).
    EXPECT_EQ(std::vector<float>(packed.begin() + 16, packed.begin() + 24),
              (std::vector<float>{1, 0, 1, 0, 1, 0, 1, 1}));
    const gfx::Mesh plain(gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
                          {At(0, 0, 0), At(1, 0, 0), At(0, 0, 1)}, {0, 2, 1}, {0});
    EXPECT_EQ(plain.PackVertices().size(), 3u * 6u);
    EXPECT_EQ(plain.PackIndices16(), (std::vector<std::uint16_t>{0, 2, 1}));
}

TEST(Mesh, EditAttributesFoldsConcatenatedCopies)
{
    gfx::Mesh mesh = ThreeMaterialPiece();
    for (std::uint32_t& attribute : mesh.EditAttributes())
        attribute = 2 - attribute;
    EXPECT_EQ(mesh.GetAttributes(), (std::vector<std::uint32_t>{2, 1, 0}));
}

TEST(MeshConcatenation, ManyCopiesOfAThreeMaterialPiece)
{
    const gfx::Mesh piece = ThreeMaterialPiece();
    const int copies = 40;
    std::vector<const gfx::Mesh*> meshes(copies, &piece);
    std::vector<gfx::Matrix> transforms;
    for (int j = 0; j < copies; ++j)
        transforms.push_back(gfx::Matrix::Translation(2.5f * j, 0, 0));
    gfx::Mesh merged = gfx::ConcatenateMeshes(meshes, transforms);
    ASSERT_EQ(merged.GetNumFaces(), 120u);
    ASSERT_EQ(merged.GetNumVertices(), 160u);
    EXPECT_EQ(merged.GetLayout(), gfx::VertexLayout::PositionNormalTexture);
    EXPECT_EQ(merged.GetIndexFormat(), gfx::IndexFormat::Bits16);
    EXPECT_EQ(merged.GetAttributeCount(), 120u);
    // Copy j's materials come after those of the copies before it.
    for (std::uint32_t face = 0; face < 120; ++face)
        ASSERT_EQ(merged.GetAttributes()[face], face) << face;
    // Copy 7's third vertex, moved 17.5 along x; indices point into copy 7.
    EXPECT_EQ(merged.GetVertices()[7 * 4 + 2].position, (gfx::Vec3{18.5f, 0, 1}));
    EXPECT_EQ(merged.GetVertices()[7 * 4 + 2].uv.x, 1.0f);
    EXPECT_EQ(merged.GetIndices()[7 * 9 + 3], 28u);

    // Folded back onto the piece's three materials and sorted: three subsets
    // of 40 faces each.
    for (std::uint32_t& attribute : merged.EditAttributes())
        attribute %= 3;
    merged.Optimize(gfx::kMeshOptimizeCompact | gfx::kMeshOptimizeAttributeSort);
    const std::vector<gfx::FaceRange> table = merged.GetAttributeTable();
    ASSERT_EQ(table.size(), 3u);
    for (std::uint32_t a = 0; a < 3; ++a)
    {
        EXPECT_EQ(table[a].attribute, a);
        EXPECT_EQ(table[a].faceStart, 40u * a);
        EXPECT_EQ(table[a].faceCount, 40u);
    }
    EXPECT_EQ(merged.GetNumVertices(), 160u);
}

TEST(MeshConcatenation, TransformsTurnNormalsAndMixLayouts)
{
    const gfx::Mesh plain(
        gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
        {{{1, 0, 0}, {1, 0, 0}, {}}, {{0, 1, 0}, {1, 0, 0}, {}}, {{0, 0, 1}, {1, 0, 0}, {}}},
        {0, 1, 2}, {0});
    const gfx::Mesh textured = ThreeMaterialPiece();
    const std::vector<const gfx::Mesh*> meshes = {&plain, &textured};
    // A quarter turn about Y with an uneven scale: the normal (1, 0, 0)
    // still comes out as a unit vector, turned to (0, 0, -1).
    const std::vector<gfx::Matrix> transforms = {gfx::Matrix::Scaling(3, 1, 1) *
                                                     gfx::Matrix::RotationY(1.57079632679f),
                                                 gfx::Matrix::Identity()};
    const gfx::Mesh merged = gfx::ConcatenateMeshes(meshes, transforms);
    EXPECT_EQ(merged.GetLayout(), gfx::VertexLayout::PositionNormal);
    const gfx::MeshVertex& first = merged.GetVertices()[0];
    EXPECT_NEAR(first.position.z, -3.0f, 1e-5f);
    EXPECT_NEAR(first.normal.x, 0.0f, 1e-5f);
    EXPECT_NEAR(first.normal.z, -1.0f, 1e-5f);
    // The plain mesh declares one attribute, so the second mesh starts at 1.
    EXPECT_EQ(merged.GetAttributes(), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(merged.GetIndices()[3], 3u);
}

TEST(MeshConcatenation, ManyVerticesNeedWideIndices)
{
    std::vector<gfx::MeshVertex> vertices(30000);
    const gfx::Mesh big(gfx::VertexLayout::PositionNormal, gfx::IndexFormat::Bits16,
                        std::move(vertices), {0, 1, 29999}, {0});
    const std::vector<const gfx::Mesh*> meshes(3, &big);
    const std::vector<gfx::Matrix> transforms(3, gfx::Matrix::Identity());
    const gfx::Mesh merged = gfx::ConcatenateMeshes(meshes, transforms);
    EXPECT_EQ(merged.GetIndexFormat(), gfx::IndexFormat::Bits32);
    EXPECT_EQ(merged.GetIndices()[8], 89999u);
    EXPECT_THROW(merged.PackIndices16(), gfx::Error);
}

TEST(MeshConcatenation, BadArgumentsFail)
{
    const gfx::Mesh piece = ThreeMaterialPiece();
    const std::vector<const gfx::Mesh*> none;
    const std::vector<gfx::Matrix> noTransforms;
    EXPECT_THROW(gfx::ConcatenateMeshes(none, noTransforms), gfx::Error);
    const std::vector<const gfx::Mesh*> two(2, &piece);
    const std::vector<gfx::Matrix> one(1, gfx::Matrix::Identity());
    EXPECT_THROW(gfx::ConcatenateMeshes(two, one), gfx::Error);
}
