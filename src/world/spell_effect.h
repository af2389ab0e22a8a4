#pragma once

#include "common/tag_file_fwd.h"
#include "world/spell_magnitude.h"

#include <cstdint>
#include <memory>
#include <string>

namespace VARD
{

class CModule;
class CActorTemplate;
class CItemTemplate;

// Spell-effect kinds: the rows of the spell-effect kind table.
enum : int
{
    kSpellEffectModify = 0,
    kSpellEffectSummon = 1,
    kSpellEffectHeal = 2,
    kSpellEffectDamage = 3,
    kSpellEffectTeleport = 4,
    kSpellEffectStatus = 5,
    kSpellEffectMana = 6,
    kSpellEffectRemove = 7,
    kSpellEffectDispel = 8,
    kSpellEffectItem = 9,
    kSpellEffectRepulse = 10,
    kSpellEffectRaise = 11,
};

// One effect of a spell. Effects only hold data: the rules apply each by its
// class, and the only question an effect answers itself is whether it is
// hostile to its target.
class CSpellEffect
{
public:
    virtual ~CSpellEffect();
    virtual bool IsHostile() const = 0;

    int GetKind() const { return m_Kind; }

    // Reads the inside of an <effect> element: the kind key (code 2 for a key
    // outside the table) and the kind's fields, up to the end tag, which is
    // left to the caller. The level scales magnitudes and durations.
    static std::shared_ptr<CSpellEffect> Create(VARDCommon::CTagFileReader& reader, int level);

protected:
    explicit CSpellEffect(int kind) : m_Kind(kind) {}

private:
    int m_Kind;
};

// A bonus or penalty to the statistics of the mask (modifier target bits).
class CSpellEffectModify : public CSpellEffect
{
public:
    // Duration word, magnitude, then target words up to the end tag.
    CSpellEffectModify(VARDCommon::CTagFileReader& reader, int level);
    // The built-in powers: no duration, no die, both bonuses level + 10.
    CSpellEffectModify(int level, int fixedAtLow, int fixedAtHigh, std::uint32_t statMask);
    CSpellEffectModify(std::shared_ptr<CSpellDuration> duration,
                       std::shared_ptr<CSpellMagnitude> magnitude, std::uint32_t statMask);

    // A change below 1 at the low bonus is a penalty.
    bool IsHostile() const override;

    const std::shared_ptr<CSpellDuration>& GetDuration() const { return m_Duration; }
    const std::shared_ptr<CSpellMagnitude>& GetMagnitude() const { return m_Magnitude; }
    std::uint32_t GetStatMask() const { return m_StatMask; }

private:
    std::shared_ptr<CSpellDuration> m_Duration;
    std::shared_ptr<CSpellMagnitude> m_Magnitude;
    std::uint32_t m_StatMask = 0;
};

// Calls up a creature made from an actor template, on a side.
class CSpellEffectSummon : public CSpellEffect
{
public:
    // Duration word, creature template name ("0" = none), attitude word.
    CSpellEffectSummon(VARDCommon::CTagFileReader& reader, int level);
    CSpellEffectSummon(std::shared_ptr<CSpellDuration> duration, std::string creature,
                       int attitude);

    bool IsHostile() const override { return false; }

    const std::shared_ptr<CSpellDuration>& GetDuration() const { return m_Duration; }
    const std::string& GetCreature() const { return m_Creature; }
    int GetAttitude() const { return m_Attitude; }
    // The creature's template in the module, or null when the module has none
    // of that name. Spells are read before the actor templates, so the name
    // is kept and looked up when the effect is used.
    const CActorTemplate* FindCreature(const CModule& module) const;

private:
    std::shared_ptr<CSpellDuration> m_Duration;
    std::string m_Creature;
    int m_Attitude = 0;
};

// Heals hit points (kind 2, "heal") or restores energy (kind 6, "mana").
class CSpellEffectHeal : public CSpellEffect
{
public:
    // Kinds other than 2 and 6 are code 1.
    CSpellEffectHeal(VARDCommon::CTagFileReader& reader, int kind, int level);
    CSpellEffectHeal(int kind, std::shared_ptr<CSpellMagnitude> magnitude);

    bool IsHostile() const override { return false; }

