#include "graphics/billboard_effect.h"
#include "graphics/graphic.h"

#include "../platform/gl_fixture.h"
#include "common/data_file.h"
#include "common/exception.h"
#include "graphics/scene_renderer.h"
#include "rules/engine.h"
#include "world/effect_params.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/tile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace
{

const std::filesystem::path kDemo = VARD_DEMO_MODULE;

// The description names of a kind folder of the demo module.
std::vector<std::string> Names(const std::string& kind)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kDemo / kind))
        if (entry.is_regular_file() && entry.path().extension() == ".vard")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class DemoGraphicsTest : public GlTest
{
protected:
    VARDCommon::CDataFileFactoryPath factory{kDemo};
    VARDGraph::FigureCache cache;
    const VARDGraph::CGraphicColors colours{0x604020u, 0xDCB496u, 0x284080u};

    void CheckEveryGraphic();
};

// One tile graphic seen alone against a sky of a colour no texture has.
class TileGroundTest : public GlTest
{
protected:
    TileGroundTest() : GlTest(96) {}

    static constexpr std::uint32_t kSky = 0xFFFF00FFu;

    // The pixels that show the sky where the ray through their middle meets
    // the ground inside the cells a tile of sx by sy cells covers (less a
    // sliver at the rim), from the game's slant and from above, on every side.
    int BarePixels(const VARDGraph::CGraphic& graphic, std::uint32_t sx, std::uint32_t sy);
};

} // namespace

int TileGroundTest::BarePixels(const VARDGraph::CGraphic& graphic, std::uint32_t sx,
                               std::uint32_t sy)
{
    const float hx = static_cast<float>(sx) * 1.25f - 0.05f;
    const float hz = static_cast<float>(sy) * 1.25f - 0.05f;
    const float reach = 1.6f * std::max(hx, hz);
    const float distance = 30.0f * reach;
    const float degrees = 0.017453292f;
    int bare = 0;
    for (const float pitch : {32.5f, 60.0f, 89.0f})
        for (const float yaw : {0.0f, 90.0f, 180.0f, 270.0f, 330.0f})
        {
            const float p = pitch * degrees, y = (yaw + 90.0f) * degrees;
            const float h = distance * std::cos(p);
            const gfx::Matrix view = gfx::Matrix::LookAtRH(
                {h * std::cos(y), distance * std::sin(p), h * std::sin(y)}, {0, 0, 0}, {0, 1, 0});
            const gfx::Matrix projection = gfx::Matrix::PerspectiveFovRH(
                2.0f * std::atan(reach / distance), 1.0f, 0.5f * distance, 2.0f * distance);
            device->SetTransform(gfx::TransformState::View, view);
            device->SetTransform(gfx::TransformState::Projection, projection);
            device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, kSky, 1.0f);
            device->BeginScene();
            graphic.Draw(*device, gfx::Matrix::Identity(), "default", 0.0, 0.0);
            device->EndScene();
            const gfx::Image frame = device->ReadPixels();
            const gfx::Matrix back = *gfx::Inverse(view * projection);
            for (std::uint32_t py = 0; py < kSize; ++py)
                for (std::uint32_t px = 0; px < kSize; ++px)
                {
                    const float nx = (px + 0.5f) / kSize * 2.0f - 1.0f;
                    const float ny = 1.0f - (py + 0.5f) / kSize * 2.0f;
                    const gfx::Vec3 a = gfx::TransformCoord({nx, ny, 0.0f}, back);
                    const gfx::Vec3 b = gfx::TransformCoord({nx, ny, 1.0f}, back);
                    const float t = a.y / (a.y - b.y);
                    const float gx = a.x + (b.x - a.x) * t, gz = a.z + (b.z - a.z) * t;
                    if (std::abs(gx) >= hx || std::abs(gz) >= hz)
                        continue;
                    const std::uint8_t* pixel = frame.Pixel(px, py);
                    bare += pixel[0] == 0xFF && pixel[1] == 0x00 && pixel[2] == 0xFF;
                }
        }
    return bare;
}

// No sky shows through the cells of any tile of the demo, open or shut:
// trees and doors carry the ground they stand on.
TEST_F(TileGroundTest, EveryTileGraphicCoversItsCells)
{
    VARD::CEngine engine;
    engine.LoadModule(VARD_DEMO_MODULE);
    VARDCommon::CDataFileFactoryPath factory{kDemo};
    VARDGraph::ApplyGameRenderStates(*device);
    device->SetAmbient(0xFFFFFFFFu);
    std::set<std::string> checked;
    for (const auto& [key, tile] : engine.Module().GetTileTemplates())
        for (const std::string& name : {tile->GetGraphicName(), tile->GetOpenGraphicName()})
        {
            if (name.empty() || name == "0")
                continue;
            SCOPED_TRACE(name);
            std::vector<std::shared_ptr<VARDGraph::CGraphic>> graphics;
            VARDGraph::LoadTileGraphics(factory, name, *device, graphics);
            const auto graphic = std::find_if(graphics.begin(), graphics.end(),
                                              [&](const auto& g) { return g->GetName() == name; });
            ASSERT_NE(graphic, graphics.end());
            EXPECT_EQ(BarePixels(**graphic, tile->GetSizeX(), tile->GetSizeY()), 0);
            checked.insert(name);
        }
    EXPECT_TRUE(checked.count("tile_tree") && checked.count("tile_door_crypt_open") &&
                checked.count("tile_house#1#1"));
}

