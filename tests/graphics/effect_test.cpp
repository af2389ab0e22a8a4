#include "graphics/billboard_effect.h"
#include "graphics/fixed_effect.h"

#include "../platform/gl_fixture.h"
#include "common/random.h"
#include "graphics/scratch_module.h"
#include "world/effect_params.h"

#include <cmath>

using TestUtil::CodeOf;
using VARDCommon::kDataKindEffect;
using VARDGraph::CBillboardEffect;
using VARDGraph::CParticleEmitter;
using VARDGraph::CParticleList;

namespace
{

// An emitter block around a shape and what follows it.
std::string Emitter(const std::string& texture, const std::string& colours,
                    const std::string& numbers, const std::string& tail)
{
    return "<emitter> \"" + texture + "\" <color> " + colours + " </color> " + numbers + " " +
           tail + " </emitter>";
}

const std::string kWhite = "(255 0 0) (0 255 0) (0 0 255)";

class EffectTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        module.WriteTexture(kDataKindEffect, "spark.png", 2, 2,
                            {0xFF0000FFu, 0xFF0000FFu, 0x0000FFFFu, 0x0000FFFFu});
        module.WriteTexture(kDataKindEffect, "rune.png", 4, 1,
                            {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu});
    }

    void WriteEffect(const std::string& name, const std::string& body)
    {
        module.Write(kDataKindEffect, 0, name + ".vard",
                     "<effect> " + name + " " + body + " </effect>");
    }

    std::unique_ptr<CBillboardEffect> Effect(const std::string& name,
                                             const VARDGraph::CEffectParams* params = nullptr)
    {
        return std::make_unique<CBillboardEffect>(*module.factory, params, *device, name);
    }

    std::unique_ptr<CParticleEmitter> ReadEmitter(const std::string& text,
                                                  const VARDGraph::CEffectParams* params = nullptr)
    {
        auto reader = TestUtil::ReaderOf(text);
        return std::make_unique<CParticleEmitter>(*module.factory, *device, kDataKindEffect, reader,
                                                  params);
    }

    ScratchModule module;
};

} // namespace

