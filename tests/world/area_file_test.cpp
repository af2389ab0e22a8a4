#include "area_test_util.h"

#include "world/actor_spawn.h"
#include "world/modifier.h"
#include "world/patch.h"
#include "world/script_record.h"
#include "world/spell.h"

using namespace VARD;
using AreaTest::FixtureModule;
using TestUtil::CodeOf;
using TestUtil::DetailOf;

namespace
{

std::unique_ptr<CArea> ReadArea(CGame& game, const FixtureModule& fixture, const std::string& name,
                                int mode, const std::string& previous = std::string())
{
    auto area = std::make_unique<CArea>(&game);
    area->ReadFile(previous, name, fixture.Module(), mode, false);
    return area;
}

std::vector<std::string> MessagesOf(const CGame& game)
{
    std::vector<std::string> texts;
    for (const auto& event : game.GetEvents())
        if (const auto* message = dynamic_cast<const CMessageEvent*>(event.get()))
            texts.push_back(message->GetText());
    return texts;
}

std::size_t ExitMarkers(const CArea& area)
{
    std::size_t count = 0;
    for (const auto& object : area.GetObjects())
        count += object->IsExit() ? 1 : 0;
    return count;
}

} // namespace

// ------------------------------------------------------------ mode 0

TEST(AreaFile, FreshReadTakesEverySection)
{
    FixtureModule fixture;
    CGame game;
    SeedRandom(2);
    auto area = ReadArea(game, fixture, "area_full", kAreaReadFresh);
    EXPECT_EQ(area->GetName(), "area_full");
    EXPECT_EQ(area->GetTitle(), "Test Glade");
    EXPECT_TRUE(area->GetLightingFlag());

    ASSERT_EQ(area->GetSkies().size(), 2u);
    EXPECT_EQ(area->GetSkies().back()->GetName(), "sky_b");
    EXPECT_EQ(area->GetSkies().back()->GetValues(), (std::array<double, 4>{5.0, 6.0, 7.0, 8.5}));
    ASSERT_EQ(area->GetSounds().size(), 2u);
    const CAreaSoundInfo& brook = *area->GetSounds().front();
    EXPECT_TRUE(brook.HasRegion());
    EXPECT_DOUBLE_EQ(brook.GetX1(), 2.5);
    EXPECT_DOUBLE_EQ(brook.GetY1(), 2.5);
    EXPECT_DOUBLE_EQ(brook.GetX2(), 7.5);
    EXPECT_DOUBLE_EQ(brook.GetY2(), 5.0);
    EXPECT_FALSE(area->GetSounds().back()->HasRegion());

    EXPECT_EQ(area->GetWidth(), 8u);
    EXPECT_EQ(area->GetHeight(), 6u);
    EXPECT_EQ(area->GetCellKind(3, 3), kTileKindEmpty);
    EXPECT_EQ(area->GetCellKind(7, 2), kTileKindDoor);
    EXPECT_EQ(area->GetCellKind(2, 0), kTileKindSolid);

    // Two objects of the file and a marker for each exit.
    ASSERT_EQ(area->GetObjects().size(), 4u);
    const CObject& chest = *area->GetObjects()[0];
    EXPECT_EQ(chest.GetInstanceName(), "glade_chest");
    EXPECT_EQ(chest.GetFacing(), 1);
    EXPECT_EQ(chest.GetLockValue(), 7u);
    ASSERT_EQ(chest.GetItems().size(), 2u);
    EXPECT_EQ(ThingKindOf(chest.GetItems()[1]->Id()), kThingKindItem);
    EXPECT_EQ(chest.GetItems()[1]->GetValue1(), 2u);
    EXPECT_EQ(ExitMarkers(*area), 2u);
    const CObject& marker = *area->GetObjects()[2];
    EXPECT_TRUE(marker.IsExit());
    EXPECT_EQ(marker.GetInstanceName(), "");
    EXPECT_EQ(marker.GetExitText(), "To town");
    EXPECT_DOUBLE_EQ(marker.GetX(), 16.25);
    EXPECT_DOUBLE_EQ(marker.GetY(), 3.75);
    EXPECT_EQ(ThingKindOf(marker.Id()), kThingKindObject);

    ASSERT_EQ(area->GetActors().size(), 3u);
    EXPECT_EQ(GetEncounterName(*area->GetActors()[0]), "pack");
    EXPECT_EQ(GetEncounterName(*area->GetActors()[2]), "lone");
    EXPECT_EQ(area->GetActors()[2]->GetSecondText(), "rat_text");
    EXPECT_EQ(area->GetActors()[0]->GetSecondText(), "A grey wolf, lean from a long winter.");

    ASSERT_EQ(area->GetEntries().size(), 2u);
    EXPECT_EQ(area->GetEntries()[0]->GetName(), "west");
    EXPECT_EQ(area->GetEntries()[0]->GetText(), "The west path");
    EXPECT_EQ(area->GetEntries()[0]->GetScript(), nullptr);
    EXPECT_EQ(area->GetEntries()[1]->GetColumn(), 4u);
    EXPECT_NE(area->GetEntries()[1]->GetScript(), nullptr);

    ASSERT_EQ(area->GetExits().size(), 2u);
    const CAreaExit& toTown = *area->GetExits()[0];
    EXPECT_DOUBLE_EQ(toTown.GetX(), 16.25);
    EXPECT_DOUBLE_EQ(toTown.GetY(), 3.75);
    EXPECT_EQ(toTown.GetRequiredTag(), "town_pass");
    EXPECT_EQ(toTown.GetTargetArea(), "town");
    EXPECT_EQ(toTown.GetTargetEntry(), "gate");
    EXPECT_EQ(toTown.GetScript(), nullptr);
    const CAreaExit& away = *area->GetExits()[1];
    EXPECT_DOUBLE_EQ(away.GetX(), 3.75);
    EXPECT_DOUBLE_EQ(away.GetY(), 11.25);
    EXPECT_EQ(away.GetRequiredTag(), "");
    EXPECT_EQ(away.GetTargetArea(), "worldmap");
    EXPECT_EQ(away.GetTargetEntry(), "");
    EXPECT_NE(away.GetScript(), nullptr);

    ASSERT_EQ(area->GetPatches().size(), 2u);
    EXPECT_EQ(area->GetPatches()[0]->GetActions().size(), 6u);
    EXPECT_TRUE(area->GetAppliedPatches().empty());
    EXPECT_EQ(area->FindEntry("south"), area->GetEntries()[1].get());
    EXPECT_EQ(area->FindExit("nowhere"), nullptr);
}

