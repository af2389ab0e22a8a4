#include "world/rule_tables.h"

#include "rule_test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

using namespace VARD;
using RuleTest::CodeOf;

namespace
{

// One converter family: index to key and display name, key back to index.
struct CKeyedTable
{
    const char* name;
    int count;
    std::function<std::string(int)> key;
    std::function<std::string(int)> display;
    std::function<int(const std::string&)> find;
};

std::vector<CKeyedTable> KeyedTables()
{
    return {
        {"races", kRaceCount, GetRaceKey, GetRaceDisplayName, FindRaceByKey},
        {"classes", kClassCount, GetClassKey, GetClassDisplayName, FindClassByKey},
        {"saves", kSaveCount, GetSaveKey, GetSaveDisplayName, FindSaveByKey},
        {"effect kinds", kSpellEffectKindCount, GetSpellEffectKindKey,
         GetSpellEffectKindDisplayName, FindSpellEffectKindByKey},
        {"skills", kSkillCount, GetSkillKey, GetSkillDisplayName, FindSkillByKey},
        {"special stats", kSpecialStatCount, GetSpecialStatKey, GetSpecialStatDisplayName,
         FindSpecialStatByKey},
        {"tile kinds", kTileKindCount, GetTileKindKey, GetTileKindKey, FindTileKindByKey},
        {"weapon kinds", kWeaponKindCount, GetWeaponKindKey, GetWeaponKindDisplayName,
         FindWeaponKindByKey},
        {"attitudes", 5, GetAttitudeKey, GetAttitudeDisplayName, ParseAttitude},
        {"attributes", 5, GetAttributeKey, GetAttributeDisplayName, FindAttributeByKey},
        {"statuses", 6, GetStatusKey, GetStatusDisplayName, ParseStatusKind},
    };
}

} // namespace

TEST(RuleTables, EveryKeyFindsItsOwnRow)
{
    for (const CKeyedTable& table : KeyedTables())
        for (int i = 0; i < table.count; ++i)
            EXPECT_EQ(table.find(table.key(i)), i) << table.name << " row " << i;
}

TEST(RuleTables, RowsOutsideATableAreCode2)
{
    for (const CKeyedTable& table : KeyedTables())
    {
        for (int i : {-1, table.count, table.count + 1000})
        {
            EXPECT_EQ(CodeOf([&] { table.key(i); }), 2) << table.name << " key " << i;
            EXPECT_EQ(CodeOf([&] { table.display(i); }), 2) << table.name << " display " << i;
        }
    }
    EXPECT_EQ(CodeOf([] { GetItemTypeKey(11); }), 2);
    EXPECT_EQ(CodeOf([] { GetItemTypeDisplayName(-1); }), 2);
    EXPECT_EQ(CodeOf([] { GetDirectionKey(4); }), 2);
    EXPECT_EQ(CodeOf([] { GetSkillInfo(kSkillNone); }), 2);
    EXPECT_EQ(CodeOf([] { GetSexDisplayName(3); }), 2);
    EXPECT_EQ(CodeOf([] { GetCombatStatName(4); }), 2);
    EXPECT_EQ(CodeOf([] { GetMonthName(12); }), 2);
    EXPECT_EQ(CodeOf([] { GetAnimationName(14); }), 2);
    EXPECT_EQ(CodeOf([] { GetModifierTargetInfo(20); }), 2);
}

