#include "graphics/auto_mesh.h"

#include "test_util.h"

#include <cmath>
#include <string>
#include <vector>

using VARDGraph::AutoParameters;
using VARDGraph::CreateAutoMesh;

namespace
{

// x, y, z, u, v of one vertex.
using Row = std::array<float, 5>;

struct ShapeCase
{
    std::string name;
    AutoParameters parameters;
    std::string materials; // one letter each: T textured, B black
    std::vector<std::uint32_t> attributes;
    std::vector<gfx::Vec3> quadNormals;
    std::string orders; // index order of each quad: A or B
    std::vector<Row> vertices;
};

const float e = 1.25f;

const std::vector<ShapeCase> kShapes = {
    {"auto-floor",
     {2, 4, 3, 2, 1},
     "T",
     {0, 0},
     {{0, 1, 0}},
     "B",
     {{-2.5f, 0, -2.5f, 0.75f, 0.5f},
      {2.5f, 0, -2.5f, 1, 0.5f},
      {2.5f, 0, 2.5f, 1, 1},
      {-2.5f, 0, 2.5f, 0.75f, 1}}},
    {"auto-wall",
     {1, 4, 1, 99},
     "TB",
     {0, 0, 0, 0, 1, 1},
     {{0, 0, -1}, {0, 0, 1}, {0, 1, 0}},
     "AAA",
     {{-e, 0, -e, 0.75f, 1},
      {-e, 10, -e, 0.75f, 0},
      {e, 10, -e, 0.5f, 0},
      {e, 0, -e, 0.5f, 1},
      {e, 0, e, 0.5f, 1},
      {e, 10, e, 0.5f, 0},
      {-e, 10, e, 0.25f, 0},
      {-e, 0, e, 0.25f, 1},
      {-e, 10, -e, 0, 0},
      {-e, 10, e, 0, 1},
      {e, 10, e, 1, 1},
      {e, 10, -e, 1, 0}}},
    {"auto-twosidewall",
     {2, 1, 0},
     "TTB",
     {0, 0, 1, 1, 2, 2},
     {{0, 0, -1}, {0, 0, 1}, {0, 1, 0}},
     "AAA",
     {{-2.5f, 0, -e, 1, 1},
      {-2.5f, 10, -e, 1, 0},
      {2.5f, 10, -e, 0, 0},
      {2.5f, 0, -e, 0, 1},
      {2.5f, 0, e, 1, 1},
      {2.5f, 10, e, 1, 0},
      {-2.5f, 10, e, 0, 0},
      {-2.5f, 0, e, 0, 1},
      {-2.5f, 10, -e, 0, 0},
      {-2.5f, 10, e, 0, 1},
      {2.5f, 10, e, 1, 1},
      {2.5f, 10, -e, 1, 0}}},
    {"auto-pillar",
     {1},
     "TTTTB",
     {0, 0, 1, 1, 2, 2, 3, 3, 4, 4},
     {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
     "AAAAA",
     {{-e, 0, -e, 1, 1},  {-e, 10, -e, 1, 0}, {e, 10, -e, 0, 0},  {e, 0, -e, 0, 1},
      {e, 0, -e, 1, 1},   {e, 10, -e, 1, 0},  {e, 10, e, 0, 0},   {e, 0, e, 0, 1},
      {e, 0, e, 1, 1},    {e, 10, e, 1, 0},   {-e, 10, e, 0, 0},  {-e, 0, e, 0, 1},
      {-e, 0, e, 1, 1},   {-e, 10, e, 1, 0},  {-e, 10, -e, 0, 0}, {-e, 0, -e, 0, 1},
      {-e, 10, -e, 0, 0}, {-e, 10, e, 0, 1},  {e, 10, e, 1, 1},   {e, 10, -e, 1, 0}}},
    {"auto-pillarrepeat",
     {1, 7},
     "TB",
     {0, 0, 0, 0, 0, 0, 0, 0, 1, 1},
     {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
     "AAAAA",
     {{-e, 0, -e, 1, 1},  {-e, 10, -e, 1, 0}, {e, 10, -e, 0, 0},  {e, 0, -e, 0, 1},
      {e, 0, -e, 1, 1},   {e, 10, -e, 1, 0},  {e, 10, e, 0, 0},   {e, 0, e, 0, 1},
      {e, 0, e, 1, 1},    {e, 10, e, 1, 0},   {-e, 10, e, 0, 0},  {-e, 0, e, 0, 1},
      {-e, 0, e, 1, 1},   {-e, 10, e, 1, 0},  {-e, 10, -e, 0, 0}, {-e, 0, -e, 0, 1},
      {-e, 10, -e, 0, 0}, {-e, 10, e, 0, 1},  {e, 10, e, 1, 1},   {e, 10, -e, 1, 0}}},
    {"auto-pillarwrap",
     {2},
     "TB",
     {0, 0, 0, 0, 0, 0, 0, 0, 1, 1},
     {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
     "AAAAA",
     {{-2.5f, 0, -2.5f, 1, 1},    {-2.5f, 10, -2.5f, 1, 0},    {2.5f, 10, -2.5f, 0.75f, 0},
      {2.5f, 0, -2.5f, 0.75f, 1}, {2.5f, 0, -2.5f, 0.75f, 1},  {2.5f, 10, -2.5f, 0.75f, 0},
      {2.5f, 10, 2.5f, 0.5f, 0},  {2.5f, 0, 2.5f, 0.5f, 1},    {2.5f, 0, 2.5f, 0.5f, 1},
      {2.5f, 10, 2.5f, 0.5f, 0},  {-2.5f, 10, 2.5f, 0.25f, 0}, {-2.5f, 0, 2.5f, 0.25f, 1},
      {-2.5f, 0, 2.5f, 0.25f, 1}, {-2.5f, 10, 2.5f, 0.25f, 0}, {-2.5f, 10, -2.5f, 0, 0},
      {-2.5f, 0, -2.5f, 0, 1},    {-2.5f, 10, -2.5f, 0, 0},    {-2.5f, 10, 2.5f, 0, 1},
      {2.5f, 10, 2.5f, 1, 1},     {2.5f, 10, -2.5f, 1, 0}}},
    {"auto-decal",
     {3, 1},
     "T",
     {0, 0},
     {{0, 1, 0}},
     "B",
     {{-1.5f, 0.05f, -0.5f, 0, 0},
      {1.5f, 0.05f, -0.5f, 1, 0},
      {1.5f, 0.05f, 0.5f, 1, 1},
      {-1.5f, 0.05f, 0.5f, 0, 1}}},
    {"auto-down-edge",
     {2, 1, 4},
     "TT",
     {0, 0, 1, 1},
     {{0, 1, 0}, {0, 0, -1}},
     "BA",
     {{-e, 0, -e, 0.5f, 0},
      {e, 0, -e, 1, 0},
      {e, 0, e, 1, 1},
      {-e, 0, e, 0.5f, 1},
      {-e, 0, -e, 0.5f, 0},
      {e, 0, -e, 1, 0},
      {e, -4, -e, 1, 1},
      {-e, -4, -e, 0.5f, 1}}},
    {"auto-void-edge",
     {4, 0, 3},
     "T",
     {0, 0},
     {{0, 0, -1}},
     "A",
     {{-e, 0, e, 0, 0}, {e, 0, e, 0.25f, 0}, {e, -3, e, 0.25f, 1}, {-e, -3, e, 0, 1}}},
    {"auto-void-corner",
     {5},
     "T",
     {0, 0, 0, 0},
     {{0, 0, -1}, {1, 0, 0}},
     "AA",
     {{-e, 0, e, 0.5f, 0},
      {e, 0, e, 1, 0},
      {e, -5, e, 1, 1},
      {-e, -5, e, 0.5f, 1},
      {-e, 0, -e, 0, 0},
      {-e, 0, e, 0.5f, 0},
      {-e, -5, e, 0.5f, 1},
      {-e, -5, -e, 0, 1}}},
};

void ExpectMaterials(const gfx::XMeshFile& shape, const std::string& kinds)
{
    ASSERT_EQ(shape.materials.size(), kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i)
    {
        const gfx::XMaterial& m = shape.materials[i];
        const float c = kinds[i] == 'T' ? 1.0f : 0.0f;
        EXPECT_EQ(m.material.diffuse, (gfx::ColorValue{c, c, c, 1.0f})) << i;
        EXPECT_EQ(m.material.ambient, (gfx::ColorValue{c, c, c, 1.0f})) << i;
        EXPECT_EQ(m.material.specular, gfx::ColorValue{}) << i;
        EXPECT_EQ(m.material.emissive, gfx::ColorValue{}) << i;
        EXPECT_EQ(m.material.power, 0.0f);
        EXPECT_EQ(m.textureFile, kinds[i] == 'T' ? "x" : "") << i;
    }
}

std::vector<std::uint32_t> QuadIndices(const std::string& orders)
{
    std::vector<std::uint32_t> indices;
    for (std::uint32_t q = 0; q < orders.size(); ++q)
    {
        const std::uint32_t k = q * 4;
        if (orders[q] == 'A')
            indices.insert(indices.end(), {k, k + 1, k + 2, k, k + 2, k + 3});
        else
            indices.insert(indices.end(), {k, k + 2, k + 1, k, k + 3, k + 2});
    }
    return indices;
}

} // namespace

TEST(AutoMesh, ShapesHaveTheirVerticesIndicesAttributesAndMaterials)
{
    for (const ShapeCase& c : kShapes)
    {
        SCOPED_TRACE(c.name);
        const gfx::XMeshFile shape = CreateAutoMesh(c.name, c.parameters);
        const gfx::Mesh& mesh = shape.mesh;
        EXPECT_EQ(mesh.GetLayout(), gfx::VertexLayout::PositionNormalTexture);
        EXPECT_EQ(mesh.GetIndexFormat(), gfx::IndexFormat::Bits16);
        ExpectMaterials(shape, c.materials);
        EXPECT_EQ(mesh.GetAttributes(), c.attributes);
        EXPECT_EQ(mesh.GetIndices(), QuadIndices(c.orders));
        ASSERT_EQ(mesh.GetNumVertices(), c.vertices.size());
        for (std::size_t i = 0; i < c.vertices.size(); ++i)
        {
            const gfx::MeshVertex& v = mesh.GetVertices()[i];
            const Row& want = c.vertices[i];
            EXPECT_EQ((Row{v.position.x, v.position.y, v.position.z, v.uv.x, v.uv.y}), want)
                << "vertex " << i;
            EXPECT_EQ(v.normal, c.quadNormals[i / 4]) << "vertex " << i;
        }
    }
}

TEST(AutoMesh, SphereIsFourBandsOfEightQuadsWithSinglePrecisionAngles)
{
    const gfx::XMeshFile sphere = CreateAutoMesh("auto-sphere", {1, 2, 3, 4, 5, 6, 7});
    const gfx::Mesh& mesh = sphere.mesh;
    ASSERT_EQ(mesh.GetNumVertices(), 128u);
    EXPECT_EQ(mesh.GetNumFaces(), 64u);
    ExpectMaterials(sphere, "T");
    EXPECT_EQ(mesh.GetIndices(), QuadIndices(std::string(32, 'B')));
    for (const gfx::MeshVertex& v : mesh.GetVertices())
    {
        EXPECT_NEAR(gfx::Length(v.position), 1.0f, 1e-6f);
        EXPECT_EQ(v.normal, v.position);
    }
    // Band 1, segment 2: latitudes -pi/4 and 0, longitudes pi/2 and 3pi/4.
    const auto& q = mesh.GetVertices();
    const std::size_t k = (1 * 8 + 2) * 4;
    const float a0 = 0.25f * 3.1415927f - 1.5707964f;
    const float b1 = 0.375f * 6.2831855f;
    EXPECT_EQ(q[k].uv.x, 0.25f);
    EXPECT_EQ(q[k].uv.y, 0.25f);
    EXPECT_EQ(q[k + 1].position.x, std::cos(b1) * std::cos(a0));
    EXPECT_EQ(q[k + 1].position.y, std::sin(a0));
    EXPECT_EQ(q[k + 1].position.z, std::sin(b1) * std::cos(a0));
    EXPECT_EQ(q[k + 2].uv.x, 0.375f);
    EXPECT_EQ(q[k + 2].uv.y, 0.5f);
    EXPECT_EQ(q[0].position.y, -1.0f); // the bottom pole
    EXPECT_EQ(q[0].uv.y, 0.0f);
    EXPECT_NEAR(q[127].position.y, 1.0f, 1e-6f);
    EXPECT_EQ(q[127].uv.y, 1.0f);
}

TEST(AutoMesh, ParameterCountsAndNamesAreChecked)
{
    struct CountCase
    {
        const char* name;
        std::size_t count;
        int code; // -1 accepted
    };
    const CountCase cases[] = {
        {"auto-floor", 4, 1},
        {"auto-floor", 5, -1},
        {"auto-floor", 6, 1},
        {"auto-wall", 2, 1},
        {"auto-wall", 3, -1},
        {"auto-wall", 4, -1},
        {"auto-twosidewall", 2, 1},
        {"auto-twosidewall", 9, -1},
        {"auto-pillar", 0, 1},
        {"auto-pillar", 2, -1},
        {"auto-pillarrepeat", 0, 1},
        {"auto-pillarwrap", 0, 1},
        {"auto-decal", 1, 1},
        {"auto-decal", 2, -1},
        {"auto-decal", 3, 1},
        {"auto-sphere", 0, -1},
        {"auto-sphere", 12, -1},
        {"auto-down-edge", 2, 1},
        {"auto-down-edge", 3, -1},
        {"auto-down-edge", 4, 1},
        {"auto-void-edge", 2, 1},
        {"auto-void-edge", 4, 1},
        {"auto-void-corner", 0, 1},
        {"auto-void-corner", 1, -1},
        {"auto-void-corner", 2, 1},
        {"Auto-Floor", 5, 1},
        {"auto-floor ", 5, 1},
        {"auto-", 5, 1},
        {"", 0, 1},
    };
    for (const CountCase& c : cases)
    {
        const AutoParameters parameters(c.count, 1u);
        EXPECT_EQ(TestUtil::CodeOf([&] { CreateAutoMesh(c.name, parameters); }), c.code)
            << '"' << c.name << "\" with " << c.count;
    }
}

TEST(AutoMesh, AnAtlasOfNoColumnsIsOneColumn)
{
    const gfx::XMeshFile floor = CreateAutoMesh("auto-floor", {1, 0, 0, 0, 0});
    for (const gfx::MeshVertex& v : floor.mesh.GetVertices())
    {
        EXPECT_TRUE(v.uv.x == 0.0f || v.uv.x == 1.0f);
        EXPECT_TRUE(v.uv.y == 0.0f || v.uv.y == 1.0f);
    }
    const gfx::XMeshFile edge = CreateAutoMesh("auto-void-edge", {0, 0, 2});
    EXPECT_EQ(edge.mesh.GetVertices()[1].uv.x, 1.0f);
}

TEST(AutoMesh, SubModelDispatchUsesItsNameAndParameters)
{
    VARDGraph::CSubModelInfo subModel;
    subModel.generated = true;
    subModel.meshName = "auto-pillarwrap";
    subModel.parameters = {1};
    EXPECT_EQ(CreateAutoMesh(subModel).materials.size(), 2u);
    subModel.meshName = "auto-pillar";
    EXPECT_EQ(CreateAutoMesh(subModel).materials.size(), 5u);
}