TEST_F(EffectTest, EffectFilesAndEmitterBlocks)
{
    const std::string burst =
        Emitter("spark.png", kWhite, "(0.5 1) 2 3 (1 2) -4 (0.5 0.25) (1.0 0)", "burst");
    WriteEffect("plain", "\"\" <color> " + kWhite + " </color> 1 2 0.5 1 0 " + burst + " " + burst);
    const auto plain = Effect("plain");
    EXPECT_FALSE(plain->GetMainBillboard());
    EXPECT_FALSE(plain->GetTrailEmitter());
    EXPECT_EQ(plain->GetImpactEmitters().size(), 2u);
    EXPECT_EQ(plain->GetImpactLists().size(), 2u);
    EXPECT_EQ(plain->GetBillboardHeight(), 1.0);
    EXPECT_EQ(plain->GetTrailSpacing(), 1.0);
    EXPECT_EQ(plain->GetSeenTick(), 0);

    // Scaled by the parameters: speeds, gravity and sizes, not the rest.
    const VARDGraph::CEffectParams params("rune.png", 0x102030u, 2.0);
    const auto scaled = ReadEmitter(burst, &params);
    EXPECT_EQ(scaled->GetSpread(), 0.5);
    EXPECT_EQ(scaled->GetHeight(), 1.0);
    EXPECT_EQ(scaled->GetLifetime(), 2.0);
    EXPECT_EQ(scaled->GetCount(), 3u);
    EXPECT_EQ(scaled->GetRise(), 2.0);
    EXPECT_EQ(scaled->GetJitter(), 4.0);
    EXPECT_EQ(scaled->GetGravity(), -8.0);
    EXPECT_EQ(scaled->GetStartSize(), 1.0);
    EXPECT_EQ(scaled->GetEndSize(), 0.5);
    EXPECT_EQ(scaled->GetShape(), VARDGraph::kEmitBurst);
    // No tints: white with the alpha bytes.
    EXPECT_EQ(scaled->GetStartColor(), 0xFFFFFFFFu);
    EXPECT_EQ(scaled->GetEndColor(), 0x00FFFFFFu);

    const auto tinted =
        ReadEmitter(Emitter("RUNE", "COLOR 0 COLOR (1 2 3)", "(0 0) 1 0 (0 0) 0 (1 1) (1.5 0.5)",
                            "ring (300 1 2) (4 5 6)"),
                    &params);
    EXPECT_EQ(tinted->GetTexture()->GetTexture().GetWidth(), 4u);
    EXPECT_EQ(tinted->GetStartColor(), 0x7E2C0102u);
    EXPECT_EQ(tinted->GetEndColor(), 0x7F040506u);
    EXPECT_EQ(tinted->GetShape(), VARDGraph::kEmitRing);

    const std::string numbers = "(0 0) 1 0 (0 0) 0 (1 1) (1 1)";
    EXPECT_EQ(CodeOf([&] { ReadEmitter(Emitter("RUNE", kWhite, numbers, "point")); }), 1);
    EXPECT_EQ(
        CodeOf([&] { ReadEmitter(Emitter("spark.png", "COLOR " + kWhite, numbers, "point")); }), 1);
    EXPECT_EQ(CodeOf(
                  [&] {
                      ReadEmitter(Emitter("spark.png", "0 RED (1 1 1) (1 1 1)", numbers, "point"),
                                  &params);
                  }),
              1);
    EXPECT_EQ(CodeOf([&] { ReadEmitter(Emitter("spark.png", kWhite, numbers, "cone")); }), 1);
    EXPECT_EQ(
        CodeOf(
            [&]
            { ReadEmitter(Emitter("spark.png", kWhite, "0 0 1 0 (0 0) 0 (1 1) (1 1)", "point")); }),
        1);
    EXPECT_EQ(CodeOf([&] { ReadEmitter(Emitter("none.png", kWhite, numbers, "point")); }), 1);
    auto emitter = ReadEmitter(Emitter("spark.png", kWhite, numbers, "point"));
    emitter->SetShape(3);
    CParticleList list;
    EXPECT_EQ(CodeOf([&] { emitter->Emit(list, 0, 0, 0); }), 2);
}

TEST_F(EffectTest, EmissionDrawsInTheFixedOrder)
{
    const auto point =
        ReadEmitter(Emitter("spark.png", kWhite, "(0.5 1.5) 1 0 (2 0.25) 0 (1 1) (1 1)", "point"));
    SeedRandom(1234);
    double r[5];
    for (double& draw : r)
        draw = 2.0 * RandomReal() - 1.0;
    SeedRandom(1234);
    CParticleList list;
    point->Emit(list, 10.0, 20.0, 3.0);
    ASSERT_EQ(list.GetSize(), 1u); // a point emits one whatever its count
    const auto& p = *list.GetParticles().front();
    EXPECT_EQ(p.position.x, static_cast<float>(10.0 + r[0] * 0.5));
    EXPECT_EQ(p.position.z, static_cast<float>(20.0 + r[1] * 0.5));
    EXPECT_EQ(p.position.y, 1.5f);
    EXPECT_EQ(p.velocity.x, static_cast<float>(r[2] * 0.25));
    EXPECT_EQ(p.velocity.y, static_cast<float>(2.0 + r[3] * 0.25));
    EXPECT_EQ(p.velocity.z, static_cast<float>(r[4] * 0.25));
    EXPECT_EQ(p.birthTime, 3.0);
    EXPECT_EQ(p.lastUpdateTime, 3.0);

    const auto ring =
        ReadEmitter(Emitter("spark.png", kWhite, "(0 1) 1 4 (2 3) 0 (1 1) (1 1)", "ring"));
    SeedRandom(99);
    const std::uint32_t first = RandomWord();
    SeedRandom(99);
    list = CParticleList();
    ring->Emit(list, 1.0, 2.0, 0.0);
    EXPECT_EQ(RandomWord(), first) << "a ring draws no random number";
    ASSERT_EQ(list.GetSize(), 4u);
    const double angle = 1.0 / 4.0 * 6.2831854820251465;
    EXPECT_EQ(list.GetParticles()[1]->velocity.x, static_cast<float>(std::sin(angle) * 3.0));
    EXPECT_EQ(list.GetParticles()[1]->velocity.z, static_cast<float>(std::cos(angle) * 3.0));
    EXPECT_EQ(list.GetParticles()[1]->velocity.y, 2.0f);
    EXPECT_EQ(list.GetParticles()[3]->position, (gfx::Vec3{1.0f, 1.0f, 2.0f}));

    const auto burst =
        ReadEmitter(Emitter("spark.png", kWhite, "(9 1) 1 2 (2 3) 0 (1 1) (1 1)", "burst"));
    SeedRandom(77);
    for (double& draw : r)
        draw = 2.0 * RandomReal() - 1.0;
    SeedRandom(77);
    list = CParticleList();
    burst->Emit(list, 1.0, 2.0, 0.0);
    ASSERT_EQ(list.GetSize(), 2u);
    EXPECT_EQ(list.GetParticles()[0]->position, (gfx::Vec3{1.0f, 1.0f, 2.0f})); // no spread
    EXPECT_EQ(list.GetParticles()[0]->velocity.z, static_cast<float>(r[2] * 3.0));
    EXPECT_EQ(list.GetParticles()[1]->velocity.x, static_cast<float>(r[3] * 3.0));
    EXPECT_EQ(list.GetParticles()[1]->velocity.y, static_cast<float>(2.0 + r[4] * 3.0));
}

