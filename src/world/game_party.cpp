// The party services of the running game.

#include "world/game.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/rule_tables.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>

namespace VARD
{

namespace
{

constexpr std::size_t kPartyMaxEntries = 6;
constexpr std::size_t kPartyMaxMembers = 4;
constexpr std::int32_t kNoLivingMember = -100000;
constexpr std::uint32_t kItemTypeMoney = 10;

bool IsLivingMember(const CActor& actor)
{
    return !actor.IsSummoned() && !actor.IsDead();
}

} // namespace

void CGame::AddActorInfo(std::int32_t kind, const CActor& actor)
{
    AddActorInfo(kind, actor.Id());
}

bool CGame::IsPartyFull() const
{
    const auto members = std::count_if(m_Party.begin(), m_Party.end(),
                                       [](const auto& actor) { return !actor->IsSummoned(); });
    return m_Party.size() >= kPartyMaxEntries ||
           static_cast<std::size_t>(members) >= kPartyMaxMembers;
}

bool CGame::IsPartyWipedOut() const
{
    return std::none_of(m_Party.begin(), m_Party.end(),
                        [](const auto& actor) { return IsLivingMember(*actor); });
}

void CGame::AddPartyMember(const std::shared_ptr<CActor>& actor)
{
    if (!actor)
        throw CVARDException(2, "no actor to add to the party");
    if (std::find(m_Party.begin(), m_Party.end(), actor) != m_Party.end())
        throw CVARDException(2, VARDCommon::QuoteForMessage(actor->GetName()) +
                                    " is already in the party");
    m_Party.push_back(actor);
    actor->SetAttitude(kAttitudeParty);
    actor->SetPartyIndex(static_cast<std::uint32_t>(m_Party.size() - 1));

    // Refreshed as every member is: the spells it now qualifies for.
    if (m_Module)
    {
        actor->LearnQualifyingSpells(*m_Module, this);
        actor->LearnFactionSpells(*m_Module, this);
    }

    // Money is the party's, not the member's.
    for (const auto& item : actor->GetBackpackItems())
    {
        if (item->GetTemplate()->GetItemType() != kItemTypeMoney)
            continue;
        const std::uint32_t count = item->GetValue1();
        // Announced first: a script run that cannot afford the line stops
        // with the coins still carried, not counted twice.
        AddMessage(kMessageGold, "The party has gained " + std::to_string(count) + " gold.");
        AddGold(count);
        actor->RemoveBackpackItem(item.get());
    }
}

void CGame::RemovePartyMember(const CActor& actor)
{
    const auto found =
        std::find_if(m_Party.begin(), m_Party.end(),
                     [&actor](const auto& member) { return member.get() == &actor; });
    if (found == m_Party.end())
        throw CVARDException(2,
                             VARDCommon::QuoteForMessage(actor.GetName()) + " is not in the party");
    const std::shared_ptr<CActor> member = *found;
    member->SetAttitude(kAttitudeNeutral);
    const auto position = m_Party.erase(found);
    for (auto it = position; it != m_Party.end(); ++it)
        (*it)->SetPartyIndex(static_cast<std::uint32_t>(it - m_Party.begin()));
}

void CGame::SwapPartyMembers(std::int32_t a, std::int32_t b)
{
    const auto size = static_cast<std::int32_t>(m_Party.size());
    if (a < 0 || b < 0 || a >= size || b >= size || a == b)
        throw CVARDException(3, "cannot swap party places " + std::to_string(a) + " and " +
                                    std::to_string(b) + " in a party of " + std::to_string(size));
    std::swap(m_Party[static_cast<std::size_t>(a)], m_Party[static_cast<std::size_t>(b)]);
    m_Party[static_cast<std::size_t>(a)]->SetPartyIndex(static_cast<std::uint32_t>(a));
    m_Party[static_cast<std::size_t>(b)]->SetPartyIndex(static_cast<std::uint32_t>(b));
}

std::int32_t CGame::BestPartySpecialStat(std::uint32_t stat) const
{
    if (stat >= static_cast<std::uint32_t>(kSpecialStatCount))
        throw CVARDException(2, "no special stat " + std::to_string(stat));
    std::int32_t best = kNoLivingMember;
    bool found = false;
    for (const auto& actor : m_Party)
    {
        if (actor->IsDead())
            continue;
        const std::int32_t value = actor->GetSkillCheck(stat);
        if (!found || value > best)
            best = value;
        found = true;
    }
    return best;
}

void CGame::ShareExperience(std::uint32_t n)
{
    AddMessage(kMessageInfo, "The party gains " + std::to_string(n) + " experience each.");
    for (const auto& actor : m_Party)
    {
        if (!IsLivingMember(*actor))
            continue;
        const std::uint64_t experience = std::uint64_t(actor->GetExperience()) + n;
        actor->SetExperience(static_cast<std::uint32_t>(
            std::min<std::uint64_t>(experience, std::numeric_limits<std::uint32_t>::max())));
        while (actor->TryLevelUp())
            AddMessage(kMessageInfo, actor->GetName() + " has gained a level!");
    }
}

bool CGame::ExpandNameTokens(std::string& text, std::size_t maxSize) const
{
    std::optional<std::string> partyList;
    const auto main = std::find_if(m_Party.begin(), m_Party.end(),
                                   [](const auto& actor) { return actor->IsMainCharacter(); });
    const std::string noName;
    const std::string& mainName = main != m_Party.end() ? (*main)->GetName() : noName;
    const auto expanded = [&](const std::string& word) -> const std::string&
    {
        if (word == "PARTY")
        {
            if (!partyList)
            {
                partyList.emplace();
                for (const auto& actor : m_Party)
                    *partyList += " - " + actor->GetName() + " (" +
                                  GetClassDisplayName(static_cast<int>(actor->GetClass())) + " " +
                                  std::to_string(actor->GetLevel()) + ") LINE ";
            }
            return *partyList;
        }
        return word == "MAINNAME" ? mainName : word;
    };

    // A long name repeated many times would make a text far larger than
    // the one given: the text grows only while it fits.
    std::istringstream words(text);
    std::string result;
    bool first = true;
    for (std::string word; words >> word; first = false)
    {
        const std::string& piece = expanded(word);
        const std::size_t blank = first ? 0 : 1;
        if (piece.size() + blank > maxSize - std::min(result.size(), maxSize))
            return false;
        result.append(blank, ' ');
        result += piece;
    }
    text = std::move(result);
    return true;
}

} // namespace VARD
