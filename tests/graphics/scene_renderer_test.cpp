#include "graphics/scene_renderer.h"

#include "../platform/gl_fixture.h"
#include "common/data_file.h"
#include "common/random.h"
#include "graphics/billboard_effect.h"
#include "graphics/graphic.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "test_util.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/effect_params.h"
#include "world/game.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/thing.h"
#include "world/tile.h"
#include "world/trap.h"
#include "world/world_object.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

using VARDGraph::CSceneRenderer;
using VARDGraph::kPickActor;
using VARDGraph::kPickObject;
using VARDGraph::kPickTile;
using VARDGraph::SceneCamera;

namespace
{

constexpr std::uint32_t kSide = 256;

// A new game of the demo module entered at its start (the town), every
// party member selected, seen by the game screen's camera.
class SceneTest : public GlTest
{
protected:
    SceneTest() : GlTest(kSide) {}

    void SetUp() override
    {
        GlTest::SetUp();
        VARD::InstallLuaScriptHost();
        engine = std::make_unique<VARD::CEngine>();
        engine->LoadModule(VARD_DEMO_MODULE);
        SeedRandom(1);
        auto hero = engine->NewGame();
        hero->SetColors(
            std::make_shared<VARDGraph::CGraphicColors>(0x603010u, 0xE0B090u, 0x2040A0u));
        hero->SetGraphicName(engine->Module().GetHeads(0).front()->head);
        engine->SetMainCharacter(hero);
        if (Game().GetState() == VARD::kGameDestinationKnown)
            engine->EnterArea();
        engine->Tick();
        VARDGraph::ApplyGameRenderStates(*device);
        scene.Reset(engine->GetFactory());
        scene.BuildArea(Game(), *device, engine->Module());
        hero->SetPosition(hero->GetX(), hero->GetY());
        this->hero = hero.get();
        scene.SetSelectedIds({hero->Id()});
        target = {static_cast<float>(hero->GetX()), 0.0f, static_cast<float>(hero->GetY())};
        camera.clientRect = &client;
        camera.target = &target;
        camera.distance = 350.0f;
        camera.fieldOfView = 0.19634955f;
        camera.yaw = 330.0f;
        camera.pitch = 32.5f;
    }

    void TearDown() override
    {
        scene.Clear(Game());
        engine.reset();
        GlTest::TearDown();
    }

    VARD::CGame& Game() { return engine->Game(); }
    VARD::CArea& Area() { return *Game().GetCurrentArea(); }

    // The party at an entry of another area of the demo, its scene built and
    // the camera on the hero.
    void EnterDemoArea(const std::string& name, const std::string& entry)
    {
        scene.Clear(Game());
        engine->LeaveArea();
        Game().SetTravel(name, entry);
        Game().SetState(VARD::kGameDestinationKnown);
        engine->EnterArea();
        scene.BuildArea(Game(), *device, engine->Module());
        target = {static_cast<float>(hero->GetX()), 0.0f, static_cast<float>(hero->GetY())};
    }

    // Every cell seen and in view: only what stands in front may hide.
    void SeeEverything()
    {
        for (VARD::CCellBitSet* cells : {&Area().TileTracker(), &Area().SightGrid()})
            for (std::uint32_t r = 0; r < Area().GetHeight(); ++r)
                for (std::uint32_t c = 0; c < Area().GetWidth(); ++c)
                    cells->Mark(c, r);
    }

    void Draw()
    {
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        scene.Render(Game(), *device, camera);
        Drawn();
    }

    // The window point of a world point under the last frame's matrices.
    gfx::Vec3 Screen(float x, float y, float z)
    {
        return gfx::Project(
            {x, y, z}, device->GetViewport(), device->GetTransform(gfx::TransformState::Projection),
            device->GetTransform(gfx::TransformState::View), gfx::Matrix::Identity());
    }

    std::array<int, 4> PixelOf(float x, float y, float z)
    {
        const gfx::Vec3 p = Screen(x, y, z);
        if (!(p.x >= 0.0f && p.y >= 0.0f && p.x < kSide && p.y < kSide))
        {
            ADD_FAILURE() << "(" << x << ", " << y << ", " << z << ") is off the picture";
            return {};
        }
        return PixelAt(static_cast<std::uint32_t>(p.x), static_cast<std::uint32_t>(p.y));
    }

    // The first tick whose clock shows the hour and minute.
    std::uint32_t TickAt(int hour, int minute)
    {
        for (std::uint32_t tick = 0; tick < 30u * 3600u * 24u; tick += 30u * 60u)
        {
            const VARD::CGameTime time = Game().SplitTime(tick);
            if (time.hour == hour && time.minute == minute)
                return tick;
        }
        ADD_FAILURE() << "no tick shows " << hour << ":" << minute;
        return 0;
    }