TEST_F(EffectTest, TrailEverySpacingAndImpactAtTheEnd)
{
    const std::string trail =
        Emitter("spark.png", kWhite, "(0 0.5) 1 1 (0 0) 0 (1 1) (1 1)", "point");
    const std::string ring = Emitter("spark.png", kWhite, "(0 0) 1 3 (0 0) 0 (1 1) (1 1)", "ring");
    WriteEffect("bolt",
                "\"spark.png\" <color> " + kWhite + " </color> 1 1 1 2 " + trail + " " + ring);
    auto bolt = Effect("bolt");
    bolt->SetPosition(0.0, 0.0);
    bolt->UpdateMoving(0.0, 0.0, 0.1);
    EXPECT_TRUE(bolt->GetTrailParticles().IsEmpty());
    // 2.5 spacings from rest: bursts at 1 and 2 spacings along, 0.5 kept.
    bolt->UpdateMoving(3.0, 4.0, 0.2);
    const auto& trailed = bolt->GetTrailParticles().GetParticles();
    ASSERT_EQ(trailed.size(), 2u);
    EXPECT_EQ(trailed[0]->position, (gfx::Vec3{1.2f, 0.5f, 1.6f}));
    EXPECT_EQ(trailed[1]->position, (gfx::Vec3{2.4f, 0.5f, 3.2f}));
    EXPECT_DOUBLE_EQ(bolt->GetTravelled(), 1.0);
    EXPECT_EQ(bolt->GetPositionX(), 3.0);
    bolt->UpdateMoving(3.0, 6.0, 0.3); // 1.5 spacings travelled now: one more, 1 unit along
    ASSERT_EQ(trailed.size(), 3u);
    EXPECT_EQ(trailed[2]->position, (gfx::Vec3{3.0f, 0.5f, 5.0f}));

    EXPECT_FALSE(bolt->UpdateImpact(0.4));
    EXPECT_EQ(bolt->IsStarted(), 1);
    EXPECT_EQ(bolt->GetImpactLists()[0]->GetSize(), 3u);
    EXPECT_EQ(bolt->GetImpactLists()[0]->GetParticles()[0]->position.x, 3.0f);
    EXPECT_FALSE(bolt->UpdateImpact(1.4)); // the impact fires once; its particles are 1.0 old
    EXPECT_EQ(bolt->GetImpactLists()[0]->GetSize(), 3u);
    EXPECT_TRUE(bolt->UpdateImpact(1.5));

    // No spacing: no trail and no endless loop; empty impacts finish at once.
    const std::string none = Emitter("spark.png", kWhite, "(0 0) 1 0 (0 0) 0 (1 1) (1 1)", "burst");
    WriteEffect("still", "\"\" <color> " + kWhite + " </color> 1 1 1 0 " + trail + " " + none);
    auto still = Effect("still");
    still->UpdateMoving(5.0, 0.0, 0.1);
    EXPECT_TRUE(still->GetTrailParticles().IsEmpty());
    EXPECT_TRUE(still->UpdateImpact(0.2));
}