// Every description, override and effect file of the demo module builds and
// draws in every pose its figure has.
TEST_F(DemoGraphicsTest, EveryGraphicBuildsAndDraws)
{
    try
    {
        CheckEveryGraphic();
    }
    catch (const CVARDException& e)
    {
        FAIL() << e.Describe();
    }
}

void DemoGraphicsTest::CheckEveryGraphic()
{
    const auto draw = [&](const VARDGraph::CGraphic& graphic)
    {
        device->BeginScene();
        for (const auto& [pose, position] : *graphic.GetPoses())
            graphic.Draw(*device, gfx::Matrix::Identity(), pose, 0.5, 0.5);
        for (const auto& [pose, animation] : graphic.GetAnimations())
            graphic.Draw(*device, gfx::Matrix::Identity(), pose, 0.5, 0.5);
        device->EndScene();
    };
    std::vector<VARDGraph::COverrideEntry> items;
    for (const std::string& item : Names("item"))
        items.push_back({item, item == "short_sword" ? 1 : 0});
    ASSERT_GT(items.size(), 10u);
    for (const std::string& actor : Names("actor"))
    {
        SCOPED_TRACE(actor);
        const VARDGraph::CGraphic bare(*device, factory, VARDCommon::kDataKindActor, actor,
                                       VARDCommon::kDataKindItem, nullptr, &cache, &colours);
        // People wear every item; beasts wear none.
        const bool person = bare.GetFigureName() == "humanoid";
        const VARDGraph::CGraphic graphic(*device, factory, VARDCommon::kDataKindActor, actor,
                                          VARDCommon::kDataKindItem, person ? &items : nullptr,
                                          &cache, &colours);
        ASSERT_TRUE(graphic.GetRoot());
        draw(graphic);
    }
    for (const auto& [kind, folder] : {std::pair{VARDCommon::kDataKindObject, "object"},
                                       std::pair{VARDCommon::kDataKindSky, "sky"}})
        for (const std::string& name : Names(folder))
        {
            SCOPED_TRACE(name);
            const VARDGraph::CGraphic graphic(*device, factory, kind, name, kind, nullptr, nullptr,
                                              nullptr);
            ASSERT_TRUE(graphic.GetRoot());
            draw(graphic);
        }
    std::vector<std::shared_ptr<VARDGraph::CGraphic>> tiles;
    for (const std::string& name : Names("tile"))
        VARDGraph::LoadTileGraphics(factory, name, *device, tiles);
    EXPECT_EQ(tiles.size(), Names("tile").size() + 3) << "the cottage has four pieces";
    for (const auto& tile : tiles)
        draw(*tile);

    // A shot is drawn as a graphic of the effect folder: every projectile an
    // item names builds as one; the other effect files are particles.
    VARD::CEngine engine;
    engine.LoadModule(VARD_DEMO_MODULE);
    std::set<std::string> shots;
    for (const auto& entry : engine.Module().GetItemTemplates())
    {
        const std::string& shot = entry.second->GetProjectileGraphic();
        if (!shot.empty() && shot != "0")
            shots.insert(shot);
    }
    EXPECT_EQ(shots, std::set<std::string>{"arrow"});
    for (const std::string& shot : shots)
    {
        SCOPED_TRACE(shot);
        const VARDGraph::CGraphic graphic(*device, factory, VARDCommon::kDataKindEffect, shot,
                                          VARDCommon::kDataKindEffect, nullptr, nullptr, nullptr);
        ASSERT_TRUE(graphic.GetRoot());
        draw(graphic);
    }

    for (const std::string& name : Names("effect"))
    {
        if (shots.count(name) != 0)
            continue;
        SCOPED_TRACE(name);
        for (const char* rune : {"fire", "fireball", "glow", "smoke"})
        {
            const VARDGraph::CEffectParams params(rune, 0xFF8020u, 1.5);
            VARDGraph::CBillboardEffect effect(factory, &params, *device, name);
            effect.UpdateMoving(2.0, 0.0, 0.1);
            EXPECT_FALSE(effect.UpdateImpact(0.2));
            device->BeginScene();
            effect.Draw(*device);
            device->EndScene();
        }
    }
}
