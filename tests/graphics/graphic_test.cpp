#include "graphics/graphic.h"

#include "../platform/gl_fixture.h"
#include "graphics/fixed_effect.h"
#include "graphics/scratch_module.h"
#include "world/effect_params.h"

#include <map>

using TestUtil::CodeOf;
using VARDCommon::kDataKindActor;
using VARDCommon::kDataKindItem;
using VARDCommon::kDataKindTile;
using VARDGraph::CGraphic;
using VARDGraph::CGraphicTree;

namespace
{

const char* kFigure = R"(<figure> man
 <piece> anchor </piece>
 <piece> body anchor </piece>
 <piece> weapon body </piece>
 <piece> gem weapon </piece>
 <piece> offhand body </piece>
 <piece> boots anchor </piece>
 <position> default anchor 0 0 body (0 1 0) 0 weapon (1 0 0) 0 gem (0 0 1) 0
   offhand (-1 0 0) 0 boots 0 0 </position>
 <position> cast anchor 0 0 body (0 1 0) 0 weapon (1 0 0) 0 gem (0 0 1) 0
   offhand (-1 0 0) 0 boots 0 0 </position>
 <animation> walk 0.0 default 1.0 cast </animation>
</figure>)";

// A generated floor tile with a solid white texture, then the options.
std::string Floor(const std::string& options = "")
{
    return "<auto> auto-floor 1 1 0 1 0 </auto> <texcolor> (255 255 255) 1 </texcolor> " + options;
}

std::string Model(const std::string& piece, const std::string& options = "")
{
    return " <model> " + piece + " " + Floor(options) + " </model> ";
}

// What each subset draw drew, by the piece whose mesh it was.
class Recorder : public gfx::DrawRecorder
{
public:
    void SubsetDrawn(const gfx::Mesh& mesh, std::uint32_t, const gfx::Matrix& world) override
    {
        draws.push_back({&mesh, world});
    }
    std::vector<std::pair<const gfx::Mesh*, gfx::Matrix>> draws;
};

void CollectMeshes(const CGraphicTree& piece, std::map<const gfx::Mesh*, std::string>& names)
{
    for (std::size_t i = 0; i < piece.GetModels().size(); ++i)
        names[&piece.GetModels()[i]->GetMesh()] =
            piece.GetName() + (i ? "#" + std::to_string(i) : std::string());
    for (const auto& child : piece.GetChildren())
        CollectMeshes(*child, names);
}

class GraphicTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        module.Write(kDataKindActor, VARDCommon::kDataSubKindFig, "man.vard", kFigure);
        device->SetDrawRecorder(&recorder);
    }

    void TearDown() override
    {
        device->SetDrawRecorder(nullptr);
        GlTest::TearDown();
    }

    std::shared_ptr<CGraphic>
    Actor(const std::string& body,
          const std::vector<VARDGraph::COverrideEntry>* overrides = nullptr,
          const VARDGraph::CGraphicColors* colours = nullptr)
    {
        module.Write(kDataKindActor, 0, "hero.vard", "<graphic> hero man " + body + " </graphic>");
        return std::make_shared<CGraphic>(*device, *module.factory, kDataKindActor, "hero",
                                          kDataKindItem, overrides, &cache, colours);
    }

    int ActorCode(const std::string& body)
    {
        return CodeOf([&] { Actor(body); });
    }

    // The pieces drawn, in order, with the world matrices they were drawn with.
    std::vector<std::string> Drawn(const CGraphic& graphic, const std::string& pose,
                                   double modelTime = 0.0,
                                   const gfx::Matrix& world = gfx::Matrix::Translation(10, 0, 0))
    {
        std::map<const gfx::Mesh*, std::string> names;
        if (graphic.GetRoot())
            CollectMeshes(*graphic.GetRoot(), names);
        recorder.draws.clear();
        device->BeginScene();
        graphic.Draw(*device, world, pose, 0.0, modelTime);
        device->EndScene();
        std::vector<std::string> drawn;
        worlds.clear();
        for (const auto& [mesh, matrix] : recorder.draws)
        {
            drawn.push_back(names.count(mesh) ? names[mesh] : "?");
            worlds[drawn.back()] = matrix;
        }
        return drawn;
    }

    static gfx::Vec3 Place(const gfx::Matrix& m) { return {m(3, 0), m(3, 1), m(3, 2)}; }

    using Names = std::vector<std::string>;

    ScratchModule module;
    Recorder recorder;
    VARDGraph::FigureCache cache;
    std::map<std::string, gfx::Matrix> worlds;
};

} // namespace

TEST_F(GraphicTest, ChildrenBeforeParentsAndNoHandsWhileCasting)
{
    const auto hero = Actor(Model("body") + Model("weapon") + Model("gem") + Model("offhand"));
    EXPECT_EQ(Drawn(*hero, "default"), (Names{"gem", "weapon", "offhand", "body"}));
    EXPECT_EQ(Place(worlds["gem"]), (gfx::Vec3{11, 1, 1}));
    EXPECT_EQ(Place(worlds["offhand"]), (gfx::Vec3{9, 1, 0}));
    // Held items vanish in the casting poses; what hangs below them does not.
    EXPECT_EQ(Drawn(*hero, "cast"), (Names{"gem", "body"}));
    EXPECT_EQ(Drawn(*hero, "walk"), (Names{"gem", "weapon", "offhand", "body"}));
    EXPECT_EQ(CodeOf([&] { Drawn(*hero, "crecover"); }), 2);
    EXPECT_EQ(hero->GetRoot()->GetChildren().size(), 1u) << "the empty boots piece is pruned";
}

