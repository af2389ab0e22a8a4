#include "graphics/model_node.h"

#include "../platform/gl_fixture.h"
#include "common/data_file.h"
#include "platform/image.h"
#include "test_util.h"

#include <cmath>
#include <filesystem>
#include <fstream>

using TestUtil::CodeOf;
using VARDGraph::CModelNode;
using VARDGraph::CSubModelInfo;
using VARDGraph::CTextureEntry;
using VARDGraph::ModelColours;

namespace
{

gfx::Image ImageOf(std::uint32_t width, std::uint32_t height,
                   std::initializer_list<std::uint32_t> rgba)
{
    gfx::Image image;
    image.width = width;
    image.height = height;
    for (std::uint32_t c : rgba)
        image.pixels.insert(image.pixels.end(),
                            {static_cast<std::uint8_t>(c >> 24), static_cast<std::uint8_t>(c >> 16),
                             static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
    return image;
}

// Three triangles, one per textured material.
const char* kThreeMaterials = R"(xof 0302txt 0032
Mesh {
 3;
 -1.0;0.0;-1.0;,
 1.0;0.0;-1.0;,
 0.0;0.0;1.0;;
 3;
 3;0,2,1;,
 3;0,2,1;,
 3;0,2,1;;
 MeshMaterialList {
  3;
  3;
  0,
  1,
  2;;
  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "a.png"; } }
  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "b.png"; } }
  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "c.png"; } }
 }
}
)";

// A triangle over the middle of the view, with no materials at all.
const char* kNoMaterials = R"(xof 0302txt 0032
Mesh {
 3;
 -1.0;0.0;-1.0;,
 1.0;0.0;-1.0;,
 0.0;0.0;1.0;;
 1;
 3;0,2,1;;
}
)";

// A camera straight above the origin whose view is exactly one cell: screen
// x is world x, screen up is world -z.
class ModelNodeTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        root = TestUtil::ScratchPath("models");
        std::filesystem::create_directories(root / "tile" / "mod");
        std::filesystem::create_directories(root / "tile" / "tex");
        factory = std::make_unique<VARDCommon::CDataFileFactoryPath>(root);
        device->SetTransform(gfx::TransformState::View,
                             gfx::Matrix::LookAtRH({0, 10, 0}, {0, 0, 0}, {0, 0, -1}));
        device->SetTransform(
            gfx::TransformState::Projection,
            gfx::Matrix::PerspectiveFovRH(2.0f * std::atan(0.125f), 1.0f, 1.0f, 100.0f));
        device->SetCullMode(gfx::CullMode::Clockwise);
        device->SetBlend(gfx::BlendFactor::SourceAlpha, gfx::BlendFactor::InverseSourceAlpha);
    }

    void TearDown() override
    {
        std::filesystem::remove_all(root);
        GlTest::TearDown();
    }

    void WriteFile(const std::string& folder, const std::string& name, const std::string& bytes)
    {
        std::ofstream(root / "tile" / folder / name, std::ios::binary) << bytes;
    }

    void WriteTexture(const std::string& name, const gfx::Image& image)
    {
        const std::vector<std::uint8_t> png = gfx::EncodePng(image);
        WriteFile("tex", name, std::string(png.begin(), png.end()));
    }

    static CSubModelInfo Floor()
    {
        CSubModelInfo subModel;
        subModel.generated = true;
        subModel.meshKind = VARDCommon::kDataKindTile;
        subModel.meshName = "auto-floor";
        subModel.parameters = {1, 1, 0, 1, 0};
        return subModel;
    }

    static CSubModelInfo MeshFile(const std::string& name)
    {
        CSubModelInfo subModel;
        subModel.meshKind = VARDCommon::kDataKindTile;
        subModel.meshName = name;
        return subModel;
    }

    std::shared_ptr<CModelNode>
    Node(const CSubModelInfo& subModel, const std::vector<CTextureEntry>& textures,
         std::uint32_t flags = VARDGraph::kModelFlat, const ModelColours* colours = nullptr,
         VARDGraph::SharedTextureList* shared = nullptr, double rate = 0.0)
    {
        return std::make_shared<CModelNode>(*device, *factory, subModel, textures, colours, flags,
                                            shared, 0.25, rate);
    }

    void Draw(const CModelNode& node, int pass, double time = 0.0)
    {
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        device->BeginScene();
        node.Draw(*device, pass, nullptr, time);
        device->EndScene();
        Drawn();
    }

    std::filesystem::path root;
    std::unique_ptr<VARDCommon::CDataFileFactoryPath> factory;
};

} // namespace

