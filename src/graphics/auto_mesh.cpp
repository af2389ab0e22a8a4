#include "graphics/auto_mesh.h"

#include "common/exception.h"
#include "platform/gfx_error.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace VARDGraph
{

namespace
{

constexpr float kHalfCell = 1.25f;
constexpr float kWallHeight = 10.0f;

// The two ways a quad k..k+3 is split into triangles.
enum class QuadOrder
{
    A, // (k, k+1, k+2), (k, k+2, k+3)
    B, // (k, k+2, k+1), (k, k+3, k+2)
};

struct Corner
{
    float x, y, z;
    float u, v;
};

// Collects quads with their attributes, then makes the mesh and materials.
class ShapeBuilder
{
public:
    void Quad(const gfx::Vec3& normal, const std::array<Corner, 4>& corners, QuadOrder order,
              std::uint32_t attribute)
    {
        std::array<gfx::MeshVertex, 4> vertices;
        for (std::size_t i = 0; i < 4; ++i)
        {
            const Corner& c = corners[i];
            vertices[i] = {{c.x, c.y, c.z}, normal, {c.u, c.v}};
        }
        Quad(vertices, order, attribute);
    }

    void Quad(const std::array<gfx::MeshVertex, 4>& vertices, QuadOrder order,
              std::uint32_t attribute)
    {
        const auto k = static_cast<std::uint32_t>(m_Vertices.size());
        m_Vertices.insert(m_Vertices.end(), vertices.begin(), vertices.end());
        if (order == QuadOrder::A)
            m_Indices.insert(m_Indices.end(), {k, k + 1, k + 2, k, k + 2, k + 3});
        else
            m_Indices.insert(m_Indices.end(), {k, k + 2, k + 1, k, k + 3, k + 2});
        m_Attributes.insert(m_Attributes.end(), {attribute, attribute});
    }

    void Textured() { m_Materials.push_back(TexturedMaterial()); }
    void Black() { m_Materials.push_back(BlackMaterial()); }

    gfx::XMeshFile Finish()
    {
        try
        {
            const auto count = static_cast<std::uint32_t>(m_Materials.size());
            gfx::Mesh mesh(gfx::VertexLayout::PositionNormalTexture, gfx::IndexFormat::Bits16,
                           std::move(m_Vertices), std::move(m_Indices), std::move(m_Attributes),
                           count);
            if (mesh.GetIndexFormat() != gfx::IndexFormat::Bits16)
                throw CVARDException(5, "generated mesh: index buffer is not 16-bit");
            return gfx::XMeshFile{std::move(mesh), std::move(m_Materials)};
        }
        catch (const gfx::Error& e)
        {
            throw CVARDException(5, std::string("generated mesh: ") + e.what());
        }
    }

private:
    static gfx::XMaterial TexturedMaterial()
    {
        gfx::XMaterial m;
        m.material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        m.material.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
        m.textureFile = "x";
        return m;
    }

    static gfx::XMaterial BlackMaterial()
    {
        gfx::XMaterial m;
        m.material.diffuse = {0.0f, 0.0f, 0.0f, 1.0f};
        m.material.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
        return m;
    }

    std::vector<gfx::MeshVertex> m_Vertices;
    std::vector<std::uint32_t> m_Indices;
    std::vector<std::uint32_t> m_Attributes;
    std::vector<gfx::XMaterial> m_Materials;
};

void RequireExactly(const std::string& name, const AutoParameters& parameters, std::size_t count)
{
    if (parameters.size() != count)
        throw CVARDException(1, name + " takes exactly " + std::to_string(count) +
                                    " parameters, not " + std::to_string(parameters.size()));
}

void RequireAtLeast(const std::string& name, const AutoParameters& parameters, std::size_t count)
{
    if (parameters.size() < count)
        throw CVARDException(1, name + " takes at least " + std::to_string(count) +
                                    " parameters, not " + std::to_string(parameters.size()));
}

float P(const AutoParameters& parameters, std::size_t i)
{
    return static_cast<float>(parameters[i]);
}

// An atlas of no columns or rows would give undefined coordinates; it is
// taken as one that holds the whole texture.
float AtlasCount(const AutoParameters& parameters, std::size_t i)
{
    return parameters[i] == 0 ? 1.0f : static_cast<float>(parameters[i]);
}

const gfx::Vec3 kUp{0.0f, 1.0f, 0.0f};
const gfx::Vec3 kMinusZ{0.0f, 0.0f, -1.0f};
const gfx::Vec3 kPlusZ{0.0f, 0.0f, 1.0f};
const gfx::Vec3 kPlusX{1.0f, 0.0f, 0.0f};
const gfx::Vec3 kMinusX{-1.0f, 0.0f, 0.0f};

} // namespace

gfx::XMeshFile CreateAutoFloor(const AutoParameters& parameters)
{
    RequireExactly("auto-floor", parameters, 5);
    const float a = P(parameters, 0) * kHalfCell;
    const float ua = P(parameters, 2) / AtlasCount(parameters, 1);
    const float ub = ua + 1.0f / AtlasCount(parameters, 1);
    const float va = P(parameters, 4) / AtlasCount(parameters, 3);
    const float vb = va + 1.0f / AtlasCount(parameters, 3);
    ShapeBuilder shape;
    shape.Quad(kUp,
               {{{-a, 0, -a, ua, va}, {a, 0, -a, ub, va}, {a, 0, a, ub, vb}, {-a, 0, a, ua, vb}}},
               QuadOrder::B, 0);
    shape.Textured();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoWall(const AutoParameters& parameters, bool twoSided)
{
    RequireAtLeast(twoSided ? "auto-twosidewall" : "auto-wall", parameters, 3);
    const float a = P(parameters, 0) * kHalfCell;
    const float c0 = P(parameters, 2) / AtlasCount(parameters, 1);
    const float c1 = c0 + 1.0f / AtlasCount(parameters, 1);
    const float h = kWallHeight;
    const float e = kHalfCell;
    ShapeBuilder shape;
    shape.Quad(kMinusZ,
               {{{-a, 0, -e, 1 - c0, 1},
                 {-a, h, -e, 1 - c0, 0},
                 {a, h, -e, 1 - c1, 0},
                 {a, 0, -e, 1 - c1, 1}}},
               QuadOrder::A, 0);
    shape.Quad(kPlusZ, {{{a, 0, e, c1, 1}, {a, h, e, c1, 0}, {-a, h, e, c0, 0}, {-a, 0, e, c0, 1}}},
               QuadOrder::A, twoSided ? 1 : 0);
    shape.Quad(kUp, {{{-a, h, -e, 0, 0}, {-a, h, e, 0, 1}, {a, h, e, 1, 1}, {a, h, -e, 1, 0}}},
               QuadOrder::A, twoSided ? 2 : 1);
    shape.Textured();
    if (twoSided)
        shape.Textured();
    shape.Black();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoPillar(const AutoParameters& parameters, PillarStyle style)
{
    RequireAtLeast(style == PillarStyle::SideTextures ? "auto-pillar"
                   : style == PillarStyle::Repeat     ? "auto-pillarrepeat"
                                                      : "auto-pillarwrap",
                   parameters, 1);
    const float a = P(parameters, 0) * kHalfCell;
    const float h = kWallHeight;
    struct Side
    {
        gfx::Vec3 normal;
        float x0, z0, x1, z1; // the bottom corners, first and last
    };
    const std::array<Side, 4> sides{{{kMinusZ, -a, -a, a, -a},
                                     {kPlusX, a, -a, a, a},
                                     {kPlusZ, a, a, -a, a},
                                     {kMinusX, -a, a, -a, -a}}};
    ShapeBuilder shape;
    for (std::uint32_t s = 0; s < 4; ++s)
    {
        const Side& side = sides[s];
        float u0 = 1.0f;
        float u1 = 0.0f;
        if (style == PillarStyle::Wrap)
        {
            u0 = 1.0f - 0.25f * static_cast<float>(s);
            u1 = u0 - 0.25f;
        }
        const std::uint32_t attribute = style == PillarStyle::SideTextures ? s : 0;
        shape.Quad(side.normal,
                   {{{side.x0, 0, side.z0, u0, 1},
                     {side.x0, h, side.z0, u0, 0},
                     {side.x1, h, side.z1, u1, 0},
                     {side.x1, 0, side.z1, u1, 1}}},
                   QuadOrder::A, attribute);
    }
    shape.Quad(kUp, {{{-a, h, -a, 0, 0}, {-a, h, a, 0, 1}, {a, h, a, 1, 1}, {a, h, -a, 1, 0}}},
               QuadOrder::A, style == PillarStyle::SideTextures ? 4 : 1);
    const int textured = style == PillarStyle::SideTextures ? 4 : 1;
    for (int i = 0; i < textured; ++i)
        shape.Textured();
    shape.Black();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoDecal(const AutoParameters& parameters)
{
    RequireExactly("auto-decal", parameters, 2);
    const float w = P(parameters, 0) / 2.0f;
    const float d = P(parameters, 1) / 2.0f;
    const float y = 0.05f;
    ShapeBuilder shape;
    shape.Quad(kUp, {{{-w, y, -d, 0, 0}, {w, y, -d, 1, 0}, {w, y, d, 1, 1}, {-w, y, d, 0, 1}}},
               QuadOrder::B, 0);
    shape.Textured();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoSphere()
{
    constexpr float kPi = 3.1415927f;
    constexpr float kHalfPi = 1.5707964f;
    constexpr float kTwoPi = 6.2831855f;
    // The point on the unit sphere is its own normal.
    auto point = [](float b, float a, float s, float t)
    {
        const gfx::Vec3 p{std::cos(b) * std::cos(a), std::sin(a), std::sin(b) * std::cos(a)};
        return gfx::MeshVertex{p, p, {s, t}};
    };
    ShapeBuilder shape;
    for (int i = 0; i < 4; ++i)
    {
        const float t0 = static_cast<float>(i) * 0.25f;
        const float t1 = static_cast<float>(i + 1) * 0.25f;
        const float a0 = t0 * kPi - kHalfPi;
        const float a1 = t1 * kPi - kHalfPi;
        for (int j = 0; j < 8; ++j)
        {
            const float s0 = static_cast<float>(j) * 0.125f;
            const float s1 = static_cast<float>(j + 1) * 0.125f;
            const float b0 = s0 * kTwoPi;
            const float b1 = s1 * kTwoPi;
            shape.Quad({point(b0, a0, s0, t0), point(b1, a0, s1, t0), point(b1, a1, s1, t1),
                        point(b0, a1, s0, t1)},
                       QuadOrder::B, 0);
        }
    }
    shape.Textured();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoDownEdge(const AutoParameters& parameters)
{
    RequireExactly("auto-down-edge", parameters, 3);
    const float c0 = P(parameters, 1) / AtlasCount(parameters, 0);
    const float c1 = c0 + 1.0f / AtlasCount(parameters, 0);
    const float depth = P(parameters, 2);
    const float e = kHalfCell;
    ShapeBuilder shape;
    shape.Quad(kUp, {{{-e, 0, -e, c0, 0}, {e, 0, -e, c1, 0}, {e, 0, e, c1, 1}, {-e, 0, e, c0, 1}}},
               QuadOrder::B, 0);
    shape.Quad(
        kMinusZ,
        {{{-e, 0, -e, c0, 0}, {e, 0, -e, c1, 0}, {e, -depth, -e, c1, 1}, {-e, -depth, -e, c0, 1}}},
        QuadOrder::A, 1);
    shape.Textured();
    shape.Textured();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoVoidEdge(const AutoParameters& parameters)
{
    RequireExactly("auto-void-edge", parameters, 3);
    const float c0 = P(parameters, 1) / AtlasCount(parameters, 0);
    const float c1 = c0 + 1.0f / AtlasCount(parameters, 0);
    const float depth = P(parameters, 2);
    const float e = kHalfCell;
    ShapeBuilder shape;
    shape.Quad(
        kMinusZ,
        {{{-e, 0, e, c0, 0}, {e, 0, e, c1, 0}, {e, -depth, e, c1, 1}, {-e, -depth, e, c0, 1}}},
        QuadOrder::A, 0);
    shape.Textured();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoVoidCorner(const AutoParameters& parameters)
{
    RequireExactly("auto-void-corner", parameters, 1);
    const float depth = P(parameters, 0);
    const float e = kHalfCell;
    ShapeBuilder shape;
    shape.Quad(
        kMinusZ,
        {{{-e, 0, e, 0.5f, 0}, {e, 0, e, 1, 0}, {e, -depth, e, 1, 1}, {-e, -depth, e, 0.5f, 1}}},
        QuadOrder::A, 0);
    shape.Quad(kPlusX,
               {{{-e, 0, -e, 0, 0},
                 {-e, 0, e, 0.5f, 0},
                 {-e, -depth, e, 0.5f, 1},
                 {-e, -depth, -e, 0, 1}}},
               QuadOrder::A, 0);
    shape.Textured();
    return shape.Finish();
}

gfx::XMeshFile CreateAutoMesh(const std::string& name, const AutoParameters& parameters)
{
    if (name == "auto-floor")
        return CreateAutoFloor(parameters);
    if (name == "auto-wall")
        return CreateAutoWall(parameters, false);
    if (name == "auto-twosidewall")
        return CreateAutoWall(parameters, true);
    if (name == "auto-pillar")
        return CreateAutoPillar(parameters, PillarStyle::SideTextures);
    if (name == "auto-pillarrepeat")
        return CreateAutoPillar(parameters, PillarStyle::Repeat);
    if (name == "auto-pillarwrap")
        return CreateAutoPillar(parameters, PillarStyle::Wrap);
    if (name == "auto-decal")
        return CreateAutoDecal(parameters);
    if (name == "auto-sphere")
        return CreateAutoSphere();
    if (name == "auto-down-edge")
        return CreateAutoDownEdge(parameters);
    if (name == "auto-void-edge")
        return CreateAutoVoidEdge(parameters);
    if (name == "auto-void-corner")
        return CreateAutoVoidCorner(parameters);
    throw CVARDException(1, "no generated mesh is named " + VARDCommon::QuoteForMessage(name));
}

gfx::XMeshFile CreateAutoMesh(const CSubModelInfo& subModel)
{
    return CreateAutoMesh(subModel.meshName, subModel.parameters);
}

} // namespace VARDGraph
