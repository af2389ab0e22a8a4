// Saved games on the demo module: a game with every kind of change play
// makes survives a save and a load, loads again to the same file, and no
// broken file or failed write costs the running game or the old save.

#include "rules_test_util.h"
#include "test_util.h"

#include "world/actor_spawn.h"
#include "world/item_template.h"
#include "world/object.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <sys/stat.h>

using namespace VARD;
using RulesTest::DrainMessages;
using RulesTest::FindObject;
using RulesTest::NewDemoGame;
using TestUtil::CodeOf;
using TestUtil::FileText;
using TestUtil::Lines;

namespace
{

class SaveGameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Folder = TestUtil::ScratchPath("saves");
        m_Folder.replace_extension();
        std::filesystem::create_directories(m_Folder);
    }
    void TearDown() override
    {
        std::filesystem::permissions(m_Folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        std::filesystem::remove_all(m_Folder);
    }

    std::string PathOf(const std::string& name) const { return (m_Folder / name).string(); }

    // Saves and gives the file's text.
    std::string Save(CEngine& engine, const std::string& name,
                     const std::optional<std::string>& bonus = std::nullopt)
    {
        engine.SaveGame(bonus, PathOf(name));
        return FileText(PathOf(name));
    }

    std::filesystem::path m_Folder;
};

std::size_t CountObjects(const CArea& area, const std::string& instanceName)
{
    return static_cast<std::size_t>(std::count_if(
        area.Objects().begin(), area.Objects().end(),
        [&](const auto& object) { return object->GetInstanceName() == instanceName; }));
}

std::vector<std::string> ItemNames(const CObject& object)
{
    std::vector<std::string> names;
    for (const auto& item : object.GetItems())
        names.push_back(item->GetTemplate()->GetName());
    return names;
}

std::size_t CountBearing(const CArea& area, const std::string& encounter)
{
    return static_cast<std::size_t>(
        std::count_if(area.Actors().begin(), area.Actors().end(),
                      [&](const auto& actor) { return GetEncounterName(*actor) == encounter; }));
}

// "name@place" per party member in party order, place being the area that
// holds the actor or "-" for the game's own list.
std::vector<std::string> PartyPlaces(CGame& game)
{
    std::vector<std::string> places;
    for (const auto& member : game.Party())
    {
        std::string place = "-";
        for (const auto& [name, area] : game.VisitedAreas())
            if (area->FindActorById(member->Id()) == member.get())
                place = name;
        places.push_back(member->GetName() + "@" + place + "#" +
                         std::to_string(member->GetPartyIndex()));
    }
    return places;
}

// The demo game as play could leave it, each change made directly: the
// temple's reward patch applied, a door opened, the town chest looted, the
// watch killed, a summoned skeleton and a dead fighter in the party, and a
// member left standing in the forest, which the party visited.
std::unique_ptr<CEngine> PlayedGame()
{
    auto engine = NewDemoGame(5);
    engine->EnterArea();
    CGame& game = engine->Game();
    const CModule& module = engine->Module();
    CArea& town = *game.GetCurrentArea();

    game.SetQuestTag("temple_key_returned", 1);
    town.ApplyPatchByName("temple_key_returned", module);
    town.AddOpenDoor(2, 5);
    town.GetTile(2, 5)->GetDoor()->SetOpen(true);
    CObject* chest = FindObject(town, "town_chest");
    for (const auto& item : chest->GetItems())
        if (item->GetTemplate()->GetName() == "gold")
            chest->RemoveItem(item.get());
    for (const auto& actor : town.GetActors())
        if (GetEncounterName(*actor) == "watch")
            town.RemoveActor(actor.get());
    town.TileTracker().Mark(11, 15);
    town.TileTracker().Mark(12, 15);

    auto forest = std::make_shared<CArea>(&game);
    forest->ReadFile("", "forest", module, kAreaReadFresh, false);
    forest->SetLastVisitTick(12);
    game.VisitedAreas()["forest"] = forest;
    const auto scout = CreateActorFromTemplate("bandit", "", module, game);
    scout->SetName("Scout");
    EXPECT_TRUE(forest->FindFreeSpotNear(12, 10, true, scout));
    game.AddPartyMember(scout);

    const auto fallen = CreateActorFromTemplate("bandit", "", module, game);
    fallen->SetName("Fallen");
    fallen->SetActivityState(kActivityDead);
    game.AddPartyMember(fallen);
    game.AddNonLocated(fallen);

    const auto skeleton = CreateActorFromTemplate("skeleton", "", module, game);
    skeleton->SetSummonExpiryTick(game.GetTick() + 3000);
    EXPECT_TRUE(town.FindFreeSpotNear(11, 15, true, skeleton));
    game.AddPartyMember(skeleton);

    game.SetGold(123);
    game.UpdateJournal("", "j_arrival");
    game.RevealArea("town");
    DrainMessages(game);
    return engine;
}

} // namespace

