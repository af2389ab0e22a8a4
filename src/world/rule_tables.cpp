#include "world/rule_tables.h"

#include "common/exception.h"
#include "world/rule_table_lookup.h"

#include <array>

namespace VARD
{

using RuleTableLookup::FindIndex;
using RuleTableLookup::FindOrThrow;
using RuleTableLookup::RowAt;

namespace
{

constexpr std::array<CDirectionInfo, kDirectionCount> kDirections{{
    {0, "north", "North", "n"},
    {1, "east", "East", "e"},
    {2, "south", "South", "s"},
    {3, "west", "West", "w"},
}};

constexpr std::array<CRaceInfo, kRaceCount> kRaces{{
    {0, kRaceGroupNone, "civilized", "Civilized"},
    {1, kRaceGroupNone, "savage", "Savage"},
    {2, kRaceGroupNone, "undead", "Undead"},
    {3, kRaceGroupNone, "cosmic", "Cosmic"},
    {4, kRaceGroupNone, "magic", "Magic"},
    {5, 0, "human", "Human"},
    {6, 0, "elf", "Elf"},
    {7, 0, "dwarf", "Dwarf"},
    {8, 1, "orc", "Orc"},
    {9, 1, "ogre", "Ogre"},
    {10, 2, "skeleton", "Skeleton"},
    {11, 3, "demon", "Demon"},
    {12, 3, "jotun", "Jotun"},
    {13, 3, "surtr", "Surtr"},
    {14, 3, "norn", "Norn"},
    {15, 3, "shadow", "Shadow"},
    {16, 4, "construct", "Construct"},
}};

constexpr std::array<CClassInfo, kClassCount> kClasses{{
    {0, "fighter", "Fighter", 50, 120, 30, 74},
    {1, "rogue", "Rogue", 40, 90, 45, 76},
    {2, "spellcaster", "Spellcaster", 30, 60, 60, 78},
    {3, "monster", "Common", 0, 120, 60, kSkillNone},
}};

constexpr std::array<CSaveInfo, kSaveCount> kSaves{{
    {0, "escape", "Escape", 1, 76, 77},
    {1, "fortitude", "Fortitude", 2, 74, 75},
    {2, "resolve", "Resolve", 4, 78, 79},
}};

constexpr std::array<CSpellEffectKindInfo, kSpellEffectKindCount> kSpellEffectKinds{{
    {0, "Modify", "modify"},
    {1, "Summon", "summon"},
    {2, "Heal", "heal"},
    {3, "Damage", "damage"},
    {4, "Teleport", "teleport"},
    {5, "Status", "status"},
    {6, "Restore Energy", "mana"},
    {7, "Remove Status", "remove"},
    {8, "Dispel Effect", "dispel"},
    {9, "Create Item", "item"},
    {10, "Repulse", "repulse"},
    {11, "Raise", "raise"},
}};

constexpr std::array<CSpecialStatInfo, kSpecialStatCount> kSpecialStats{{
    {0, "Locks", "locks", 66},
    {1, "Traps", "traps", 65},
    {2, "Diplomacy", "diplomacy", 69},
    {3, "Stealth", "stealth", 67},
    {4, "Observation", "observation", 68},
}};

constexpr std::array<CTileKindInfo, kTileKindCount> kTileKinds{{
    {0, "floor"},
    {1, "empty"},
    {2, "solid"},
}};

constexpr std::array<CWeaponKindInfo, kWeaponKindCount> kWeaponKinds{{
    {0, "light_blade", "Light Blade", 0},
    {1, "heavy_blade", "Heavy Blade", 1},
    {2, "staff", "Staff", 2},
    {3, "bludgeon", "Bludgeon", 3},
    {4, "axe", "Axe", 4},
    {5, "bow", "Bow", 5},
}};

constexpr std::array<CItemTypeInfo, kItemTypeCount> kItemTypes{{
    {0, "weapon", "Weapon", 0},
    {1, "armor", "Armor", 0},
    {2, "shield", "Shield", 0},
    {3, "helmet", "Helmet", 0},
    {4, "amulet", "Amulet", 0},
    {5, "ring", "Ring", 0},
    {6, "potion", "Potion", 0},
    {7, "scroll", "Scroll", 0},
    {8, "wand", "Wand", 5},
    {9, "misc", "Misc", 0},
    {10, "money", "Money", 0},
}};

// Lists without a table row of their own: key and display name by position.
struct CCodeListEntry
{
    const char* key;
    const char* displayName;
};

constexpr std::array<CCodeListEntry, 5> kAttitudes{{
    {"party", "Party"},
    {"friendly", "Friendly"},
    {"neutral", "Neutral"},
    {"hostile", "Hostile"},
    {"berserk", "Berserk"},
}};

constexpr std::array<CCodeListEntry, 5> kAttributes{{
    {"strength", "Strength"},
    {"agility", "Agility"},
    {"durability", "Durability"},
    {"intelligence", "Intelligence"},
    {"personality", "Personality"},
}};

constexpr std::array<CCodeListEntry, 6> kStatuses{{
    {"fear", "Fear"},
    {"held", "Held"},
    {"confused", "Confused"},
    {"immobile", "Immobile"},
    {"charmed", "Charmed"},
    {"dominated", "Dominated"},
}};

constexpr std::array<const char*, 3> kSexNames{"Male", "Female", "None"};
constexpr std::array<const char*, 4> kCombatStatNames{"Attack Bonus", "Attack Damage",
                                                      "Defense Class", "Hit Points"};
constexpr std::array<const char*, 12> kMonthNames{"January",   "February", "March",    "April",
                                                  "May",       "June",     "July",     "August",
                                                  "September", "October",  "November", "December"};
constexpr std::array<const char*, 14> kAnimationNames{
    "default",  "combat",   "rcombat", "2hcombat", "move",     "attack",    "rattack",
    "2hattack", "2wattack", "cast",    "recover",  "rrecover", "2hrecover", "crecover"};

template <typename T, std::size_t N>
const T& ListAt(const std::array<T, N>& list, int index, const char* listName)
{
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        throw CVARDException(2, std::string("no ") + listName + " " + std::to_string(index));
    return list[static_cast<std::size_t>(index)];
}

// Position of the entry with that key, or -1.
template <std::size_t N>
int FindListKey(const std::array<CCodeListEntry, N>& list, const std::string& key)
{
    for (std::size_t i = 0; i < N; ++i)
        if (key == list[i].key)
            return static_cast<int>(i);
    return -1;
}

} // namespace

// ------------------------------------------------------------------ rows

const CDirectionInfo& GetDirectionInfo(int direction)
{
    return RowAt(kDirections, direction, "direction");
}
const CRaceInfo& GetRaceInfo(int race)
{
    return RowAt(kRaces, race, "creature kind");
}
const CClassInfo& GetClassInfo(int characterClass)
{
    return RowAt(kClasses, characterClass, "class");
}
const CSaveInfo& GetSaveInfo(int save)
{
    return RowAt(kSaves, save, "save");
}
const CSpellEffectKindInfo& GetSpellEffectKindInfo(int kind)
{
    return RowAt(kSpellEffectKinds, kind, "spell-effect kind");
}
const CSpecialStatInfo& GetSpecialStatInfo(int stat)
{
    return RowAt(kSpecialStats, stat, "special stat");
}
const CTileKindInfo& GetTileKindInfo(int tileKind)
{
    return RowAt(kTileKinds, tileKind, "tile kind");
}
const CWeaponKindInfo& GetWeaponKindInfo(int weaponKind)
{
    return RowAt(kWeaponKinds, weaponKind, "weapon kind");
}
const CItemTypeInfo& GetItemTypeInfo(int itemType)
{
    return RowAt(kItemTypes, itemType, "item type");
}

// ------------------------------------------------------------ directions

std::string GetDirectionKey(int direction)
{
    return GetDirectionInfo(direction).key;
}

int ParseDirection(const std::string& text)
{
    for (const CDirectionInfo& row : kDirections)
        if (text == row.key || text == row.shortKey)
            return row.index;
    return kDirectionNone;
}

// ----------------------------------------------------------------- races

std::string GetRaceKey(int race)
{
    return GetRaceInfo(race).key;
}
std::string GetRaceDisplayName(int race)
{
    return GetRaceInfo(race).displayName;
}
int FindRaceByKey(const std::string& key)
{
    return FindOrThrow(kRaces, &CRaceInfo::key, key, "creature kind");
}
int GetRaceGroup(int race)
{
    return GetRaceInfo(race).group;
}

// ---------------------------------------------------------------- classes

std::string GetClassKey(int characterClass)
{
    return GetClassInfo(characterClass).key;
}
std::string GetClassDisplayName(int characterClass)
{
    return GetClassInfo(characterClass).displayName;
}
int FindClassByKey(const std::string& key)
{
    return FindOrThrow(kClasses, &CClassInfo::key, key, "class");
}

// ------------------------------------------------------------------ saves

std::string GetSaveKey(int save)
{
    return GetSaveInfo(save).key;
}
std::string GetSaveDisplayName(int save)
{
    return GetSaveInfo(save).displayName;
}
int FindSaveByKey(const std::string& key)
{
    return FindOrThrow(kSaves, &CSaveInfo::key, key, "save");
}

// ------------------------------------------------------ spell-effect kinds

std::string GetSpellEffectKindKey(int kind)
{
    return GetSpellEffectKindInfo(kind).key;
}
std::string GetSpellEffectKindDisplayName(int kind)
{
    return GetSpellEffectKindInfo(kind).displayName;
}
int FindSpellEffectKindByKey(const std::string& key)
{
    return FindOrThrow(kSpellEffectKinds, &CSpellEffectKindInfo::key, key, "spell-effect kind");
}

// ---------------------------------------------------------- special stats

std::string GetSpecialStatKey(int stat)
{
    return GetSpecialStatInfo(stat).key;
}
std::string GetSpecialStatDisplayName(int stat)
{
    return GetSpecialStatInfo(stat).displayName;
}
int FindSpecialStatByKey(const std::string& key)
{
    return FindOrThrow(kSpecialStats, &CSpecialStatInfo::key, key, "special stat");
}

// ------------------------------------------------------------- tile kinds

std::string GetTileKindKey(int tileKind)
{
    return GetTileKindInfo(tileKind).key;
}
int FindTileKindByKey(const std::string& key)
{
    return FindOrThrow(kTileKinds, &CTileKindInfo::key, key, "tile kind");
}
int ParseTileKind(const std::string& text)
{
    const int index = FindIndex(kTileKinds, &CTileKindInfo::key, text);
    if (index >= 0)
        return index;
    if (text == "door")
        return kTileKindDoor;
    throw CVARDException(1, VARDCommon::QuoteForMessage(text) +
                                " is no tile kind (floor, empty, solid or door)");
}

// ----------------------------------------------------------- weapon kinds

std::string GetWeaponKindKey(int weaponKind)
{
    return GetWeaponKindInfo(weaponKind).key;
}
std::string GetWeaponKindDisplayName(int weaponKind)
{
    return GetWeaponKindInfo(weaponKind).displayName;
}
int FindWeaponKindByKey(const std::string& key)
{
    return FindOrThrow(kWeaponKinds, &CWeaponKindInfo::key, key, "weapon kind");
}
int GetWeaponKindSkill(int weaponKind)
{
    return GetWeaponKindInfo(weaponKind).skill;
}

// ------------------------------------------------------------- item types

std::string GetItemTypeKey(int itemType)
{
    return GetItemTypeInfo(itemType).key;
}
std::string GetItemTypeDisplayName(int itemType)
{
    return GetItemTypeInfo(itemType).displayName;
}
int GetItemTypeBurnOutChance(int itemType)
{
    return GetItemTypeInfo(itemType).burnOutChance;
}

// ------------------------------------------------- enumerations in code

std::string GetAttitudeKey(int attitude)
{
    return ListAt(kAttitudes, attitude, "attitude").key;
}
std::string GetAttitudeDisplayName(int attitude)
{
    return ListAt(kAttitudes, attitude, "attitude").displayName;
}
int ParseAttitude(const std::string& key)
{
    const int index = FindListKey(kAttitudes, key);
    if (index < 0)
        throw CVARDException(2, VARDCommon::QuoteForMessage(key) + " is no attitude keyword");
    return index;
}

std::string GetAttributeKey(int attribute)
{
    return ListAt(kAttributes, attribute, "attribute").key;
}
std::string GetAttributeDisplayName(int attribute)
{
    return ListAt(kAttributes, attribute, "attribute").displayName;
}
int FindAttributeByKey(const std::string& key)
{
    const int index = FindListKey(kAttributes, key);
    if (index < 0)
        throw CVARDException(2, VARDCommon::QuoteForMessage(key) + " is no attribute keyword");
    return index;
}

std::string GetStatusKey(int status)
{
    return ListAt(kStatuses, status, "status").key;
}
std::string GetStatusDisplayName(int status)
{
    return ListAt(kStatuses, status, "status").displayName;
}
int ParseStatusKind(const std::string& key)
{
    const int index = FindListKey(kStatuses, key);
    if (index < 0)
        throw CVARDException(1, VARDCommon::QuoteForMessage(key) + " is no status keyword");
    return index;
}

std::string GetSexDisplayName(int sex)
{
    return ListAt(kSexNames, sex, "sex");
}
std::string GetCombatStatName(int stat)
{
    return ListAt(kCombatStatNames, stat, "combat value");
}
std::string GetMonthName(int month)
{
    return ListAt(kMonthNames, month, "month");
}
std::string GetAnimationName(int animation)
{
    return ListAt(kAnimationNames, animation, "animation");
}

} // namespace VARD
