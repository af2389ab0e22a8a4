#pragma once

#include "common/tag_file_fwd.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CItemAttribute;
class CModule;
class CSpell;

// Flag bits of an item template.
enum : std::uint32_t
{
    kItemFlagPublic = 4,
    kItemFlagCommon = 8,
    // Can be neither given nor dropped.
    kItemFlagNoGive = 16,
};

// A kind of item: its texts, graphics, price, type, flags and properties.
// Read from "items.vard", or made from a spell for its potion, scroll or wand.
class CItemTemplate
{
public:
    // The body of one <item> record; the caller reads <item> and </item>.
    // Code 1 for an item-type word, flag word or attribute tag outside its
    // list and for a spell the module lacks; the table converters throw
    // their own codes for weapon-kind, skill, attribute, save and target words.
    CItemTemplate(VARDCommon::CTagFileReader& reader, const CModule& module);

    // The potion (6), scroll (7) or wand (8) of a spell; code 2 for any
    // other item type.
    CItemTemplate(const CModule& module, std::uint32_t itemType, const CSpell& spell);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetDisplayName() const { return m_DisplayName; }
    const std::string& GetDescription() const { return m_Description; }
    std::uint32_t GetColor() const { return m_Color; }
    // Shown at the end of the item's information page.
    const std::string& GetLongText() const { return m_LongText; }
    // 0 weapon, 1 armor, 2 shield, 3 helmet, 4 amulet, 5 ring, 6 potion,
    // 7 scroll, 8 wand, 9 misc, 10 money.
    std::uint32_t GetItemType() const { return m_ItemType; }
    // Index 0..2; the third is never read from a file and stays empty.
    const std::string& GetGraphicName(std::size_t index) const { return m_GraphicNames.at(index); }
    // The missile a ranged weapon shoots.
    const std::string& GetProjectileGraphic() const { return m_ProjectileGraphic; }
    double GetWeight() const { return m_Weight; }
    std::uint32_t GetValue() const { return m_Value; }
    std::uint32_t GetFlags() const { return m_Flags; }
    bool HasFlag(std::uint32_t flag) const { return (m_Flags & flag) != 0; }
    const std::vector<std::shared_ptr<CItemAttribute>>& GetAttributes() const
    {
        return m_Attributes;
    }

    // The first attribute of that kind, or null.
    const CItemAttribute* FindAttribute(std::int32_t kind) const;
    // 0 unless a wand; for a wand the target mode of its spell (0 self,
    // 1 tile, 3 actor). Code 1 for a wand without a spell attribute.
    int GetWandTargetMode() const;

private:
    void ReadFlags(VARDCommon::CTagFileReader& reader);

    std::string m_Name;
    std::string m_DisplayName;
    std::string m_Description;
    std::uint32_t m_Color = 0;
    std::string m_LongText;
    std::uint32_t m_ItemType = 0;
    std::array<std::string, 3> m_GraphicNames;
    std::string m_ProjectileGraphic;
    double m_Weight = 0.0;
    std::uint32_t m_Value = 0;
    std::uint32_t m_Flags = 0;
    std::vector<std::shared_ptr<CItemAttribute>> m_Attributes;
};

// The key of the potion, scroll or wand made from a spell: "i_potion-heal".
std::string GetSpellItemName(std::uint32_t itemType, const std::string& spellKey);

// Reads the <items> element of "items.vard", storing each template under its
// name; a later record of a name replaces the earlier one.
void ReadItemsFile(VARDCommon::CTagFileReader& reader, CModule& module);

// Makes the potions, wands and scrolls of every spell in the module, in
// spell-name order, replacing any template of the same name. Runs after the
// items file, so a generated item wins over a hand-written one.
void AddSpellItems(CModule& module);

} // namespace VARD
