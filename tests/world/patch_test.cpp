#include "world/patch.h"

#include "record_test_util.h"
#include "world/effect_params.h"

#include <gtest/gtest.h>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;

namespace
{

CPatch FixturePatch()
{
    auto reader = FixtureReader("records_patches.vard");
    CPatch patch(reader);
    EXPECT_TRUE(reader.IsAtEnd());
    return patch;
}

template <typename T> const T& ActionAs(const CPatch& patch, std::size_t index)
{
    const auto* action = dynamic_cast<const T*>(patch.GetActions().at(index).get());
    if (action == nullptr)
        throw std::runtime_error("action " + std::to_string(index) + " has another class");
    return *action;
}

// One action read on its own.
std::shared_ptr<CPatchAction> ActionOf(const std::string& text)
{
    auto reader = ReaderOf(text);
    auto action = ReadPatchAction(reader);
    EXPECT_TRUE(reader.IsAtEnd()) << "left at " << reader.GetCurrentWord();
    return action;
}

} // namespace

TEST(Patch, NameTagAndActionKindsInFileOrder)
{
    const CPatch patch = FixturePatch();
    EXPECT_EQ(patch.GetName(), "bridge_fixed");
    EXPECT_EQ(patch.GetTag(), "bridge_tag");
    std::vector<std::int32_t> kinds;
    for (const auto& action : patch.GetActions())
        kinds.push_back(action->GetKind());
    EXPECT_EQ(kinds, (std::vector<std::int32_t>{0, 1, 1, 1, 2, 3, 4, 5}));
}

TEST(Patch, RemoveObject)
{
    const CPatch patch = FixturePatch();
    EXPECT_EQ(ActionAs<CPatchActionRemoveObject>(patch, 0).GetObjectName(), "broken_bridge");
}

TEST(Patch, ObjectWithNameAndItems)
{
    const CPatch patch = FixturePatch();
    const auto& object = ActionAs<CPatchActionObject>(patch, 1);
    EXPECT_EQ(object.GetDefinitionName(), "chest");
    EXPECT_EQ(object.GetObjectName(), "treasure_chest");
    EXPECT_DOUBLE_EQ(object.GetX(), 12.5);
    EXPECT_DOUBLE_EQ(object.GetY(), 7.5);
    EXPECT_EQ(object.GetFacing(), 2u);
    EXPECT_EQ(object.GetLockValue(), 40u);
    EXPECT_EQ(object.GetItems(),
              (std::vector<std::pair<std::string, std::uint32_t>>{{"gold", 25}, {"sword", 0}}));
}

TEST(Patch, ObjectOfOneWordHasNoName)
{
    const CPatch patch = FixturePatch();
    const auto& barrel = ActionAs<CPatchActionObject>(patch, 2);
    EXPECT_EQ(barrel.GetDefinitionName(), "barrel");
    EXPECT_EQ(barrel.GetObjectName(), "");
    EXPECT_DOUBLE_EQ(barrel.GetX(), 3.0);
    EXPECT_DOUBLE_EQ(barrel.GetY(), 4.0);
    EXPECT_EQ(barrel.GetFacing(), 3u) << "the short key w";
    EXPECT_TRUE(barrel.GetItems().empty());

    // A null object name in the pair is empty; a word that is no direction gives 4.
    const auto& crate = ActionAs<CPatchActionObject>(patch, 3);
    EXPECT_EQ(crate.GetDefinitionName(), "crate");
    EXPECT_EQ(crate.GetObjectName(), "");
    EXPECT_EQ(crate.GetFacing(), 4u);
    EXPECT_EQ(crate.GetLockValue(), 7u);
}

TEST(Patch, Encounter)
{
    const CPatch patch = FixturePatch();
    const auto& encounter = ActionAs<CPatchActionEncounter>(patch, 4);
    EXPECT_EQ(encounter.GetEncounterName(), "bandits");
    EXPECT_EQ(encounter.GetColumn(), 4u);
    EXPECT_EQ(encounter.GetRow(), 5u);
    EXPECT_EQ(encounter.GetText(), "Bandits wait by the road.");
    EXPECT_EQ(encounter.GetTagName(), "bandits_dead");
    EXPECT_TRUE(encounter.GetRespawn());
    EXPECT_EQ(encounter.GetMonsters(),
              (std::vector<std::pair<std::string, std::string>>{
                  {"bandit", "chief_guard"}, {"bandit_chief", ""}, {"bandit", ""}}));
}

TEST(Patch, EncounterWithoutTagOrMonsters)
{
    const auto action = ActionOf("<encounter> e 1 2 \"\" 0 false </encounter>");
    const auto& encounter = dynamic_cast<const CPatchActionEncounter&>(*action);
    EXPECT_EQ(encounter.GetKind(), kPatchActionEncounter);
    EXPECT_EQ(encounter.GetColumn(), 1u);
    EXPECT_EQ(encounter.GetRow(), 2u);
    EXPECT_EQ(encounter.GetText(), "");
    EXPECT_EQ(encounter.GetTagName(), "");
    EXPECT_FALSE(encounter.GetRespawn());
    EXPECT_TRUE(encounter.GetMonsters().empty());
}