    const std::shared_ptr<CSpellMagnitude>& GetMagnitude() const { return m_Magnitude; }

private:
    std::shared_ptr<CSpellMagnitude> m_Magnitude;
};

class CSpellEffectDamage : public CSpellEffect
{
public:
    CSpellEffectDamage(VARDCommon::CTagFileReader& reader, int level);
    explicit CSpellEffectDamage(std::shared_ptr<CSpellMagnitude> magnitude);

    bool IsHostile() const override { return true; }

    const std::shared_ptr<CSpellMagnitude>& GetMagnitude() const { return m_Magnitude; }

private:
    std::shared_ptr<CSpellMagnitude> m_Magnitude;
};

// Moves the caster, or the whole party, to the target point or back to the
// area's entry.
class CSpellEffectTeleport : public CSpellEffect
{
public:
    // Words up to the end tag: "party", "return"; any other is code 1.
    explicit CSpellEffectTeleport(VARDCommon::CTagFileReader& reader);
    CSpellEffectTeleport(bool party, bool toEntry);

    bool IsHostile() const override { return false; }

    bool IsParty() const { return m_Party; }
    bool IsReturn() const { return m_Return; }

private:
    bool m_Party = false;
    bool m_Return = false;
};

// Lays a status (fear, held, ...) on the target.
class CSpellEffectStatus : public CSpellEffect
{
public:
    // Duration word, status word (code 1 for a word outside the list).
    CSpellEffectStatus(VARDCommon::CTagFileReader& reader, int level);
    CSpellEffectStatus(std::shared_ptr<CSpellDuration> duration, int status);

    bool IsHostile() const override { return true; }

    const std::shared_ptr<CSpellDuration>& GetDuration() const { return m_Duration; }
    int GetStatus() const { return m_Status; }

private:
    std::shared_ptr<CSpellDuration> m_Duration;
    int m_Status = 0;
};

// Lifts a status from the target.
class CSpellEffectRemove : public CSpellEffect
{
public:
    explicit CSpellEffectRemove(VARDCommon::CTagFileReader& reader);
    explicit CSpellEffectRemove(int status);

    bool IsHostile() const override { return false; }

    int GetStatus() const { return m_Status; }

private:
    int m_Status = 0;
};

// Removes one or many modifiers from the target: penalties when "hostile" is
// set, else bonuses; optionally only those of one stacking slot.
class CSpellEffectDispel : public CSpellEffect
{
public:
    static constexpr int kAnySlot = 3;

    // Words up to the end tag: "many", "hostile", a save key for the slot;
    // other words are skipped.
    explicit CSpellEffectDispel(VARDCommon::CTagFileReader& reader);
    CSpellEffectDispel(bool many, bool hostile, int slotFilter);

    // Removing bonuses harms the target; removing penalties helps it.
    bool IsHostile() const override { return !m_Hostile; }

    bool IsMany() const { return m_Many; }
    bool IsDispelHostile() const { return m_Hostile; }
    int GetSlotFilter() const { return m_SlotFilter; }

private:
    bool m_Many = false;
    bool m_Hostile = false;
    int m_SlotFilter = kAnySlot;
};

// Creates an item from an item template for a time.
class CSpellEffectItem : public CSpellEffect
{
public:
    // Duration word, item template name ("0" = none).
    CSpellEffectItem(VARDCommon::CTagFileReader& reader, int level);
    CSpellEffectItem(std::shared_ptr<CSpellDuration> duration, std::string item);

    bool IsHostile() const override { return false; }

    const std::shared_ptr<CSpellDuration>& GetDuration() const { return m_Duration; }
    const std::string& GetItem() const { return m_Item; }
    // The item template in the module, or null. Spells are read before the
    // item templates, so the name is kept and looked up when used.
    const CItemTemplate* FindItemTemplate(const CModule& module) const;

private:
    std::shared_ptr<CSpellDuration> m_Duration;
    std::string m_Item;
};

// Drives enemies away.
class CSpellEffectRepulse : public CSpellEffect
{
public:
    CSpellEffectRepulse() : CSpellEffect(kSpellEffectRepulse) {}

    bool IsHostile() const override { return true; }
};

// Raises a dead party member, healed fully when "heal" is set.
class CSpellEffectRaise : public CSpellEffect
{
public:
    // Words up to the end tag: "heal"; any other is code 1.
    explicit CSpellEffectRaise(VARDCommon::CTagFileReader& reader);
    explicit CSpellEffectRaise(bool heal);

    bool IsHostile() const override { return true; }

    bool IsHeal() const { return m_Heal; }

private:
    bool m_Heal = false;
};

} // namespace VARD
