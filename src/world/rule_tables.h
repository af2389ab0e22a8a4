#pragma once

#include "common/tag_file_fwd.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>

// The constant tables that tie the rules' enumerations to their keywords (data
// and saved-game files) and display names (screens and messages), the
// percentile check with its texts, and a few level formulas.
//
// Every getter checks its index and throws code 2 for a row outside its table;
// find operations throw code 2 for a text no row has, unless they say
// otherwise.
namespace VARD
{

struct CAttackInfo;

// Values that stand for "none" in fields that hold a row number.
constexpr int kSkillNone = 83;
constexpr int kAttributeNone = 5;
constexpr int kDirectionNone = 4;
constexpr int kWeaponKindNone = 6;
constexpr int kRaceGroupNone = 17;
constexpr int kSaveKindNone = 3;

constexpr int kDirectionCount = 4;
constexpr int kRaceCount = 17;
constexpr int kClassCount = 4;
constexpr int kSaveCount = 3;
constexpr int kSpellEffectKindCount = 12;
constexpr int kSkillCount = 83;
constexpr int kSpecialStatCount = 5;
constexpr int kTileKindCount = 3;
constexpr int kWeaponKindCount = 6;
constexpr int kItemTypeCount = 11;

// Tile kind 3 has no table row: only the tile-kind parser knows its word.
constexpr int kTileKindDoor = 3;

// Skill categories; they match the class rows 0, 1 and 2.
constexpr int kSkillCategoryMartial = 0;
constexpr int kSkillCategorySkill = 1;
constexpr int kSkillCategoryMagic = 2;

// Item types used by name in the rules.
constexpr int kItemTypePotion = 6;
constexpr int kItemTypeScroll = 7;
constexpr int kItemTypeWand = 8;

// Skills the rules name by number.
constexpr int kSkillSneak = 67;
constexpr int kSkillSinging = 72;

// ------------------------------------------------------------------ rows

struct CDirectionInfo
{
    int index;
    const char* key;
    const char* displayName;
    const char* shortKey;
};

// A creature kind. Rows 0-4 are the groups themselves (group 17, none).
struct CRaceInfo
{
    int index;
    int group;
    const char* key;
    const char* displayName;
};

struct CClassInfo
{
    int index;
    const char* key;
    const char* displayName;
    int hitDie;
    int attackRate;
    int castingRate;
    int classSkill;
};

struct CSaveInfo
{
    int index;
    const char* key;
    const char* displayName;
    int attribute;
    int improvedSkill;
    int greaterSkill;
};

struct CSpellEffectKindInfo
{
    int index;
    const char* displayName;
    const char* key;
};

struct CSkillInfo
{
    int index;
    const char* displayName;
    const char* key;
    int requiredRating;
    int spellBonus;
    int attribute;
    int linkedSkill;
    int category;
    std::array<int, 3> prerequisites;
    const char* description;
};

struct CSpecialStatInfo
{
    int index;
    const char* displayName;
    const char* key;
    int skill;
};

struct CTileKindInfo
{
    int index;
    const char* key;
};

struct CWeaponKindInfo
{
    int index;
    const char* key;
    const char* displayName;
    int skill;
};

struct CItemTypeInfo
{
    int index;
    const char* key;
    const char* displayName;
    int burnOutChance;
};

// Whole rows; code 2 for an index outside the table.
const CDirectionInfo& GetDirectionInfo(int direction);
const CRaceInfo& GetRaceInfo(int race);
const CClassInfo& GetClassInfo(int characterClass);
const CSaveInfo& GetSaveInfo(int save);
const CSpellEffectKindInfo& GetSpellEffectKindInfo(int kind);
const CSkillInfo& GetSkillInfo(int skill);
const CSpecialStatInfo& GetSpecialStatInfo(int stat);
const CTileKindInfo& GetTileKindInfo(int tileKind);
const CWeaponKindInfo& GetWeaponKindInfo(int weaponKind);
const CItemTypeInfo& GetItemTypeInfo(int itemType);

// ------------------------------------------------------------ converters

// Directions. ParseDirection takes the key or the short key; any other word
// (including "0") gives 4, no direction.
std::string GetDirectionKey(int direction);
int ParseDirection(const std::string& text);

// Creature kinds and their groups.
std::string GetRaceKey(int race);
std::string GetRaceDisplayName(int race);
int FindRaceByKey(const std::string& key);
int GetRaceGroup(int race);

std::string GetClassKey(int characterClass);
std::string GetClassDisplayName(int characterClass);
int FindClassByKey(const std::string& key);

std::string GetSaveKey(int save);
std::string GetSaveDisplayName(int save);
int FindSaveByKey(const std::string& key);

std::string GetSpellEffectKindKey(int kind);
std::string GetSpellEffectKindDisplayName(int kind);
int FindSpellEffectKindByKey(const std::string& key);

std::string GetSkillKey(int skill);
std::string GetSkillDisplayName(int skill);
std::string GetSkillDescription(int skill);
int FindSkillByKey(const std::string& key);

std::string GetSpecialStatKey(int stat);
std::string GetSpecialStatDisplayName(int stat);
int FindSpecialStatByKey(const std::string& key);

// Tile kinds: the table has three rows; ParseTileKind also knows "door" (3)
// and throws code 1 for any other word, so no sentinel passes as a kind.
std::string GetTileKindKey(int tileKind);
int FindTileKindByKey(const std::string& key);
int ParseTileKind(const std::string& text);

std::string GetWeaponKindKey(int weaponKind);
std::string GetWeaponKindDisplayName(int weaponKind);
int FindWeaponKindByKey(const std::string& key);
int GetWeaponKindSkill(int weaponKind);

std::string GetItemTypeKey(int itemType);
std::string GetItemTypeDisplayName(int itemType);
int GetItemTypeBurnOutChance(int itemType);

// Enumerations held in code.
std::string GetAttitudeKey(int attitude);
std::string GetAttitudeDisplayName(int attitude);
int ParseAttitude(const std::string& key);

std::string GetAttributeKey(int attribute);
std::string GetAttributeDisplayName(int attribute);
int FindAttributeByKey(const std::string& key);

// ParseStatusKind throws code 1 for a word outside the list.
std::string GetStatusKey(int status);
std::string GetStatusDisplayName(int status);
int ParseStatusKind(const std::string& key);

std::string GetSexDisplayName(int sex);
std::string GetCombatStatName(int stat);
std::string GetMonthName(int month);
std::string GetAnimationName(int animation);

// ------------------------------------------------------- checks and texts

// A roll of 1..100: 1-5 always fails, 96-100 always succeeds, otherwise
// success when roll + bonus > target. The roll is stored when asked for.
bool RollPercentileCheck(int bonus, int target, int* roll = nullptr);
// The decision alone, for a roll already made.
bool IsPercentileSuccess(int roll, int bonus, int target);

// "[57 +5 vs 40]"
std::string FormatRollVsTarget(int bonus, int roll, int target);
// "[Locks 50 +12 vs 40]"
std::string FormatSkillRoll(int bonus, const std::string& label, int roll, int target);
// "+3", "0", "-2"
std::string FormatSignedNumber(int n);
// "1-6 + 2", "- 1-4 - 1", "5"
std::string FormatDiceRange(int die, int n);
// An attack's damage from its die size and base: "3 - 8", or "2" without a die.
std::string FormatDamageRange(int dieSize, int base);
std::string FormatDamageRange(const CAttackInfo& attack);

// ------------------------------------------------------------- formulas

int GetEncounterXp(int level);
int GetSpellLevelEnergy(int level);
// Potions, scrolls and wands only; any other item type is code 2.
int GetSpellItemValue(int level, int itemType);

// ------------------------------------------------------ modifier targets

struct CModifierTargetInfo
{
    const char* key;
    std::uint32_t bit;
};
constexpr int kModifierTargetCount = 20;
const CModifierTargetInfo& GetModifierTargetInfo(int index);
// The bit of one target word; code 1 for a word outside the list.
std::uint32_t FindModifierTargetBit(const std::string& key);
// Reads target words up to the end tag of the enclosing element (which it
// leaves to the caller) and ORs their bits.
std::uint32_t ParseModifierMask(VARDCommon::CTagFileReader& reader);

// ------------------------------------------------------ actor lists

// The skills an actor holds, by skill id (83 stands for none).
using SkillSet = std::set<int>;
// Per item type: non-zero when the actor buys that type.
using BuyTable = std::array<int, kItemTypeCount>;

// <skills> keys </skills>; skill 83 is written "0" and read back as 83.
void WriteSkillList(const SkillSet& skills, VARDCommon::CTagFileWriter& writer);
// A missing <skills> element leaves the set as it is.
void ReadSkillList(VARDCommon::CTagFileReader& reader, SkillSet& skills);

// <buy> item-type keys </buy>; reading requires the element.
void WriteBuyList(const BuyTable& table, VARDCommon::CTagFileWriter& writer);
void ReadBuyList(VARDCommon::CTagFileReader& reader, BuyTable& table);

} // namespace VARD
