#pragma once

// The abilities page: the member's spells and powers in two lists; an
// ability dragged onto an action slot becomes that slot's cast.

#include "dialogs/actor_sheet_dlg.h"

namespace VARDUI
{
class CUICheckButton;
class CUISpellListWindow;
} // namespace VARDUI

class CActorSpellsDlg : public CBaseActorDlg2
{
public:
    enum : std::int32_t
    {
        kHideUnusableId = 200,
        kFirstAbilityId = 1000,
        kLastAbilityId = 1999,
    };

    CActorSpellsDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);

    std::string GetTitle() override;
    int OnButton(int elementId) override;
    int OnRightClick(int elementId) override;
    void OnDragStart(int elementId) override;
    void OnDragCancel() override;
    void OnDrop(int sourceId, int targetId) override;
    int GetPageCode() const override { return kPageAbilities; }
    void BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui) override;

    const std::shared_ptr<VARDUI::CUISpellListWindow>& GetSpellsList() const { return m_Spells; }
    const std::shared_ptr<VARDUI::CUISpellListWindow>& GetPowersList() const { return m_Powers; }

private:
    void FillLists();
    // The ability of a row id, or null.
    const VARD::CSpell* AbilityOf(int elementId) const;

    std::shared_ptr<VARDUI::CUICheckButton> m_HideUnusable;
    std::shared_ptr<VARDUI::CUISpellListWindow> m_Spells;
    std::shared_ptr<VARDUI::CUISpellListWindow> m_Powers;
};
