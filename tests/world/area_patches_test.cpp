#include "area_test_util.h"

#include "world/actor_spawn.h"
#include "world/effect_params.h"
#include "world/event.h"
#include "world/patch.h"

#include <algorithm>

using namespace VARD;
using AreaTest::FixtureModule;
using AreaTest::GridArea;
using AreaTest::GridModule;
using AreaTest::MakeActor;
using AreaTest::UniformRows;
using TestUtil::CodeOf;
using TestUtil::ReaderOf;

namespace
{

std::size_t CountEvents(const CGame& game, std::int32_t kind)
{
    return static_cast<std::size_t>(std::count_if(game.GetEvents().begin(), game.GetEvents().end(),
                                                  [kind](const auto& event)
                                                  { return event->GetKind() == kind; }));
}

const CObject* FindObjectNamed(const CArea& area, const std::string& name)
{
    for (const auto& object : area.GetObjects())
        if (object->GetInstanceName() == name)
            return object.get();
    return nullptr;
}

std::size_t CountBearing(const CArea& area, const std::string& name)
{
    std::size_t count = 0;
    for (const auto& actor : area.GetActors())
        count += GetEncounterName(*actor) == name ? 1 : 0;
    return count;
}

CPatchActionEncounter EncounterOf(const std::string& text)
{
    auto reader = ReaderOf(text);
    return CPatchActionEncounter(reader);
}

} // namespace

TEST(AreaPatches, TaggedPatchAppliesOnTheFreshRead)
{
    FixtureModule fixture;
    CGame game;
    game.SetQuestTag("glade_tag", 1);
    SeedRandom(31);
    CArea area(&game);
    area.ReadFile("", "area_full", fixture.Module(), kAreaReadFresh, false);
    EXPECT_EQ(area.GetAppliedPatches(), std::list<std::string>{"glade_open"});
    EXPECT_EQ(area.GetTile(3, 1)->GetMasterTile()->GetTemplate()->GetName(), "flagstone");
    EXPECT_TRUE(area.GetTile(7, 2)->GetDoor()->IsOpen());
    ASSERT_EQ(area.GetOpenDoors().size(), 1u);
    EXPECT_EQ(area.GetOpenDoors().front()->column, 7u);
    EXPECT_EQ(area.GetOpenDoors().front()->row, 2u);
    EXPECT_EQ(FindObjectNamed(area, "glade_chest"), nullptr);
    EXPECT_NE(FindObjectNamed(area, "new_barrel"), nullptr);
    EXPECT_EQ(CountBearing(area, "ambush"), 1u);
    EXPECT_EQ(CountEvents(game, kEventEffect), 1u);
    EXPECT_EQ(CountEvents(game, kEventTilesPatched), 1u);
    const auto* effect = dynamic_cast<const CEffectEvent*>(game.GetEvents().back().get());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->GetEffect(), "sparkle");
    EXPECT_DOUBLE_EQ(effect->GetX(), 5.0);
    EXPECT_DOUBLE_EQ(effect->GetY(), 5.0);
    // The drawing shows the effect in the patch's colour and value.
    ASSERT_NE(effect->GetParams(), nullptr);
    EXPECT_EQ(effect->GetParams()->GetName(), "glow");
    EXPECT_EQ(effect->GetParams()->GetColor(), 0xFF8000u);
    EXPECT_DOUBLE_EQ(effect->GetParams()->GetValue(), 1.5);
}

TEST(AreaPatches, ReapplicationLaysTilesAndDoorsButMakesNoCopies)
{
    FixtureModule fixture;
    CGame game;
    game.SetQuestTag("glade_tag", 1);
    SeedRandom(32);
    CArea area(&game);
    area.ReadFile("", "area_full", fixture.Module(), kAreaReadFresh, false);
    const auto objects = area.GetObjects().size();
    const auto actors = area.GetActors().size();
    game.SetTick(10);
    area.Reset();
    area.Load("", fixture.Module());
    EXPECT_EQ(area.GetTile(3, 1)->GetMasterTile()->GetTemplate()->GetName(), "flagstone");
    EXPECT_TRUE(area.GetTile(7, 2)->GetDoor()->IsOpen());
    EXPECT_EQ(area.GetOpenDoors().size(), 1u);
    EXPECT_EQ(area.GetObjects().size(), objects);
    EXPECT_EQ(area.GetActors().size(), actors);
    EXPECT_EQ(CountEvents(game, kEventEffect), 1u);
    EXPECT_EQ(area.GetAppliedPatches().size(), 1u);
}

