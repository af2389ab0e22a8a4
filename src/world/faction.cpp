#include "world/faction.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/module.h"
#include "world/rule_tables.h"

namespace VARD
{

CFaction::CFaction(std::string name, std::string displayName, std::string description)
    : m_Name(std::move(name)), m_DisplayName(std::move(displayName)),
      m_Description(std::move(description))
{
}

CFaction::CFaction(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("faction");
    m_Name = reader.ReadWord();
    m_DisplayName = reader.ReadQuoted();
    m_Description = reader.ReadQuoted();
    while (reader.IsStartTag("rank"))
        ReadRank(reader);
    reader.ReadEndTag();
}

void CFaction::ReadRank(VARDCommon::CTagFileReader& reader)
{
    // Abilities of this block belong to the rank of the blocks read before it.
    const auto rank = static_cast<std::int32_t>(m_RankTitles.size());
    reader.ReadStartTag("rank");
    m_RankTitles.push_back(reader.ReadQuoted());
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAtEnd() || reader.IsAnyStartTag())
            reader.Fail(1, "expected a rank ability or </rank>");
        if (reader.ReadTupleStart(2, false))
        {
            std::string spellName = reader.ReadWord();
            const int skill = reader.ReadConverted(FindSkillByKey);
            AddSpell(rank, spellName, skill);
        }
        else
        {
            AddSpell(rank, reader.ReadWord(), kSkillNone);
        }
    }
    reader.ReadEndTag();
}

std::string CFaction::GetRankTitle(std::uint32_t rank) const
{
    if (rank >= m_RankTitles.size())
        return std::string();
    return m_RankTitles[rank];
}

void CFaction::AddRank(const std::string& title)
{
    m_RankTitles.push_back(title);
}

void CFaction::AddSpell(std::int32_t rank, const std::string& spellName, std::int32_t skill)
{
    auto spell = std::make_shared<CFactionSpell>();
    spell->rank = rank;
    spell->spellName = spellName;
    spell->skill = skill;
    m_Spells.push_back(std::move(spell));
}

std::vector<const CSpell*>
CFaction::GetGrantedSpells(const CModule& module, std::uint32_t rank,
                           const std::function<bool(int)>& hasSkill) const
{
    std::vector<const CSpell*> granted;
    for (const auto& ability : m_Spells)
    {
        if (static_cast<std::int64_t>(ability->rank) > static_cast<std::int64_t>(rank))
            continue;
        if (ability->skill != kSkillNone && !(hasSkill && hasSkill(ability->skill)))
            continue;
        const CSpell* spell = module.FindSpell(ability->spellName);
        if (spell != nullptr)
            granted.push_back(spell);
    }
    return granted;
}

void ReadFactionsFile(VARDCommon::CTagFileReader& reader, CModule& module)
{
    reader.ReadStartTag("factions");
    while (reader.IsStartTag("faction"))
    {
        auto faction = std::make_shared<CFaction>(reader);
        module.Factions()[faction->GetName()] = std::move(faction);
    }
    reader.ReadEndTag();
}

} // namespace VARD
