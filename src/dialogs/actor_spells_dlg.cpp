#include "dialogs/actor_spells_dlg.h"

#include "app/game_app.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/party_bar.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/spell.h"

namespace
{

constexpr std::int32_t kCell = 48;

std::shared_ptr<VARDUI::CUISpellListWindow> MakeList(const std::string& title, bool powers,
                                                     const gfx::Rect& page, std::int32_t left)
{
    auto list = std::make_shared<VARDUI::CUISpellListWindow>(0, title, 4);
    list->SetShowSpells(powers ? 0 : 1);
    list->SetShowPowers(powers ? 1 : 0);
    const gfx::Rect size = list->GetRect();
    const std::int32_t top = page.top + kCell;
    list->SetRect(
        {page.left + left, top, page.left + left + size.Width(), top + size.Height() + 6 * kCell});
    return list;
}

} // namespace

CActorSpellsDlg::CActorSpellsDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CBaseActorDlg2(app, std::move(actor))
{
}

std::string CActorSpellsDlg::GetTitle()
{
    return CBaseActorDlg2::GetTitle() + " - Abilities";
}

void CActorSpellsDlg::BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui)
{
    m_HideUnusable =
        std::make_shared<VARDUI::CUICheckButton>(kHideUnusableId, "Hide Unusable Abilities");
    m_HideUnusable->SetRect({page.left + 224, page.top, page.left + 448, page.top + 32});
    ui.AddElement(m_HideUnusable);
    m_Spells = MakeList("Spells", false, page, 96);
    ui.AddElement(m_Spells);
    m_Powers = MakeList("Powers", true, page, 352);
    ui.AddElement(m_Powers);
    FillLists();
}

void CActorSpellsDlg::FillLists()
{
    const bool hide = m_HideUnusable->GetTicked() != 0;
    m_Spells->SetSpells(*m_Actor, kFirstAbilityId, hide);
    m_Powers->SetSpells(*m_Actor, kFirstAbilityId, hide);
}

const VARD::CSpell* CActorSpellsDlg::AbilityOf(int elementId) const
{
    if (elementId < kFirstAbilityId || elementId > kLastAbilityId)
        return nullptr;
    const auto& spells = m_Actor->GetSpells();
    const auto index = static_cast<std::size_t>(elementId - kFirstAbilityId);
    return index < spells.size() ? spells[index] : nullptr;
}

int CActorSpellsDlg::OnButton(int elementId)
{
    if (elementId == kHideUnusableId)
    {
        FillLists();
        return 0;
    }
    return CBaseActorDlg2::OnButton(elementId);
}

int CActorSpellsDlg::OnRightClick(int elementId)
{
    if (const VARD::CSpell* spell = AbilityOf(elementId))
    {
        m_App->SetDialog(
            false, std::make_shared<CSpellDlg>(*spell, m_Actor.get(), m_App->engine->Module()));
        return 0;
    }
    return CBaseActorDlg2::OnRightClick(elementId);
}

void CActorSpellsDlg::OnDragStart(int elementId)
{
    const VARD::CSpell* spell = AbilityOf(elementId);
    if (spell != nullptr && m_Actor->MeetsRequirement(*spell) && m_ActionWindow != nullptr)
        m_ActionWindow->SetFlags(VARDUI::kUIFlagHighlighted, 1);
}

void CActorSpellsDlg::OnDragCancel()
{
    // The refill highlights the selected slot again.
    if (m_ActionWindow != nullptr)
        m_ActionWindow->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    MarkActionWindowStale();
}

void CActorSpellsDlg::OnDrop(int sourceId, int targetId)
{
    OnDragCancel();
    int slot = 0;
    const VARD::CSpell* spell = AbilityOf(sourceId);
    if (spell == nullptr || !GetActionSlotForId(targetId, slot))
        return;
    m_App->SetActionSlotType(m_Actor.get(), VARDUI::kActionSlotCast, slot);
    // The bar names its spells by key, as the default bars do.
    m_App->SetActionSlotSpell(m_Actor.get(), spell->GetKey(), slot);
    PlayClickSound(*m_App);
    MarkActionWindowStale();
}