    std::unique_ptr<VARD::CEngine> engine;
    CSceneRenderer scene;
    VARD::CActor* hero = nullptr;
    gfx::Rect client{0, 0, static_cast<std::int32_t>(kSide), static_cast<std::int32_t>(kSide)};
    gfx::Vec3 target;
    SceneCamera camera;
};

TEST_F(SceneTest, TilesShareGraphicsByNameAndMergeOncePerWindow)
{
    std::map<std::string, VARDGraph::CGraphic*> byName;
    for (const auto& master : Area().GetMasterTiles())
    {
        const std::string& name = master->GetTemplate()->GetGraphicName();
        auto [it, fresh] = byName.emplace(name, master->GetSharedGraphic().get());
        EXPECT_EQ(it->second, master->GetSharedGraphic().get()) << name;
        EXPECT_EQ(scene.GetGraphicCache().at(name).get(), it->second);
    }
    // The static master tiles that seen cells hold, each counted once.
    std::set<const VARD::CMasterTile*> staticMasters;
    std::set<const VARDGraph::CGraphic*> staticGraphics;
    for (std::uint32_t row = 0; row < Area().GetHeight(); ++row)
        for (std::uint32_t column = 0; column < Area().GetWidth(); ++column)
        {
            const VARD::CTile* tile = Area().GetTile(column, row);
            const VARD::CMasterTile* master = tile ? tile->GetMasterTile() : nullptr;
            const VARDGraph::CGraphic* g = master ? master->GetGraphic() : nullptr;
            if (g && Area().GetTileTracker().IsMarked(column, row) &&
                !master->GetTemplate()->IsDoor() && !g->GetLight() && !g->GetFixedEffect() &&
                !(g->GetFlags() & VARDGraph::kGraphicMoveVaried))
            {
                staticMasters.insert(master);
                staticGraphics.insert(g);
            }
        }
    const std::size_t staticTiles = staticMasters.size();
    ASSERT_GT(staticTiles, 50u);
    ASSERT_EQ(scene.GetConcatBuildFrame(), 0u);

    Draw();
    const auto& concats = scene.GetConcatMap()->GetConcats();
    EXPECT_EQ(scene.GetConcatBuildFrame(), 1u);
    EXPECT_EQ(concats.size(), staticGraphics.size());
    std::size_t instances = 0;
    for (const auto& [graphic, concat] : concats)
    {
        instances += concat->GetInstances().size();
        for (const auto& built : concat->GetBuiltMeshes())
        {
            const auto& piece = built.node->GetMesh();
            EXPECT_EQ(built.mesh->GetIndexFormat(), gfx::IndexFormat::Bits32);
            EXPECT_EQ(built.mesh->GetNumFaces(),
                      piece.GetNumFaces() * concat->GetInstances().size());
            for (std::uint32_t attribute : built.mesh->GetAttributes())
                EXPECT_LT(attribute, built.node->GetMaterialCount());
        }
    }
    EXPECT_EQ(instances, staticTiles);

    // A step of a few cells keeps the merge; the other end of the world does not.
    target.x += 5.0f;
    Draw();
    EXPECT_EQ(scene.GetConcatBuildFrame(), 1u);
    // A static tile near the target that the merge did not hold: merged anew
    // at the next frame.
    const_cast<VARD::CMasterTile*>(*staticMasters.begin())->SetMergeStamp(0);
    Draw();
    EXPECT_EQ(scene.GetConcatBuildFrame(), 0u);
    EXPECT_TRUE(scene.GetConcatMap()->GetConcats().empty());
    Draw();
    EXPECT_EQ(scene.GetConcatBuildFrame(), 4u);
    EXPECT_EQ(scene.GetConcatMap()->GetConcats().size(), staticGraphics.size());

    // Non-party actors without colours of their own share one graphic.
    auto first = std::make_shared<VARD::CActor>(Game().NewThingId(VARD::kThingKindActor));
    auto second = std::make_shared<VARD::CActor>(Game().NewThingId(VARD::kThingKindActor));
    for (auto* actor : {first.get(), second.get()})
    {
        actor->SetAttitude(VARD::kAttitudeHostile);
        actor->SetGraphicName("wolf");
        scene.BuildActorGraphic(*actor, *device);
    }
    EXPECT_NE(first->GetGraphic(), nullptr);
    EXPECT_EQ(first->GetGraphic(), second->GetGraphic());
    EXPECT_NE(hero->GetGraphic(), nullptr);
    EXPECT_EQ(scene.GetGraphicCache().count(hero->GetGraphicName()), 0u) << "party: own graphic";
}

TEST_F(SceneTest, ParticleEffectsFollowTheirThingThenPlayOutAndGo)
{
    const VARD::CSpell* spell = nullptr;
    for (const auto& [key, candidate] : engine->Module().GetSpells())
        if (candidate->GetEffectGraphic() == "spark")
            spell = candidate.get();
    ASSERT_NE(spell, nullptr);
    auto effect =
        std::make_shared<VARD::CEffectSpell>(Game().NewThingId(VARD::kThingKindEffect), 0,
                                             hero->Id(), "test", "spark", 0, 0, spell, 0, 0, 83);
    effect->SetPosition(Area(), hero->GetX() + 10.0, hero->GetY());
    Area().AddEffect(effect);
    auto unnamed =
        std::make_shared<VARD::CEffectSpell>(Game().NewThingId(VARD::kThingKindEffect), 0,
                                             hero->Id(), "test", "", 0, 0, nullptr, 0, 0, 83);
    Area().AddEffect(unnamed);

    try
    {
        scene.UpdateEffects(Game(), *device);
    }
    catch (const CVARDException& e)
    {
        FAIL() << e.Describe();
    }
    ASSERT_EQ(scene.GetBillboardEffects().size(), 1u) << "an unnamed effect gets none";
    const auto& billboard = scene.GetBillboardEffects().at(effect->Id());
    EXPECT_DOUBLE_EQ(billboard->GetPositionX(), hero->GetX() + 10.0);

    for (int i = 0; i < 10; ++i)
    {
        Game().AdvanceTick();
        effect->SetPosition(Area(), effect->GetX() - 1.0, effect->GetY());
        scene.UpdateEffects(Game(), *device);
    }
    EXPECT_DOUBLE_EQ(billboard->GetPositionX(), hero->GetX());
    EXPECT_EQ(billboard->GetSeenTick(), static_cast<std::int32_t>(Game().GetTick()));
    Draw();

    Area().RemoveEffect(effect.get());
    int ticks = 0;
    while (!scene.GetBillboardEffects().empty() && ticks < 30 * 60)
    {
        Game().AdvanceTick();
        scene.UpdateEffects(Game(), *device);
        ++ticks;
    }
    EXPECT_TRUE(scene.GetBillboardEffects().empty());
    EXPECT_GT(ticks, 1) << "the impact plays before the effect goes";

    // Placed effects share key 0: the second replaces the first.
    scene.AddEffect(*device, Game(), "burst", spell->GetEffectParams().get(), 1.0, 2.0);
    scene.AddEffect(*device, Game(), "spark", spell->GetEffectParams().get(), 3.0, 4.0);
    ASSERT_EQ(scene.GetBillboardEffects().size(), 1u);
    EXPECT_DOUBLE_EQ(scene.GetBillboardEffects().at(0)->GetPositionX(), 3.0);
}

TEST_F(SceneTest, OutdoorLightTurnsWithTheClockAndObjectLightsFillTheDevice)
{
    struct Case
    {
        int hour, minute;
        bool night;
        float a;
    };
    const float pi = 3.1415927410125732f;
    for (const Case& c : {Case{5, 59, true, 719.0f / 720.0f * pi}, Case{6, 0, false, 0.0f},
                          Case{17, 59, false, 719.0f / 720.0f * pi}, Case{18, 0, true, 0.0f}})
    {
        Game().SetTick(TickAt(c.hour, c.minute));
        scene.SetupLights(*device, Area(), target);
        const gfx::Light& sun = device->GetLight(0);
        EXPECT_EQ(sun.type, gfx::LightType::Directional);
        EXPECT_NEAR(sun.direction.x, -std::cos(c.a), 1e-5) << c.hour << ":" << c.minute;
        EXPECT_NEAR(sun.direction.y, -std::sin(c.a), 1e-5) << c.hour << ":" << c.minute;
        EXPECT_EQ(sun.diffuse, c.night ? (gfx::ColorValue{0.0f, 0.0f, 0.5f, 0.0f})
                                       : (gfx::ColorValue{0.5f, 0.5f, 0.5f, 0.0f}));
        EXPECT_EQ(scene.GetSunFlag(), 1);
        EXPECT_FLOAT_EQ(scene.GetSunDirectionX(), sun.direction.x);
    }

    // Four objects carry a light, at 10, 20, 30 and exactly 100 units.
    auto lit = std::make_shared<VARDGraph::CGraphic>(
        *device, *engine->GetFactory(), VARDCommon::kDataKindObject, "obj_campfire",
        VARDCommon::kDataKindObject, nullptr, nullptr, nullptr);
    ASSERT_NE(lit->GetLight(), nullptr);
    const auto objects = Area().GetObjects();
    ASSERT_GE(objects.size(), 4u);
    for (const auto& object : objects)
        if (object->GetGraphic() && object->GetGraphic()->GetLight())
            object->SetGraphic(nullptr);
    const double distances[] = {30.0, 10.0, 100.0, 20.0};
    for (std::size_t i = 0; i < 4; ++i)
    {
        objects[i]->SetPosition(target.x + distances[i], target.z);
        objects[i]->SetGraphic(lit);
    }
    EXPECT_EQ(scene.SetupLights(*device, Area(), target), 5u) << "exactly 100 units still shines";
    device->LimitActiveLights(3);
    ASSERT_EQ(scene.SetupLights(*device, Area(), target), 3u);
    EXPECT_FLOAT_EQ(device->GetLight(1).position.x, target.x + 10.0f);
    EXPECT_FLOAT_EQ(device->GetLight(2).position.x, target.x + 20.0f);
    EXPECT_FLOAT_EQ(device->GetLight(1).position.y,
                    static_cast<float>(lit->GetLight()->GetHeight()));
    EXPECT_FLOAT_EQ(device->GetLight(1).attenuation1,
                    static_cast<float>(1.0 / lit->GetLight()->GetHeight()));
}

// The demo's areas, each with its first entry.
const std::pair<std::string, std::string> kDemoAreas[] = {
    {"town", "gate"}, {"forest", "road"}, {"crypt", "stairs"}};

// At every hour of the day, on any day, the sky of each area suits its
// light: dark under the blue light of night, bright under the grey light
// of day, and below ground one dark vault under a light the clock leaves.
TEST_F(SceneTest, SkiesAgreeWithTheLightAtEveryHour)
{
    int outdoor = 0, indoor = 0;
    for (const auto& [name, entry] : kDemoAreas)
    {
        SCOPED_TRACE(name);
        EnterDemoArea(name, entry);
        const bool lit = Area().GetLightingFlag();
        (lit ? outdoor : indoor) += 1;
        std::set<int> vault;
        for (int hour = 0; hour < 24; ++hour)
            for (const int minute : {0, 59})
            {
                SCOPED_TRACE(std::to_string(hour) + ":" + std::to_string(minute));
                // The first tick of the hour and the last before the next,
                // on one of four days.
                const std::uint32_t tick = TickAt(hour, minute) + (minute == 0 ? 0u : 1799u);
                Game().SetTick(tick + static_cast<std::uint32_t>(hour % 4) * 30u * 3600u * 24u);
                ASSERT_EQ(Game().SplitTime(Game().GetTick()).hour, hour);
                Draw();
                // The sky alone, seen through the frame's own view.
                const float p = camera.pitch * 0.017453292f;
                const float y = (camera.yaw + 90.0f) * 0.017453292f;
                const float h = camera.distance * std::cos(p);
                const gfx::Vec3 eye{target.x + h * std::cos(y), camera.distance * std::sin(p),
                                    target.z + h * std::sin(y)};
                device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFFFF00FFu, 1.0f);
                scene.DrawSky(Game(), *device, camera, eye);
                Drawn();
                const auto pixel = PixelAt(kSide / 2, kSide / 2);
                ASSERT_FALSE(pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 255) << "no sky";
                const int sky = pixel[0] + pixel[1] + pixel[2];
                const gfx::Light& light = device->GetLight(0);
                if (!lit)
                {
                    EXPECT_EQ(light.type, gfx::LightType::Point);
                    EXPECT_LT(sky, 3 * 60);
                    vault.insert(sky);
                    continue;
                }
                const bool night = hour < 6 || hour >= 18;
                EXPECT_EQ(light.diffuse, night ? (gfx::ColorValue{0.0f, 0.0f, 0.5f, 0.0f})
                                               : (gfx::ColorValue{0.5f, 0.5f, 0.5f, 0.0f}));
                if (night)
                    EXPECT_LT(sky, 3 * 80) << "a day sky under the night light";
                else
                    EXPECT_GT(sky, 3 * 120) << "a night sky under the day light";
            }
        EXPECT_LE(vault.size(), 1u) << "the sky below ground changed with the clock";
    }
    EXPECT_GE(outdoor, 2);
    EXPECT_GE(indoor, 1);
}

