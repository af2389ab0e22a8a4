#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <memory>
#include <string>

namespace VARD
{

class CModifier;
class CModule;
class CSpell;

// Kinds of item attribute; the rules look an item's properties up by kind.
enum : std::int32_t
{
    kItemAttributeWeapon = 0,
    kItemAttributeArmor = 1,
    kItemAttributeAttributeReq = 2,
    kItemAttributeSpell = 3,
    kItemAttributeQuest = 4,
    kItemAttributeModify = 5,
};

// One typed property of an item template. Each kind reads its own element,
// start and end tag included.
class CItemAttribute
{
public:
    virtual ~CItemAttribute();
    std::int32_t GetKind() const { return m_Kind; }

protected:
    explicit CItemAttribute(std::int32_t kind) : m_Kind(kind) {}

private:
    std::int32_t m_Kind;
};

// <weapon> weapon-kind two-handed attack-bonus die-size base </weapon>
class CItemAttributeWeapon : public CItemAttribute
{
public:
    explicit CItemAttributeWeapon(VARDCommon::CTagFileReader& reader);
    CItemAttributeWeapon(std::uint32_t weaponKind, bool twoHanded, std::int32_t attackBonus,
                         std::int32_t dieSize, std::int32_t damageBase);

    std::uint32_t GetWeaponKind() const { return m_WeaponKind; }
    bool IsTwoHanded() const { return m_TwoHanded; }
    std::int32_t GetAttackBonus() const { return m_AttackBonus; }
    std::int32_t GetDieSize() const { return m_DieSize; }
    std::int32_t GetDamageBase() const { return m_DamageBase; }

private:
    std::uint32_t m_WeaponKind = 0;
    bool m_TwoHanded = false;
    std::int32_t m_AttackBonus = 0;
    std::int32_t m_DieSize = 0;
    std::int32_t m_DamageBase = 0;
};

// <armor> skill-or-0 defence ( has-maximum maximum )-or-0 attack-penalty
// casting-penalty </armor>
class CItemAttributeArmor : public CItemAttribute
{
public:
    explicit CItemAttributeArmor(VARDCommon::CTagFileReader& reader);
    CItemAttributeArmor(std::uint32_t armorSkill, std::int32_t defenseClass, bool hasMaxAgility,
                        std::int32_t maxAgilityBonus, std::int32_t attackPenalty,
                        std::int32_t spellPenalty);

    // 83 for armour that needs no skill.
    std::uint32_t GetArmorSkill() const { return m_ArmorSkill; }
    std::int32_t GetDefenseClass() const { return m_DefenseClass; }
    bool HasMaxAgilityBonus() const { return m_HasMaxAgility; }
    std::int32_t GetMaxAgilityBonus() const { return m_MaxAgilityBonus; }
    // Taken from the attack bonus of a wearer who lacks the armour skill.
    std::int32_t GetAttackPenalty() const { return m_AttackPenalty; }
    std::int32_t GetSpellPenalty() const { return m_SpellPenalty; }

private:
    std::uint32_t m_ArmorSkill = 83;
    std::int32_t m_DefenseClass = 0;
    bool m_HasMaxAgility = false;
    std::int32_t m_MaxAgilityBonus = 0;
    std::int32_t m_AttackPenalty = 0;
    std::int32_t m_SpellPenalty = 0;
};

// <attribute> attribute required-value </attribute>
class CItemAttributeAttributeReq : public CItemAttribute
{
public:
    explicit CItemAttributeAttributeReq(VARDCommon::CTagFileReader& reader);
    CItemAttributeAttributeReq(std::uint32_t attribute, std::uint32_t requiredValue);

    std::uint32_t GetAttribute() const { return m_Attribute; }
    std::uint32_t GetRequiredValue() const { return m_RequiredValue; }

private:
    std::uint32_t m_Attribute = 0;
    std::uint32_t m_RequiredValue = 0;
};

// <spell> spell-key </spell>; the spell must already be in the module.
class CItemAttributeSpell : public CItemAttribute
{
public:
    CItemAttributeSpell(VARDCommon::CTagFileReader& reader, const CModule& module);
    explicit CItemAttributeSpell(const CSpell* spell);

    // A spell of the module's spell map; never null.
    const CSpell* GetSpell() const { return m_Spell; }

private:
    const CSpell* m_Spell = nullptr;
};

// <quest> quest-name </quest>
class CItemAttributeQuest : public CItemAttribute
{
public:
    explicit CItemAttributeQuest(VARDCommon::CTagFileReader& reader);
    explicit CItemAttributeQuest(std::string questName);

    const std::string& GetQuestName() const { return m_QuestName; }

private:
    std::string m_QuestName;
};

// <modify> value stacking-word-or-0 target-words </modify>: a permanent,
// silent modifier named after the item that applies while it is worn.
class CItemAttributeModify : public CItemAttribute
{
public:
    CItemAttributeModify(VARDCommon::CTagFileReader& reader, const std::string& itemDisplayName);
    explicit CItemAttributeModify(std::shared_ptr<CModifier> modifier);
    ~CItemAttributeModify() override;

    const std::shared_ptr<CModifier>& GetModifier() const { return m_Modifier; }

private:
    std::shared_ptr<CModifier> m_Modifier;
};

// Reads the attribute element at the reader by its start tag; code 1 for any
// other token. The display name names the modifier of a <modify>.
std::shared_ptr<CItemAttribute> ReadItemAttribute(VARDCommon::CTagFileReader& reader,
                                                  const CModule& module,
                                                  const std::string& itemDisplayName);

} // namespace VARD