TEST_F(GraphicTest, APieceScaleActsOnItsMeshesAndItsChildrensPlaces)
{
    const auto hero =
        Actor("<model> body (2 2 2) " + Floor() + " </model>" + Model("weapon") + Model("gem"));
    EXPECT_EQ(Drawn(*hero, "default"), (Names{"gem", "weapon", "body"}));
    EXPECT_EQ(worlds["body"](0, 0), 2.0f);
    EXPECT_EQ(Place(worlds["body"]), (gfx::Vec3{10, 1, 0}));
    EXPECT_EQ(worlds["weapon"](0, 0), 1.0f);
    EXPECT_EQ(Place(worlds["weapon"]), (gfx::Vec3{12, 1, 0}));
    EXPECT_EQ(Place(worlds["gem"]), (gfx::Vec3{12, 1, 1}));
}

TEST_F(GraphicTest, ModelFramesFollowTheModelTime)
{
    const std::string frames = "<modelanimation> body 2.0 0 0.0 <model> " + Floor() +
                               " </model> 0.25 <model> " + Floor() + " </model> 0.5 <model> " +
                               Floor() + " </model> </modelanimation> ";
    const auto hero = Actor(frames + " <modelanimation> gem 1.0 0 0.5 <model> " + Floor() +
                            " </model> </modelanimation>" + Model("weapon"));
    EXPECT_EQ(hero->GetRoot()->FindPiece("body")->GetPeriod(), 2.0);
    EXPECT_EQ(Drawn(*hero, "default", 0.6), (Names{"gem", "weapon", "body#1"}));
    EXPECT_EQ(Drawn(*hero, "default", 1.9), (Names{"gem", "weapon", "body#2"}));
    EXPECT_EQ(Drawn(*hero, "default", 2.1), (Names{"weapon", "body"}));
}

TEST_F(GraphicTest, TransparentModelsDrawInASecondPass)
{
    const auto hero =
        Actor("transparent movevaried " + Model("body") + Model("weapon", "transparent"));
    EXPECT_EQ(hero->GetFlags(), VARDGraph::kGraphicTransparent | VARDGraph::kGraphicMoveVaried);
    EXPECT_EQ(hero->HasTransparentModels(), 1);
    // The parent's opaque mesh in the first pass, the child's in the second.
    EXPECT_EQ(Drawn(*hero, "default"), (Names{"body", "weapon"}));

    const auto plain = Actor(Model("body") + Model("weapon"));
    EXPECT_EQ(plain->HasTransparentModels(), 0);
    EXPECT_EQ(Drawn(*plain, "default"), (Names{"weapon", "body"}));
}

TEST_F(GraphicTest, DescriptionsBuildTheirFigureLightAndEffect)
{
    module.WriteTexture(kDataKindActor, "spark.png", 1, 1, {0xFFFFFFFFu});
    const auto hero =
        Actor("<animationlengths> (walk 2.5) 0 walk 3 </animationlengths>" + Model("gem") +
              "<effect> <emitter> \"spark.png\" <color> (1 1 1) (1 1 1) (1 1 1) </color> (0 0) 1 2 "
              "(0 0) 0 (1 1) (1 1) point </emitter> </effect> <light> 2 255 128 0 50 </light>");
    EXPECT_EQ(hero->GetName(), "hero");
    EXPECT_EQ(hero->GetAnimations().at("walk")->GetLength(), 3.0);
    ASSERT_TRUE(hero->GetLight());
    EXPECT_EQ(hero->GetLight()->GetFlicker(), 50u);
    ASSERT_TRUE(hero->GetFixedEffect());
    // Only the path to the gem is left.
    ASSERT_EQ(hero->GetRoot()->GetChildren().size(), 1u);
    EXPECT_EQ(hero->GetRoot()->GetChildren()[0]->GetChildren()[0]->GetName(), "weapon");
    Drawn(*hero, "default", 4.0);
    EXPECT_EQ(hero->GetFixedEffect()->GetLastDrawTime(), 4.0);

    // The default figure with no models: nothing to draw but it can be posed.
    module.Write(kDataKindActor, 0, "ghost.vard", "<graphic> ghost 0 </graphic>");
    const CGraphic ghost(*device, *module.factory, kDataKindActor, "ghost", kDataKindActor, nullptr,
                         nullptr, nullptr);
    EXPECT_FALSE(ghost.GetRoot());
    EXPECT_FALSE(ghost.GetLight());
    EXPECT_TRUE(Drawn(ghost, "default").empty());
    EXPECT_EQ(CodeOf([&] { Drawn(ghost, "walk"); }), 2);

    EXPECT_EQ(ActorCode("shiny " + Model("body")), 1);
    EXPECT_EQ(ActorCode("<light> 1 (1 1 1) </light>"), 1);
    EXPECT_EQ(ActorCode(Model("tail")), 1);
    EXPECT_EQ(ActorCode("<animationlengths> run 2 </animationlengths>"), 1);
}

