// Loads a module and prints what it holds, one line per thing, sorted within
// each kind. Module authors use it to check their data.
//   vardinfo --module PATH [--worldmap NAME]...

#include "common/data_file.h"
#include "common/exception.h"
#include "world/actor_template.h"
#include "world/faction.h"
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
#include <string>
#include <vector>

namespace
{

int Usage()
{
    std::cerr << "usage: vardinfo --module PATH [--worldmap NAME]...\n"
                 "  PATH is a module folder or a packed module archive\n";
    return 2;
}

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
                        Quote(area->GetDisplayName()) + ' ' + area->GetAreaName() + ' ' + area->GetEntryName());
    PrintSorted(std::move(lines));
}

} // namespace

int main(int argc, char** argv)
{
    std::string path;
    std::vector<std::string> worldMaps;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--module" && i + 1 < argc)
            path = argv[++i];
        else if (arg == "--worldmap" && i + 1 < argc)
            worldMaps.push_back(argv[++i]);
        else
            return Usage();
    }
    if (path.empty())
        return Usage();

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