TEST(RuleTables, UnknownKeywordsFailWithTheirCodes)
{
    struct CCase
    {
        std::function<void()> call;
        int code;
    };
    const std::vector<CCase> cases = {
        {[] { FindRaceByKey("Human"); }, 2},    {[] { FindClassByKey("Fighter"); }, 2},
        {[] { FindSaveByKey("reflex"); }, 2},   {[] { FindSpellEffectKindByKey("Heal"); }, 2},
        {[] { FindSkillByKey("stealth"); }, 2}, {[] { FindSpecialStatByKey("sneak"); }, 2},
        {[] { FindTileKindByKey("door"); }, 2}, {[] { FindWeaponKindByKey("sword"); }, 2},
        {[] { ParseAttitude("enemy"); }, 2},    {[] { FindAttributeByKey("str"); }, 2},
        {[] { ParseStatusKind("sleep"); }, 1},  {[] { ParseTileKind("wall"); }, 1},
        {[] { ParseTileKind("4"); }, 1},        {[] { FindModifierTargetBit("speed"); }, 1},
        {[] { FindSkillByKey(""); }, 2},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(CodeOf(cases[i].call), cases[i].code) << "case " << i;
}

TEST(RuleTables, DisplayNames)
{
    struct CCase
    {
        std::string got;
        const char* expected;
    };
    const std::vector<CCase> cases = {
        {GetRaceDisplayName(0), "Civilized"},
        {GetRaceDisplayName(16), "Construct"},
        {GetClassDisplayName(3), "Common"},
        {GetClassKey(3), "monster"},
        {GetSaveDisplayName(1), "Fortitude"},
        {GetSpellEffectKindDisplayName(6), "Restore Energy"},
        {GetSpellEffectKindKey(6), "mana"},
        {GetSpellEffectKindDisplayName(8), "Dispel Effect"},
        {GetSkillDisplayName(67), "Stealth"},
        {GetSkillKey(67), "sneak"},
        {GetSkillDisplayName(70), "Improved Flank"},
        {GetSkillKey(70), "flanking"},
        {GetSkillDisplayName(8), "Shield"},
        {GetSkillKey(8), "shield_style"},
        {GetSpecialStatDisplayName(3), "Stealth"},
        {GetWeaponKindDisplayName(0), "Light Blade"},
        {GetItemTypeDisplayName(10), "Money"},
        {GetItemTypeKey(1), "armor"},
        {GetAttitudeDisplayName(4), "Berserk"},
        {GetAttributeDisplayName(3), "Intelligence"},
        {GetStatusDisplayName(5), "Dominated"},
        {GetSexDisplayName(2), "None"},
        {GetCombatStatName(2), "Defense Class"},
        {GetMonthName(0), "January"},
        {GetMonthName(11), "December"},
        {GetAnimationName(8), "2wattack"},
        {GetAnimationName(13), "crecover"},
        {GetDirectionKey(3), "west"},
        {GetDirectionInfo(1).displayName, "East"},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(RuleTables, ParseDirectionTakesKeysAndShortKeys)
{
    struct CCase
    {
        const char* word;
        int direction;
    };
    for (const CCase& c : std::vector<CCase>{{"north", 0},
                                             {"n", 0},
                                             {"east", 1},
                                             {"e", 1},
                                             {"south", 2},
                                             {"s", 2},
                                             {"west", 3},
                                             {"w", 3},
                                             {"0", 4},
                                             {"North", 4},
                                             {"up", 4}})
        EXPECT_EQ(ParseDirection(c.word), c.direction) << c.word;
}

TEST(RuleTables, ParseTileKindKnowsDoor)
{
    EXPECT_EQ(ParseTileKind("floor"), 0);
    EXPECT_EQ(ParseTileKind("empty"), 1);
    EXPECT_EQ(ParseTileKind("solid"), 2);
    EXPECT_EQ(ParseTileKind("door"), 3);
}

TEST(RuleTables, RacesAndTheirGroups)
{
    const int groups[kRaceCount] = {17, 17, 17, 17, 17, 0, 0, 0, 1, 1, 2, 3, 3, 3, 3, 3, 4};
    for (int race = 0; race < kRaceCount; ++race)
        EXPECT_EQ(GetRaceGroup(race), groups[race]) << GetRaceKey(race);
}

TEST(RuleTables, ClassesAndSaves)
{
    const int classRows[kClassCount][4] = {
        {50, 120, 30, 74}, {40, 90, 45, 76}, {30, 60, 60, 78}, {0, 120, 60, 83}};
    for (int c = 0; c < kClassCount; ++c)
    {
        const CClassInfo& row = GetClassInfo(c);
        EXPECT_EQ(row.hitDie, classRows[c][0]);
        EXPECT_EQ(row.attackRate, classRows[c][1]);
        EXPECT_EQ(row.castingRate, classRows[c][2]);
        EXPECT_EQ(row.classSkill, classRows[c][3]);
    }
    const int saveRows[kSaveCount][3] = {{1, 76, 77}, {2, 74, 75}, {4, 78, 79}};
    for (int s = 0; s < kSaveCount; ++s)
    {
        EXPECT_EQ(GetSaveInfo(s).attribute, saveRows[s][0]);
        EXPECT_EQ(GetSaveInfo(s).improvedSkill, saveRows[s][1]);
        EXPECT_EQ(GetSaveInfo(s).greaterSkill, saveRows[s][2]);
    }
}

TEST(RuleTables, SmallTableColumns)
{
    const int statSkills[kSpecialStatCount] = {66, 65, 69, 67, 68};
    for (int k = 0; k < kSpecialStatCount; ++k)
        EXPECT_EQ(GetSpecialStatInfo(k).skill, statSkills[k]);
    for (int w = 0; w < kWeaponKindCount; ++w)
        EXPECT_EQ(GetWeaponKindSkill(w), w);
    for (int t = 0; t < kItemTypeCount; ++t)
        EXPECT_EQ(GetItemTypeBurnOutChance(t), t == 8 ? 5 : 0) << t;
}

TEST(SkillTable, ColumnsByRow)
{
    struct CRow
    {
        int index;
        int required;
        int bonus;
        int attribute;
        int linked;
        int category;
        std::array<int, 3> prerequisites;
    };
    constexpr int N = 83;
    const std::vector<CRow> rows = {
        {0, 0, 0, 0, 18, 0, {N, N, N}},      {4, 0, 0, 0, 22, 0, {N, N, N}},
        {5, 0, 0, 1, 23, 0, {N, N, N}},      {6, 0, 0, 5, 24, 0, {N, N, N}},
        {7, 0, 0, 5, 25, 0, {6, N, N}},      {8, 25, 0, 5, N, 0, {N, N, N}},
        {12, 25, 0, 5, N, 0, {N, N, N}},     {13, 50, 0, 5, N, 0, {8, N, N}},
        {17, 50, 0, 5, N, 0, {12, N, N}},    {18, 25, 0, 5, N, 0, {0, N, N}},
        {25, 25, 0, 5, N, 0, {7, N, N}},     {26, 50, 0, 5, N, 0, {18, N, N}},
        {31, 50, 0, 5, N, 0, {23, N, N}},    {32, 50, 0, 5, N, 0, {8, N, N}},
        {36, 50, 0, 5, N, 0, {12, N, N}},    {37, 7, 0, 5, N, 2, {43, 44, 45}},
        {39, 7, 0, 5, N, 2, {43, 44, 45}},   {40, 7, 0, 5, N, 2, {N, N, N}},
        {41, 7, 0, 5, N, 2, {N, N, N}},      {42, 0, -5, 4, 50, 2, {N, N, N}},
        {43, 0, 0, 3, 51, 2, {N, N, N}},     {44, 0, 0, 3, 52, 2, {N, N, N}},
        {45, 0, 0, 4, 53, 2, {N, N, N}},     {46, 0, 5, 3, 54, 2, {43, 44, N}},
        {47, 0, 5, 4, 55, 2, {44, 45, N}},   {48, 0, 5, 4, 56, 2, {43, 45, N}},
        {49, 0, 10, 3, 57, 2, {43, 44, 45}}, {50, 12, 0, 5, N, 2, {42, N, N}},
        {57, 12, 0, 5, N, 2, {49, N, N}},    {58, 12, 0, 5, N, 2, {N, N, N}},
        {59, 12, 0, 5, N, 2, {58, N, N}},    {61, 12, 0, 5, N, 2, {60, N, N}},
        {63, 12, 0, 5, N, 2, {N, N, N}},     {64, 12, 0, 5, N, 2, {64, N, N}},
        {65, 0, 0, 3, N, 1, {N, N, N}},      {67, 0, 0, 4, N, 1, {N, N, N}},
        {69, 0, 0, 4, N, 1, {N, N, N}},      {70, 45, 0, 5, N, 1, {67, N, N}},
        {71, 45, 0, 5, N, 1, {67, N, N}},    {72, 0, 0, 4, N, 1, {N, N, N}},
        {73, 0, 0, 3, N, 1, {N, N, N}},      {74, 0, 0, 5, N, 1, {N, N, N}},
        {77, 0, 0, 5, N, 1, {76, N, N}},     {79, 0, 0, 5, N, 1, {78, N, N}},
        {80, 70, 0, 5, N, 1, {75, N, N}},    {82, 70, 0, 5, N, 1, {79, N, N}},
    };
    for (const CRow& expected : rows)
    {
        const CSkillInfo& row = GetSkillInfo(expected.index);
        EXPECT_EQ(row.requiredRating, expected.required) << row.key;
        EXPECT_EQ(row.spellBonus, expected.bonus) << row.key;
        EXPECT_EQ(row.attribute, expected.attribute) << row.key;
        EXPECT_EQ(row.linkedSkill, expected.linked) << row.key;
        EXPECT_EQ(row.category, expected.category) << row.key;
        EXPECT_EQ(row.prerequisites, expected.prerequisites) << row.key;
    }
}

TEST(SkillTable, EveryRowIsCompleteAndPointsInsideTheTable)
{
    for (int s = 0; s < kSkillCount; ++s)
    {
        const CSkillInfo& row = GetSkillInfo(s);
        EXPECT_EQ(row.index, s);
        EXPECT_GT(GetSkillDescription(s).size(), 40u) << row.key;
        EXPECT_GE(row.category, 0);
        EXPECT_LE(row.category, 2);
        EXPECT_TRUE(row.linkedSkill == kSkillNone ||
                    (row.linkedSkill >= 0 && row.linkedSkill < 83));
        for (int p : row.prerequisites)
            EXPECT_TRUE(p == kSkillNone || (p >= 0 && p < 83)) << row.key;
    }
    // Keys are unique, so every key finds its own row (and no earlier one).
    for (int s = 0; s < kSkillCount; ++s)
        EXPECT_EQ(FindSkillByKey(GetSkillKey(s)), s);
}
