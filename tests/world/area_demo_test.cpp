#include "area_test_util.h"

#include "world/actor_spawn.h"
#include "world/item_template.h"
#include "world/patch.h"
#include "world/trap.h"
#include "world/world_map.h"
#include "world/world_object.h"

#include <cmath>
#include <set>

using namespace VARD;
using AreaTest::DemoModule;

namespace
{

const char* const kDemoAreas[] = {"town", "forest", "crypt"};
const std::set<std::string> kRespawning = {"watch", "wolves", "bandits", "restless_dead"};

std::unique_ptr<CArea> ReadDemoArea(CGame& game, const std::string& name, int mode)
{
    auto area = std::make_unique<CArea>(&game);
    area->ReadFile(std::string(), name, *DemoModule(), mode, false);
    return area;
}

std::set<std::string> EncountersOf(const CArea& area)
{
    std::set<std::string> names;
    for (const auto& actor : area.GetActors())
        names.insert(GetEncounterName(*actor));
    return names;
}

} // namespace

TEST(DemoAreas, LoadInEveryMode)
{
    for (const char* name : kDemoAreas)
    {
        for (int mode = kAreaReadFresh; mode <= kAreaReadSavedOther; ++mode)
        {
            SCOPED_TRACE(std::string(name) + " mode " + std::to_string(mode));
            CGame game;
            std::unique_ptr<CArea> area;
            ASSERT_NO_THROW(area = ReadDemoArea(game, name, mode));
            EXPECT_EQ(area->GetName(), name);
            EXPECT_FALSE(area->GetTitle().empty());
            if (mode == kAreaReadSavedOther)
            {
                EXPECT_EQ(area->GetWidth(), 0u);
                EXPECT_TRUE(area->GetEntries().empty());
                EXPECT_FALSE(area->GetSkies().empty());
                continue;
            }
            EXPECT_GT(area->GetWidth(), 10u);
            EXPECT_FALSE(area->GetEntries().empty());
            EXPECT_FALSE(area->GetExits().empty());
            EXPECT_FALSE(area->GetPatches().empty());
            for (const auto& tile : area->GetTiles())
                EXPECT_NE(tile->GetMasterTile(), nullptr)
                    << tile->GetColumn() << "," << tile->GetRow();
            // Objects only in a fresh read; a layout read brings back only the
            // encounters that respawn; a saved area brings its own.
            EXPECT_EQ(area->GetObjects().empty(), mode != kAreaReadFresh);
            // The crypt's restless dead rise only once the key is found.
            const bool noneBack = mode == kAreaReadLayout && std::string(name) == "crypt";
            EXPECT_EQ(area->GetActors().empty(), mode == kAreaReadSavedCurrent || noneBack);
            if (mode == kAreaReadLayout)
            {
                for (const auto& encounter : EncountersOf(*area))
                    EXPECT_TRUE(kRespawning.count(encounter)) << encounter;
            }
        }
    }
}

TEST(DemoAreas, TownHoldsItsPeopleDoorsAndChestByTheGate)
{
    CGame game;
    SeedRandom(7);
    auto town = ReadDemoArea(game, "town", kAreaReadFresh);
    std::multiset<std::string> templates;
    for (const auto& actor : town->GetActors())
        templates.insert(actor->GetTemplateName());
    for (const char* name : {"merchant", "armourer", "priest", "baker", "farmer"})
        EXPECT_EQ(templates.count(name), 1u) << name;
    EXPECT_EQ(templates.count("town_guard"), 2u);
    for (const auto& actor : town->GetActors())
        EXPECT_TRUE(actor->IsFriendly() || actor->GetTemplateName() == "farmer")
            << actor->GetTemplateName();

    const CAreaEntry* gate = town->FindEntry("gate");
    ASSERT_NE(gate, nullptr);
    EXPECT_EQ(town->GetCellKind(gate->GetColumn(), gate->GetRow()), kTileKindFloor);

    // The temple court's double door.
    std::size_t doorCells = 0;
    for (const auto& tile : town->GetTiles())
        if (town->GetCellKind(tile->GetColumn(), tile->GetRow()) == kTileKindDoor)
            ++doorCells;
    EXPECT_EQ(doorCells, 2u);

    // The chest with the gold for the first purchase, a few paces from
    // where a new game starts.
    bool chest = false;
    for (const auto& object : town->GetObjects())
        chest = chest ||
                (object->GetDefinitionName() == "chest" && !object->GetItems().empty() &&
                 std::hypot(object->GetX() - (gate->GetColumn() + 0.5) * kCellSize,
                            object->GetY() - (gate->GetRow() + 0.5) * kCellSize) < 4 * kCellSize);
    EXPECT_TRUE(chest);
}