TEST(AreaPatches, ClearedTagDropsThePatchOnReset)
{
    FixtureModule fixture;
    CGame game;
    game.SetQuestTag("glade_tag", 1);
    SeedRandom(33);
    CArea area(&game);
    area.ReadFile("", "area_full", fixture.Module(), kAreaReadFresh, false);
    game.SetQuestTag("glade_tag", 0);
    game.SetTick(10);
    area.Reset();
    game.SetTick(10 + 108000);
    area.Load("", fixture.Module());
    EXPECT_TRUE(area.GetAppliedPatches().empty());
    EXPECT_EQ(area.GetTile(3, 1)->GetMasterTile()->GetTemplate()->GetName(), "grass");
    // What it made stays.
    EXPECT_NE(FindObjectNamed(area, "new_barrel"), nullptr);
    // Without reset the patch is applied again whatever its tag says.
    CArea kept(&game);
    game.SetQuestTag("glade_tag", 1);
    kept.ReadFile("", "area_full", fixture.Module(), kAreaReadFresh, false);
    game.SetQuestTag("glade_tag", 0);
    kept.Reset();
    kept.Load("", fixture.Module());
    EXPECT_EQ(kept.GetAppliedPatches().size(), 1u);
    EXPECT_EQ(kept.GetTile(3, 1)->GetMasterTile()->GetTemplate()->GetName(), "flagstone");
}

TEST(AreaPatches, PatchAppliedAnewLeavesItsStandingEncounterAlone)
{
    // The tag cleared, the patch dropped on a reset while its bandit stays;
    // the tag set again, by a script or on the next visit, brings the patch
    // back: the bandit is not placed twice, nor is that an error.
    FixtureModule fixture;
    for (const bool byName : {true, false})
    {
        SCOPED_TRACE(byName ? "by name" : "on the next visit");
        CGame game;
        game.SetQuestTag("glade_tag", 1);
        SeedRandom(33);
        CArea area(&game);
        area.ReadFile("", "area_full", fixture.Module(), kAreaReadFresh, false);
        ASSERT_EQ(CountBearing(area, "ambush"), 1u);
        game.SetQuestTag("glade_tag", 0);
        game.SetTick(10);
        area.Reset();
        game.SetTick(10 + 108000);
        area.Load("", fixture.Module());
        ASSERT_TRUE(area.GetAppliedPatches().empty());
        game.SetQuestTag("glade_tag", 1);
        if (byName)
            area.ApplyPatchByName("glade_open", fixture.Module());
        else
        {
            area.Reset();
            area.Load("", fixture.Module());
        }
        EXPECT_EQ(area.GetAppliedPatches(), std::list<std::string>{"glade_open"});
        EXPECT_EQ(CountBearing(area, "ambush"), 1u);
    }
}

TEST(AreaPatches, ByNameOnlyOnce)
{
    FixtureModule fixture;
    CGame game;
    CArea area(&game);
    area.ReadFile("", "area_full", fixture.Module(), kAreaReadFresh, false);
    const auto objects = area.GetObjects().size();
    area.ApplyPatchByName("glade_open", fixture.Module());
    area.ApplyPatchByName("glade_open", fixture.Module());
    area.ApplyPatchByName("no_such_patch", fixture.Module());
    EXPECT_EQ(area.GetAppliedPatches(), std::list<std::string>{"glade_open"});
    // One chest gone, one barrel come.
    EXPECT_EQ(area.GetObjects().size(), objects);
    EXPECT_EQ(CountEvents(game, kEventEffect), 1u);
}