// Sends each draw collected in a batch at once, so that every copy reaches
// the GPU on its own as a plain draw.
class BatchBreaker : public gfx::DrawRecorder
{
public:
    explicit BatchBreaker(gfx::Device& device) : m_Device(device) {}

    void SubsetDrawn(const gfx::Mesh&, std::uint32_t, const gfx::Matrix&) override
    {
        if (!m_Device.IsBatching())
            return;
        ++batchedDraws;
        m_Device.EndBatch();
        m_Device.BeginBatch();
    }

    int batchedDraws = 0;

private:
    gfx::Device& m_Device;
};

TEST_F(SceneTest, SkyLayersGoAsOneDrawEachWithThePixelsOfTheirCopies)
{
    // Drifted layers, and a low camera that shows much sky: the day sky and
    // the see-through clouds, whose copies' edges would show any seam.
    Game().SetTick(TickAt(12, 0) + 12345u);
    camera.pitch = 20.0f;
    ASSERT_EQ(scene.GetSkyLayers().size(), 2u);
    // Every layer as copies: the day sky would otherwise be one clear.
    scene.SetShortcuts(false);
    const auto frame = [&](std::uint64_t& calls)
    {
        SeedRandom(5);
        const std::uint64_t before = device->GetDrawCallCount();
        Draw();
        calls = device->GetDrawCallCount() - before;
        return device->ReadPixels();
    };
    std::uint64_t calls = 0;
    frame(calls);
    BatchBreaker breaker(*device);
    device->SetDrawRecorder(&breaker);
    std::uint64_t splitCalls = 0;
    const gfx::Image split = frame(splitCalls);
    device->SetDrawRecorder(nullptr);
    std::uint64_t batchedCalls = 0;
    const gfx::Image batched = frame(batchedCalls);

    ASSERT_GT(breaker.batchedDraws, 100) << "copies of the two layers";
    EXPECT_EQ(splitCalls - batchedCalls, static_cast<std::uint64_t>(breaker.batchedDraws - 2));
    EXPECT_FALSE(device->IsBatching());
    ASSERT_EQ(batched.pixels.size(), split.pixels.size());
    EXPECT_TRUE(batched.pixels == split.pixels) << "the batched sky changed pixels";
    // The sky fills the top corner, under the clouds.
    EXPECT_NEAR(batched.Pixel(1, 1)[2], 238, 2);
}