// ------------------------------------------------------------ modes 1 to 3

TEST(AreaFile, LayoutReadKeepsWhatIsHeld)
{
    FixtureModule fixture;
    CGame game;
    auto area = ReadArea(game, fixture, "area_full", kAreaReadLayout);
    EXPECT_TRUE(area->GetSkies().empty());
    EXPECT_TRUE(area->GetSounds().empty());
    EXPECT_TRUE(area->GetObjects().empty());
    EXPECT_EQ(area->GetWidth(), 8u);
    EXPECT_EQ(area->GetEntries().size(), 2u);
    EXPECT_EQ(area->GetExits().size(), 2u);
    EXPECT_EQ(area->GetPatches().size(), 2u);
    // Only the respawning encounter comes back.
    ASSERT_EQ(area->GetActors().size(), 2u);
    for (const auto& actor : area->GetActors())
        EXPECT_EQ(GetEncounterName(*actor), "pack");
}

TEST(AreaFile, SavedCurrentAreaTakesNoObjectsOrEncounters)
{
    FixtureModule fixture;
    CGame game;
    auto area = ReadArea(game, fixture, "area_full", kAreaReadSavedCurrent);
    EXPECT_EQ(area->GetSkies().size(), 2u);
    EXPECT_EQ(area->GetSounds().size(), 2u);
    EXPECT_EQ(area->GetWidth(), 8u);
    EXPECT_TRUE(area->GetObjects().empty());
    EXPECT_TRUE(area->GetActors().empty());
    EXPECT_EQ(area->GetEntries().size(), 2u);
    EXPECT_EQ(area->GetPatches().size(), 2u);
}

