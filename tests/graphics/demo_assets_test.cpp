#include "demo_assets.h"

#include "common/data_file.h"
#include "graphics/figure.h"
#include "platform/image.h"
#include "platform/x_file.h"
#include "test_util.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

namespace
{

const std::filesystem::path kDemo = VARD_DEMO_MODULE;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

const std::vector<DemoAssets::GeneratedFile>& Generated()
{
    static const std::vector<DemoAssets::GeneratedFile> files = DemoAssets::GenerateDemoAssets();
    return files;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The piece's matrix as drawing composes it: its own pose, then its parent's.
void PoseTree(const VARDGraph::CGraphicTree& piece, const VARDGraph::CPose& pose, double time,
              const gfx::Matrix& parent, std::map<std::string, gfx::Matrix>& out)
{
    gfx::MatrixStack stack;
    pose.Apply(piece.GetName(), stack, nullptr, time);
    stack.MultMatrix(parent);
    out[piece.GetName()] = stack.Top();
    for (const auto& child : piece.GetChildren())
        PoseTree(*child, pose, time, stack.Top(), out);
}

const char* const kPoses[] = {"default", "combat",   "rcombat",   "2hcombat", "move",
                              "attack",  "rattack",  "2hattack",  "2wattack", "cast",
                              "recover", "rrecover", "2hrecover", "crecover"};

} // namespace

TEST(DemoAssets, GeneratorReproducesTheCommittedFiles)
{
    std::set<std::string> generated;
    for (const DemoAssets::GeneratedFile& file : Generated())
    {
        EXPECT_TRUE(generated.insert(file.path).second) << "twice: " << file.path;
        EXPECT_TRUE(ReadFile(kDemo / file.path) == file.bytes)
            << file.path << " differs; run vardassets data/demo and commit the result";
    }
    // Nothing stale: every file of the kind folders is made here.
    std::set<std::string> committed;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kDemo))
    {
        const std::string path = std::filesystem::relative(entry.path(), kDemo).generic_string();
        if (entry.is_regular_file() && path.find('/') != std::string::npos)
            committed.insert(path);
    }
    EXPECT_EQ(committed, generated);
}

TEST(DemoAssets, MeshesAndTexturesLoad)
{
    VARDCommon::CDataFileFactoryPath factory(kDemo);
    int meshes = 0;
    for (const DemoAssets::GeneratedFile& file : Generated())
    {
        SCOPED_TRACE(file.path);
        const std::string kind = file.path.substr(0, file.path.find('/'));
        if (EndsWith(file.path, ".png"))
        {
            const gfx::Image image = gfx::DecodeImage(file.bytes);
            EXPECT_EQ(image.width, 64u);
            EXPECT_EQ(image.height, 64u);
            EXPECT_LT(file.bytes.size(), 8000u);
            continue;
        }
        if (!EndsWith(file.path, ".x"))
            continue;
        ++meshes;
        const gfx::XMeshFile mesh = gfx::LoadXMesh(file.bytes);
        ASSERT_EQ(mesh.materials.size(), 1u);
        ASSERT_TRUE(mesh.materials[0].HasTexture());
        EXPECT_NO_THROW(factory.ReadAll(VARDCommon::DataFileKindByName(kind),
                                        VARDCommon::kDataSubKindTex,
                                        mesh.materials[0].textureFile));
        EXPECT_EQ(mesh.mesh.GetLayout(), gfx::VertexLayout::PositionNormalTexture);
        EXPECT_EQ(mesh.mesh.GetIndexFormat(), gfx::IndexFormat::Bits16);
        EXPECT_GT(mesh.mesh.GetNumFaces(), 0u);
        EXPECT_LE(mesh.mesh.GetNumFaces(), 400u);
        for (const gfx::MeshVertex& v : mesh.mesh.GetVertices())
        {
            EXPECT_NEAR(gfx::Length(v.normal), 1.0f, 1e-3f);
            EXPECT_TRUE(v.uv.x >= 0.0f && v.uv.x <= 1.0f && v.uv.y >= 0.0f && v.uv.y <= 1.0f);
        }
        // Faces are wound with their outside counter-clockwise: each face's
        // normal in the file agrees with its winding.
        const auto& vertices = mesh.mesh.GetVertices();
        const auto& indices = mesh.mesh.GetIndices();
        for (std::size_t i = 0; i + 2 < indices.size(); i += 3)
        {
            const gfx::MeshVertex& a = vertices[indices[i]];
            const gfx::Vec3 n = gfx::Cross(vertices[indices[i + 1]].position - a.position,
                                           vertices[indices[i + 2]].position - a.position);
            if (gfx::Length(n) > 1e-6f)
            {
                EXPECT_GT(gfx::Dot(n, a.normal), 0.0f) << "face " << i / 3;
            }
        }
    }
    EXPECT_GE(meshes, 30);
}

TEST(DemoAssets, FiguresPoseEveryPieceInEveryPose)
{
    VARDCommon::CDataFileFactoryPath factory(kDemo);
    VARDGraph::FigureCache cache;
    for (const char* name : {"humanoid", "quadruped"})
    {
        SCOPED_TRACE(name);
        const VARDGraph::Figure figure =
            VARDGraph::ReadFigure(factory, VARDCommon::kDataKindActor, name, &cache);
        ASSERT_TRUE(figure.root);
        for (const char* pose : kPoses)
        {
            ASSERT_EQ(figure.animations.count(pose), 1u) << pose;
            for (int step = 0; step < 20; ++step)
            {
                std::map<std::string, gfx::Matrix> matrices;
                PoseTree(*figure.root, *figure.animations.at(pose), step * 0.05,
                         gfx::Matrix::Identity(), matrices);
                for (const auto& [piece, m] : matrices)
                    for (const auto& row : m.m)
                        for (float value : row)
                            ASSERT_TRUE(std::isfinite(value)) << pose << " " << piece;
            }
        }
    }
    EXPECT_EQ(cache.size(), 2u);

    const VARDGraph::Figure humanoid =
        VARDGraph::ReadFigure(factory, VARDCommon::kDataKindActor, "humanoid", &cache);
    for (const char* piece : {"weapon", "shield", "offhand", "weaponaegis", "offhandaegis"})
        EXPECT_TRUE(humanoid.root->FindPiece(piece)) << piece;
    // Standing, the feet are on the ground and the head is on top.
    std::map<std::string, gfx::Matrix> matrices;
    PoseTree(*humanoid.root, *humanoid.positions->at("stand"), 0.0, gfx::Matrix::Identity(),
             matrices);
    const gfx::Vec3 foot = gfx::TransformCoord({0, -0.8f, 0}, matrices.at("shin_r"));
    EXPECT_NEAR(foot.x, -0.22f, 1e-5f);
    EXPECT_NEAR(foot.y, 0.0f, 1e-5f);
    EXPECT_NEAR(gfx::TransformCoord({}, matrices.at("head")).y, 2.75f, 1e-5f);
    // The held weapon points forward.
    const gfx::Vec3 grip = gfx::TransformCoord({}, matrices.at("weapon"));
    const gfx::Vec3 tip = gfx::TransformCoord({0, 1, 0}, matrices.at("weapon"));
    EXPECT_GT(tip.z - grip.z, 0.9f);
}