TEST(DemoAreas, ForestAndCryptHoldTheirFoes)
{
    CGame game;
    SeedRandom(11);
    auto forest = ReadDemoArea(game, "forest", kAreaReadFresh);
    auto crypt = ReadDemoArea(game, "crypt", kAreaReadFresh);
    const std::set<std::string> forestEncounters = EncountersOf(*forest);
    EXPECT_TRUE(forestEncounters.count("wolves") && forestEncounters.count("bandits"));
    std::size_t traps = 0;
    bool roadTrap = false;
    for (const auto& object : forest->GetObjects())
    {
        if (object->GetDefinitionName() == "chest_trapped" && object->GetTrap())
            ++traps;
        // The tripwire is shown from the start (its flag clear): the screen
        // draws it and names it under the pointer, so it can be walked round.
        roadTrap = roadTrap || (object->GetDefinitionName() == "tripwire" && object->GetTrap() &&
                                !object->GetTrap()->GetFlag());
    }
    EXPECT_GE(traps, 1u);
    EXPECT_TRUE(roadTrap);
    // The war band and the ogre wait for the key to be found.
    EXPECT_FALSE(forestEncounters.count("orc_camp") || forestEncounters.count("ogre_glade"));

    // Skeletons rise by patches: as the crypt is entered, and once the key
    // is found. No chest holds the key: its bearer is the necromancer, who
    // drops it with his belongings where he falls.
    std::multiset<std::string> cryptTemplates;
    bool keyCarried = false;
    for (const auto& actor : crypt->GetActors())
    {
        cryptTemplates.insert(actor->GetTemplateName());
        for (const auto& item : actor->GetBackpackItems())
            keyCarried = keyCarried || (actor->GetTemplateName() == "necromancer" &&
                                        item->GetTemplate()->GetName() == "temple_key" &&
                                        !item->GetTemplate()->HasFlag(kItemFlagNoGive));
    }
    EXPECT_EQ(cryptTemplates,
              (std::multiset<std::string>{"cave_spider", "cultist", "necromancer"}));
    EXPECT_TRUE(keyCarried);
    for (const auto& object : crypt->GetObjects())
        for (const auto& item : object->GetItems())
            EXPECT_NE(item->GetTemplate()->GetName(), "temple_key");
    std::set<std::string> doors;
    for (const auto& master : crypt->GetMasterTiles())
        if (master->GetTemplate()->IsDoor())
            doors.insert(master->GetTemplate()->GetName());
    EXPECT_EQ(doors, (std::set<std::string>{"door_cellar", "door_crypt"}));
    std::set<std::string> tags;
    bool restless = false;
    for (const auto& patch : crypt->GetPatches())
    {
        tags.insert(patch->GetTag());
        for (const auto& action : patch->GetActions())
        {
            if (action->GetKind() != kPatchActionEncounter)
                continue;
            // Raised the moment the key is taken: a patch named otherwise
            // would wait for the area to be read again, and loading a game
            // saved after the key would raise the dead beside the party.
            const auto& encounter = static_cast<const CPatchActionEncounter&>(*action);
            if (encounter.GetEncounterName() == "restless_dead")
            {
                restless = true;
                EXPECT_EQ(patch->GetName(), patch->GetTag());
                EXPECT_EQ(patch->GetTag(), "temple_key_found");
            }
        }
    }
    EXPECT_TRUE(tags.count("temple_key_returned"));
    EXPECT_TRUE(restless);
}

// An exit the party stands near on arrival would send it straight back.
TEST(DemoAreas, ExitsLeadToEntriesFarFromThem)
{
    CGame game;
    std::map<std::string, std::unique_ptr<CArea>> areas;
    for (const char* name : kDemoAreas)
        areas[name] = ReadDemoArea(game, name, kAreaReadFresh);
    const auto worldMap = ReadWorldMapFile(*DemoModule()->GetDataFileFactory(), "worldmap");

    for (const auto& [name, area] : areas)
    {
        for (const auto& exit : area->GetExits())
        {
            SCOPED_TRACE(name + " exit " + exit->GetName());
            // Its signpost names the way under the pointer: a marker with
            // the exit's text, whose box is as tall as the post it draws.
            std::size_t markers = 0;
            for (const auto& object : area->GetObjects())
            {
                if (!object->IsExit() || object->GetX() != exit->GetX() ||
                    object->GetY() != exit->GetY())
                    continue;
                ++markers;
                EXPECT_EQ(object->GetExitText(), exit->GetText());
                EXPECT_GE(object->GetHeight(), 2.4);
            }
            EXPECT_EQ(markers, 1u);
            EXPECT_FALSE(exit->GetText().empty());
            for (const auto& entry : area->GetEntries())
            {
                const double x = (entry->GetColumn() + 0.5) * kCellSize;
                const double y = (entry->GetRow() + 0.5) * kCellSize;
                EXPECT_GT(std::hypot(x - exit->GetX(), y - exit->GetY()), 20.0) << entry->GetName();
            }
            if (exit->GetTargetEntry().empty())
            {
                EXPECT_EQ(exit->GetTargetArea(), "worldmap");
                continue;
            }
            ASSERT_TRUE(areas.count(exit->GetTargetArea()));
            EXPECT_NE(areas[exit->GetTargetArea()]->FindEntry(exit->GetTargetEntry()), nullptr);
        }
    }
    ASSERT_FALSE(worldMap->GetAreas().empty());
    for (const auto& place : worldMap->GetAreas())
    {
        ASSERT_TRUE(areas.count(place->GetAreaName())) << place->GetName();
        EXPECT_NE(areas[place->GetAreaName()]->FindEntry(place->GetEntryName()), nullptr);
    }
    EXPECT_EQ(DemoModule()->GetStartArea(), "town");
    EXPECT_NE(areas["town"]->FindEntry(DemoModule()->GetStartEntry()), nullptr);
}
