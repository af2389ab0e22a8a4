#include "world/rule_tables.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/keywords.h"

#include <array>

namespace VARD
{

namespace
{

// Bit 0x8 has no keyword.
constexpr std::array<CModifierTargetInfo, kModifierTargetCount> kModifierTargets{{
    {"attack", 0x1},          {"damage", 0x2},
    {"defense", 0x4},         {"escape", 0x10},
    {"fortitude", 0x20},      {"resolve", 0x40},
    {"locks", 0x80},          {"traps", 0x100},
    {"diplomacy", 0x200},     {"stealth", 0x400},
    {"observation", 0x800},   {"strength", 0x1000},
    {"agility", 0x2000},      {"durability", 0x4000},
    {"intelligence", 0x8000}, {"personality", 0x10000},
    {"casting", 0x20000},     {"spellresistance", 0x40000},
    {"actionspeed", 0x80000}, {"movementspeed", 0x100000},
}};

} // namespace

const CModifierTargetInfo& GetModifierTargetInfo(int index)
{
    if (index < 0 || index >= kModifierTargetCount)
        throw CVARDException(2, "no modifier target " + std::to_string(index));
    return kModifierTargets[static_cast<std::size_t>(index)];
}

std::uint32_t FindModifierTargetBit(const std::string& key)
{
    for (const CModifierTargetInfo& target : kModifierTargets)
        if (key == target.key)
            return target.bit;
    throw CVARDException(1, VARDCommon::QuoteForMessage(key) + " is no modifier target");
}

std::uint32_t ParseModifierMask(VARDCommon::CTagFileReader& reader)
{
    std::uint32_t mask = 0;
    while (!reader.IsAtEndTag())
        mask |= reader.ReadConverted(FindModifierTargetBit);
    return mask;
}

void WriteSkillList(const SkillSet& skills, VARDCommon::CTagFileWriter& writer)
{
    writer.WriteStartTag("skills");
    for (const int skill : skills)
        WriteSkillOrNone(writer, skill);
    writer.WriteEndTag();
}

void ReadSkillList(VARDCommon::CTagFileReader& reader, SkillSet& skills)
{
    if (!reader.IsStartTag("skills"))
        return;
    reader.ReadStartTag("skills");
    while (!reader.IsAtEndTag())
        skills.insert(ReadSkillOrNone(reader));
    reader.ReadEndTag();
}

void WriteBuyList(const BuyTable& table, VARDCommon::CTagFileWriter& writer)
{
    writer.WriteStartTag("buy");
    for (int itemType = 0; itemType < kItemTypeCount; ++itemType)
        if (table[static_cast<std::size_t>(itemType)] != 0)
            writer.WriteString(GetItemTypeKey(itemType));
    writer.WriteEndTag();
}

void ReadBuyList(VARDCommon::CTagFileReader& reader, BuyTable& table)
{
    reader.ReadStartTag("buy");
    while (!reader.IsAtEndTag())
        table[static_cast<std::size_t>(ReadItemType(reader))] = 1;
    reader.ReadEndTag();
}

} // namespace VARD