TEST_F(ModelNodeTest, TexturedFloorTileShowsItsTexels)
{
    WriteTexture("quarters.png",
                 ImageOf(2, 2, {0xFF0000FFu, 0x00FF00FFu, 0x0000FFFFu, 0xFFFFFFFFu}));
    const auto node = Node(Floor(), {{"quarters.png", 0, 0.0}});
    EXPECT_EQ(node->GetMaterialCount(), 1u);
    EXPECT_EQ(node->GetFrameTime(), 0.25);
    Draw(*node, 0);
    // uv (0, 0) lies at world (-1.25, 0, -1.25): the top left of the view.
    EXPECT_RGB_NEAR(PixelAt(16, 16), 255, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(48, 16), 0, 255, 0);
    EXPECT_RGB_NEAR(PixelAt(16, 48), 0, 0, 255);
    EXPECT_RGB_NEAR(PixelAt(48, 48), 255, 255, 255);
    EXPECT_TRUE(device->GetRenderStates().lighting);
    EXPECT_TRUE(device->GetRenderStates().alphaBlendEnable);

    WriteTexture("one.png", ImageOf(1, 1, {0x336699FFu}));
    Draw(*Node(Floor(), {{"one.png", 0, 0.0}}), 0);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 0x33, 0x66, 0x99);
}

TEST_F(ModelNodeTest, RecolouringFollowsTheIntegerFormula)
{
    WriteTexture("red.png", ImageOf(1, 1, {0xFF0000FFu}));
    const ModelColours colours{0xC86432u, 0x00FF00u, 0x0000FFu}; // (200, 100, 50) first
    Draw(*Node(Floor(), {{"red.png", 0, 0.0}}, VARDGraph::kModelFlat, &colours), 0);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 199, 99, 49);

    WriteTexture("white.png", ImageOf(1, 1, {0xFFFFFFFFu}));
    const ModelColours white{0xFFFFFFu, 0xFFFFFFu, 0xFFFFFFu};
    Draw(*Node(Floor(), {{"white.png", 0, 0.0}}, VARDGraph::kModelFlat, &white), 0);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 255, 255, 255);

    const std::vector<std::uint8_t> png = gfx::EncodePng(ImageOf(1, 1, {0x804020FFu}));
    const ModelColours mix{0x010203u, 0x040506u, 0x070809u};
    EXPECT_TRUE(VARDGraph::CreateRecolouredTexture(*device, png, &mix));
    EXPECT_EQ(CodeOf(
                  [&] {
                      VARDGraph::CreateRecolouredTexture(
                          *device, std::vector<std::uint8_t>{1, 2, 3}, nullptr);
                  }),
              1);
}

TEST_F(ModelNodeTest, SolidTextureFromAColourEntry)
{
    const auto node = Node(Floor(), {{"", 0x3366CCu, 1.0}});
    ASSERT_TRUE(node->GetTextures()[0]);
    EXPECT_EQ(node->GetTextures()[0]->GetWidth(), 1u);
    Draw(*node, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 0x33, 0x66, 0xCC);
    // Half alpha over black.
    Draw(*Node(Floor(), {{"", 0xFFFFFFu, 0.5}}), 0);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 128, 128, 128);
}

TEST_F(ModelNodeTest, MaterialsAndTextureEntries)
{
    WriteFile("mod", "three.x", kThreeMaterials);
    WriteTexture("a.png", ImageOf(1, 1, {0xFF0000FFu}));
    const CTextureEntry a{"a.png", 0, 0.0};
    EXPECT_EQ(CodeOf([&] { Node(MeshFile("three.x"), {a, a}); }), 1);
    const auto three = Node(MeshFile("three.x"), {a, a, {"", 0x00FF00u, 1.0}});
    EXPECT_EQ(three->GetMaterialCount(), 3u);
    EXPECT_EQ(three->GetTextures().size(), 3u);
    EXPECT_EQ(three->GetMaterials()[0].ambient, three->GetMaterials()[0].diffuse);

    // A mesh without materials gets one, needs no entries and draws unblended.
    WriteFile("mod", "plain.x", kNoMaterials);
    const auto plain = Node(MeshFile("plain.x"), {}, 0);
    ASSERT_EQ(plain->GetMaterialCount(), 1u);
    EXPECT_EQ(plain->GetTextures()[0], nullptr);
    EXPECT_EQ(plain->GetMaterials()[0].ambient, plain->GetMaterials()[0].diffuse);
    device->SetAmbient(0xFFFFFFFFu);
    Draw(*plain, 0);
    EXPECT_FALSE(device->GetRenderStates().alphaBlendEnable);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 128, 128, 128);

    WriteFile("mod", "broken.x", "xof 0302txt 0032\nMesh { 3; 1.0;");
    EXPECT_EQ(CodeOf([&] { Node(MeshFile("broken.x"), {}); }), 1);
    EXPECT_EQ(CodeOf([&] { Node(MeshFile("missing.x"), {}); }), 1);
    EXPECT_EQ(CodeOf([&] { Node(Floor(), {{"missing.png", 0, 0.0}}); }), 1);
    WriteFile("tex", "junk.png", "not an image");
    EXPECT_EQ(CodeOf([&] { Node(Floor(), {{"junk.png", 0, 0.0}}); }), 1);
    CSubModelInfo wrong = Floor();
    wrong.parameters.pop_back();
    EXPECT_EQ(CodeOf([&] { Node(wrong, {a}); }), 1);
}

