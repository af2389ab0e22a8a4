// Which party members the keys and clicks act for (one member, or the whole
// party), and each member's action bar.

#include "app/game_app.h"

#include "app/actor_info.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_hover_text.h"
#include "world/actor.h"
#include "world/game.h"

std::vector<std::shared_ptr<VARD::CActor>> CGameApp::GetPartyMembers() const
{
    if (!engine || !engine->GetGame())
        return {};
    return engine->GetGame()->GetParty();
}

namespace
{

void CheckSlot(int slot)
{
    if (slot < 0 || slot >= VARDUI::kActionSlotCount)
        throw CVARDException(4, "no action slot " + std::to_string(slot));
}

} // namespace

// ------------------------------------------------------------------ selection

bool CGameApp::IsActorSelected(const VARD::CActor& actor) const
{
    if (selectedMember == kWholePartySelected)
        return actor.GetAttitude() == VARD::kAttitudeParty;
    const auto party = GetPartyMembers();
    return selectedMember < party.size() && party[selectedMember].get() == &actor;
}

void CGameApp::CollectSelectedActors(std::vector<std::shared_ptr<VARD::CActor>>& actors) const
{
    actors.clear();
    const auto party = GetPartyMembers();
    if (selectedMember != kWholePartySelected)
    {
        if (selectedMember < party.size())
            actors.push_back(party[selectedMember]);
        return;
    }
    for (const auto& member : party)
        if (!member->IsDead())
            actors.push_back(member);
}

void CGameApp::CollectSelectedActorIds(std::vector<std::uint32_t>& ids) const
{
    std::vector<std::shared_ptr<VARD::CActor>> actors;
    CollectSelectedActors(actors);
    ids.clear();
    for (const auto& actor : actors)
        ids.push_back(actor->Id());
}

std::shared_ptr<VARD::CActor> CGameApp::GetSelectedActor() const
{
    std::vector<std::shared_ptr<VARD::CActor>> actors;
    CollectSelectedActors(actors);
    return actors.empty() ? nullptr : actors.front();
}

void CGameApp::SelectPartyMember(std::uint32_t index)
{
    const auto party = GetPartyMembers();
    if (index >= party.size() || party[index]->IsDead())
        return;
    selectedMember = index;
    OnSelectionChanged();
}

void CGameApp::SelectFirstPartyMember()
{
    const auto party = GetPartyMembers();
    selectedMember = 0;
    for (std::uint32_t index = 0; index < party.size(); ++index)
        if (!party[index]->IsDead())
        {
            selectedMember = index;
            break;
        }
    OnSelectionChanged();
}

void CGameApp::SelectWholeParty()
{
    selectedMember = GetPartyMembers().size() > 1 ? kWholePartySelected : 0;
    OnSelectionChanged();
}

