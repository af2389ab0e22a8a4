#pragma once

#include "common/tag_file_fwd.h"
#include "world/module.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARDGraph
{
class CEffectParams;
} // namespace VARDGraph

namespace VARD
{

class CSpellEffect;
class CSpellEffectTeleport;

// Flag bits of a spell, with their words in the record. Bit 32 has no word.
constexpr std::uint32_t kSpellFlagTouch = 1;
constexpr std::uint32_t kSpellFlagMultiTarget = 2;
constexpr std::uint32_t kSpellFlagSummonTarget = 4;
constexpr std::uint32_t kSpellFlagPower = 8;
constexpr std::uint32_t kSpellFlagNoSave = 16;
constexpr std::uint32_t kSpellFlagPotion = 64;
constexpr std::uint32_t kSpellFlagWand = 128;

// Target modes.
constexpr int kSpellTargetSelf = 0;
constexpr int kSpellTargetTile = 1;
constexpr int kSpellTargetActor = 3;

// The save kind of a power (its modifiers' stacking slot), and of a song.
constexpr int kSaveKindPower = 3;
constexpr int kSaveKindMusic = 4;

// The one power every module has, built in rather than read.
inline constexpr const char* kSneakPowerKey = "s_power-sneak";

// A spell or a power (a spell with the "power" flag): its effects, how they
// scale, whom they may reach and what they cost. Built while the module loads
// and never changed afterwards.
class CSpell
{
public:
    using EffectList = std::vector<std::shared_ptr<CSpellEffect>>;

    // Reads one record, from <spell> to </spell>.
    explicit CSpell(VARDCommon::CTagFileReader& reader);
    // The built-in sneaking power; any other key is code 2.
    explicit CSpell(const std::string& key);
    // A built-in power with one Modify effect: no duration, no die, the fixed
    // parts at both ends of its bonus span level + 10, the given stat mask.
    CSpell(std::string key, std::string displayName, std::uint32_t color, std::string description,
           int skill, int secondSkill, int level, int requiredWeaponKind, int requiredSkill,
           int fixedAtLow, int fixedAtHigh, std::uint32_t statMask);
    ~CSpell();

    const std::string& GetKey() const { return m_Key; }
    const std::string& GetDisplayName() const { return m_DisplayName; }
    std::uint32_t GetColor() const { return m_Color; }
    const std::string& GetDescription() const { return m_Description; }
    const std::string& GetEffectGraphic() const { return m_EffectGraphic; }
    // Present exactly when the effect graphic is.
    const std::shared_ptr<VARDGraph::CEffectParams>& GetEffectParams() const
    {
        return m_EffectParams;
    }
    int GetSkill() const { return m_Skill; }
    int GetLevel() const { return m_Level; }
    // The save kind as written: 0 escape, 1 fortitude, 2 resolve, 3 none.
    int GetDeclaredSaveKind() const { return m_SaveKind; }
    int GetSaveLimit() const { return m_SaveLimit; }
    int GetSecondSkill() const { return m_SecondSkill; }
    double GetRange() const { return m_Range; }
    std::uint32_t GetFlags() const { return m_Flags; }
    bool HasFlag(std::uint32_t flag) const { return (m_Flags & flag) != 0; }
    bool IsPower() const { return HasFlag(kSpellFlagPower); }
    int GetRequiredWeaponKind() const { return m_RequiredWeaponKind; }
    int GetRequiredSkill() const { return m_RequiredSkill; }
    const std::vector<int>& GetRaces() const { return m_Races; }
    const std::vector<int>& GetExcludedRaces() const { return m_ExcludedRaces; }
    int GetTargetMode() const { return m_TargetMode; }
    const EffectList& GetEffects() const { return m_Effects; }
    const EffectList& GetSaveEffects() const { return m_SaveEffects; }
    // True only when every effect and save effect is hostile.
    bool IsHostile() const { return m_Hostile; }

    // The stacking slot of the modifiers it makes: a spell's save kind; 3 for
    // a power, 4 for a power of Singing.
    int GetSaveKind() const;
    int GetEnergyCost() const;
    // True when an effect is a Teleport; the first one is handed out.
    bool FindTeleportEffect(const CSpellEffectTeleport** effect = nullptr) const;
    // Whether an actor can be affected, from what the rules know of it: if it
    // was summoned, its creature kind, and its save of a given kind (asked
    // only when the spell has a save limit).
    // A template, so that a target search makes no std::function for each
    // candidate.
    template <class SaveOf> bool CanAffect(bool summoned, int creatureKind, SaveOf&& saveOf) const
    {
        if (!CanAffectKind(summoned, creatureKind))
            return false;
        // The limit goes with the save as written: a power's stacking slot is no save.
        return m_SaveLimit == 0 || saveOf(m_SaveKind) <= m_SaveLimit;
    }
    // World units per second of the effect in flight.
    double GetEffectSpeed() const;

private:
    // All of CanAffect but the save limit.
    bool CanAffectKind(bool summoned, int creatureKind) const;
    void ReadSave(VARDCommon::CTagFileReader& reader);
    void ReadRange(VARDCommon::CTagFileReader& reader);
    void ReadOption(VARDCommon::CTagFileReader& reader);
    void ReadEffectInto(VARDCommon::CTagFileReader& reader, EffectList& effects);

    std::string m_Key;
    std::string m_DisplayName;
    std::uint32_t m_Color = 0;
    std::string m_Description;
    std::string m_EffectGraphic;
    std::shared_ptr<VARDGraph::CEffectParams> m_EffectParams;
    int m_Skill = 83;
    int m_Level = 0;
    int m_SaveKind = 3;
    int m_SaveLimit = 0;
    int m_SecondSkill = 83;
    double m_Range = 10.0;
    std::uint32_t m_Flags = 0;
    int m_RequiredWeaponKind = 6;
    int m_RequiredSkill = 83;
    std::vector<int> m_Races;
    std::vector<int> m_ExcludedRaces;
    int m_TargetMode = kSpellTargetActor;
    EffectList m_Effects;
    EffectList m_SaveEffects;
    bool m_Hostile = true;
};

// An actor's known spells: <spells> one key per spell </spells>. A spell with
// an empty key is written "0". Reading looks each key up in the module's
// spells and leaves out keys the module does not have.
void WriteSpellList(const std::vector<const CSpell*>& spells, VARDCommon::CTagFileWriter& writer);
void ReadSpellList(VARDCommon::CTagFileReader& reader, const StringMap<CSpell>& moduleSpells,
                   std::vector<const CSpell*>& spells);
void ReadSpellList(VARDCommon::CTagFileReader& reader, const CModule& module,
                   std::vector<const CSpell*>& spells);

} // namespace VARD
