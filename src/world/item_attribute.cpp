#include "world/item_attribute.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/keywords.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/rule_tables.h"

#include <utility>

namespace VARD
{

CItemAttribute::~CItemAttribute() = default;

// ---------------------------------------------------------------- weapon

CItemAttributeWeapon::CItemAttributeWeapon(VARDCommon::CTagFileReader& reader)
    : CItemAttribute(kItemAttributeWeapon)
{
    reader.ReadStartTag("weapon");
    m_WeaponKind = static_cast<std::uint32_t>(reader.ReadConverted(FindWeaponKindByKey));
    m_TwoHanded = reader.ReadBool();
    m_AttackBonus = reader.ReadInt();
    m_DieSize = reader.ReadInt();
    m_DamageBase = reader.ReadInt();
    reader.ReadEndTag();
}

CItemAttributeWeapon::CItemAttributeWeapon(std::uint32_t weaponKind, bool twoHanded,
                                           std::int32_t attackBonus, std::int32_t dieSize,
                                           std::int32_t damageBase)
    : CItemAttribute(kItemAttributeWeapon), m_WeaponKind(weaponKind), m_TwoHanded(twoHanded),
      m_AttackBonus(attackBonus), m_DieSize(dieSize), m_DamageBase(damageBase)
{
}

// ----------------------------------------------------------------- armor

CItemAttributeArmor::CItemAttributeArmor(VARDCommon::CTagFileReader& reader)
    : CItemAttribute(kItemAttributeArmor)
{
    reader.ReadStartTag("armor");
    m_ArmorSkill = static_cast<std::uint32_t>(ReadSkillOrNone(reader));
    m_DefenseClass = reader.ReadInt();
    // No maximum: "0" or no tuple at all.
    if (reader.ReadPairStart())
    {
        m_HasMaxAgility = reader.ReadBool();
        m_MaxAgilityBonus = reader.ReadInt();
    }
    m_AttackPenalty = reader.ReadInt();
    m_SpellPenalty = reader.ReadInt();
    reader.ReadEndTag();
}

CItemAttributeArmor::CItemAttributeArmor(std::uint32_t armorSkill, std::int32_t defenseClass,
                                         bool hasMaxAgility, std::int32_t maxAgilityBonus,
                                         std::int32_t attackPenalty, std::int32_t spellPenalty)
    : CItemAttribute(kItemAttributeArmor), m_ArmorSkill(armorSkill), m_DefenseClass(defenseClass),
      m_HasMaxAgility(hasMaxAgility), m_MaxAgilityBonus(maxAgilityBonus),
      m_AttackPenalty(attackPenalty), m_SpellPenalty(spellPenalty)
{
}

// ------------------------------------------------------------- attribute

CItemAttributeAttributeReq::CItemAttributeAttributeReq(VARDCommon::CTagFileReader& reader)
    : CItemAttribute(kItemAttributeAttributeReq)
{
    reader.ReadStartTag("attribute");
    m_Attribute = static_cast<std::uint32_t>(reader.ReadConverted(FindAttributeByKey));
    m_RequiredValue = reader.ReadUnsigned();
    reader.ReadEndTag();
}

CItemAttributeAttributeReq::CItemAttributeAttributeReq(std::uint32_t attribute,
                                                       std::uint32_t requiredValue)
    : CItemAttribute(kItemAttributeAttributeReq), m_Attribute(attribute),
      m_RequiredValue(requiredValue)
{
}

// ----------------------------------------------------------------- spell

CItemAttributeSpell::CItemAttributeSpell(VARDCommon::CTagFileReader& reader, const CModule& module)
    : CItemAttribute(kItemAttributeSpell)
{
    reader.ReadStartTag("spell");
    const std::string where = reader.Where();
    const std::string name = reader.ReadWord();
    m_Spell = module.FindSpell(name);
    if (m_Spell == nullptr)
        throw CVARDException(1, where + ": the item names the spell " +
                                    VARDCommon::QuoteForMessage(name) +
                                    ", which the module does not hold");
    reader.ReadEndTag();
}

CItemAttributeSpell::CItemAttributeSpell(const CSpell* spell)
    : CItemAttribute(kItemAttributeSpell), m_Spell(spell)
{
}

// ----------------------------------------------------------------- quest

CItemAttributeQuest::CItemAttributeQuest(VARDCommon::CTagFileReader& reader)
    : CItemAttribute(kItemAttributeQuest)
{
    reader.ReadStartTag("quest");
    m_QuestName = reader.ReadWord();
    reader.ReadEndTag();
}

CItemAttributeQuest::CItemAttributeQuest(std::string questName)
    : CItemAttribute(kItemAttributeQuest), m_QuestName(std::move(questName))
{
}

// ---------------------------------------------------------------- modify

CItemAttributeModify::CItemAttributeModify(VARDCommon::CTagFileReader& reader,
                                           const std::string& itemDisplayName)
    : CItemAttribute(kItemAttributeModify)
{
    reader.ReadStartTag("modify");
    const std::int32_t value = reader.ReadInt();
    const std::string stacking = reader.ReadString();
    const std::uint32_t stackingKind =
        stacking.empty() ? kStackingItem : static_cast<std::uint32_t>(FindSaveByKey(stacking));
    const std::uint32_t mask = ParseModifierMask(reader);
    reader.ReadEndTag();
    m_Modifier =
        std::make_shared<CModifier>(itemDisplayName, 0u, mask, value, stackingKind, 0, true);
}

CItemAttributeModify::CItemAttributeModify(std::shared_ptr<CModifier> modifier)
    : CItemAttribute(kItemAttributeModify), m_Modifier(std::move(modifier))
{
}

CItemAttributeModify::~CItemAttributeModify() = default;

// ---------------------------------------------------------------- reader

std::shared_ptr<CItemAttribute> ReadItemAttribute(VARDCommon::CTagFileReader& reader,
                                                  const CModule& module,
                                                  const std::string& itemDisplayName)
{
    if (reader.IsStartTag("weapon"))
        return std::make_shared<CItemAttributeWeapon>(reader);
    if (reader.IsStartTag("armor"))
        return std::make_shared<CItemAttributeArmor>(reader);
    if (reader.IsStartTag("attribute"))
        return std::make_shared<CItemAttributeAttributeReq>(reader);
    if (reader.IsStartTag("spell"))
        return std::make_shared<CItemAttributeSpell>(reader, module);
    if (reader.IsStartTag("quest"))
        return std::make_shared<CItemAttributeQuest>(reader);
    if (reader.IsStartTag("modify"))
        return std::make_shared<CItemAttributeModify>(reader, itemDisplayName);
    reader.Fail(1, "expected an item attribute (<weapon>, <armor>, <attribute>, <spell>, "
                   "<quest> or <modify>)");
}

} // namespace VARD
