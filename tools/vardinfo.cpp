// Loads a module and prints what it holds, one line per thing, sorted within
// each kind; then reads every area and world map a game can reach from the
// start area. Module authors use it to check their data.
//   vardinfo --module PATH [--worldmap NAME]...

#include "common/data_file.h"
#include "common/exception.h"
#include "common/program_usage.h"
#include "world/actor_template.h"
#include "world/area.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/quest.h"
#include "world/spell.h"
#include "world/tile.h"
#include "world/world_map.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace
{

const VARDCommon::ProgramUsage kUsage{
    "vardinfo",
    "usage: vardinfo --module PATH [--worldmap NAME]...\n"
    "\n"
    "Loads the module at PATH (a folder or a packed archive) and prints what it\n"
    "holds, one line a thing, and the places of each world map named; then reads\n"
    "every area and world map a game can reach from the start area.\n",
    {},
    {"--module", "--worldmap"}};

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

void PrintSorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    for (const auto& line : lines)
        std::cout << line << '\n';
}

void PrintModule(const VARD::CModule& module)
{
    std::cout << "start " << module.GetStartArea() << ' ' << module.GetStartEntry() << ' '
              << module.GetStartYear() << ' ' << module.GetStartDay() << ' '
              << module.GetStartHour() << '\n';

    std::vector<std::string> lines;
    const char* genders[] = {"male", "female", "none"};
    for (int gender = 0; gender < 3; ++gender)
        for (const auto& head : module.GetHeads(gender))
            lines.push_back(std::string("head ") + genders[gender] + ' ' + head->head + ' ' +
                            Quote(head->displayName));
    PrintSorted(std::move(lines));

    for (const auto& [name, tile] : module.GetTileTemplates())
        std::cout << "tile " << name << '\n';
    for (const auto& [name, object] : module.GetObjectTemplates())
        std::cout << "object " << name << '\n';
    for (const auto& [key, spell] : module.GetSpells())
        std::cout << "spell " << key << ' ' << spell->GetEnergyCost() << ' '
                  << Quote(spell->GetDisplayName()) << '\n';
    for (const auto& [name, item] : module.GetItemTemplates())
        std::cout << "item " << name << ' ' << item->GetValue() << ' '
                  << Quote(item->GetDisplayName()) << '\n';
    for (const auto& [name, faction] : module.GetFactions())
        std::cout << "faction " << name << ' ' << Quote(faction->GetDisplayName()) << '\n';
    for (const auto& [name, monster] : module.GetActorTemplates())
        std::cout << "monster " << name << ' ' << Quote(monster->GetDisplayName()) << '\n';
    for (const auto& [name, quest] : module.GetQuests())
        std::cout << "quest " << name << ' ' << Quote(quest->GetDisplayName()) << '\n';
    for (const auto& [name, text] : module.GetJournal())
        std::cout << "journal " << name << '\n';
}

void PrintWorldMap(VARDCommon::CDataFileFactory& factory, const std::string& name)
{
    const auto map = VARD::ReadWorldMapFile(factory, name);
    std::cout << "worldmap " << map->GetName() << ' ' << map->GetColumns() << 'x'
              << map->GetRowCount() << '\n';
    std::vector<std::string> lines;
    for (const auto& area : map->GetAreas())
        lines.push_back("worldmap-area " + map->GetName() + ' ' + area->GetName() + ' ' +
                        Quote(area->GetDisplayName()) + ' ' + area->GetAreaName() + ' ' +
                        area->GetEntryName());
    PrintSorted(std::move(lines));
}

// Every area and world map that a game can reach from the start area through
// exits and world maps is read whole: a missing or broken file the module
// needs fails here, naming it, and not when a player first walks there.
void CheckReachableFiles(const VARD::CModule& module, VARDCommon::CDataFileFactory& factory)
{
    std::set<std::string> seenAreas;
    std::set<std::string> seenMaps;
    std::vector<std::string> areas{module.GetStartArea()};
    std::vector<std::string> maps;
    while (!areas.empty() || !maps.empty())
    {
        if (!areas.empty())
        {
            const std::string name = areas.back();
            areas.pop_back();
            if (!seenAreas.insert(name).second)
                continue;
            // As a new game would first see it: encounters spawned, objects placed.
            VARD::CGame game;
            game.SetModule(&module);
            VARD::CArea area(&game);
            area.ReadFile(std::string(), name, module, VARD::kAreaReadFresh, false);
            for (const auto& exit : area.GetExits())
            {
                if (exit->GetTargetArea().empty())
                    continue;
                // An exit without an entry leads onto a world map.
                (exit->GetTargetEntry().empty() ? maps : areas).push_back(exit->GetTargetArea());
            }
            continue;
        }
        const std::string name = maps.back();
        maps.pop_back();
        if (!seenMaps.insert(name).second)
            continue;
        const auto map = VARD::ReadWorldMapFile(factory, name);
        for (const auto& place : map->GetAreas())
            if (!place->GetAreaName().empty())
                areas.push_back(place->GetAreaName());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = VARDCommon::AnswerUsageOptions(argc, argv, kUsage))
        return *answered;
    std::string path;
    std::vector<std::string> worldMaps;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg != "--module" && arg != "--worldmap")
            return VARDCommon::RefuseCommandLine(kUsage, "unexpected argument \"" + arg + "\"");
        if (i + 1 == argc)
            return VARDCommon::RefuseCommandLine(kUsage, arg + " needs a value");
        if (arg == "--module")
            path = argv[++i];
        else
            worldMaps.push_back(argv[++i]);
    }
    if (path.empty())
        return VARDCommon::RefuseCommandLine(kUsage, "--module is required");

    try
    {
        std::shared_ptr<VARDCommon::CDataFileFactory> factory;
        if (std::filesystem::is_regular_file(path))
            factory = std::make_shared<VARDCommon::CDataFileFactoryPacked>(path);
        else if (std::filesystem::is_directory(path))
            factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(path);
        else
            throw CVARDException(1, path + " is neither a module folder nor a module archive");
        VARD::CModule module;
        module.Load(factory);
        PrintModule(module);
        for (const auto& name : worldMaps)
            PrintWorldMap(*factory, name);
        CheckReachableFiles(module, *factory);
        return 0;
    }
    catch (const CVARDException& e)
    {
        std::cerr << "vardinfo: error " << e.Describe() << '\n';
        return 1;
    }
    catch (const std::exception& e)
    {
        std::cerr << "vardinfo: error: " << e.what() << '\n';
        return 1;
    }
}