// Like draws merge only while nothing but the world transform changes, and
// never across a change: red, red, green, red, textured red are four draws.
// The copies are turned, so a sun shows whether their normals turn with them.
TEST_F(SceneTest, BatchesSplitWhereMaterialOrTextureChange)
{
    std::vector<gfx::MeshVertex> vertices;
    for (const auto& [x, y] : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}})
        vertices.push_back({{x, y, 0.0f}, {0.0f, 0.0f, 1.0f}, {x, y}});
    const gfx::Mesh quad(gfx::VertexLayout::PositionNormalTexture, gfx::IndexFormat::Bits16,
                         vertices, {0, 1, 2, 2, 1, 3}, {0, 0});
    const auto white = device->CreateTexture(gfx::MakeSolidImage(0xFFFFFFFFu, 1.0), false);
    device->SetTransform(gfx::TransformState::View, gfx::Matrix::Identity());
    device->SetTransform(gfx::TransformState::Projection,
                         gfx::Matrix::Scaling(0.25f, 0.25f, 0.5f) *
                             gfx::Matrix::Translation(-1.0f, -1.0f, 0.5f));
    device->SetCullMode(gfx::CullMode::None);
    // Each copy covers part of the one before: the order shows.
    device->SetZEnable(false);
    gfx::Light sun;
    sun.direction = gfx::Normalize(gfx::Vec3{-0.6f, 0.0f, -0.8f});
    device->SetLight(0, sun);
    device->LightEnable(0, true);
    const auto draw = [&](bool batch)
    {
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        const std::uint64_t before = device->GetDrawCallCount();
        if (batch)
            device->BeginBatch();
        const gfx::ColorValue red{1.0f, 0.0f, 0.0f, 1.0f};
        const gfx::ColorValue green{0.0f, 1.0f, 0.0f, 1.0f};
        const std::pair<gfx::ColorValue, const gfx::Texture*> copies[] = {
            {red, nullptr}, {red, nullptr}, {green, nullptr}, {red, nullptr}, {red, white.get()}};
        float x = 0.5f;
        for (const auto& [colour, texture] : copies)
        {
            gfx::Material material;
            material.diffuse = colour;
            device->SetMaterial(material);
            device->SetTexture(texture);
            device->SetTransform(gfx::TransformState::World,
                                 gfx::Matrix::RotationY(0.5f) *
                                     gfx::Matrix::Scaling(1.0f, 2.0f, 1.0f) *
                                     gfx::Matrix::Translation(x, 0.5f, 0.0f));
            device->DrawSubset(quad, 0);
            x += 0.6f;
        }
        if (batch)
            device->EndBatch();
        return std::pair{device->ReadPixels(), device->GetDrawCallCount() - before};
    };
    const auto [single, singleCalls] = draw(false);
    const auto [merged, mergedCalls] = draw(true);
    EXPECT_EQ(singleCalls, 5u);
    EXPECT_EQ(mergedCalls, 4u);
    EXPECT_TRUE(merged.pixels == single.pixels);
    // Lit red where only the first copy lies, lit green where the third
    // shows from under the fourth: 0.6 sin 0.5 + 0.8 cos 0.5 of full.
    const int lit =
        static_cast<int>(std::lround(255.0 * (0.6 * std::sin(0.5) + 0.8 * std::cos(0.5))));
    EXPECT_RGB_NEAR(merged.Pixel(25, 208), lit, 0, 0);
    EXPECT_RGB_NEAR(merged.Pixel(64, 208), 0, lit, 0);
}

