// Which party member the keys and the action bar act for: one member, or
// the whole party.

#include "app/game_app.h"

#include "rules/engine.h"
#include "world/actor.h"
#include "world/game.h"

std::shared_ptr<VARD::CActor> CGameApp::GetSelectedActor() const
{
    if (!engine || !engine->GetGame())
        return nullptr;
    const auto party = engine->GetGame()->GetParty();
    if (selectedMember != kWholePartySelected)
        return selectedMember < party.size() ? party[selectedMember] : nullptr;
    for (const auto& member : party)
        if (!member->IsDead())
            return member;
    return nullptr;
}

void CGameApp::SelectPartyMember(std::uint32_t index)
{
    const auto party = engine->Game().GetParty();
    if (index >= party.size() || party[index]->IsDead())
        return;
    selectedMember = index;
}

void CGameApp::SelectWholeParty()
{
    selectedMember = engine->Game().GetParty().size() > 1 ? kWholePartySelected : 0;
}

void CGameApp::SelectNextPartyMember()
{
    const auto party = engine->Game().GetParty();
    if (party.size() <= 1)
    {
        selectedMember = 0;
        return;
    }
    // Whole party, member 0, member 1, ..., the last member, whole party,
    // skipping the dead.
    std::uint32_t next = selectedMember;
    do
    {
        if (next == kWholePartySelected)
            next = 0;
        else if (next + 1 >= party.size())
            next = kWholePartySelected;
        else
            ++next;
    } while (next != kWholePartySelected && party[next]->IsDead());
    selectedMember = next;
}
