#include "world/item_template.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/item_attribute.h"
#include "world/keywords.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"

namespace VARD
{

// ------------------------------------------------------------ item record

CItemTemplate::CItemTemplate(VARDCommon::CTagFileReader& reader, const CModule& module)
{
    m_Name = reader.ReadWord();
    m_DisplayName = reader.ReadQuoted();
    m_Description = reader.ReadQuoted();
    reader.ReadColor(m_Color);
    m_LongText = reader.ReadQuoted();

    // Graphic names are words: the drawing reads "0" as no graphic.
    m_GraphicNames[0] = reader.ReadWord();
    m_GraphicNames[1] = reader.ReadWord();
    if (m_GraphicNames[1] == "0")
        m_GraphicNames[1] = m_GraphicNames[0];

    m_ProjectileGraphic = reader.ReadWord();
    m_Weight = reader.ReadDouble();
    m_Value = reader.ReadUnsigned();
    m_ItemType = static_cast<std::uint32_t>(ReadItemType(reader));
    m_Flags = 0;

    ReadFlags(reader);

    // Flags come before the first attribute; a flag word after one fails here.
    while (!reader.IsAtEndTag())
        m_Attributes.push_back(ReadItemAttribute(reader, module, m_DisplayName));
}

void CItemTemplate::ReadFlags(VARDCommon::CTagFileReader& reader)
{
    while (!reader.IsAnyStartTag() && !reader.IsAtEndTag())
    {
        const std::string& word = reader.GetCurrentWord();
        std::uint32_t flag = 0;
        if (!reader.IsAtEnd())
        {
            if (word == "public")
                flag = kItemFlagPublic;
            else if (word == "common")
                flag = kItemFlagCommon;
            else if (word == "nogive")
                flag = kItemFlagNoGive;
        }
        if (flag == 0)
            reader.Fail(1, "item " + VARDCommon::QuoteForMessage(m_Name) +
                               ": expected a flag (public, common, nogive), an attribute "
                               "or the end of the item");
        m_Flags |= flag;
        reader.NextToken();
    }
}

// ------------------------------------------------------ generated items

std::string GetSpellItemName(std::uint32_t itemType, const std::string& spellKey)
{
    return "i_" + GetItemTypeKey(static_cast<int>(itemType)) + "-" + spellKey;
}

CItemTemplate::CItemTemplate(const CModule& /*module*/, std::uint32_t itemType, const CSpell& spell)
{
    const std::string& spellName = spell.GetDisplayName();
    m_Name = GetSpellItemName(itemType, spell.GetKey());
    m_DisplayName = GetItemTypeDisplayName(static_cast<int>(itemType)) + " of " + spellName;
    switch (itemType)
    {
    case kItemTypePotion:
        m_Description = "This potion contains a liquid with the power of " + spellName + ".";
        break;
    case kItemTypeScroll:
        m_Description = "This scroll has the spell " + spellName + " written on it.";
        break;
    case kItemTypeWand:
        m_Description = "This wand is imbued with the power of the spell " + spellName + ".";
        break;
    default:
        throw CVARDException(2, "no spell item of item type " + std::to_string(itemType) +
                                    " (spell " + VARDCommon::QuoteForMessage(spell.GetKey()) + ")");
    }
    m_Color = spell.GetColor();
    m_Weight = 0.0;
    m_Value =
        static_cast<std::uint32_t>(GetSpellItemValue(spell.GetLevel(), static_cast<int>(itemType)));
    m_ItemType = itemType;
    m_Flags = kItemFlagPublic;
    m_Attributes.push_back(std::make_shared<CItemAttributeSpell>(&spell));
}

// --------------------------------------------------------------- queries

const CItemAttribute* CItemTemplate::FindAttribute(std::int32_t kind) const
{
    for (const auto& attribute : m_Attributes)
        if (attribute->GetKind() == kind)
            return attribute.get();
    return nullptr;
}

int CItemTemplate::GetWandTargetMode() const
{
    if (m_ItemType != kItemTypeWand)
        return 0;
    const auto* spell = static_cast<const CItemAttributeSpell*>(FindAttribute(kItemAttributeSpell));
    if (spell == nullptr)
        throw CVARDException(1, "the wand " + VARDCommon::QuoteForMessage(m_Name) +
                                    " carries no spell");
    return spell->GetSpell()->GetTargetMode();
}

// ----------------------------------------------------------- module side

void ReadItemsFile(VARDCommon::CTagFileReader& reader, CModule& module)
{
    reader.ReadStartTag("items");
    while (reader.IsStartTag("item"))
    {
        reader.ReadStartTag("item");
        auto itemTemplate = std::make_shared<CItemTemplate>(reader, module);
        reader.ReadEndTag();
        module.ItemTemplates()[itemTemplate->GetName()] = itemTemplate;
    }
    reader.ReadEndTag();
}

void AddSpellItems(CModule& module)
{
    for (const auto& [key, spell] : module.GetSpells())
    {
        if (!spell)
            throw CVARDException(2, "the spell map holds an empty entry " +
                                        VARDCommon::QuoteForMessage(key));
        std::vector<std::uint32_t> types;
        if ((spell->GetFlags() & kSpellFlagPotion) != 0)
            types.push_back(kItemTypePotion);
        if ((spell->GetFlags() & kSpellFlagWand) != 0)
            types.push_back(kItemTypeWand);
        // A scroll for a spell of a magic skill that is not its own bonus skill.
        const int skill = spell->GetSkill();
        if (skill != kSkillNone && skill != spell->GetSecondSkill() &&
            GetSkillInfo(skill).category == kSkillCategoryMagic)
            types.push_back(kItemTypeScroll);
        for (const std::uint32_t type : types)
        {
            auto itemTemplate = std::make_shared<CItemTemplate>(module, type, *spell);
            module.ItemTemplates()[itemTemplate->GetName()] = itemTemplate;
        }
    }
}

void WriteItem(VARDCommon::CTagFileWriter& writer, const CItem& item)
{
    const CItemTemplate* itemTemplate = item.GetTemplate();
    writer.WriteTupleStart(3);
    writer.WriteString(itemTemplate != nullptr ? itemTemplate->GetName() : std::string());
    writer.WriteUnsigned(item.GetValue1());
    writer.WriteUnsigned(item.GetValue2());
}

CItem* FindItemByName(const std::vector<std::shared_ptr<CItem>>& items, const std::string& name)
{
    for (const auto& item : items)
        if (item && item->GetTemplate() != nullptr && item->GetTemplate()->GetName() == name)
            return item.get();
    return nullptr;
}

} // namespace VARD

namespace VARD
{

const CItemAttribute* CItem::FindAttribute(std::int32_t kind) const
{
    return m_Template ? m_Template->FindAttribute(kind) : nullptr;
}

int CItem::GetWandTargetMode() const
{
    if (m_Template == nullptr)
        throw CVARDException(2, "item without a template");
    return m_Template->GetWandTargetMode();
}

} // namespace VARD
