#pragma once

// The frame of the character-sheet pages: tabs, the party, the member's
// action bar, the hover and message windows around the page. A page never
// changes in place: a tab, a member or the action-bar editor is noted as a
// pending page and the page closes; OnClosed then opens the successor.

#include "app/actor_info.h"
#include "app/vard_dlg.h"
#include "platform/rect.h"

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
class CUIActionWindow2;
class CUIElement;
} // namespace VARDUI

class CBaseActorDlg2 : public CVARDDlg
{
public:
    // Pending page codes.
    enum : std::int32_t
    {
        kPageInfo = 1,
        kPageInventory = 2,
        kPageJournal = 3,
        kPageAbilities = 4,
        kPageActionEditor = 5,
        kPageNone = 6,
    };
    // Frame widget ids.
    enum : std::int32_t
    {
        kGameTabId = 6,
        kFirstPartyId = 100,
        kLastPartyId = 149,
        kFirstSlotId = 150,
        kLastSlotId = 159,
    };

    CBaseActorDlg2(CGameApp* app, std::shared_ptr<VARD::CActor> actor);

    // The shown member's name; pages append their suffix.
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    int OnKey(int virtualKey, int shiftDown) override;
    int OnRightClick(int elementId) override;
    void OnClosed(CGameApp* app) override;

    virtual int GetPageCode() const = 0;
    virtual void BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui) = 0;
    // Whether a dead member may be shown.
    virtual bool AllowsInactiveActor() const { return false; }

    // 1 when the member was accepted and the sheet closes to show it.
    int SwitchToPartyMember(std::uint32_t index);
    // None outside the party ids or beyond the party.
    VARD::CActor* GetPartyMemberForId(int elementId) const;
    // Only the ten slot ids are slots.
    static bool GetActionSlotForId(int elementId, int& slot);

    std::int32_t GetPendingPage() const { return m_PendingPage; }
    const std::shared_ptr<VARD::CActor>& GetPendingActor() const { return m_PendingActor; }
    VARD::CActor* GetShownActor() const { return m_Actor.get(); }

protected:
    bool IsShownActorActive() const;
    // Asks OnClosed to open a page for the member; returns 1 (close).
    int RequestPage(std::int32_t page, std::shared_ptr<VARD::CActor> actor);
    void MarkActionWindowStale();

    CGameApp* m_App;
    std::shared_ptr<VARD::CActor> m_Actor;
    // The tree owns it; valid between BuildUI and the next rebuild.
    VARDUI::CUIActionWindow2* m_ActionWindow = nullptr;
    std::vector<std::shared_ptr<VARDUI::CUIElement>> m_PartyElements;

private:
    void BuildTabBar(const gfx::Rect& panel, VARDUI::CUIManager& ui);
    void BuildPartyBar(const gfx::Rect& panel, VARDUI::CUIManager& ui);
    void BuildActionBar(const gfx::Rect& panel, VARDUI::CUIManager& ui);
    void ToggleActionSlot(int slot);

    std::int32_t m_PendingPage = kPageNone;
    std::shared_ptr<VARD::CActor> m_PendingActor;
    // The action window reads the bars through it; it must outlive the
    // window, which the tree may keep until the next rebuild.
    std::shared_ptr<CAppActionBarSource> m_BarSource;
};