TEST_F(ModelNodeTest, MultigraphicNodesShareTextures)
{
    WriteTexture("a.png", ImageOf(1, 1, {0xFF0000FFu}));
    WriteTexture("b.png", ImageOf(1, 1, {0x00FF00FFu}));
    VARDGraph::SharedTextureList shared;
    const auto first = Node(Floor(), {{"a.png", 0, 0.0}}, 0, nullptr, &shared);
    ASSERT_EQ(shared.size(), 1u);
    EXPECT_EQ(shared[0], first->GetTextures()[0]);

    const auto second = Node(Floor(), {{"b.png", 0, 0.0}}, VARDGraph::kModelFlat, nullptr, &shared);
    EXPECT_EQ(second->GetTextures()[0], first->GetTextures()[0]);
    EXPECT_EQ(shared.size(), 1u);
    Draw(*second, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 255, 0, 0);

    const auto own =
        Node(Floor(), {{"b.png", 0, 0.0}}, VARDGraph::kModelFlat | VARDGraph::kModelNoMultiTexture,
             nullptr, &shared);
    EXPECT_NE(own->GetTextures()[0], first->GetTextures()[0]);
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(shared[1], own->GetTextures()[0]);
    Draw(*own, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 32), 0, 255, 0);

    // Now the list no longer matches one material: a node loads its own.
    const auto later = Node(Floor(), {{"b.png", 0, 0.0}}, 0, nullptr, &shared);
    EXPECT_EQ(shared.size(), 3u);
    EXPECT_NE(later->GetTextures()[0], first->GetTextures()[0]);
}

TEST_F(ModelNodeTest, PassesAndMovingTexture)
{
    // Top half red, bottom half green.
    WriteTexture("halves.png", ImageOf(1, 2, {0xFF0000FFu, 0x00FF00FFu}));
    const std::vector<CTextureEntry> halves{{"halves.png", 0, 0.0}};
    const auto opaque = Node(Floor(), halves);
    Draw(*opaque, 1);
    EXPECT_RGB_NEAR(PixelAt(32, 16), 0, 0, 0);
    const auto glass = Node(Floor(), halves, VARDGraph::kModelFlat | VARDGraph::kModelTransparent);
    Draw(*glass, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 16), 0, 0, 0);
    Draw(*glass, 1);
    EXPECT_RGB_NEAR(PixelAt(32, 16), 255, 0, 0);

    const auto moving = Node(Floor(), halves, VARDGraph::kModelFlat | VARDGraph::kModelMoveTexture,
                             nullptr, nullptr, 4.0);
    Draw(*moving, 0, 12.0); // three whole turns: unshifted
    EXPECT_RGB_NEAR(PixelAt(32, 16), 255, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 48), 0, 255, 0);
    EXPECT_FALSE(device->GetRenderStates().textureTransform0);
    Draw(*moving, 0, 6.0); // half a turn: the halves change places
    EXPECT_FLOAT_EQ(device->GetTransform(gfx::TransformState::Texture0)(2, 1), 0.5f);
    EXPECT_RGB_NEAR(PixelAt(32, 16), 0, 255, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 48), 255, 0, 0);

    EXPECT_FLOAT_EQ(VARDGraph::TextureSlide(5.0, 4.0), 0.25f);
    EXPECT_EQ(VARDGraph::TextureSlide(5.0, 0.0), 0.0f);
    EXPECT_EQ(VARDGraph::TextureSlide(-1.0, 4.0), 0.0f);
}