TEST(AreaPatches, OpenDoorWordsAreCells)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module,
                         "<rows> (2 1) <row> <cell> (floor n) (door n) </cell> (floor n) </row>"
                         " </rows>");
    const auto patchOf = [](const std::string& words)
    {
        auto reader = ReaderOf("<patch> p 0 <opendoor> " + words + " </opendoor> </patch>");
        return CPatch(reader);
    };
    EXPECT_EQ(CodeOf([&] { area->ApplyPatch(patchOf("1 0"), *module, 0, false, false); }), 2);
    EXPECT_EQ(CodeOf([&] { area->ApplyPatch(patchOf("2 0"), *module, 0, false, false); }), 2);
    EXPECT_EQ(CodeOf([&] { area->ApplyPatch(patchOf("0"), *module, 0, false, false); }), 1);
    EXPECT_EQ(CodeOf([&] { area->ApplyPatch(patchOf("door 0"), *module, 0, false, false); }), 1);
    EXPECT_TRUE(area->GetOpenDoors().empty());
    EXPECT_EQ(CountEvents(game, kEventDoorOpened), 0u);
    area->ApplyPatch(patchOf("0 0"), *module, 0, false, false);
    EXPECT_EQ(CountEvents(game, kEventDoorOpened), 1u);
    area->ApplyPatch(patchOf("0 0"), *module, 1, false, true);
    EXPECT_TRUE(area->GetTile(0, 0)->GetDoor()->IsOpen());
    EXPECT_EQ(area->GetOpenDoors().size(), 1u);
    // Opened again on re-application: the screen is told again.
    EXPECT_EQ(CountEvents(game, kEventDoorOpened), 2u);
}

TEST(AreaDoorsOpen, ReopenKeepsOrDropsResetDoors)
{
    auto module = GridModule();
    CGame game;
    const std::string rows = "<rows> (2 1) <row> <cell> (floor n) (gate n) </cell>"
                             " <cell> (floor n) (door n) </cell> </row> </rows>";
    auto area = GridArea(&game, *module, rows);
    area->AddOpenDoor(0, 0);
    area->AddOpenDoor(1, 0);
    area->ReopenDoors(false);
    EXPECT_TRUE(area->GetTile(0, 0)->GetDoor()->IsOpen());
    EXPECT_EQ(area->GetTile(0, 0)->GetDoor()->GetLockValue(), 0u);
    EXPECT_TRUE(area->GetTile(1, 0)->GetDoor()->IsOpen());

    auto fresh = GridArea(&game, *module, rows);
    fresh->AddOpenDoor(0, 0);
    fresh->AddOpenDoor(1, 0);
    fresh->ReopenDoors(true);
    // The gate is marked "reset": it shuts and leaves the list.
    EXPECT_FALSE(fresh->GetTile(0, 0)->GetDoor()->IsOpen());
    EXPECT_EQ(fresh->GetTile(0, 0)->GetDoor()->GetLockValue(), 25u);
    EXPECT_TRUE(fresh->GetTile(1, 0)->GetDoor()->IsOpen());
    ASSERT_EQ(fresh->GetOpenDoors().size(), 1u);
    EXPECT_EQ(fresh->GetOpenDoors().front()->column, 1u);

    auto broken = GridArea(&game, *module, UniformRows(2, 1, "(floor n)"));
    broken->AddOpenDoor(0, 0);
    EXPECT_EQ(CodeOf([&] { broken->ReopenDoors(false); }), 2);
    auto off = GridArea(&game, *module, UniformRows(2, 1, "(floor n)"));
    off->AddOpenDoor(5, 0);
    EXPECT_EQ(CodeOf([&] { off->ReopenDoors(false); }), 2);
}