void CGameApp::SelectNextPartyMember()
{
    const auto party = GetPartyMembers();
    if (party.size() <= 1)
    {
        selectedMember = 0;
        OnSelectionChanged();
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
    OnSelectionChanged();
}

void CGameApp::SelectByClick(const VARD::CActor& actor)
{
    if (actor.IsDead())
        return;
    const auto party = GetPartyMembers();
    for (std::uint32_t index = 0; index < party.size(); ++index)
        if (party[index].get() == &actor)
        {
            selectedMember = index;
            OnSelectionChanged();
            return;
        }
    // A summon fights on the party's side but is not the player's to select:
    // taking its would-be index would leave nobody selected.
}

void CGameApp::OnSelectionChanged()
{
    std::vector<std::uint32_t> ids;
    CollectSelectedActorIds(ids);
    scene.SetSelectedIds(std::move(ids));
    const bool whole = selectedMember == kWholePartySelected;
    if (actionWindow != nullptr)
    {
        actionWindow->SetFlags(VARDUI::kUIFlagVisible, whole ? 0 : 1);
        if (!whole)
            RefillActionWindow();
    }
    for (std::uint32_t index = 0; index < portraits.size(); ++index)
        portraits[index]->SetFlags(VARDUI::kUIFlagHighlighted,
                                   whole || index == selectedMember ? 1 : 0);
    RequestRedraw();
}

void CGameApp::RefreshPortrait(const VARD::CActor& actor)
{
    RefillActionWindow();
    const auto party = GetPartyMembers();
    for (std::size_t index = 0; index < portraits.size() && index < party.size(); ++index)
    {
        if (party[index].get() != &actor)
            continue;
        if (auto* token = dynamic_cast<VARDUI::CUIActionElement2*>(portraits[index]))
            token->Clear();
        VARDUI::FillHoverInfo(&actor, portraits[index]->GetHoverInfo(), engine->GetGame().get());
    }
    RequestRedraw();
}

void CGameApp::RefillActionWindow()
{
    if (auto* window = dynamic_cast<VARDUI::CUIActionWindow2*>(actionWindow))
        window->SetFilled(0);
}

// -------------------------------------------------------------- action bars

void CGameApp::RefreshActorInfos(bool keepHud)
{
    if (gameLoaded != 0 && engine && engine->GetGame())
    {
        for (const auto& member : engine->GetGame()->GetParty())
        {
            std::shared_ptr<CVARDActorInfo>& info = actorInfos[member->Id()];
            if (info)
                continue;
            info = std::make_shared<CVARDActorInfo>();
            info->BuildFromActor(*member);
        }
    }
    else
        actorInfos.clear();
    if (keepHud)
        return;
    RebuildUI();
    RequestRedraw();
}

namespace
{

// The record of an actor; code 4 when it has none.
CVARDActorInfo& InfoOf(const CGameApp& app, const VARD::CActor& actor)
{
    const auto found = app.actorInfos.find(actor.Id());
    if (found == app.actorInfos.end() || !found->second)
        throw CVARDException(4,
                             "no action bar for " + VARDCommon::QuoteForMessage(actor.GetName()));
    return *found->second;
}

} // namespace

int CGameApp::GetSelectedActionSlot(const VARD::CActor* actor) const
{
    return actor != nullptr ? InfoOf(*this, *actor).selectedSlot : VARDUI::kActionSlotNone;
}

void CGameApp::SelectActionSlot(const VARD::CActor* actor, int slot)
{
    if (actor == nullptr)
        return;
    CVARDActorInfo& info = InfoOf(*this, *actor);
    if (slot < 0 || slot > VARDUI::kActionSlotNone)
        throw CVARDException(4, "no action slot " + std::to_string(slot));
    info.selectedSlot = slot;
    RefreshPortrait(*actor);
}

void CGameApp::ClearActionSlotSelection(const VARD::CActor* actor)
{
    if (actor == nullptr)
        return;
    InfoOf(*this, *actor).selectedSlot = VARDUI::kActionSlotNone;
    RefreshPortrait(*actor);
}

int CGameApp::GetSelectedActionType(const VARD::CActor* actor) const
{
    if (actor == nullptr)
        return 0;
    const CVARDActorInfo& info = InfoOf(*this, *actor);
    return info.selectedSlot == VARDUI::kActionSlotNone ? 0 : info.slotType.at(info.selectedSlot);
}

std::string CGameApp::GetSelectedActionSpell(const VARD::CActor* actor) const
{
    if (actor == nullptr)
        return {};
    const CVARDActorInfo& info = InfoOf(*this, *actor);
    return info.selectedSlot == VARDUI::kActionSlotNone ? std::string()
                                                        : info.slotSpell.at(info.selectedSlot);
}

std::string CGameApp::GetSelectedActionItem(const VARD::CActor* actor) const
{
    if (actor == nullptr)
        return {};
    const CVARDActorInfo& info = InfoOf(*this, *actor);
    return info.selectedSlot == VARDUI::kActionSlotNone ? std::string()
                                                        : info.slotItem.at(info.selectedSlot);
}

std::string CGameApp::GetActionSlotSpellName(const VARD::CActor* actor, int slot) const
{
    if (actor == nullptr)
        return {};
    const CVARDActorInfo& info = InfoOf(*this, *actor);
    CheckSlot(slot);
    return info.slotSpell[slot];
}

std::string CGameApp::GetActionSlotItemName(const VARD::CActor* actor, int slot) const
{
    if (actor == nullptr)
        return {};
    const CVARDActorInfo& info = InfoOf(*this, *actor);
    CheckSlot(slot);
    return info.slotItem[slot];
}

void CGameApp::SetActionSlotType(const VARD::CActor* actor, int type, int slot)
{
    if (actor == nullptr)
        return;
    CVARDActorInfo& info = InfoOf(*this, *actor);
    CheckSlot(slot);
    info.slotType[slot] = type;
    RefreshPortrait(*actor);
}

void CGameApp::SetActionSlotSpell(const VARD::CActor* actor, const std::string& spell, int slot)
{
    if (actor == nullptr)
        return;
    CVARDActorInfo& info = InfoOf(*this, *actor);
    CheckSlot(slot);
    info.slotSpell[slot] = spell;
    RefreshPortrait(*actor);
}

void CGameApp::SetActionSlotItem(const VARD::CActor* actor, const std::string& item, int slot)
{
    if (actor == nullptr)
        return;
    CVARDActorInfo& info = InfoOf(*this, *actor);
    CheckSlot(slot);
    info.slotItem[slot] = item;
    RefreshPortrait(*actor);
}
