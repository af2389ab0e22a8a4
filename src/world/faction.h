#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CModule;
class CSpell;

// A spell or power that a faction grants to members of at least a rank.
struct CFactionSpell
{
    std::int32_t rank = 0;   // 0-based: granted from this rank on
    std::string spellName;   // a key of the module's spell map
    std::int32_t skill = 83; // required skill; 83 = none
};

// An organisation an actor can belong to, with its ranks (rank 0 first) and
// the abilities those ranks grant.
class CFaction
{
public:
    // One <faction> record. Code 1 for a malformed record or a skill word
    // outside the skill table.
    explicit CFaction(VARDCommon::CTagFileReader& reader);
    CFaction(std::string name, std::string displayName, std::string description);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetDisplayName() const { return m_DisplayName; }
    const std::string& GetDescription() const { return m_Description; }
    const std::vector<std::string>& GetRankTitles() const { return m_RankTitles; }
    const std::vector<std::shared_ptr<CFactionSpell>>& GetSpells() const { return m_Spells; }

    // The title of a rank; empty for a rank the faction does not have, so
    // that a member whose rank outgrew the list still shows its faction.
    std::string GetRankTitle(std::uint32_t rank) const;

    void AddRank(const std::string& title);
    void AddSpell(std::int32_t rank, const std::string& spellName, std::int32_t skill);

    // The spells granted up to a rank, in file order: the ability's rank is
    // not above the member's, its required skill is held (or is none) and its
    // spell exists in the module. Unknown spell names are passed over.
    std::vector<const CSpell*> GetGrantedSpells(const CModule& module, std::uint32_t rank,
                                                const std::function<bool(int)>& hasSkill) const;

private:
    void ReadRank(VARDCommon::CTagFileReader& reader);

    std::string m_Name;
    std::string m_DisplayName;
    std::string m_Description;
    std::vector<std::string> m_RankTitles;
    std::vector<std::shared_ptr<CFactionSpell>> m_Spells;
};

// "factions.vard": <factions> <faction>... </factions>. Each faction is stored
// under its name; a later one of the same name replaces the earlier.
void ReadFactionsFile(VARDCommon::CTagFileReader& reader, CModule& module);

} // namespace VARD