TEST(AreaFile, OtherSavedAreaKeepsHeaderSkiesAndSounds)
{
    FixtureModule fixture;
    CGame game;
    auto area = ReadArea(game, fixture, "area_full", kAreaReadSavedOther);
    EXPECT_EQ(area->GetTitle(), "Test Glade");
    EXPECT_EQ(area->GetSkies().size(), 2u);
    EXPECT_EQ(area->GetSounds().size(), 2u);
    EXPECT_EQ(area->GetWidth(), 0u);
    EXPECT_EQ(area->GetHeight(), 0u);
    EXPECT_TRUE(area->GetTiles().empty());
    EXPECT_TRUE(area->GetEntries().empty());
    EXPECT_TRUE(area->GetExits().empty());
    EXPECT_TRUE(area->GetPatches().empty());
    EXPECT_TRUE(area->GetObjects().empty());
    EXPECT_TRUE(area->GetActors().empty());
}

TEST(AreaFile, OptionalSectionsMayBeLeftOutInEveryMode)
{
    FixtureModule fixture;
    for (int mode = kAreaReadFresh; mode <= kAreaReadSavedOther; ++mode)
    {
        CGame game;
        std::unique_ptr<CArea> area;
        ASSERT_NO_THROW(area = ReadArea(game, fixture, "area_bare", mode, "town")) << mode;
        EXPECT_EQ(area->GetTitle(), "Bare Room");
        EXPECT_FALSE(area->GetLightingFlag());
        EXPECT_EQ(area->GetWidth(), mode == kAreaReadSavedOther ? 0u : 3u);
        EXPECT_TRUE(game.GetEvents().empty());
    }
}

// Each optional section on its own may be missing, in every mode: a section is
// skipped only when it is there.
TEST(AreaFile, EachOptionalSectionMayBeMissingInEveryMode)
{
    FixtureModule fixture;
    const std::string head = "<area> \"A\" false <rows> (1 1) <row> (grass n) </row> </rows> ";
    const std::string tail = " <entries> </entries> <exits> </exits> ";
    fixture.Put("rev4_no_objects.vard",
                head + "<encounters> </encounters>" + tail + "<patches> </patches> </area>");
    fixture.Put("rev4_no_encounters.vard",
                head + "<objects> </objects>" + tail + "<patches> </patches> </area>");
    fixture.Put("rev4_no_patches.vard",
                head + "<objects> </objects> <encounters> </encounters>" + tail + "</area>");
    for (const char* name : {"rev4_no_objects", "rev4_no_encounters", "rev4_no_patches"})
    {
        for (int mode = kAreaReadFresh; mode <= kAreaReadSavedOther; ++mode)
        {
            SCOPED_TRACE(std::string(name) + " mode " + std::to_string(mode));
            CGame game;
            CArea area(&game);
            EXPECT_EQ(CodeOf([&] { area.ReadFile("", name, fixture.Module(), mode, false); }), -1);
        }
    }
}

