#pragma once

// The action-bar editor: a party member's ten slots, filled by dragging
// "Talk", "Attack", a backpack item or an ability onto them. Members switch
// in place; every change goes straight into the member's bar.

#include "app/actor_info.h"
#include "app/vard_dlg.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{
class CActor;
}

namespace VARDUI
{
class CUIActionElement2;
class CUIItemsListWindow;
class CUISpellListWindow;
} // namespace VARDUI

class CActionDlg : public CVARDDlg
{
public:
    enum : std::int32_t
    {
        kDoneId = 1,
        kTalkId = 1000,
        kAttackId = 1001,
        kFirstBackpackId = 2000,
        kFirstAbilityId = 3000,
        kFirstPartyId = 4000,
        kFirstSlotId = 5000,
    };

    CActionDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor, int selectedSlot);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    int OnKey(int virtualKey, int shiftDown) override;
    int OnRightClick(int elementId) override;
    void OnDragStart(int elementId) override;
    void OnDragCancel() override;
    void OnDrop(int sourceId, int targetId) override;
    void OnClosed(CGameApp* app) override;

    VARD::CActor* GetShownActor() const { return m_Actor.get(); }
    int GetSelectedSlot() const { return m_SelectedSlot; }

private:
    void Refresh();
    void ToggleSlot(int slot);
    void SwitchToPartyMember(std::uint32_t index);

    CGameApp* m_App;
    std::shared_ptr<VARD::CActor> m_Actor;
    int m_SelectedSlot;
    // The tree owns the widgets; these stay valid until the next rebuild.
    std::vector<VARDUI::CUIActionElement2*> m_Slots;
    std::vector<VARDUI::CUIActionElement2*> m_PartyElements;
    VARDUI::CUIActionElement2* m_Talk = nullptr;
    VARDUI::CUIActionElement2* m_Attack = nullptr;
    VARDUI::CUIItemsListWindow* m_Backpack = nullptr;
    VARDUI::CUISpellListWindow* m_Abilities = nullptr;
    CAppActionBarSource m_BarSource;
};
