#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VARD
{

// Stacking kinds of a modifier: bonuses of one kind never add up, only the
// best (and the worst penalty) of each kind counts.
enum : std::uint32_t
{
    kStackingEscape = 0,
    kStackingFortitude = 1,
    kStackingResolve = 2,
    kStackingPower = 3,
    kStackingMusic = 4,
    // An item's modifier written with the stacking word "0": a kind of its
    // own, so worn items stack with every spell and power.
    kStackingItem = 5,
};
// Slots of any table kept per stacking kind; kStackingItem has its own.
constexpr std::uint32_t kStackingKindCount = 6;

// Statistics a modifier may change: the bits of its mask.
enum : std::uint32_t
{
    kModAttackBonus = 0x1,
    kModAttackDamage = 0x2,
    kModDefense = 0x4,
    kModEscape = 0x10,
    kModFortitude = 0x20,
    kModResolve = 0x40,
    // Locks; the five special stats follow as 0x80 << stat.
    kModSpecialStatFirst = 0x80,
    kModStealth = 0x400,
    kModObservation = 0x800,
    // Strength; the five attributes follow as 0x1000 << attribute.
    kModAttributeFirst = 0x1000,
    kModIntelligence = 0x8000,
    kModCastingBonus = 0x20000,
    kModSpellResistance = 0x40000,
    kModActionSpeed = 0x80000,
    kModMovementSpeed = 0x100000,
};

// A named signed bonus on a set of statistics, from a spell, a power, a
// worn item or a sneak attack.
class CModifier
{
public:
    CModifier(std::string name, std::uint32_t expiryTick, std::uint32_t mask, std::int32_t value,
              std::uint32_t stackingKind, std::int32_t level, bool silent)
        : m_Name(std::move(name)), m_ExpiryTick(expiryTick), m_Mask(mask), m_Value(value),
          m_StackingKind(stackingKind), m_Level(level), m_Silent(silent)
    {
    }

    const std::string& GetName() const { return m_Name; }
    // 0 for a permanent modifier.
    std::uint32_t GetExpiryTick() const { return m_ExpiryTick; }
    std::uint32_t GetMask() const { return m_Mask; }
    std::int32_t GetValue() const { return m_Value; }
    std::uint32_t GetStackingKind() const { return m_StackingKind; }
    std::int32_t GetLevel() const { return m_Level; }
    bool IsSilent() const { return m_Silent; }

    bool HasExpired(std::uint32_t now) const { return m_ExpiryTick != 0 && m_ExpiryTick <= now; }

private:
    std::string m_Name;
    std::uint32_t m_ExpiryTick;
    std::uint32_t m_Mask;
    std::int32_t m_Value;
    std::uint32_t m_StackingKind;
    std::int32_t m_Level;
    bool m_Silent;
};

using ModifierList = std::vector<std::shared_ptr<CModifier>>;

// Conditions an actor can be under.
enum : std::uint32_t
{
    kStatusFear = 0,
    kStatusHeld = 1,
    kStatusConfused = 2,
    kStatusImmobile = 3,
    kStatusCharmed = 4,
    kStatusDominated = 5,
};
constexpr std::uint32_t kStatusKindCount = 6;

// One condition on an actor; an actor holds at most one of each kind.
class CActorStatus
{
public:
    // Code 2 for a kind outside 0..5.
    CActorStatus(std::uint32_t kind, std::uint32_t expiryTick);

    std::uint32_t GetKind() const { return m_Kind; }
    // 0 for a status without end.
    std::uint32_t GetExpiryTick() const { return m_ExpiryTick; }
    void SetExpiryTick(std::uint32_t tick) { m_ExpiryTick = tick; }
    // "Fear", "Held", "Confused", "Immobile", "Charmed", "Dominated".
    std::string GetDisplayName() const;

    bool HasExpired(std::uint32_t now) const { return m_ExpiryTick != 0 && m_ExpiryTick <= now; }

private:
    std::uint32_t m_Kind;
    std::uint32_t m_ExpiryTick;
};

using StatusList = std::vector<std::shared_ptr<CActorStatus>>;

// The later of two expiry ticks, where 0 (no end) is the latest of all.
std::uint32_t LaterExpiry(std::uint32_t a, std::uint32_t b);

// <mods> <mod> "name" expiry mask value stacking-word level silent </mod>...
// </mods>. Reading appends; the silent word must be "true" or "false"
// (code 1), a stacking word outside escape, fortitude, resolve, power and
// music is code 2. Writing a modifier of the item kind is code 2: worn items'
// modifiers belong to their templates, not to the actor's list.
void WriteModifierList(VARDCommon::CTagFileWriter& writer, const ModifierList& modifiers);
void ReadModifierList(VARDCommon::CTagFileReader& reader, ModifierList& modifiers);

// <statuslist> <status> kind expiry </status>... </statuslist>. Reading
// appends in order; a kind outside 0..5 is code 2, a kind the list already
// holds code 1.
void WriteStatusList(VARDCommon::CTagFileWriter& writer, const StatusList& statuses);
void ReadStatusList(VARDCommon::CTagFileReader& reader, StatusList& statuses);

} // namespace VARD
