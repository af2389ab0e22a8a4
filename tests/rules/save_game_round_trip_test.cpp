// A saved game with every field of its record set, loaded and saved again,
// gives the same file but for the path and the id counter: a field that the
// reader drops or the writer forgets shows as a differing line.

#include "rules_test_util.h"
#include "test_util.h"

#include "world/actor_spawn.h"
#include "world/modifier.h"
#include "world/object.h"
#include "world/tile.h"
#include "world/trap.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace VARD;
using RulesTest::DrainMessages;
using RulesTest::FindObject;
using RulesTest::Member;
using RulesTest::NewDemoGame;
using TestUtil::FileText;
using TestUtil::Lines;

namespace
{

// Numbers of the lines where the two texts differ, from 1.
std::vector<std::size_t> DifferingLines(const std::string& first, const std::string& second)
{
    const auto a = Lines(first);
    const auto b = Lines(second);
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i)
        if (i >= a.size() || i >= b.size() || a[i] != b[i])
            differing.push_back(i + 1);
    return differing;
}

// Every field of the game record away from its default, and of the actor,
// object and area records as far as play sets them.
std::unique_ptr<CEngine> FullGame()
{
    auto engine = NewDemoGame(11);
    engine->EnterArea();
    CGame& game = engine->Game();
    const CModule& module = engine->Module();
    CArea& town = *game.GetCurrentArea();
    const std::uint32_t now = game.GetTick() + 500;
    game.SetTick(now);

    game.SetResurrection("town", "temple");
    game.SetTravel("forest", "from_crypt");
    game.SetEntered("town", "temple");
    game.SetLeftArea("crypt");
    game.SetNextAmbienceTick(now + 777);
    game.SetGold(321);
    game.SetQuestTag("met_priest", 2);
    game.UpdateJournal("temple_key", "temple_key_start");
    game.RevealArea("forest");
    for (const auto& actor : town.Actors())
        if (actor->GetTemplateName() == "priest")
            game.AddPeopleJournalLine(*actor, "priest", "Father Aldous", "He keeps the temple.");

    // A sneaking, wounded, blessed and held main character with gear.
    CActor& hero = Member(*engine);
    hero.Skills().insert(kSkillSneak);
    hero.LearnQualifyingSpells(module, nullptr);
    EXPECT_TRUE(hero.ActivatePower(*module.FindSpell("s_power-sneak"), now));
    hero.AddModifier(std::make_shared<CModifier>("Blessing", now + 900, 1, 4, 0, 3, false));
    hero.AddStatus(kStatusHeld, now + 300);
    hero.SetEquipmentSlot(0, module.CreateItem("dagger", 1, game.NewThingId(kThingKindItem), 0));
    hero.AddBackpackItem(module.CreateItem("bread", 3, game.NewThingId(kThingKindItem), 0));
    hero.SetDamageTaken(3);
    hero.SetEnergySpent(2);
    hero.SetFurtherCounter(1);
    hero.SetExperience(150);
    hero.SetAttributePoints(1);
    hero.SetAlarmTick(now - 20);

    // A summoned skeleton in the party.
    const auto skeleton = CreateActorFromTemplate("skeleton", "", module, game);
    skeleton->SetSummonExpiryTick(now + 3000);
    EXPECT_TRUE(town.FindFreeSpotNear(11, 15, true, skeleton));
    game.AddPartyMember(skeleton);

    // The town: its patch laid, a door open, the alms box picked, cells seen.
    game.SetQuestTag("temple_key_returned", 1);
    town.ApplyPatchByName("temple_key_returned", module);
    town.AddOpenDoor(2, 5);
    town.GetTile(2, 5)->GetDoor()->SetOpen(true);
    FindObject(town, "alms_box")->SetLockValue(0);
    town.TileTracker().Mark(11, 15);

    // The crypt, visited: the dead woken, the sun door open, the plate sprung.
    auto crypt = std::make_shared<CArea>(&game);
    crypt->ReadFile("", "crypt", module, kAreaReadFresh, false);
    crypt->SetLastVisitTick(now - 100);
    game.SetQuestTag("crypt_entered", 1);
    crypt->ApplyPatchByName("crypt_entered", module);
    crypt->AddOpenDoor(12, 8);
    const auto& trap = FindObject(*crypt, "hall_plate")->GetTrap();
    EXPECT_TRUE(trap->ScheduleRearm(now, true));
    game.VisitedAreas()["crypt"] = crypt;

    DrainMessages(game);
    return engine;
}

} // namespace

TEST(SaveGameRoundTrip, EveryFieldSetComesBackAndSavesToTheSameFile)
{
    std::filesystem::path folder = TestUtil::ScratchPath("full_saves");
    folder.replace_extension();
    std::filesystem::create_directories(folder);
    const std::string firstPath = (folder / "first.vard").string();
    const std::string secondPath = (folder / "second.vard").string();

    auto engine = FullGame();
    engine->SaveGame(std::string("Bonus."), firstPath);
    auto loaded = NewDemoGame(12);
    std::optional<std::string> bonus;
    loaded->LoadGame(firstPath, bonus);
    CGame& game = loaded->Game();

    // What a symmetric slip of writer and reader would lose on both sides.
    EXPECT_EQ(game.GetResurrectionArea() + "/" + game.GetResurrectionEntry(), "town/temple");
    EXPECT_EQ(game.GetTravelArea() + "/" + game.GetTravelEntry(), "forest/from_crypt");
    EXPECT_EQ(game.GetLeftArea(), "crypt");
    EXPECT_EQ(game.GetRevealed().count("forest"), 1u);
    EXPECT_EQ(game.GetNextAmbienceTick(), engine->Game().GetNextAmbienceTick());
    ASSERT_EQ(game.Party().size(), 2u);
    EXPECT_TRUE(game.Party()[0]->IsSneaking());
    EXPECT_TRUE(game.Party()[1]->IsSummoned());
    const CTrap& plate = *FindObject(*game.VisitedAreas().at("crypt"), "hall_plate")->GetTrap();
    EXPECT_FALSE(plate.GetFlag()) << "a sprung trap stays seen";
    EXPECT_EQ(plate.GetRearmTick(), engine->Game().GetTick() + 600u);

    loaded->SaveGame(std::string("Bonus."), secondPath);
    const std::string first = FileText(firstPath);
    const std::string second = FileText(secondPath);
    EXPECT_EQ(DifferingLines(first, second), (std::vector<std::size_t>{2, 4}));

    // On the world map, with no current area, the map's name round-trips.
    game.SetState(kGameTravelAtExit);
    game.SetTravel("worldmap", "");
    loaded->LeaveArea();
    ASSERT_EQ(game.GetState(), kGameOnWorldMap);
    loaded->SaveGame(std::nullopt, firstPath);
    auto travelling = NewDemoGame(13);
    travelling->LoadGame(firstPath);
    ASSERT_NE(travelling->Game().GetCurrentWorldMap(), nullptr);
    travelling->SaveGame(std::nullopt, secondPath);
    EXPECT_EQ(DifferingLines(FileText(firstPath), FileText(secondPath)),
              (std::vector<std::size_t>{2, 4}));
    std::filesystem::remove_all(folder);
}
