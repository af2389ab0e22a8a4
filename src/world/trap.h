#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <memory>
#include <string>

namespace VARD
{

class CScript;

// A trap on a world object. The object definition holds one; every placed
// object owns its own copy, which springs, re-arms and is saved.
class CTrap
{
public:
    CTrap() = default;

    // The <trap> block of an object definition: flag, difficulty, level, a
    // <lua> script or a spell name ("0" none), re-arm delay. Code 1 for a bad
    // token or a negative or non-finite delay.
    void ReadDefinition(VARDCommon::CTagFileReader& reader);
    // The saved <trap> record. The script is not saved: it comes from the
    // definition's trap, which may be null.
    void ReadSaved(VARDCommon::CTagFileReader& reader, const CTrap* definition);
    void Write(VARDCommon::CTagFileWriter& writer) const;

    // A new trap like this one, armed from tick 0.
    std::shared_ptr<CTrap> Copy() const;

    // Clears the flag when asked. False when the trap does not re-arm (its
    // object goes); else it is armed again trunc(delay × 30) ticks from now.
    bool ScheduleRearm(std::uint32_t currentTick, bool clearFlag);

    std::uint32_t GetDifficulty() const { return m_Difficulty; }
    std::int32_t GetLevel() const { return m_Level; }
    const std::string& GetSpellName() const { return m_SpellName; }
    std::shared_ptr<CScript> GetScript() const { return m_Script; }
    double GetRearmDelay() const { return m_RearmDelay; }
    // Set while the trap is hidden; cleared when it launches its spell.
    bool GetFlag() const { return m_Flag; }
    std::uint32_t GetRearmTick() const { return m_RearmTick; }
    bool IsArmed(std::uint32_t currentTick) const { return m_RearmTick <= currentTick; }

    void SetDifficulty(std::uint32_t difficulty) { m_Difficulty = difficulty; }
    void SetLevel(std::int32_t level) { m_Level = level; }
    void SetSpellName(std::string spellName) { m_SpellName = std::move(spellName); }
    void SetScript(std::shared_ptr<CScript> script) { m_Script = std::move(script); }
    // Code 1 for a negative or non-finite delay.
    void SetRearmDelay(double seconds);
    void SetFlag(bool flag) { m_Flag = flag; }
    void SetRearmTick(std::uint32_t tick) { m_RearmTick = tick; }

private:
    std::uint32_t m_Difficulty = 0;
    std::int32_t m_Level = 0;
    std::string m_SpellName;
    std::shared_ptr<CScript> m_Script;
    double m_RearmDelay = 0.0;
    bool m_Flag = true;
    std::uint32_t m_RearmTick = 0;
};

} // namespace VARD
