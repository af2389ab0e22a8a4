#include "graphics/graphic.h"
#include "graphics/particles.h"

#include "common/data_file.h"
#include "test_util.h"
#include "world/effect_params.h"

#include <cmath>

using TestUtil::CodeOf;
using TestUtil::ReaderOf;
using VARDGraph::CModelInfo;
using VARDGraph::ModelInfoMap;
using VARDGraph::ModelReadContext;

namespace
{

// The models section of a description body, read to its end tag.
ModelInfoMap Models(const std::string& body, ModelReadContext context = {})
{
    auto reader = ReaderOf("<graphic> " + body + " </graphic>");
    reader.ReadStartTag("graphic");
    ModelInfoMap infos;
    VARDGraph::ReadModels(reader, context, infos);
    reader.ReadEndTag();
    return infos;
}

int ModelsCode(const std::string& body, ModelReadContext context = {})
{
    return CodeOf([&] { Models(body, context); });
}

} // namespace

TEST(GraphicDescription, ModelBlocksMergeByPieceAndLaterBlocksReplaceMeshes)
{
    ModelReadContext context;
    context.kind = VARDCommon::kDataKindActor;
    ModelInfoMap infos = Models(R"(
        <model> body (2 2 2) "body.x" <tex> "skin.png" "cloth.png" </tex> </model>
        <model> body 0 "item\armour.x" flat sparkly transparent </model>
        <model> head "" </model>
        <model> helm (1 2 3) "" </model>)",
                                context);
    ASSERT_EQ(infos.size(), 3u);
    const CModelInfo& body = *infos.at("body");
    // The second block's mesh replaced the first's; the first block's scale stays.
    ASSERT_EQ(body.subModels.size(), 1u);
    EXPECT_EQ(body.subModels[0]->meshName, "armour.x");
    EXPECT_EQ(body.subModels[0]->meshKind, VARDCommon::kDataKindItem);
    EXPECT_EQ(body.subModels[0]->flags, VARDGraph::kModelFlat | VARDGraph::kModelTransparent);
    EXPECT_TRUE(body.subModels[0]->textures.empty());
    EXPECT_EQ(body.hasScale, 1);
    EXPECT_EQ(body.scale, (gfx::Vec3{2, 2, 2}));
    EXPECT_EQ(body.period, 1.0);
    EXPECT_TRUE(infos.at("head")->subModels.empty());
    EXPECT_EQ(infos.at("helm")->hasScale, 1);
    EXPECT_EQ(infos.at("helm")->scale, (gfx::Vec3{1, 2, 3}));

    // A block whose first mesh stays: texture names and colours in file order.
    infos = Models(R"(<model> body "body.x" <tex> "a.png" "b.png" </tex>
        <texcolor> (255 0 0) 0.5 (1 2 3) 1 </texcolor> movetexture 4.5 </model>)",
                   context);
    const auto& sub = *infos.at("body")->subModels.at(0);
    EXPECT_EQ(sub.meshKind, VARDCommon::kDataKindActor);
    ASSERT_EQ(sub.textures.size(), 4u);
    EXPECT_EQ(sub.textures[1].name, "b.png");
    EXPECT_EQ(sub.textures[2].name, "");
    EXPECT_EQ(sub.textures[2].colour, 0xFF0000u);
    EXPECT_EQ(sub.textures[2].value, 0.5);
    EXPECT_EQ(sub.textures[3].colour, 0x010203u);
    EXPECT_EQ(sub.flags, VARDGraph::kModelMoveTexture);
    EXPECT_EQ(sub.textureMotionRate, 4.5);
    EXPECT_EQ(sub.hasColours, 0);

    EXPECT_EQ(ModelsCode("<model> body \"nowhere\\body.x\" </model>"), 2);
    EXPECT_EQ(ModelsCode("<model> body \"body.x\" </model> stray"), 1);
    EXPECT_EQ(ModelsCode("<model> body \"body.x\" "), 1);
}