TEST(AreaEncounters, ModesDecideWhetherTheySpawn)
{
    CGame game;
    auto module = AreaTest::DemoModule();
    CArea area(&game);
    area.SetModule(module.get());
    auto rows = ReaderOf(UniformRows(10, 10, "(grass n)"));
    area.ReadRows(rows, *module);
    SeedRandom(40);
    const auto once = EncounterOf("<encounter> once (5 5) \"\" 0 false wolf </encounter>");
    const auto again = EncounterOf("<encounter> again (5 5) \"\" 0 true wolf wolf </encounter>");
    const auto tagged = EncounterOf("<encounter> again (5 5) \"\" done true wolf </encounter>");

    area.PlaceEncounter(once, *module, kAreaReadFresh, false);
    EXPECT_EQ(CodeOf([&] { area.PlaceEncounter(once, *module, kAreaReadFresh, false); }), 1);
    area.PlaceEncounter(once, *module, kAreaReadLayout, true);
    EXPECT_EQ(CountBearing(area, "once"), 1u);

    area.PlaceEncounter(again, *module, kAreaReadLayout, false);
    EXPECT_EQ(CountBearing(area, "again"), 2u);
    const auto first = area.GetActors().back();
    // Still standing: nothing new without reset; with reset they are replaced.
    area.PlaceEncounter(again, *module, kAreaReadLayout, false);
    EXPECT_EQ(CountBearing(area, "again"), 2u);
    area.PlaceEncounter(again, *module, kAreaReadLayout, true);
    EXPECT_EQ(CountBearing(area, "again"), 2u);
    EXPECT_NE(area.GetActors().back(), first);
    // A saved area brings its own actors.
    area.PlaceEncounter(again, *module, kAreaReadSavedCurrent, true);
    EXPECT_EQ(CountBearing(area, "again"), 2u);

    // Its tag set, the encounter is gone for good.
    game.SetQuestTag("done", 1);
    area.PlaceEncounter(tagged, *module, kAreaReadLayout, false);
    EXPECT_EQ(CountBearing(area, "again"), 0u);
    EXPECT_EQ(CountBearing(area, "once"), 1u);
}

TEST(AreaEncounters, PartyMembersBearNamesToo)
{
    CGame game;
    auto module = AreaTest::DemoModule();
    CArea area(&game);
    area.SetModule(module.get());
    auto rows = ReaderOf(UniformRows(4, 4, "(grass n)"));
    area.ReadRows(rows, *module);
    auto joined = MakeActor(game, 0, 0, 1.0);
    joined->SetFurtherWord(kEncounterNameWord, "wolves");
    game.Party().push_back(joined);
    const auto wolves = EncounterOf("<encounter> wolves (1 1) \"\" 0 true wolf </encounter>");
    area.PlaceEncounter(wolves, *module, kAreaReadLayout, false);
    EXPECT_TRUE(area.GetActors().empty());
    EXPECT_EQ(CodeOf([&] { area.PlaceEncounter(wolves, *module, kAreaReadFresh, false); }), 1);
}

TEST(AreaEncounters, NoRoomIsCodeTwo)
{
    CGame game;
    auto module = AreaTest::DemoModule();
    CArea area(&game);
    area.SetModule(module.get());
    auto rows = ReaderOf(UniformRows(3, 3, "(grass n)"));
    area.ReadRows(rows, *module);
    area.AddActor(MakeActor(game, 3.75, 3.75, 10.0));
    const auto pack = EncounterOf("<encounter> pack (1 1) \"\" 0 false wolf </encounter>");
    SeedRandom(41);
    EXPECT_EQ(CodeOf([&] { area.PlaceEncounter(pack, *module, kAreaReadFresh, false); }), 2);
}