TEST(AreaFile, MissingSectionsAndBadRecordsAreCodeOne)
{
    FixtureModule fixture;
    const std::string rows = "<rows> (1 1) <row> (grass n) </row> </rows>";
    const struct
    {
        const char* name;
        std::string text;
        const char* detail;
    } cases[] = {
        {"no_entries", "<area> \"A\" true " + rows + " <exits> </exits> </area>", "<entries>"},
        {"no_rows", "<area> \"A\" true <entries> </entries> <exits> </exits> </area>", "<rows>"},
        {"entry_cell",
         "<area> \"A\" true " + rows +
             " <entries> <entry> e \"E\" 0 0 0 </entry> </entries> <exits> </exits>"
             " </area>",
         "pair of column and row"},
        {"exit_cell",
         "<area> \"A\" true " + rows +
             " <entries> </entries> <exits> <exit> x \"X\" 0 0 town 0 </exit>"
             " </exits> </area>",
         "pair of column and row"},
        {"no_definition",
         "<area> \"A\" true " + rows +
             " <objects> <object> altar (1 1) n 0 </object> </objects>"
             " <entries> </entries> <exits> </exits> </area>",
         "altar"},
        {"no_monster",
         "<area> \"A\" true " + rows +
             " <encounters> <encounter> e (0 0) \"\" 0 false dragon </encounter>"
             " </encounters> <entries> </entries> <exits> </exits> </area>",
         "dragon"},
        {"twice",
         "<area> \"A\" true " + rows +
             " <encounters> <encounter> e (0 0) \"\" 0 false wolf </encounter>"
             " <encounter> e (0 0) \"\" 0 false wolf </encounter>"
             " </encounters> <entries> </entries> <exits> </exits> </area>",
         "placed twice"},
        {"sound_corner",
         "<area> \"A\" true <sounds> <sound> \"s\" 1 2 </sound> </sounds> " + rows +
             " <entries> </entries> <exits> </exits> </area>",
         "corners"},
        {"travel_word",
         "<area> \"A\" true <travel> (town many) </travel> " + rows +
             " <entries> </entries> <exits> </exits> </area>",
         "unsigned"},
        {"no_end", "<area> \"A\" true " + rows + " <entries> </entries> <exits> </exits>",
         "</area>"},
        // A place that is not a number, or far off the 1 x 1 grid, would put
        // the object nowhere; its edge is still on the grid.
        {"object_nan",
         "<area> \"A\" true " + rows +
             " <objects> <object> chest (nan 1) n 0 </object> </objects>"
             " <entries> </entries> <exits> </exits> </area>",
         "off the grid"},
        {"object_far",
         "<area> \"A\" true " + rows +
             " <objects> <object> chest (1 1e308) n 0 </object> </objects>"
             " <entries> </entries> <exits> </exits> </area>",
         "off the grid"},
        {"object_past_edge",
         "<area> \"A\" true " + rows +
             " <objects> <object> chest (2.5 -inf) n 0 </object> </objects>"
             " <entries> </entries> <exits> </exits> </area>",
         "bad_object_past_edge.vard, line 1: object \"chest\" at (2.5, -inf)"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        fixture.Put(std::string("bad_") + c.name + ".vard", c.text);
        CGame game;
        CArea area(&game);
        const auto call = [&] {
            area.ReadFile("forest", std::string("bad_") + c.name, fixture.Module(), kAreaReadFresh,
                          false);
        };
        EXPECT_EQ(CodeOf(call), 1);
        EXPECT_NE(DetailOf(call).find(c.detail), std::string::npos) << DetailOf(call);
    }
    fixture.Put("edge_object.vard", "<area> \"A\" true " + rows +
                                        " <objects> <object> chest (2.5 0) n 0 </object> </objects>"
                                        " <entries> </entries> <exits> </exits> </area>");
    CGame edgeGame;
    CArea edge(&edgeGame);
    edge.ReadFile("", "edge_object", fixture.Module(), kAreaReadFresh, false);
    EXPECT_EQ(edge.Objects().size(), 1u);

    CGame game;
    CArea area(&game);
    EXPECT_EQ(CodeOf([&] { area.ReadFile("", "no_such_area", fixture.Module(), 0, false); }), 1);
    EXPECT_EQ(CodeOf([&] { area.ReadFile("", "area_bare", fixture.Module(), 4, false); }), 2);
}

// ------------------------------------------------------------ travel

TEST(AreaTravel, JourneyMessages)
{
    EXPECT_EQ(CArea::JourneyMessage(1), "Your journey takes 1 hours.");
    EXPECT_EQ(CArea::JourneyMessage(24), "Your journey takes 24 hours.");
    EXPECT_EQ(CArea::JourneyMessage(25), "Your journey takes 1 days and 1 hours.");
    EXPECT_EQ(CArea::JourneyMessage(30), "Your journey takes 1 days and 6 hours.");
    EXPECT_EQ(CArea::JourneyMessage(48), "Your journey takes 2 days.");
    EXPECT_EQ(CArea::JourneyMessage(49), "Your journey takes 2 days and 1 hours.");
}

TEST(AreaTravel, ThePreviousAreaChoosesTheHours)
{
    FixtureModule fixture;
    const struct
    {
        const char* previous;
        std::uint32_t hours;
    } cases[] = {{"town", 30}, {"forest", 5}, {"crypt", 0}, {"", 0}, {"area_full", 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.previous);
        CGame game;
        game.SetTick(1000);
        auto area = ReadArea(game, fixture, "area_full", kAreaReadSavedOther, c.previous);
        EXPECT_EQ(game.GetTick(), 1000u + c.hours * 108000u);
        const auto messages = MessagesOf(game);
        if (c.hours == 0)
        {
            EXPECT_TRUE(messages.empty());
            continue;
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], CArea::JourneyMessage(c.hours));
        EXPECT_EQ(game.GetEvents().front()->GetKind(), kMessageInfo);
    }
}