TEST_F(SceneTest, DrawsFloorRingSkyAndTheChainOfQueuedOrders)
{
    Game().SetTick(TickAt(12, 0));
    // A ring wide enough to cover whole pixels at this distance.
    hero->SetRadius(8.0);
    Draw();
    const float x = static_cast<float>(hero->GetX());
    const float z = static_cast<float>(hero->GetY());
    // The selection ring: pure green, lighting does not touch it.
    EXPECT_RGB_NEAR(PixelOf(x, 0.1f, z + 8.4f), 0, 255, 0);
    // Floor: a lit grass texel a few cells away.
    const auto grass = PixelOf(x - 12.0f, 0.0f, z - 12.0f);
    EXPECT_GT(grass[1], grass[0]);
    EXPECT_GT(grass[1], grass[2]);
    EXPECT_GT(grass[1], 40);
    // Beyond the grid the day sky shows through, under the see-through clouds:
    // 0.4 of (250, 250, 250) over (120, 170, 230).
    float gx = 0.0f, gz = 0.0f;
    ASSERT_TRUE(scene.ScreenToGround(*device, 1.0f, 1.0f, gx, gz));
    ASSERT_TRUE(gx < 0.0f || gz < 0.0f);
    const auto sky = PixelAt(1, 1);
    EXPECT_NEAR(sky[0], 172, 2);
    EXPECT_NEAR(sky[1], 202, 2);
    EXPECT_NEAR(sky[2], 238, 2);

    // Move, wield, attack on an actor not here, move: two arrows, actor to
    // the first point to the second point. Their heads are wide enough to see.
    hero->SetRadius(0.5);
    const float ax = x, az = z - 20.0f, bx = x - 8.0f, bz = z - 28.0f;
    for (const auto& [px, pz] : {std::pair{ax, az + 1.5f}, std::pair{bx + 1.06f, bz + 1.06f}})
        ASSERT_EQ(Area().GetCellKind(static_cast<std::uint32_t>(px / 2.5f),
                                     static_cast<std::uint32_t>(pz / 2.5f)),
                  VARD::kTileKindFloor);
    hero->QueueOrder(std::make_shared<VARD::CMoveOrder>(ax, az), true);
    hero->QueueOrder(std::make_shared<VARD::CIdOrder>(VARD::kOrderWield, 1u, 0u), true);
    hero->QueueOrder(std::make_shared<VARD::CIdOrder>(VARD::kOrderAttack, 0x03FFFFFFu), true);
    hero->QueueOrder(std::make_shared<VARD::CMoveOrder>(bx, bz), true);
    // 1.5 units back from the tip, on the shaft's line.
    const auto head = [&](float fx, float fz, float tx, float tz)
    {
        const float length = std::hypot(tx - fx, tz - fz);
        return PixelOf(tx - 1.5f * (tx - fx) / length, 0.1f, tz - 1.5f * (tz - fz) / length);
    };
    Draw();
    EXPECT_LT(head(x, z, ax, az)[1], 250) << "no arrows without the ring flag";
    camera.ringFlag = 1;
    Draw();
    EXPECT_RGB_NEAR(head(x, z, ax, az), 0, 255, 0);
    EXPECT_RGB_NEAR(head(ax, az, bx, bz), 0, 255, 0);
    EXPECT_LT(head(x, z, bx, bz)[1], 250) << "the skipped orders break no chain";
}

TEST_F(SceneTest, PicksActorsObjectsDoorsAndGroundAfterAFrame)
{
    Draw();
    // Ground points make the round trip through the window.
    for (const auto& [gx, gz] : {std::pair{20.0f, 30.0f}, std::pair{35.5f, 12.25f}})
    {
        const gfx::Vec3 p = Screen(gx, 0.0f, gz);
        float x = 0.0f, z = 0.0f;
        ASSERT_TRUE(scene.ScreenToGround(*device, p.x, p.y, x, z));
        EXPECT_NEAR(x, gx, 0.05f);
        EXPECT_NEAR(z, gz, 0.05f);
    }
    // The actor, over whatever is behind it.
    const float x = static_cast<float>(hero->GetX());
    const float z = static_cast<float>(hero->GetY());
    gfx::Vec3 p = Screen(x, 0.5f, z);
    auto picked = scene.Pick(*device, p.x, p.y, Area());
    EXPECT_EQ(picked.kind, kPickActor);
    EXPECT_EQ(picked.thing, hero);

    // A container; a decorative object gives the tile under it.
    VARD::CObject* chest = nullptr;
    VARD::CObject* barrel = nullptr;
    for (const auto& object : Area().Objects())
    {
        if (object->GetDefinitionName() == "chest")
            chest = object.get();
        if (object->GetDefinitionName() == "barrel")
            barrel = object.get();
    }
    ASSERT_NE(chest, nullptr);
    p = Screen(static_cast<float>(chest->GetX()), 0.5f, static_cast<float>(chest->GetY()));
    picked = scene.Pick(*device, p.x, p.y, Area());
    EXPECT_EQ(picked.kind, kPickObject);
    EXPECT_EQ(picked.thing, chest);
    ASSERT_NE(barrel, nullptr);
    p = Screen(static_cast<float>(barrel->GetX()), 0.0f, static_cast<float>(barrel->GetY()));
    picked = scene.Pick(*device, p.x, p.y, Area());
    EXPECT_EQ(picked.kind, barrel->GetFlag() ? kPickObject : kPickTile);

    // A closed door is picked over the floor beyond it; open, the floor is.
    VARD::CMasterTileDoor* door = nullptr;
    for (const auto& master : Area().GetMasterTiles())
        if (master->GetTemplate()->IsDoor())
            door = dynamic_cast<VARD::CMasterTileDoor*>(master.get());
    ASSERT_NE(door, nullptr);
    const float dx = door->GetColumn() * 2.5f + 1.25f;
    const float dz = door->GetRow() * 2.5f + 1.25f;
    // Just beyond the door, seen through it from the camera's side.
    p = Screen(dx - 0.3f, 2.0f, dz);
    float gx = 0.0f, gz = 0.0f;
    ASSERT_TRUE(scene.ScreenToGround(*device, p.x, p.y, gx, gz));
    picked = scene.Pick(*device, p.x, p.y, Area());
    ASSERT_EQ(picked.kind, kPickTile);
    auto* doorTile = Area().GetTile(door->GetColumn(), door->GetRow());
    EXPECT_EQ(picked.thing, doorTile);
    door->SetOpen(true);
    picked = scene.Pick(*device, p.x, p.y, Area());
    ASSERT_EQ(picked.kind, kPickTile);
    EXPECT_EQ(picked.thing, Area().GetTile(static_cast<std::uint32_t>(gx / 2.5f),
                                           static_cast<std::uint32_t>(gz / 2.5f)));
    EXPECT_NE(picked.thing, doorTile);

    // Exits: within 20 units when usable; a tag gates the tagged one.
    for (const auto& exit : Area().GetExits())
    {
        const bool usable =
            exit->GetRequiredTag().empty() || Game().GetQuestTag(exit->GetRequiredTag()) != 0;
        EXPECT_EQ(CSceneRenderer::IsNearOpenExit(Area(), exit->GetX() + 19.9, exit->GetY()),
                  usable);
    }
    EXPECT_FALSE(CSceneRenderer::IsNearOpenExit(Area(), -500.0, -500.0));
}

} // namespace

