#pragma once

#include "common/data_file.h"
#include "common/exception.h"
#include "common/random.h"
#include "common/tag_file.h"
#include "test_util.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/module.h"
#include "world/object.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// Helpers of the area tests: modules (the demo, the demo with fixture area
// files beside it, a small hand-made one) and areas and actors built from text.
namespace AreaTest
{

inline std::shared_ptr<VARD::CModule> LoadModuleFrom(const std::filesystem::path& folder)
{
    auto module = std::make_shared<VARD::CModule>();
    module->Load(std::make_shared<VARDCommon::CDataFileFactoryPath>(folder));
    return module;
}

// The demo module, read once for the whole run: it is never changed.
inline std::shared_ptr<VARD::CModule> DemoModule()
{
    static const std::shared_ptr<VARD::CModule> module = LoadModuleFrom(VARD_DEMO_MODULE);
    return module;
}

// The demo's module files with the area fixtures (tests/data/world/area_*.vard)
// beside them, so that area files are read through a real factory.
class FixtureModule
{
public:
    FixtureModule()
    {
        m_Folder = TestUtil::ScratchPath("area_module");
        m_Folder.replace_extension();
        std::filesystem::create_directories(m_Folder);
        for (const auto& entry : std::filesystem::directory_iterator(VARD_DEMO_MODULE))
            if (entry.is_regular_file())
                std::filesystem::copy_file(entry.path(), m_Folder / entry.path().filename());
        const auto fixtures = std::filesystem::path(VARD_TEST_DATA) / "world";
        for (const auto& entry : std::filesystem::directory_iterator(fixtures))
            if (entry.path().filename().string().rfind("area_", 0) == 0)
                std::filesystem::copy_file(entry.path(), m_Folder / entry.path().filename());
        m_Module = LoadModuleFrom(m_Folder);
    }
    ~FixtureModule() { std::filesystem::remove_all(m_Folder); }
    FixtureModule(const FixtureModule&) = delete;
    FixtureModule& operator=(const FixtureModule&) = delete;

    const VARD::CModule& Module() const { return *m_Module; }
    // Writes one more area file into the folder.
    void Put(const std::string& name, const std::string& text) const
    {
        std::ofstream(m_Folder / name, std::ios::trunc) << text;
    }

private:
    std::filesystem::path m_Folder;
    std::shared_ptr<VARD::CModule> m_Module;
};

inline void AddTile(VARD::CModule& module, const std::string& text)
{
    auto reader = TestUtil::ReaderOf(text);
    auto tile = std::make_shared<VARD::CTileTemplate>(reader);
    module.TileTemplates()[tile->GetName()] = tile;
}

inline void AddObject(VARD::CModule& module, const std::string& text)
{
    auto reader = TestUtil::ReaderOf(text);
    auto object = std::make_shared<VARD::CObjectTemplate>(reader);
    module.ObjectTemplates()[object->GetName()] = object;
}

// Tiles of every kind, doors of every sort and objects of every blocking
// level; no data files.
inline std::shared_ptr<VARD::CModule> GridModule()
{
    auto module = std::make_shared<VARD::CModule>();
    AddTile(*module, "<tile> floor \"Floor\" g_floor (1 1) floor </tile>");
    AddTile(*module, "<tile> pit \"Pit\" g_pit (1 1) empty </tile>");
    AddTile(*module, "<tile> wall \"Wall\" g_wall (1 1) solid </tile>");
    AddTile(*module, "<tile> long \"Long wall\" g_long (2 1) solid </tile>");
    AddTile(*module, "<tile> rug \"Rug\" g_rug (2 1) floor </tile>");
    AddTile(*module, "<tile> door \"Door\" g_door (1 1) door 3 0 g_door_open </tile>");
    AddTile(*module, "<tile> gate \"Gate\" g_gate (1 1) door 3 25 g_gate_open reset </tile>");
    AddTile(
        *module,
        "<tile> seal \"Seal\" g_seal (1 1) door 3 <lua> return true </lua> g_seal_open </tile>");
    AddObject(*module, "<object> crate \"Crate\" o_crate solid true 2 1 1 </object>");
    AddObject(*module, "<object> rope \"Rope\" o_rope empty false 1 1 1 </object>");
    AddObject(*module, "<object> mat \"Mat\" o_mat floor false 1 1 0 </object>");
    AddObject(*module, "<object> pile \"Pile\" o_pile empty false 1 1 0 </object>");
    AddObject(*module, "<object> exit \"Exit\" o_exit empty false 2.5 2.5 0 </object>");
    AddObject(*module,
              "<object> bell \"Bell\" o_bell solid false 1 1 1 <sound> \"bell.wav\" 2 </sound> "
              "</object>");
    return module;
}

// An area whose grid comes from a <rows> text read with the module.
inline std::unique_ptr<VARD::CArea> GridArea(VARD::CGame* game, const VARD::CModule& module,
                                             const std::string& rows)
{
    auto area = std::make_unique<VARD::CArea>(game);
    area->SetModule(&module);
    auto reader = TestUtil::ReaderOf(rows);
    area->ReadRows(reader, module);
    return area;
}

// A rows text of width × height cells of one entry each.
inline std::string UniformRows(std::uint32_t width, std::uint32_t height, const std::string& cell)
{
    std::string text = "<rows> (" + std::to_string(width) + " " + std::to_string(height) + ")";
    for (std::uint32_t row = 0; row < height; ++row)
    {
        text += " <row>";
        for (std::uint32_t column = 0; column < width; ++column)
            text += " " + cell;
        text += " </row>";
    }
    return text + " </rows>";
}

inline std::shared_ptr<VARD::CActor> MakeActor(VARD::CGame& game, double x, double y, double radius)
{
    auto actor = std::make_shared<VARD::CActor>(game.NewThingId(VARD::kThingKindActor));
    actor->SetPosition(x, y);
    actor->SetRadius(radius);
    actor->SetActivityState(VARD::kActivityIdle);
    return actor;
}

inline std::shared_ptr<VARD::CObject> PlaceObject(VARD::CArea& area, VARD::CGame& game,
                                                  const VARD::CModule& module,
                                                  const std::string& definition, double x, double y,
                                                  int facing = 0)
{
    auto object =
        std::make_shared<VARD::CObject>(&area, game.NewThingId(VARD::kThingKindObject),
                                        std::string(), *module.FindObjectTemplate(definition));
    object->SetPosition(x, y);
    object->SetFacing(facing);
    area.AddObject(object);
    return object;
}

} // namespace AreaTest