// A matching pair wins wherever it stands; "default" counts only until one
// has matched; with neither, the journey takes no time.
TEST(AreaTravel, MatchWinsOverDefaultsAroundIt)
{
    FixtureModule fixture;
    const std::string rest = " <rows> (1 1) <row> (grass n) </row> </rows> <entries> </entries>"
                             " <exits> </exits> </area>";
    fixture.Put("rev4_defaults.vard",
                "<area> \"A\" true <travel> (default 5) (town 30) (default 7) </travel>" + rest);
    fixture.Put("rev4_no_default.vard",
                "<area> \"B\" true <travel> (town 30) (crypt 2) </travel>" + rest);
    const struct
    {
        const char* area;
        const char* previous;
        std::uint32_t hours;
    } cases[] = {{"rev4_defaults", "town", 30},
                 {"rev4_defaults", "forest", 7},
                 {"rev4_no_default", "forest", 0},
                 {"rev4_no_default", "crypt", 2}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.area) + " from " + c.previous);
        CGame game;
        auto area = ReadArea(game, fixture, c.area, kAreaReadFresh, c.previous);
        EXPECT_EQ(game.GetTick(), c.hours * 108000u);
        EXPECT_EQ(MessagesOf(game).size(), c.hours == 0 ? 0u : 1u);
    }
}

// ------------------------------------------------------------ sounds

TEST(AreaSounds, ObjectsThenRegionsThenTheWholeArea)
{
    FixtureModule fixture;
    CGame game;
    auto area = ReadArea(game, fixture, "area_full", kAreaReadFresh);
    std::string name;
    // The campfire's box reaches 10 units around (16.25, 11.25).
    ASSERT_TRUE(area->FindSoundAt(19.0, 14.0, name));
    EXPECT_EQ(name, "fire.wav");
    ASSERT_TRUE(area->FindSoundAt(2.5, 2.5, name));
    EXPECT_EQ(name, "brook.wav");
    ASSERT_TRUE(area->FindSoundAt(3.0, 14.0, name));
    EXPECT_EQ(name, "wind.wav");
    CArea silent(&game);
    EXPECT_FALSE(silent.FindSoundAt(1.0, 1.0, name));
}

// ------------------------------------------------------------ leaving and returning

