#include "graphics/billboard_effect.h"
#include "graphics/graphic.h"

#include "../platform/gl_fixture.h"
#include "common/data_file.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "world/effect_params.h"
#include "world/item_template.h"
#include "world/module.h"

#include <algorithm>
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

} // namespace

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