TEST(Patch, Tiles)
{
    const CPatch patch = FixturePatch();
    const auto& tiles = ActionAs<CPatchActionTiles>(patch, 5).GetTiles();
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_EQ(tiles[0]->column, 2u);
    EXPECT_EQ(tiles[0]->row, 3u);
    EXPECT_EQ(tiles[0]->tileName, "bridge");
    EXPECT_EQ(tiles[0]->orientation, 1u);
    EXPECT_EQ(tiles[1]->column, 4u);
    EXPECT_EQ(tiles[1]->row, 5u);
    EXPECT_EQ(tiles[1]->tileName, "floor_stone");
    EXPECT_EQ(tiles[1]->orientation, 0u);
    EXPECT_EQ(tiles[2]->column, 6u);
    EXPECT_EQ(tiles[2]->row, 7u);
    EXPECT_EQ(tiles[2]->tileName, "wall");
    EXPECT_EQ(tiles[2]->orientation, 4u);
}

TEST(Patch, Effect)
{
    const CPatch patch = FixturePatch();
    const auto& effect = ActionAs<CPatchActionEffect>(patch, 6);
    EXPECT_EQ(effect.GetEffectName(), "sparkle");
    EXPECT_DOUBLE_EQ(effect.GetX(), 10.0);
    EXPECT_DOUBLE_EQ(effect.GetY(), 11.5);
    ASSERT_NE(effect.GetParams(), nullptr);
    EXPECT_EQ(effect.GetParams()->GetName(), "glow");
    EXPECT_EQ(effect.GetParams()->GetColor(), 0x00FF8000u);
    EXPECT_DOUBLE_EQ(effect.GetParams()->GetValue(), 1.5);
}

TEST(Patch, OpenDoor)
{
    const CPatch patch = FixturePatch();
    const auto& door = ActionAs<CPatchActionOpenDoor>(patch, 7);
    EXPECT_EQ(door.GetKind(), kPatchActionOpenDoor);
    // A door word "0" is an empty word, as every string of a patch record.
    EXPECT_EQ(door.GetDoorWords(), (std::vector<std::string>{"3", "", "door_a"}));
}

TEST(Patch, PatchWithoutActions)
{
    auto reader = ReaderOf("<patch> 0 0 </patch>");
    const CPatch patch(reader);
    EXPECT_EQ(patch.GetName(), "");
    EXPECT_EQ(patch.GetTag(), "");
    EXPECT_TRUE(patch.GetActions().empty());
}

struct BadPatch
{
    const char* name;
    const char* text;
};

class PatchRefused : public ::testing::TestWithParam<BadPatch>
{
};

TEST_P(PatchRefused, WithCode1)
{
    auto reader = ReaderOf(GetParam().text);
    EXPECT_EQ(CodeOf([&] { CPatch patch(reader); }), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Patch, PatchRefused,
    ::testing::Values(
        BadPatch{"UnknownAction", "<patch> p t <spawn> x </spawn> </patch>"},
        BadPatch{"WordWhereAnActionBelongs", "<patch> p t removeobject </patch>"},
        BadPatch{"TruncatedPatch", "<patch> p t <removeobject> x </removeobject>"},
        BadPatch{"TruncatedAction", "<patch> p t <object> barrel 1"},
        BadPatch{"RemoveObjectWithTwoNames",
                 "<patch> p t <removeobject> a b </removeobject> </patch>"},
        BadPatch{"ObjectItemNotAPair",
                 "<patch> p t <object> b 1 2 north 0 <items> gold 5 </items> </object> </patch>"},
        BadPatch{"ObjectItemTripleAsPair",
                 "<patch> p t <object> b 1 2 north 0 <items> (gold 5 6) </items> </object> "
                 "</patch>"},
        BadPatch{"EncounterTextNotQuoted",
                 "<patch> p t <encounter> e 1 2 text 0 true </encounter> </patch>"},
        BadPatch{"EncounterRespawnNotBool",
                 "<patch> p t <encounter> e 1 2 \"t\" 0 yes </encounter> </patch>"},
        BadPatch{"EncounterMonsterTag",
                 "<patch> p t <encounter> e 1 2 \"t\" 0 true <monster> </monster> </encounter> "
                 "</patch>"},
        BadPatch{"TileWithoutOrientation", "<patch> p t <tiles> (1 2) (wall) </tiles> </patch>"},
        BadPatch{"EffectWithoutParams", "<patch> p t <effect> 1 2 glow </effect> </patch>"},
        BadPatch{"OpenDoorRunsIntoAnotherTag",
                 "<patch> p t <opendoor> 1 2 <tiles> </tiles> </opendoor> </patch>"},
        BadPatch{"NotAPatch", "<patches> </patches>"}),
    [](const ::testing::TestParamInfo<BadPatch>& info) { return info.param.name; });