TEST(AreaLoad, ResetDropsTheLayoutAndStopsActors)
{
    FixtureModule fixture;
    CGame game;
    auto area = ReadArea(game, fixture, "area_full", kAreaReadFresh);
    const auto actors = area->GetActors();
    const auto objects = area->GetObjects().size();
    game.SetTick(5000);
    area->Reset();
    EXPECT_EQ(area->GetWidth(), 0u);
    EXPECT_TRUE(area->GetTiles().empty());
    EXPECT_TRUE(area->GetMasterTiles().empty());
    EXPECT_TRUE(area->GetEntries().empty());
    EXPECT_TRUE(area->GetExits().empty());
    EXPECT_TRUE(area->GetPatches().empty());
    EXPECT_EQ(area->GetSkies().size(), 2u);
    EXPECT_EQ(area->GetObjects().size(), objects);
    EXPECT_EQ(area->GetActors(), actors);
    EXPECT_EQ(area->GetTileTracker().GetWidth(), 8u);
    EXPECT_EQ(area->GetLastVisitTick(), 5000u);
    for (const auto& actor : actors)
        EXPECT_TRUE(actor->IsInterrupted());
}

TEST(AreaLoad, ResetIsDueAfterAnHourAway)
{
    EXPECT_FALSE(CArea::IsResetDue(0, 500000));
    EXPECT_FALSE(CArea::IsResetDue(100, 100 + 107999));
    EXPECT_TRUE(CArea::IsResetDue(100, 100 + 108000));
    EXPECT_FALSE(CArea::IsResetDue(200000, 100));
}

TEST(AreaLoad, ReturningRebuildsTheLayoutOnly)
{
    FixtureModule fixture;
    CGame game;
    SeedRandom(12);
    auto area = ReadArea(game, fixture, "area_full", kAreaReadFresh);
    const auto objects = area->GetObjects();
    game.SetTick(100);
    area->Reset();
    game.SetTick(200);
    area->Load("area_full", fixture.Module());
    EXPECT_EQ(area->GetWidth(), 8u);
    EXPECT_EQ(area->GetEntries().size(), 2u);
    EXPECT_EQ(area->GetExits().size(), 2u);
    EXPECT_EQ(area->GetObjects(), objects);
    EXPECT_EQ(area->GetSkies().size(), 2u);
    // The pack still stands, so it does not come again.
    EXPECT_EQ(area->GetActors().size(), 3u);
    EXPECT_TRUE(game.GetEvents().empty());
}

TEST(AreaLoad, ReturningAfterLongRespawnsAndCalms)
{
    FixtureModule fixture;
    CGame game;
    SeedRandom(13);
    auto area = ReadArea(game, fixture, "area_full", kAreaReadFresh);
    CActor* rat = area->GetActors()[2].get();
    ASSERT_EQ(rat->GetTemplateName(), "giant_rat");
    rat->SetAttitude(kAttitudeFriendly);
    const CSpell* sneak = fixture.Module().FindSpell("s_power-sneak");
    ASSERT_TRUE(rat->ActivatePower(*sneak, 0));
    rat->AddModifier(std::make_shared<CModifier>("Blessed", 0, 4, 5, 0, 1, false));
    game.SetTick(100);
    area->Reset();
    game.SetTick(100 + 108000);
    area->Load("town", fixture.Module());
    // Reset: the pack is spawned anew, the rat stays but is calmed to the
    // side its brain starts from, waiting for the party to come near.
    ASSERT_EQ(area->GetActors().size(), 3u);
    EXPECT_EQ(area->GetActors()[0].get(), rat);
    EXPECT_TRUE(rat->GetModifiers().empty());
    EXPECT_EQ(rat->GetAttitude(), kAttitudeNeutral);
    // And the journey from town took its time.
    EXPECT_EQ(game.GetTick(), 100u + 108000u + 30u * 108000u);
}