TEST_F(EffectTest, FixedEffectKeepsItsScheduleAndBudget)
{
    auto reader = TestUtil::ReaderOf(
        "<effect> " + Emitter("spark.png", kWhite, "(0 2) 2 4 (0 0) 0 (1 1) (1 1)", "point") +
        " </effect>");
    VARDGraph::CFixedEffect effect(*module.factory, *device, kDataKindEffect, reader);
    const gfx::Matrix world = gfx::Matrix::Translation(3.0f, 7.0f, 5.0f);
    effect.Advance(world, 10.0); // starts the schedule, emits nothing
    EXPECT_TRUE(effect.GetParticles().IsEmpty());
    EXPECT_EQ(effect.GetNextEmissionTime(), 10.0);
    effect.Advance(world, 10.6); // one interval (0.5) is due
    ASSERT_EQ(effect.GetParticles().GetSize(), 1u);
    EXPECT_EQ(effect.GetParticles().GetParticles()[0]->position, (gfx::Vec3{3.0f, 2.0f, 5.0f}));
    EXPECT_EQ(effect.GetNextEmissionTime(), 10.5);

    // After a pause: the budget shrinks as the list grows, then the schedule restarts.
    effect.Advance(world, 100.0);
    EXPECT_EQ(effect.GetParticles().GetSize(), 3u);
    EXPECT_EQ(effect.GetNextEmissionTime(), 100.0);
    effect.Advance(world, 100.0); // the same time again emits nothing
    EXPECT_EQ(effect.GetParticles().GetSize(), 3u);
    EXPECT_EQ(effect.GetLastDrawTime(), 100.0);

    auto idle = TestUtil::ReaderOf(
        "<effect> " + Emitter("spark.png", kWhite, "(0 0) 2 0 (0 0) 0 (1 1) (1 1)", "point") +
        " </effect>");
    VARDGraph::CFixedEffect never(*module.factory, *device, kDataKindEffect, idle);
    never.Advance(world, 1.0);
    never.Advance(world, 50.0);
    EXPECT_TRUE(never.GetParticles().IsEmpty());
    EXPECT_EQ(CodeOf([&] { never.Advance(gfx::Matrix::Scaling(0, 1, 1), 60.0); }), 5);
}

TEST_F(EffectTest, BillboardShowsItsTextureUprightAndRecoloured)
{
    device->SetTransform(gfx::TransformState::View,
                         gfx::Matrix::LookAtRH({0, 0, 10}, {0, 0, 0}, {0, 1, 0}));
    device->SetTransform(gfx::TransformState::Projection,
                         gfx::Matrix::PerspectiveFovRH(2.0f * std::atan(0.2f), 1.0f, 1.0f, 100.0f));
    // Red texels take the first colour (green here), blue ones the third (red).
    WriteEffect("glow", "\"spark.png\" <color> (0 255 0) (0 0 0) (255 0 0) </color> 0 2 1 1 0");
    auto glow = Effect("glow");
    device->BeginScene();
    glow->Draw(*device);
    device->EndScene();
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(32, 20), 0, 254, 0);
    EXPECT_RGB_NEAR(PixelAt(32, 44), 254, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(8, 32), 0, 0, 0);

    // Once the impact has begun the main billboard is gone.
    EXPECT_TRUE(glow->UpdateImpact(1.0));
    device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
    device->BeginScene();
    glow->Draw(*device);
    device->EndScene();
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(32, 20), 0, 0, 0);
}