namespace
{

class CountingRecorder : public gfx::DrawRecorder
{
public:
    void SubsetDrawn(const gfx::Mesh&, std::uint32_t, const gfx::Matrix&) override { ++draws; }
    std::size_t draws = 0;
};

} // namespace

// What the party may not see is neither drawn nor picked: an actor out of its
// view, an object on a cell it has not seen or whose trap is hidden, and a
// sneaking monster; a sneaking friend is drawn and picked.
TEST_F(SceneTest, HidesAndPassesOverWhatThePartyMayNotSee)
{
    const VARD::CModule& module = engine->Module();
    const auto wolf = Area().SpawnMonsterNear("wolf", 15, 13, module);
    ASSERT_TRUE(wolf);
    wolf->SetAttitude(VARD::kAttitudeHostile);
    auto plate = std::make_shared<VARD::CObject>(&Area(), Game().NewThingId(VARD::kThingKindObject),
                                                 "test_plate", *module.FindObjectTemplate("plate"));
    plate->SetPosition(21.25, 26.25);
    Area().AddObject(plate);
    scene.BuildObjectGraphics(*device, module, Area());
    ASSERT_TRUE(plate->GetTrap() && plate->GetTrap()->GetFlag());
    const std::uint32_t wolfColumn = static_cast<std::uint32_t>(wolf->GetX() / 2.5);
    const std::uint32_t wolfRow = static_cast<std::uint32_t>(wolf->GetY() / 2.5);
    // Every cell seen and in view but the ones a case takes away.
    const auto showAllBut = [&](VARD::CCellBitSet& cells, std::uint32_t column, std::uint32_t row)
    {
        cells.Clear();
        for (std::uint32_t r = 0; r < Area().GetHeight(); ++r)
            for (std::uint32_t c = 0; c < Area().GetWidth(); ++c)
                if (c != column || r != row)
                    cells.Mark(c, r);
    };
    showAllBut(Area().SightGrid(), 999, 999);
    showAllBut(Area().TileTracker(), 999, 999);

    CountingRecorder recorder;
    device->SetDrawRecorder(&recorder);
    const auto draws = [&]
    {
        recorder.draws = 0;
        Draw();
        return recorder.draws;
    };
    const std::size_t all = draws();
    plate->GetTrap()->SetFlag(false);
    const std::size_t withPlate = draws();
    EXPECT_GT(withPlate, all) << "a hidden trap's object is not drawn";
    showAllBut(Area().TileTracker(), 8, 10);
    EXPECT_EQ(draws(), all) << "nor one on a cell not yet seen";
    showAllBut(Area().TileTracker(), 999, 999);
    showAllBut(Area().SightGrid(), wolfColumn, wolfRow);
    const std::size_t withoutWolf = draws();
    EXPECT_LT(withoutWolf, withPlate) << "an actor out of view is not drawn";
    showAllBut(Area().SightGrid(), 999, 999);
    ASSERT_EQ(draws(), withPlate);

    // Picked over the ground: the wolf; sneaking, the ground behind it.
    const gfx::Vec3 atWolf =
        Screen(static_cast<float>(wolf->GetX()), 0.5f, static_cast<float>(wolf->GetY()));
    EXPECT_EQ(scene.Pick(*device, atWolf.x, atWolf.y, Area()).thing, wolf.get());
    wolf->Skills().insert(VARD::kSkillSneak);
    ASSERT_TRUE(wolf->ActivatePower(*module.FindSpell("s_power-sneak"), Game().GetTick()));
    EXPECT_EQ(draws(), withoutWolf) << "a sneaking monster is not drawn";
    const auto passed = scene.Pick(*device, atWolf.x, atWolf.y, Area());
    EXPECT_EQ(passed.kind, kPickTile);
    EXPECT_NE(passed.thing, wolf.get());
    wolf->SetAttitude(VARD::kAttitudeFriendly);
    EXPECT_EQ(draws(), withPlate) << "a sneaking friend is drawn";
    EXPECT_EQ(scene.Pick(*device, atWolf.x, atWolf.y, Area()).thing, wolf.get());

    // A plate, no container, is picked only while its trap shows.
    const gfx::Vec3 atPlate = Screen(21.25f, 0.05f, 26.25f);
    EXPECT_EQ(scene.Pick(*device, atPlate.x, atPlate.y, Area()).thing, plate.get());
    plate->GetTrap()->SetFlag(true);
    EXPECT_EQ(scene.Pick(*device, atPlate.x, atPlate.y, Area()).kind, kPickTile);
    device->SetDrawRecorder(nullptr);
}

namespace
{

// A thing the player must find in a demo area: a person or a foe by its
// template, an object by its instance name or an exit's signpost by the
// exit's name, or the party member standing at an entry.
struct SoughtThing
{
    const char* area;
    const char* entry;
    enum Kind
    {
        Actor,
        Object,
        Exit,
        Entry,
    } kind;
    const char* name;
};

} // namespace

