#pragma once

#include "common/tag_file_fwd.h"
#include "world/attack_info.h"
#include "world/rule_tables.h"
#include "world/talk_state.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARDGraph
{
class CGraphicColors;
} // namespace VARDGraph

namespace VARD
{

class CBrain;
class CFaction;
class CModule;
class CScript;
class CSpell;

// A natural attack of a creature (claws, bite, a spitting gland) and the spell
// it launches when it hits. Also part of the actor record.
class CActorMonsterAttack
{
public:
    // Reads one <attack> record. Code 1 for a malformed record.
    explicit CActorMonsterAttack(VARDCommon::CTagFileReader& reader);
    CActorMonsterAttack(CAttackInfo info, std::string spellName);

    // The <attack> record; the spell name is left out when there is none.
    void Write(VARDCommon::CTagFileWriter& writer) const;

    const std::shared_ptr<CAttackInfo>& GetAttackInfo() const { return m_Info; }
    // Empty when the attack launches no spell.
    const std::string& GetSpellName() const { return m_SpellName; }

private:
    std::shared_ptr<CAttackInfo> m_Info;
    std::string m_SpellName;
};

// An entry of a template's carried items: every actor made from the template
// gets one item of that template per entry, whose first creation value is the
// number.
struct CActorTemplateItem
{
    std::string itemName;
    std::uint32_t number = 0;

    bool operator==(const CActorTemplateItem&) const = default;
};

// A kind of creature or person from "monsters.vard". Actors are made from it
// and loaded actors take their talk and brain from it; it never changes after
// loading.
class CActorTemplate
{
public:
    enum : std::uint32_t
    {
        kFlagAutospell = 1,
        kFlagSneak = 2,
    };

    using ItemList = std::vector<CActorTemplateItem>;
    using SpellList = std::vector<const CSpell*>;

    // Reads one <monster> record. Needs the module's factions, spells and item
    // templates. Code 1 for a malformed record, a gender, flag or item-type
    // word outside its list and an optional block out of its order; the
    // creature-kind, class and skill tables and the brain's attitude list
    // throw code 2 for words they lack.
    CActorTemplate(VARDCommon::CTagFileReader& reader, const CModule& module);
    ~CActorTemplate();
    CActorTemplate(const CActorTemplate&) = delete;
    CActorTemplate& operator=(const CActorTemplate&) = delete;

    const std::string& GetName() const { return m_Name; }
    const std::string& GetDisplayName() const { return m_DisplayName; }
    const std::string& GetSecondText() const { return m_SecondText; }
    std::uint32_t GetFigureColor() const { return m_FigureColor; }
    const std::string& GetFigureString() const { return m_FigureString; }
    const std::string& GetGraphicName() const { return m_GraphicName; }
    // Null when the record has no <color> block.
    std::shared_ptr<VARDGraph::CGraphicColors> GetColors() const { return m_Colors; }
    // 0 male, 1 female, 2 none.
    std::uint32_t GetGender() const { return m_Gender; }
    std::uint32_t GetRace() const { return m_Race; }
    double GetRadius() const { return m_Radius; }
    double GetSecondSize() const { return m_SecondSize; }
    std::int32_t GetLevelBonus() const { return m_LevelBonus; }
    std::uint32_t GetClass() const { return m_Class; }
    std::uint32_t GetLevel() const { return m_Level; }
    // Null for no faction, also when the named faction is not in the module.
    const CFaction* GetFaction() const { return m_Faction; }
    std::uint32_t GetFactionRank() const { return m_FactionRank; }
    std::uint32_t GetHitPoints() const { return m_HitPoints; }
    // Strength, Agility, Durability, Intelligence, Personality.
    const std::array<std::uint32_t, 5>& GetAttributes() const { return m_Attributes; }
    // From <monsterstats>; 0 when absent.
    std::int32_t GetDefense() const { return m_Defense; }
    std::int32_t GetEscape() const { return m_Escape; }
    std::int32_t GetFortitude() const { return m_Fortitude; }
    std::int32_t GetResolve() const { return m_Resolve; }
    std::int32_t GetActionSpeed() const { return m_ActionSpeed; }
    std::int32_t GetMovementSpeed() const { return m_MovementSpeed; }
    const std::vector<std::shared_ptr<CActorMonsterAttack>>& GetAttacks() const
    {
        return m_Attacks;
    }
    std::uint32_t GetSpellResistance() const { return m_SpellResistance; }
    const SkillSet& GetSkills() const { return m_Skills; }
    // Copies, for the actor being made.
    SpellList GetSpells() const { return m_Spells; }
    ItemList GetItems() const { return m_Items; }
    const TalkStateList& GetTalkStates() const { return m_TalkStates; }
    const BuyTable& GetBuyTable() const { return m_BuyTable; }
    // Null when the record has no heartbeat script.
    std::shared_ptr<CScript> GetHeartbeatScript() const { return m_Heartbeat; }
    // The template's own brain, for looking at; null when it has none.
    const CBrain* GetBrain() const { return m_Brain.get(); }
    // A brain of the actor's own; null when the template has none.
    std::shared_ptr<CBrain> CloneBrain() const;
    std::uint32_t GetFlags() const { return m_Flags; }
    bool HasFlag(std::uint32_t flag) const { return (m_Flags & flag) != 0; }

private:
    void ReadFaction(VARDCommon::CTagFileReader& reader, const CModule& module);
    void ReadMonsterStats(VARDCommon::CTagFileReader& reader);
    void ReadSpellResistance(VARDCommon::CTagFileReader& reader);
    void ReadItems(VARDCommon::CTagFileReader& reader, const CModule& module);
    void ReadAutoItems(VARDCommon::CTagFileReader& reader, const CModule& module);
    void ReadHeartbeat(VARDCommon::CTagFileReader& reader);
    void ReadFlags(VARDCommon::CTagFileReader& reader);

    std::string m_Name;
    std::string m_DisplayName;
    std::string m_SecondText;
    std::uint32_t m_FigureColor = 0;
    std::string m_FigureString;
    std::string m_GraphicName;
    std::shared_ptr<VARDGraph::CGraphicColors> m_Colors;
    std::uint32_t m_Gender = 0;
    std::uint32_t m_Race = 0;
    double m_Radius = 0.0;
    double m_SecondSize = 0.0;
    std::int32_t m_LevelBonus = 0;
    std::uint32_t m_Class = 0;
    std::uint32_t m_Level = 0;
    const CFaction* m_Faction = nullptr;
    std::uint32_t m_FactionRank = 0;
    std::uint32_t m_HitPoints = 0;
    std::array<std::uint32_t, 5> m_Attributes{};
    std::int32_t m_Defense = 0;
    std::int32_t m_Escape = 0;
    std::int32_t m_Fortitude = 0;
    std::int32_t m_Resolve = 0;
    std::int32_t m_ActionSpeed = 0;
    std::int32_t m_MovementSpeed = 0;
    std::vector<std::shared_ptr<CActorMonsterAttack>> m_Attacks;
    std::uint32_t m_SpellResistance = 0;
    SkillSet m_Skills;
    SpellList m_Spells;
    ItemList m_Items;
    TalkStateList m_TalkStates;
    BuyTable m_BuyTable{};
    std::shared_ptr<CScript> m_Heartbeat;
    std::shared_ptr<CBrain> m_Brain;
    std::uint32_t m_Flags = 0;
};

// The body of "monsters.vard": <monsters>, its <monster> records, </monsters>.
// Each template is stored under its name; a later one of the same name
// replaces the earlier.
void ReadMonstersFile(VARDCommon::CTagFileReader& reader, CModule& module);

} // namespace VARD