TEST_F(SaveGameTest, PlayedGameSurvivesSaveAndLoad)
{
    auto engine = PlayedGame();
    const std::vector<std::string> party = {"Hero@town#0", "Scout@forest#1", "Fallen@-#2",
                                            "Skeleton@town#3"};
    ASSERT_EQ(PartyPlaces(engine->Game()), party);
    ASSERT_FALSE(engine->Game().IsPartyFull());
    const std::string first = Save(*engine, "first.vard", std::string("Well done."));
    EXPECT_EQ(DrainMessages(engine->Game()),
              std::vector<std::string>{"18 Saved game: " + PathOf("first.vard")});
    // Hero stands in the town and is also held by the game: written once.
    EXPECT_EQ(first.find("\"Hero\""), first.rfind("\"Hero\""));
    // Only the summoned creature carries its expiry.
    EXPECT_EQ(first.find("<summon>"), first.rfind("<summon>"));
    EXPECT_NE(first.find("    <summon>\n     3001\n    </summon>"), std::string::npos);

    auto loaded = NewDemoGame(6);
    std::optional<std::string> bonus;
    loaded->LoadGame(PathOf("first.vard"), bonus);
    CGame& game = loaded->Game();
    EXPECT_EQ(DrainMessages(game),
              std::vector<std::string>{"18 Loaded game: " + PathOf("first.vard")});
    EXPECT_EQ(bonus, std::optional<std::string>("Well done."));
    EXPECT_EQ(game.GetTick(), engine->Game().GetTick());
    EXPECT_EQ(game.GetState(), kGameRunning);
    EXPECT_EQ(game.GetGold(), 123);
    EXPECT_EQ(game.GetQuestTag("temple_key_returned"), 1);
    EXPECT_EQ(game.GetRevealed().at("town"), 1);
    ASSERT_EQ(game.GetJournal().size(), 1u);
    EXPECT_EQ(game.GetJournal().front()->textName, "j_arrival");
    EXPECT_EQ(game.GetEnteredArea(), "town");
    EXPECT_EQ(game.GetStartYear(), engine->Game().GetStartYear());

    // The party comes back in its places, wherever its members stand.
    EXPECT_EQ(PartyPlaces(game), party);
    EXPECT_EQ(game.NonLocated().size(), 1u);
    const CActor& skeleton = *game.Party().at(3);
    EXPECT_TRUE(skeleton.IsSummoned());
    EXPECT_EQ(skeleton.GetSummonExpiryTick(), engine->Game().GetTick() + 3000);
    EXPECT_FALSE(game.IsPartyFull());
    EXPECT_TRUE(game.Party().at(2)->IsDead());

    // The town as it was left: the patch laid once, the door open, the chest
    // without its gold, the watch gone for good.
    ASSERT_NE(game.GetCurrentArea(), nullptr);
    CArea& town = *game.GetCurrentArea();
    EXPECT_EQ(town.GetName(), "town");
    EXPECT_EQ(town.GetAppliedPatches(), std::list<std::string>{"temple_key_returned"});
    EXPECT_EQ(CountObjects(town, "reward_chest"), 1u);
    EXPECT_TRUE(town.GetTile(2, 5)->GetDoor()->IsOpen());
    EXPECT_FALSE(town.GetTile(3, 5)->GetDoor()->IsOpen());
    EXPECT_EQ(ItemNames(*FindObject(town, "town_chest")),
              (std::vector<std::string>{"bread", "torch"}));
    EXPECT_EQ(CountBearing(town, "watch"), 0u);
    EXPECT_EQ(CountBearing(town, "market"), 2u);
    EXPECT_TRUE(town.GetTileTracker().IsMarked(12, 15));
    EXPECT_EQ(town.GetTileTracker().GetWords(),
              engine->Game().GetCurrentArea()->GetTileTracker().GetWords());
    const CArea& forest = *game.VisitedAreas().at("forest");
    EXPECT_EQ(forest.GetWidth(), 0u);
    EXPECT_EQ(forest.GetLastVisitTick(), 12u);
    EXPECT_EQ(CountBearing(forest, "wolves"), 3u);

    // Saved again, only the path and the id counter differ: objects and
    // items are made anew with new ids when a game loads.
    const std::string second = Save(*loaded, "second.vard", std::string("Well done."));
    const auto a = Lines(first);
    const auto b = Lines(second);
    ASSERT_EQ(a.size(), b.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            differing.push_back(i + 1);
    EXPECT_EQ(differing, (std::vector<std::size_t>{2, 4}));
    EXPECT_GT(std::stoul(b[3]), std::stoul(a[3]));

    // And a third time from the second, byte for byte but the path.
    loaded->LoadGame(PathOf("second.vard"));
    std::string third = Save(*loaded, "third.vard", std::string("Well done."));
    const std::string path3 = "\"" + PathOf("third.vard") + "\"";
    third.replace(third.find(path3), path3.size(), "\"" + PathOf("second.vard") + "\"");
    const auto c = Lines(third);
    EXPECT_EQ(std::vector<std::string>(c.begin() + 4, c.end()),
              std::vector<std::string>(b.begin() + 4, b.end()));

    // The loaded game plays on.
    EXPECT_NO_THROW(loaded->Tick());
}

TEST_F(SaveGameTest, GameBeforeAnyAreaAndOldFilesLoad)
{
    auto engine = NewDemoGame(7);
    engine->Game().SetTravel("forest", "");
    const std::string text = Save(*engine, "start.vard");
    EXPECT_NE(text.find("\n \"0\"\n 0\n</save>\n"), std::string::npos) << text;

    auto loaded = NewDemoGame(8);
    std::optional<std::string> bonus("stale");
    loaded->LoadGame(PathOf("start.vard"), bonus);
    EXPECT_FALSE(bonus.has_value());
    CGame& game = loaded->Game();
    EXPECT_EQ(game.GetCurrentArea(), nullptr);
    EXPECT_EQ(game.GetState(), kGameDestinationKnown);
    EXPECT_EQ(game.GetTravelArea(), "forest");
    EXPECT_EQ(game.GetTravelEntry(), "");
    ASSERT_EQ(game.Party().size(), 1u);
    EXPECT_EQ(game.Party().front()->GetName(), "Hero");

    // A file written before members standing in an area were left out of the
    // game's list holds Hero twice: the area's record stands.
    auto played = NewDemoGame(9);
    played->EnterArea();
    std::string old = Save(*played, "old.vard");
    const std::size_t begin = old.find("   <actor>\n    1\n");
    ASSERT_NE(begin, std::string::npos);
    const std::string hero = old.substr(begin, old.find("\n   </actor>\n", begin) + 13 - begin);
    old.replace(old.find(" <nonlocated>\n"), 14, " <nonlocated>\n" + hero);
    std::ofstream(PathOf("old.vard"), std::ios::trunc) << old;
    loaded->LoadGame(PathOf("old.vard"));
    EXPECT_TRUE(loaded->Game().NonLocated().empty());
    ASSERT_EQ(loaded->Game().Party().size(), 1u);
    EXPECT_EQ(loaded->Game().GetCurrentArea()->FindActorById(loaded->Game().Party()[0]->Id()),
              loaded->Game().Party()[0].get());
    // It enters its next area as any game does.
    loaded->Game().SetState(kGameTravelAtExit);
    loaded->Game().SetTravel("forest", "road");
    loaded->LeaveArea();
    EXPECT_NO_THROW(loaded->EnterArea());
    EXPECT_EQ(loaded->Game().GetCurrentArea()->GetName(), "forest");
}

// The state word and the places the file names say together where the
// party is: in its current area, on the world map (no area), or on its way
// to an area (none yet). Where they disagree the game could not go on, so
// the file is refused, and a game in such a state is not saved over the last
// file.
TEST_F(SaveGameTest, TheStateWordAgreesWithTheAreaAndTheWorldMapNamed)
{
    auto engine = NewDemoGame(11);
    engine->EnterArea();
    const std::vector<std::string> town = Lines(Save(*engine, "town.vard"));
    const std::size_t area =
        static_cast<std::size_t>(std::find(town.begin(), town.end(), " \"town\"") - town.begin());
    ASSERT_LT(area + 1, town.size());
    ASSERT_EQ(town[4], " 0");
    ASSERT_EQ(town[area + 1], " 0");
    const struct
    {
        const char* state;
        const char* area;
        const char* map;
        const char* refusal; // none when it loads
    } kPlaces[] = {
        {"0", "\"town\"", "0", nullptr},
        {"3", "\"town\"", "0", nullptr},
        {"7", "\"town\"", "0", nullptr},
        {"4", "\"0\"", "worldmap", nullptr},
        {"5", "\"0\"", "0", nullptr},
        {"6", "\"0\"", "0", nullptr},
        {"0", "\"0\"", "0", "state 0, played in an area, but names no current area"},
        {"2", "\"0\"", "worldmap", "state 2, played in an area, but names no current area"},
        {"5", "\"town\"", "0", "state 5, outside any area, but names the current area \"town\""},
        {"4", "\"town\"", "worldmap", "state 4, outside any area, but names the current area"},
        {"4", "\"0\"", "0", "state 4, on the world map, but names no world map"},
        {"8", "\"town\"", "0", "state 8 is out of range"},
    };
    const std::string path = PathOf("placed.vard");
    const std::string where = path + ", line " + std::to_string(area + 1) + ": the game is in ";
    for (const auto& place : kPlaces)
    {
        const std::string row = std::string(place.state) + " " + place.area + " " + place.map;
        std::vector<std::string> lines = town;
        lines[4] = std::string(" ") + place.state;
        lines[area] = std::string(" ") + place.area;
        lines[area + 1] = std::string(" ") + place.map;
        std::ofstream out(path, std::ios::trunc);
        for (const auto& line : lines)
            out << line << '\n';
        out.close();
        auto loaded = NewDemoGame(12);
        const std::string detail = TestUtil::DetailOf([&] { loaded->LoadGame(path); });
        if (place.refusal == nullptr)
        {
            EXPECT_EQ(detail, "") << row;
            EXPECT_EQ(loaded->Game().GetState(), std::stoi(place.state)) << row;
            continue;
        }
        // The state word out of range is told at its own line.
        if (std::string(place.state) != "8")
        {
            EXPECT_EQ(detail.rfind(where, 0), 0u) << row << ": " << detail;
        }
        EXPECT_NE(detail.find(place.refusal), std::string::npos) << row << ": " << detail;
    }

    // Saved in such a state, the game would not come back: the last file stays.
    DrainMessages(engine->Game());
    engine->Game().SetCurrentArea(nullptr);
    const std::string refused =
        TestUtil::DetailOf([&] { engine->SaveGame(std::nullopt, PathOf("town.vard")); });
    EXPECT_NE(refused.find("would not load again"), std::string::npos) << refused;
    EXPECT_NE(refused.find("names no current area"), std::string::npos) << refused;
    EXPECT_EQ(Lines(FileText(PathOf("town.vard"))), town);
    EXPECT_TRUE(DrainMessages(engine->Game()).empty());
}

// A hand-made save holds Ann twice, the one member's record in the town,
// where the party stands, and an older one in the forest, under one id:
// no game writes that. With an id of her own the forest's Ann is another
// actor on Ann's place, and the current area's takes it. One actor's record
// twice is refused wherever it stands, but for a member among the
// non-located that an area holds too, as older files have it.
TEST_F(SaveGameTest, HandMadeSavesWithAMemberTwice)
{
    const std::string saved =
        FileText(TestUtil::FixturePath("rules/saves", "party_in_two_areas.sav"));
    ASSERT_FALSE(saved.empty());
    // Hero's and the town's Ann's records, 91 lines each, from lines 145 and
    // 236, and the town's, the last area, from line 135.
    const auto record = [&saved](const std::string& start)
    {
        const std::size_t from = saved.find(start);
        const std::string end = "\n   </actor>\n";
        return saved.substr(from, saved.find(end, from) + end.size() - from);
    };
    const std::string hero = record("   <actor>\n    1\n");
    const std::string townAnn = record("   <actor>\n    2\n    31.25\n");
    // A name as long as a saved game lets it be is shown cut.
    std::string longHero = hero;
    longHero.replace(longHero.find("\"Hero\""), 6, "\"" + std::string(100'000, 'n') + "\"");
    const std::size_t townAt = saved.find(" <area>\n  \"town\"");
    const std::string town = saved.substr(townAt, saved.find("</save>") - townAt);
    ASSERT_EQ(std::count(hero.begin(), hero.end(), '\n'), 91);
    ASSERT_EQ(std::count(townAnn.begin(), townAnn.end(), '\n'), 91);

    struct Edit
    {
        std::string from, to; // the first "from" replaced, or the last with "last"
        bool last = false;
    };
    const Edit ownId = {"   <actor>\n    2\n    30\n", "   <actor>\n    3\n    30\n"};
    const Edit forestCurrent = {" \"town\"\n 0\n <area>", " \"forest\"\n 0\n <area>"};
    struct Row
    {
        const char* what;
        std::vector<Edit> edits;
        std::vector<std::string> party; // empty: refused with code 1
        std::string refusal;            // the refusal's text after the file's name
    };
    const std::string twice = "\") is saved twice; its first record is ";
    const Row rows[] = {
        {"as saved: in two areas",
         {},
         {},
         ", line 236: actor 2 (\"Ann" + twice + "in area \"forest\""},
        {"an id of her own", {ownId}, {"Hero@town#0", "Ann@town#1"}, ""},
        {"an id of her own, the forest current",
         {ownId, forestCurrent},
         {"Hero@town#0", "Ann of the wood@forest#1"},
         ""},
        {"an id of her own in place 3",
         {ownId, {"    party\n    1\n", "    party\n    3\n"}},
         {},
         ": the saved party has no member in place 2"},
        {"twice in the town",
         {ownId, {"  </actors>\n", townAnn + "  </actors>\n", true}},
         {},
         ", line 327: actor 2 (\"Ann" + twice + "in area \"town\""},
        {"twice among the non-located",
         {ownId, {" <nonlocated>\n", " <nonlocated>\n" + hero + hero}},
         {},
         ", line 117: actor 1 (\"Hero" + twice + "among the non-located actors"},
        {"twice among the non-located, named at length",
         {ownId, {" <nonlocated>\n", " <nonlocated>\n" + longHero + longHero}},
         {},
         ", line 117: actor 1 (\"" + std::string(VARDCommon::kQuotedWordPrefix, 'n') + "..." +
             twice + "among the non-located actors"},
        {"among the non-located and in the town, as older files",
         {ownId, {" <nonlocated>\n", " <nonlocated>\n" + hero}},
         {"Hero@town#0", "Ann@town#1"},
         ""},
        {"among the non-located and in two areas",
         {{" <nonlocated>\n", " <nonlocated>\n" + townAnn}},
         {},
         ", line 327: actor 2 (\"Ann" + twice + "in area \"forest\""},
        // Its members twice with it, but said as what it is.
        {"the town twice",
         {ownId, {"</save>", town + "</save>", true}},
         {},
         ", line 332: area \"town\" is saved twice"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        std::string text = saved;
        for (const Edit& edit : row.edits)
        {
            const std::size_t at = edit.last ? text.rfind(edit.from) : text.find(edit.from);
            ASSERT_NE(at, std::string::npos) << edit.from;
            text.replace(at, edit.from.size(), edit.to);
        }
        std::ofstream(PathOf("odd.vard"), std::ios::trunc) << text;
        auto engine = NewDemoGame(11);
        const std::shared_ptr<CGame> running = engine->GetGame();
        if (row.party.empty())
        {
            int code = -1;
            std::string detail;
            try
            {
                engine->LoadGame(PathOf("odd.vard"));
            }
            catch (const CVARDException& error)
            {
                code = error.GetCode();
                detail = error.GetDetail();
            }
            EXPECT_EQ(code, 1);
            EXPECT_EQ(detail, PathOf("odd.vard") + row.refusal);
            EXPECT_EQ(engine->GetGame(), running);
            continue;
        }
        engine->LoadGame(PathOf("odd.vard"));
        EXPECT_EQ(PartyPlaces(engine->Game()), row.party);
        EXPECT_TRUE(engine->Game().NonLocated().empty());
    }
}

TEST_F(SaveGameTest, BrokenFilesFailAndTheRunningGameStays)
{
    auto engine = PlayedGame();
    const std::string text = Save(*engine, "good.vard");
    auto running = NewDemoGame(10);
    running->EnterArea();
    const std::shared_ptr<CGame> before = running->GetGame();
    const std::uint32_t tick = before->GetTick();
    DrainMessages(*before);

    const auto expectRefused = [&](const std::string& broken, const std::string& what)
    {
        std::ofstream(PathOf("broken.vard"), std::ios::trunc | std::ios::binary) << broken;
        int code = -1;
        std::string detail;
        try
        {
            running->LoadGame(PathOf("broken.vard"));
        }
        catch (const CVARDException& error)
        {
            code = error.GetCode();
            detail = error.GetDetail();
        }
        EXPECT_TRUE(code == 1 || code == 2) << what << ": code " << code;
        // Whatever failed, the player is told which file.
        EXPECT_EQ(detail.rfind(PathOf("broken.vard"), 0), 0u) << what << ": " << detail;
        EXPECT_EQ(running->GetGame(), before) << what;
    };
    // Cut anywhere: every piece of the file is needed.
    for (std::size_t cut = 0; cut < text.size(); cut += text.size() / 97 + 1)
        expectRefused(text.substr(0, cut), "cut at " + std::to_string(cut));
    expectRefused(text.substr(0, text.size() - 3), "cut in the end tag");

    const std::vector<std::pair<std::string, std::string>> damage = {
        {"<nonlocated>", "<nonlocate>"},
        {"\n \"town\"\n", "\n \"nowhere\"\n"},
        {"\n    party\n    3\n", "\n    party\n    9\n"},
        {"\n    party\n    3\n", "\n    party\n    5\n"},
        {"\n    party\n", "\n    partly\n"},
        {"(bread\n", "(brioche\n"},
        {"<summon>\n     3001", "<summon>\n     soon"},
        {"<tiletracker>\n  ", "<tiletracker>\n  999999999\n  "},
        {"\n 0\n 123\n", "\n 0\n -5\n"},
        {"\n 123\n", "\n 4294967295\n"},
        {"<save>", "<game>"},
        {"  <patches>\n", "  <patches>\n   <x>\n"},
        {"  <actors>", "  <actor>"},
    };
    for (const auto& [from, to] : damage)
    {
        std::string broken = text;
        const std::size_t at = broken.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        broken.replace(at, from.size(), to);
        expectRefused(broken, from);
    }

    // A lost end tag must not let a list run on into the records after it:
    // each kind of end tag, cut where it first and where it last stands, in
    // the played game and in the town as a new game enters it (where a lost
    // </spells> once took the next actor's record along and loaded).
    auto fresh = NewDemoGame(5);
    fresh->EnterArea();
    for (const std::string& saved : {text, Save(*fresh, "fresh.vard")})
    {
        const std::vector<std::string> lines = Lines(saved);
        const auto trimmed = [&](std::size_t i)
        { return lines[i].substr(lines[i].find_first_not_of(' ')); };
        std::map<std::string, std::vector<std::size_t>> endTags;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (trimmed(i).rfind("</", 0) == 0)
                endTags[trimmed(i)].push_back(i);
        EXPECT_GE(endTags.size(), 20u);
        for (const auto& [tag, places] : endTags)
        {
            for (const std::size_t cut : {places.front(), places.back()})
            {
                std::string broken;
                for (std::size_t i = 0; i < lines.size(); ++i)
                    if (i != cut)
                        broken += lines[i] + "\n";
                expectRefused(broken, tag + " cut at line " + std::to_string(cut + 1));
            }
        }
    }

    // An actor standing where no number or no grid is: its x, then its y.
    const std::size_t actor = text.find("\n   <actor>\n");
    ASSERT_NE(actor, std::string::npos);
    for (const int field : {2, 3})
    {
        for (const char* value : {"nan", "-inf", "1e308", "-0.01", "10000"})
        {
            std::size_t from = actor + 1;
            for (int line = 0; line < field; ++line)
                from = text.find('\n', from) + 1;
            const std::size_t to = text.find('\n', from);
            std::string broken = text;
            broken.replace(from, to - from, std::string("    ") + value);
            expectRefused(broken, "actor field " + std::to_string(field) + " " + value);
        }
    }

    std::filesystem::remove(PathOf("broken.vard"));
    EXPECT_EQ(CodeOf([&] { running->LoadGame(PathOf("broken.vard")); }), 1);
    EXPECT_EQ(running->GetGame(), before);

    // Nothing of the failed loads reached the running game, which plays on.
    EXPECT_TRUE(DrainMessages(*before).empty());
    EXPECT_EQ(before->GetTick(), tick);
    running->Tick();
    EXPECT_EQ(running->Game().GetTick(), tick + 1);
}

TEST_F(SaveGameTest, FailedSaveKeepsTheOldFileAndSaysSo)
{
    auto engine = PlayedGame();
    const std::string old = Save(*engine, "keep.vard");
    DrainMessages(engine->Game());
    engine->Game().SetGold(999);
    {
        TestUtil::FileSizeLimit limit(old.size() / 2);
        EXPECT_EQ(CodeOf([&] { engine->SaveGame(std::nullopt, PathOf("keep.vard")); }), 1);
    }
    EXPECT_EQ(FileText(PathOf("keep.vard")), old);
    EXPECT_EQ(TestUtil::FolderNames(m_Folder), std::vector<std::string>{"keep.vard"});
    EXPECT_TRUE(DrainMessages(engine->Game()).empty());
    // A game that the file could not bring back (a member in a party place
    // no party has) is read back before it replaces anything.
    engine->Game().Party().front()->SetPartyIndex(7);
    EXPECT_NE(TestUtil::DetailOf([&] { engine->SaveGame(std::nullopt, PathOf("keep.vard")); })
                  .find("would not load again"),
              std::string::npos);
    engine->Game().Party().front()->SetPartyIndex(0);
    EXPECT_EQ(FileText(PathOf("keep.vard")), old);
    EXPECT_EQ(TestUtil::FolderNames(m_Folder), std::vector<std::string>{"keep.vard"});
    EXPECT_TRUE(DrainMessages(engine->Game()).empty());
    EXPECT_EQ(CodeOf([&] { engine->SaveGame(std::nullopt, PathOf("no/such/folder.vard")); }), 1);
    // A pipe or a link in the save's place is never replaced by the save.
    ASSERT_EQ(mkfifo(PathOf("pipe.vard").c_str(), 0600), 0);
    std::filesystem::create_symlink(PathOf("keep.vard"), PathOf("link.vard"));
    for (const char* name : {"pipe.vard", "link.vard"})
    {
        const auto type = std::filesystem::symlink_status(PathOf(name)).type();
        EXPECT_EQ(CodeOf([&] { engine->SaveGame(std::nullopt, PathOf(name)); }), 1) << name;
        EXPECT_EQ(std::filesystem::symlink_status(PathOf(name)).type(), type) << name;
    }
    EXPECT_EQ(FileText(PathOf("keep.vard")), old);
    EXPECT_EQ(TestUtil::FolderNames(m_Folder),
              (std::vector<std::string>{"keep.vard", "link.vard", "pipe.vard"}));
    if (geteuid() != 0)
    {
        std::filesystem::permissions(m_Folder, std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::owner_exec);
        EXPECT_EQ(CodeOf([&] { engine->SaveGame(std::nullopt, PathOf("keep.vard")); }), 1);
        EXPECT_EQ(FileText(PathOf("keep.vard")), old);
    }
}