// What the player must reach shows to the game's camera: no wall, hedge or
// door on the camera's side of it covers it. Each thing is drawn where it
// stands and again taken out of the picture; the two frames must differ
// over enough of the pixels where it stands. The camera keeps the game's
// direction and distance, so the same things hide it, and sees through a
// narrower lens, so the thing covers more pixels.
TEST_F(SceneTest, WhatThePlayerMustReachShowsToTheGameCamera)
{
    const SoughtThing things[] = {
        {"town", "gate", SoughtThing::Entry, "gate"},
        {"town", "gate", SoughtThing::Entry, "temple"},
        {"town", "gate", SoughtThing::Actor, "priest"},
        {"town", "gate", SoughtThing::Actor, "merchant"},
        {"town", "gate", SoughtThing::Object, "town_chest"},
        {"town", "gate", SoughtThing::Exit, "east_road"},
        {"town", "gate", SoughtThing::Exit, "forest_path"},
        {"forest", "road", SoughtThing::Entry, "road"},
        {"forest", "road", SoughtThing::Entry, "from_crypt"},
        {"forest", "road", SoughtThing::Actor, "giant_rat"},
        {"forest", "road", SoughtThing::Object, "lost_pack"},
        {"forest", "road", SoughtThing::Object, "road_tripwire"},
        {"forest", "road", SoughtThing::Exit, "to_town"},
        {"forest", "road", SoughtThing::Exit, "crypt_down"},
        {"crypt", "stairs", SoughtThing::Entry, "stairs"},
        {"crypt", "stairs", SoughtThing::Actor, "necromancer"},
        {"crypt", "stairs", SoughtThing::Actor, "cultist"},
        {"crypt", "stairs", SoughtThing::Exit, "stairs_up"},
        {"crypt", "stairs", SoughtThing::Exit, "sun_stair"},
    };
    camera.fieldOfView /= 4.0f;
    // No ring round the party member: its body must show, not its ring.
    scene.SetSelectedIds({});
    for (const SoughtThing& sought : things)
    {
        SCOPED_TRACE(std::string(sought.area) + " " + sought.name);
        if (Area().GetName() != sought.area)
        {
            EnterDemoArea(sought.area, sought.entry);
            ASSERT_EQ(Area().GetName(), sought.area);
        }
        SeeEverything();

        // Where it stands, and how to take it out of the picture.
        double x = 0.0;
        double z = 0.0;
        float height = 1.8f;
        std::function<void(double)> shift;
        if (sought.kind == SoughtThing::Actor || sought.kind == SoughtThing::Entry)
        {
            VARD::CActor* actor = sought.kind == SoughtThing::Entry ? hero : nullptr;
            for (const auto& other : Area().Actors())
                if (!actor && other->GetTemplateName() == sought.name)
                    actor = other.get();
            ASSERT_NE(actor, nullptr);
            if (sought.kind == SoughtThing::Entry)
            {
                const VARD::CAreaEntry* entry = Area().FindEntry(sought.name);
                ASSERT_NE(entry, nullptr);
                actor->SetPosition((entry->GetColumn() + 0.5) * VARD::kCellSize,
                                   (entry->GetRow() + 0.5) * VARD::kCellSize);
            }
            x = actor->GetX();
            z = actor->GetY();
            height = static_cast<float>(actor->GetSecondSize());
            shift = [actor, x, z](double dx) { actor->SetPosition(x + dx, z); };
        }
        else
        {
            VARD::CObject* object = nullptr;
            const VARD::CAreaExit* exit =
                sought.kind == SoughtThing::Exit ? Area().FindExit(sought.name) : nullptr;
            for (const auto& candidate : Area().Objects())
            {
                const bool match = exit
                                       ? candidate->IsExit() && candidate->GetX() == exit->GetX() &&
                                             candidate->GetY() == exit->GetY()
                                       : candidate->GetInstanceName() == sought.name;
                if (match && !object)
                    object = candidate.get();
            }
            ASSERT_NE(object, nullptr);
            x = object->GetX();
            z = object->GetY();
            height = std::max(0.2f, static_cast<float>(object->GetHeight()));
            shift = [object, x, z](double dx) { object->SetPosition(x + dx, z); };
        }
        target = {static_cast<float>(x), 0.0f, static_cast<float>(z)};
        Draw();
        const gfx::Image with = device->ReadPixels();
        shift(1000.0);
        Draw();
        const gfx::Image without = device->ReadPixels();
        shift(0.0);

        // The pixels of a person's upper part (what lies on the ground beside
        // it, a shadow, may show past a wall), of an object all of it, a
        // little to either side.
        const bool person = sought.kind == SoughtThing::Actor || sought.kind == SoughtThing::Entry;
        const gfx::Vec3 foot =
            Screen(static_cast<float>(x), person ? height * 0.4f : 0.0f, static_cast<float>(z));
        const gfx::Vec3 top = Screen(static_cast<float>(x), height, static_cast<float>(z));
        int differing = 0;
        for (int py = static_cast<int>(top.y) - 2; py <= static_cast<int>(foot.y); ++py)
            for (int px = static_cast<int>(foot.x) - 12; px <= static_cast<int>(foot.x) + 12; ++px)
            {
                if (px < 0 || py < 0 || px >= static_cast<int>(kSide) ||
                    py >= static_cast<int>(kSide))
                    continue;
                const std::uint8_t* a =
                    with.Pixel(static_cast<std::uint32_t>(px), static_cast<std::uint32_t>(py));
                const std::uint8_t* b =
                    without.Pixel(static_cast<std::uint32_t>(px), static_cast<std::uint32_t>(py));
                differing +=
                    std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 30;
            }
        EXPECT_GT(differing, 40) << "hidden at " << x << ", " << z;
    }
}

namespace
{

// A creature of the demo and the cell where it is met.
struct MetCreature
{
    const char* creature;
    const char* area;
    const char* entry;
    std::uint32_t column;
    std::uint32_t row;
};

} // namespace