TEST(GraphicDescription, OffHandOverridesRenameTheWeaponPieces)
{
    ModelReadContext context;
    context.kind = VARDCommon::kDataKindItem;
    for (int offHand : {0, 1})
    {
        context.offHand = offHand;
        auto reader = ReaderOf(R"(<override> sword
            <model> weapon "sword.x" </model>
            <model> weaponaegis "glow.x" </model>
            <model> shield "buckler.x" </model>
            </override>)");
        ModelInfoMap infos;
        VARDGraph::ReadOverride(reader, context, infos);
        EXPECT_EQ(infos.count(offHand ? "offhand" : "weapon"), 1u);
        EXPECT_EQ(infos.count(offHand ? "offhandaegis" : "weaponaegis"), 1u);
        EXPECT_EQ(infos.count("shield"), 1u);
        EXPECT_EQ(infos.size(), 3u);
    }
    // A light ends the models and then stands where the end tag should.
    auto reader = ReaderOf("<override> x <light> 1 (1 2 3) </light> </override>");
    ModelInfoMap infos;
    EXPECT_EQ(CodeOf([&] { VARDGraph::ReadOverride(reader, context, infos); }), 1);
}

TEST(GraphicDescription, GeneratedMeshesTakeTheMultigraphicPlace)
{
    ModelReadContext context;
    context.kind = VARDCommon::kDataKindTile;
    context.column = 2;
    context.row = 1;
    const ModelInfoMap infos = Models(R"(
        <model> anchor <auto> auto-floor ONE TWO 7 0 5 </auto> <texcolor> (1 1 1) 1 </texcolor> </model>
        <modelanimation> flame 2.0 0
          0.0 <model> <auto> auto-floor ONE TWO 0 0 0 </auto> </model>
          0.5 <model> "flame.x" transparent </model>
        </modelanimation>
        <modelanimcolor> glow 3.0 (1 1 1) <model> "orb.x" flat movetexture 2 </model>
          0.0 <texcolor> (255 0 0) 1.0 </texcolor>
          0.5 <texcolor> (0 255 0) 0.5 </texcolor>
        </modelanimcolor>)",
                                      context);
    const auto& floor = *infos.at("anchor")->subModels.at(0);
    EXPECT_TRUE(floor.generated);
    EXPECT_EQ(floor.meshName, "auto-floor");
    EXPECT_EQ(floor.parameters, (std::deque<std::uint32_t>{2, 1, 7, 0, 5}));

    // Frames of an animation always take the first piece's place.
    const CModelInfo& flame = *infos.at("flame");
    EXPECT_EQ(flame.period, 2.0);
    EXPECT_EQ(flame.hasScale, 0);
    ASSERT_EQ(flame.subModels.size(), 2u);
    EXPECT_EQ(flame.subModels[0]->parameters, (std::deque<std::uint32_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(flame.subModels[1]->frameTime, 0.5);
    EXPECT_EQ(flame.subModels[1]->flags, VARDGraph::kModelTransparent);

    const CModelInfo& glow = *infos.at("glow");
    EXPECT_EQ(glow.period, 3.0);
    EXPECT_EQ(glow.hasScale, 1);
    ASSERT_EQ(glow.subModels.size(), 2u);
    for (const auto& frame : glow.subModels)
    {
        EXPECT_EQ(frame->meshName, "orb.x");
        EXPECT_EQ(frame->flags, VARDGraph::kModelFlat | VARDGraph::kModelMoveTexture);
        EXPECT_EQ(frame->textureMotionRate, 2.0);
        ASSERT_EQ(frame->textures.size(), 1u);
        EXPECT_EQ(frame->textures[0].name, "");
    }
    EXPECT_EQ(glow.subModels[1]->frameTime, 0.5);
    EXPECT_EQ(glow.subModels[1]->textures[0].colour, 0x00FF00u);
    EXPECT_EQ(glow.subModels[1]->textures[0].value, 0.5);

    EXPECT_EQ(ModelsCode("<model> a <auto> auto-floor ONE three </auto> </model>"), 1);
}

TEST(GraphicDescription, RecolourKeysComeFromTheColourSet)
{
    const VARDGraph::CGraphicColors set(0x112233u, 0x445566u, 0x778899u);
    ModelReadContext context;
    context.colours = &set;
    const ModelInfoMap infos =
        Models("<model> body \"b.x\" <color> TRIM 0 (300 2 3) </color> </model>", context);
    const auto& sub = *infos.at("body")->subModels.at(0);
    EXPECT_EQ(sub.hasColours, 1);
    EXPECT_EQ(sub.colours, (VARDGraph::ModelColours{0x778899u, 0u, 0x2C0203u}));

    EXPECT_EQ(ModelsCode("<model> b \"b.x\" <color> HAIR 0 0 </color> </model>"), 1);
    EXPECT_EQ(ModelsCode("<model> b \"b.x\" <color> hair 0 0 </color> </model>", context), 2);
    EXPECT_EQ(ModelsCode("<model> b \"b.x\" <color> 0 0 0 0 </color> </model>", context), 1);
}

TEST(GraphicDescription, LightColourWithOrWithoutParentheses)
{
    for (const char* text : {"<light> 2.5 (255 128 0) </light>", "<light> 2.5 255 128 0 </light>",
                             "<light> 2.5 0 ( 255 128 0 ) 0 </light>"})
    {
        auto reader = ReaderOf(text);
        const VARDGraph::CLight light(reader);
        EXPECT_EQ(light.GetHeight(), 2.5) << text;
        EXPECT_EQ(light.GetRed(), 0.99609375f) << text;
        EXPECT_EQ(light.GetGreen(), 0.5f) << text;
        EXPECT_EQ(light.GetBlue(), 0.0f) << text;
        EXPECT_EQ(light.GetFlicker(), 0u) << text;
        EXPECT_TRUE(reader.IsAtEnd());
    }
    auto reader = ReaderOf("<light> 1 (1 2 3) 40 </light>");
    EXPECT_EQ(VARDGraph::CLight(reader).GetFlicker(), 40u);
}

TEST(Particles, ColoursAndAlphaBytes)
{
    EXPECT_EQ(VARDGraph::LowByte(255.0), 255u);
    EXPECT_EQ(VARDGraph::LowByte(1.5 * 255.0), 126u);
    EXPECT_EQ(VARDGraph::LowByte(300.9), 44u);
    EXPECT_EQ(VARDGraph::LowByte(-0.9), 0u);
    EXPECT_EQ(VARDGraph::LowByte(std::nan("")), 0u);
    EXPECT_EQ(VARDGraph::LerpColor(0.0, 0xFF102030u, 0x00000000u), 0xFF102030u);
    EXPECT_EQ(VARDGraph::LerpColor(0.5, 0xFF0000FFu, 0x00FF0001u), 0x7F7F0080u);
    EXPECT_EQ(VARDGraph::LerpColor(1.0, 0xFF0000FFu, 0x00FF0001u), 0x00FF0001u);
}

TEST(Particles, MotionAndTheEndOfLife)
{
    VARDGraph::CParticleList list;
    auto particle = std::make_shared<VARDGraph::CParticle>();
    particle->velocity = {1.0f, 2.0f, -4.0f};
    list.Append(particle);
    list.Update(0.5, 1.0, -2.0);
    // The position moves with the velocity from before this step.
    EXPECT_EQ(particle->position, (gfx::Vec3{0.5f, 1.0f, -2.0f}));
    EXPECT_EQ(particle->velocity, (gfx::Vec3{1.0f, 1.0f, -4.0f}));
    EXPECT_EQ(particle->lastUpdateTime, 0.5);
    list.Update(1.0, 1.0, 0.0); // age equal to the lifetime: stays
    EXPECT_EQ(list.GetSize(), 1u);
    EXPECT_EQ(particle->position, (gfx::Vec3{1.0f, 1.5f, -4.0f}));
    list.Update(1.25, 1.0, 0.0);
    EXPECT_TRUE(list.IsEmpty());

    // A lifetime of nothing ends the particles at once.
    list.Append(std::make_shared<VARDGraph::CParticle>());
    list.Update(0.0, 0.0, 0.0);
    EXPECT_TRUE(list.IsEmpty());
}