TEST_F(GraphicTest, ItemOverridesHangOnTheHands)
{
    module.Write(kDataKindItem, 0, "sword.vard",
                 "<override> sword <model> weapon " + Floor() +
                     " <color> HAIR 0 0 </color> </model> </override>");
    module.Write(kDataKindItem, 0, "cap.vard",
                 "<override> cap <model> body " + Floor() + " </model> </override>");
    const VARDGraph::CGraphicColors colours(0x102030u, 0, 0);
    const std::vector<VARDGraph::COverrideEntry> items{{"sword", 1}, {"cap", 0}};
    // The body's own mesh is replaced by the cap's; its scale stays.
    const auto hero = Actor("<model> body (1 3 1) " + Floor() + " </model>", &items, &colours);
    EXPECT_EQ(Drawn(*hero, "default"), (Names{"offhand", "body"}));
    EXPECT_EQ(hero->GetRoot()->FindPiece("body")->GetModels().size(), 1u);
    EXPECT_EQ(worlds["body"](1, 1), 3.0f);

    const std::vector<VARDGraph::COverrideEntry> mainHand{{"sword", 0}};
    EXPECT_EQ(Drawn(*Actor(Model("body"), &mainHand, &colours), "default"),
              (Names{"weapon", "body"}));
    EXPECT_EQ(CodeOf([&] { Actor(Model("body"), &mainHand, nullptr); }), 1);
}

TEST_F(GraphicTest, StaticWalkCountsSingleModelPiecesInPreOrder)
{
    const std::string two = " <modelanimation> weapon 1.0 0 0.0 <model> " + Floor() +
                            " </model> 0.5 <model> " + Floor() + " </model> </modelanimation> ";
    const auto hero = Actor("<model> body (2 2 2) " + Floor() + " </model>" + two + Model("gem") +
                            Model("boots"));
    int count = 0;
    EXPECT_TRUE(CGraphicTree::CountSingleModelPieces(*hero->GetRoot(), count));
    EXPECT_EQ(count, 3);

    std::map<const gfx::Mesh*, std::string> names;
    CollectMeshes(*hero->GetRoot(), names);
    const Names expected{"body", "gem", "boots"};
    for (int n = 0; n < 3; ++n)
    {
        gfx::MatrixStack stack;
        std::shared_ptr<VARDGraph::CModelNode> node;
        ASSERT_TRUE(CGraphic::GetStaticModel(*hero, n, stack, node));
        EXPECT_EQ(names[&node->GetMesh()], expected[n]);
        // Parent first, each scale after its piece's own place: the body's
        // scale doubles its own translation, not its children's.
        if (n == 1)
        {
            EXPECT_EQ(Place(stack.Top()), (gfx::Vec3{1, 2, 1}));
        }
    }
    gfx::MatrixStack stack;
    std::shared_ptr<VARDGraph::CModelNode> node;
    EXPECT_FALSE(CGraphic::GetStaticModel(*hero, 3, stack, node));
    EXPECT_FALSE(node);
    EXPECT_EQ(stack.Depth(), 1u);
}

TEST_F(GraphicTest, TileListsBuildEveryPieceOfAMultigraphic)
{
    module.Write(kDataKindTile, 0, "house.vard",
                 "<multigraphic> house (3 2) 0 " + Model("anchor") + " </multigraphic>");
    std::vector<std::shared_ptr<CGraphic>> graphics;
    VARDGraph::LoadTileGraphics(*module.factory, "house#1#0", *device, graphics);
    ASSERT_EQ(graphics.size(), 6u);
    const Names names{"house#0#0", "house#1#0", "house#2#0", "house#0#1", "house#1#1", "house#2#1"};
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(graphics[i]->GetName(), names[i]);
    // Every piece takes the first piece's texture.
    const auto texture = [&](std::size_t i)
    { return graphics[i]->GetRoot()->GetModels()[0]->GetTextures()[0]; };
    EXPECT_EQ(texture(5), texture(0));

    module.Write(kDataKindTile, 0, "well.vard",
                 "<graphic> well 0 " + Model("anchor", "nomultitexture") + " </graphic>");
    VARDGraph::LoadTileGraphics(*module.factory, "well", *device, graphics);
    ASSERT_EQ(graphics.size(), 7u);
    EXPECT_EQ(graphics[6]->GetName(), "well");

    module.Write(kDataKindTile, 0, "bad.vard", "<model> </model>");
    EXPECT_EQ(
        CodeOf([&] { VARDGraph::LoadTileGraphics(*module.factory, "bad", *device, graphics); }), 1);
    module.Write(kDataKindTile, 0, "flat.vard", "<multigraphic> flat 3 2 0 </multigraphic>");
    EXPECT_EQ(
        CodeOf([&] { VARDGraph::LoadTileGraphics(*module.factory, "flat", *device, graphics); }),
        1);
}