// Every creature of the demo stands out from the ground where it is met, in
// its area's light by day, when the adventure is played (below ground the
// light keeps no hours), at the size the game's window shows it: the picture
// is a third of the window's height, seen through a third of its lens. At
// least as many pixels as a square of nine by nine differ plainly from the
// ground they cover. Its pixels are those of its figure drawn alone, so that
// its shadow does not count; the ground is the frame drawn without it.
TEST_F(SceneTest, EveryCreatureStandsOutFromTheGroundInItsAreasLight)
{
    const MetCreature creatures[] = {
        {"priest", "town", "gate", 4, 2},          {"merchant", "town", "gate", 6, 11},
        {"armourer", "town", "gate", 6, 11},       {"baker", "town", "gate", 15, 5},
        {"farmer", "town", "gate", 15, 5},         {"town_guard", "town", "gate", 14, 14},
        {"wolf", "forest", "road", 6, 3},          {"bandit", "forest", "road", 17, 21},
        {"giant_rat", "forest", "road", 26, 12},   {"orc_warrior", "forest", "road", 32, 21},
        {"orc_archer", "forest", "road", 32, 21},  {"ogre", "forest", "road", 4, 21},
        {"cultist", "crypt", "stairs", 2, 4},      {"necromancer", "crypt", "stairs", 12, 4},
        {"cave_spider", "crypt", "stairs", 3, 12}, {"skeleton", "crypt", "stairs", 5, 17},
    };
    std::set<std::string> listed;
    for (const MetCreature& met : creatures)
        listed.insert(met.creature);
    std::set<std::string> defined;
    for (const auto& [name, definition] : engine->Module().GetActorTemplates())
        defined.insert(name);
    EXPECT_EQ(listed, defined) << "a creature of the demo is missing from the table";

    camera.fieldOfView /= 3.0f;
    scene.SetSelectedIds({});
    std::string cleared;
    for (const MetCreature& met : creatures)
    {
        SCOPED_TRACE(std::string(met.area) + " " + met.creature);
        if (cleared != met.area)
        {
            if (Area().GetName() != met.area)
                EnterDemoArea(met.area, met.entry);
            ASSERT_EQ(Area().GetName(), met.area);
            SeeEverything();
            // Those who live there, the party too, out of the picture.
            for (const auto& other : Area().Actors())
                other->SetPosition(other->GetX() + 1000.0, other->GetY());
            cleared = met.area;
        }
        const auto actor =
            VARD::CreateActorFromTemplate(met.creature, "", engine->Module(), Game());
        // A lurker is made sneaking, and is drawn once it is found or strikes.
        actor->StopPower();
        const double x = (met.column + 0.5) * VARD::kCellSize;
        const double z = (met.row + 0.5) * VARD::kCellSize;
        actor->SetPosition(x, z);
        Area().AddActor(actor);
        target = {static_cast<float>(x), 0.0f, static_cast<float>(z)};
        for (const int hour : {8, 12, 16})
        {
            SCOPED_TRACE(std::to_string(hour) + ":00");
            Game().SetTick(TickAt(hour, 0));
            actor->SetPosition(x, z);
            Draw();
            const gfx::Image with = device->ReadPixels();
            const auto graphic = std::static_pointer_cast<VARDGraph::CGraphic>(actor->GetGraphic());
            ASSERT_NE(graphic, nullptr);
            device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFFFF00FFu, 1.0f);
            const gfx::Matrix world =
                gfx::Matrix::RotationY(static_cast<float>(actor->GetFacing())) *
                gfx::Matrix::Translation(static_cast<float>(x), 0.0f, static_cast<float>(z));
            // Its pieces hold one model each: the model time picks none.
            graphic->Draw(*device, world,
                          VARD::GetAnimationName(static_cast<int>(actor->GetAnimationId())),
                          actor->GetAnimationTime(), 0.0);
            const gfx::Image figure = device->ReadPixels();
            actor->SetPosition(x + 1000.0, z);
            Draw();
            const gfx::Image without = device->ReadPixels();

            int standing = 0;
            for (std::uint32_t py = 0; py < kSide; ++py)
                for (std::uint32_t px = 0; px < kSide; ++px)
                {
                    const std::uint8_t* f = figure.Pixel(px, py);
                    if (f[0] == 255 && f[1] == 0 && f[2] == 255)
                        continue;
                    const std::uint8_t* a = with.Pixel(px, py);
                    const std::uint8_t* b = without.Pixel(px, py);
                    int squared = 0;
                    for (int k = 0; k < 3; ++k)
                        squared += (a[k] - b[k]) * (a[k] - b[k]);
                    standing += squared > 40 * 40;
                }
            EXPECT_GE(standing, 9 * 9) << "at " << x << ", " << z;
        }
        Area().RemoveActor(actor.get());
    }
}

// The exact shortcuts of the scene and the device leave every frame as it
// was: each demo area by day, at dusk and by night, from several sides and
// heights, drawn with and without them. The fill of a one-colour sky (and of
// see-through clouds over it) must have been taken where the sky covers the
// view, or the test proves nothing.
TEST_F(SceneTest, ShortcutsLeaveEveryAreasFramesAsTheyWere)
{
    const auto frame = [&](bool shortcuts, std::uint64_t& skySamples)
    {
        scene.SetShortcuts(shortcuts);
        device->SetShortcuts(shortcuts);
        SeedRandom(9);
        device->CountSamples(true);
        Draw();
        skySamples = device->TakeSampleCounts().passed[VARDGraph::kPassSky];
        device->CountSamples(false);
        return device->ReadPixels();
    };
    std::map<std::string, int> filled;
    int drawn = 0;
    for (const auto& [name, entry] : kDemoAreas)
    {
        EnterDemoArea(name, entry);
        for (const int hour : {3, 12, 18})
            for (const float yaw : {330.0f, 75.0f, 200.0f})
                for (const float pitch : {32.5f, 12.0f})
                {
                    SCOPED_TRACE(name + " at " + std::to_string(hour) + ":00, yaw " +
                                 std::to_string(yaw) + ", pitch " + std::to_string(pitch));
                    Game().SetTick(TickAt(hour, 0) + 4321u);
                    camera.yaw = yaw;
                    camera.pitch = pitch;
                    std::uint64_t generalSky = 0;
                    std::uint64_t shortSky = 0;
                    const gfx::Image general = frame(false, generalSky);
                    const gfx::Image shortcut = frame(true, shortSky);
                    ASSERT_TRUE(general.pixels == shortcut.pixels);
                    if (generalSky > 0 && shortSky == 0)
                        ++filled[name];
                    else if (shortSky > 0)
                        ++drawn;
                }
    }
    scene.SetShortcuts(true);
    device->SetShortcuts(true);
    // Every area's sky was filled from above; the town's see-through clouds
    // too, over its day sky.
    for (const auto& [name, entry] : kDemoAreas)
        EXPECT_GT(filled[name], 0) << name << "'s sky was never filled";
    // The low views see past the layers' copies: those are drawn.
    EXPECT_GT(drawn, 0) << "every sky was filled";
}