TEST(AreaObjects, RecordsMakeObjectsWithItems)
{
    CGame game;
    auto module = AreaTest::DemoModule();
    CArea area(&game);
    area.SetGridSize(4, 4);
    auto reader = ReaderOf("<object> (chest box) (3 4) w 12 <items> (gold 7) (dagger 1) </items>"
                           " </object>");
    const CPatchActionObject record(reader);
    auto object = area.CreateObjectFromRecord(record, *module);
    ASSERT_EQ(area.GetObjects().size(), 1u);
    EXPECT_EQ(area.GetObjects()[0], object);
    EXPECT_EQ(object->GetInstanceName(), "box");
    EXPECT_EQ(object->GetDefinitionName(), "chest");
    EXPECT_EQ(object->GetFacing(), 3);
    EXPECT_EQ(object->GetLockValue(), 12u);
    EXPECT_DOUBLE_EQ(object->GetY(), 4.0);
    ASSERT_EQ(object->GetItems().size(), 2u);
    EXPECT_EQ(object->GetItems()[0]->GetValue1(), 7u);
    EXPECT_EQ(area.FindObjectById(object->Id()), object.get());

    auto bad = ReaderOf("<object> throne (3 4) n 0 </object>");
    const CPatchActionObject throne(bad);
    EXPECT_EQ(CodeOf([&] { area.CreateObjectFromRecord(throne, *module); }), 1);
}

TEST(AreaObjects, PilesAndRemovals)
{
    CGame game;
    auto module = AreaTest::DemoModule();
    CArea area(&game);
    EXPECT_EQ(CodeOf([&] { area.CreatePile(1.0, 2.0); }), 2);
    area.SetModule(module.get());
    auto pile = area.CreatePile(1.0, 2.0);
    EXPECT_TRUE(pile->IsPile());
    EXPECT_EQ(pile->GetInstanceName(), "");
    EXPECT_EQ(pile->GetFacing(), 0);
    EXPECT_DOUBLE_EQ(pile->GetX(), 1.0);
    EXPECT_EQ(ThingKindOf(pile->Id()), kThingKindObject);
    area.RemoveObject(pile.get());
    EXPECT_TRUE(area.GetObjects().empty());
    EXPECT_EQ(CodeOf([&] { area.RemoveObject(pile.get()); }), 2);

    auto noPiles = std::make_shared<CModule>();
    CArea bare(&game);
    bare.SetModule(noPiles.get());
    EXPECT_EQ(CodeOf([&] { bare.CreatePile(0, 0); }), 1);
}

TEST(AreaActors, RemovalUnlinksTargets)
{
    CGame game;
    CArea area(&game);
    auto hunter = MakeActor(game, 0, 0, 1.0);
    auto prey = MakeActor(game, 1, 1, 1.0);
    area.AddActor(hunter);
    area.AddActor(prey);
    hunter->SetCurrentTarget(0, prey.get());
    prey->SetCurrentTarget(0, hunter.get());
    const auto removed = area.RemoveActor(prey.get());
    EXPECT_EQ(removed, prey);
    EXPECT_EQ(area.GetActors().size(), 1u);
    EXPECT_EQ(hunter->GetCurrentTarget(), nullptr);
    EXPECT_TRUE(hunter->GetTargetedBy().empty());
    EXPECT_EQ(prey->GetCurrentTarget(), nullptr);
    EXPECT_EQ(CodeOf([&] { area.RemoveActor(prey.get()); }), 2);
    EXPECT_EQ(area.FindActorById(hunter->Id()), hunter.get());
    EXPECT_EQ(area.FindActorById(prey->Id()), nullptr);
}

TEST(DemoPatches, FreeingTheTempleChangesTheCrypt)
{
    CGame game;
    game.SetQuestTag("temple_key_returned", 1);
    SeedRandom(42);
    auto module = AreaTest::DemoModule();
    CArea crypt(&game);
    crypt.ReadFile("", "crypt", *module, kAreaReadFresh, false);
    EXPECT_EQ(crypt.GetAppliedPatches(), std::list<std::string>{"temple_freed"});
    EXPECT_EQ(crypt.GetCellKind(5, 10), kTileKindFloor);
    EXPECT_TRUE(crypt.GetTile(2, 8)->GetDoor()->IsOpen());
    EXPECT_EQ(FindObjectNamed(crypt, "cult_barrels"), nullptr);
    EXPECT_NE(FindObjectNamed(crypt, "crypt_shrine"), nullptr);
    EXPECT_EQ(CountEvents(game, kEventEffect), 1u);
}
