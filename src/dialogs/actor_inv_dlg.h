#pragma once

// The inventory page: the member's seven equipment slots on the paper doll,
// the backpack, the unlocked container in reach, the weight and gold lines.
// Items move by dragging; every move is an order run at once on the member.

#include "dialogs/actor_sheet_dlg.h"

namespace VARD
{
class CItem;
class CObject;
} // namespace VARD

namespace VARDUI
{
class CUIActionElement2;
class CUIItemsListWindow;
class CUIStaticText;
} // namespace VARDUI

class CActorInvDlg : public CBaseActorDlg2
{
public:
    enum : std::int32_t
    {
        kFirstEquipId = 200,
        kLastEquipId = 206,
        kBackpackId = 300,
        kContainerId = 301,
        kFirstBackpackRow = 10000,
        kLastBackpackRow = 19999,
        kFirstContainerRow = 20000,
        kLastContainerRow = 29999,
        kSlotCount = 7,
    };

    CActorInvDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
    ~CActorInvDlg() override;

    std::string GetTitle() override;
    int OnButton(int elementId) override;
    int OnRightClick(int elementId) override;
    void OnDragStart(int elementId) override;
    void OnDragCancel() override;
    void OnDrop(int sourceId, int targetId) override;
    int GetPageCode() const override { return kPageInventory; }
    void BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui) override;

    VARD::CObject* GetContainerInReach() const { return m_Container; }
    const std::shared_ptr<VARDUI::CUIItemsListWindow>& GetBackpackList() const
    {
        return m_Backpack;
    }
    const std::shared_ptr<VARDUI::CUIItemsListWindow>& GetContainerList() const
    {
        return m_ContainerList;
    }
    const std::string& GetWeightLine() const;
    const std::string& GetGoldLine() const;

    // Trunc(25 * 2^(S / 5)) pounds, S the Strength with its modifiers.
    static double CarryingCapacity(const VARD::CActor& actor);

private:
    void Refresh();
    void FindContainerInReach();
    // The item of a backpack or container row, else null.
    std::shared_ptr<VARD::CItem> RowItem(int elementId) const;
    std::shared_ptr<VARD::CItem> SlotItem(int elementId, std::int32_t& slot) const;
    // A party element's member within melee reach of the shown member.
    VARD::CActor* MemberInReach(int elementId) const;
    bool InBackpack(const VARD::CItem& item) const;

    void IssueDropOrder(std::uint32_t itemId);
    void IssueGetOrder(std::uint32_t itemId);
    void IssueUnwieldOrder(std::uint32_t itemId, std::int32_t slot);
    void IssueWieldOrder(std::uint32_t itemId, std::int32_t slot);
    void IssueCombineOrder(const VARD::CItem& item);
    void IssueSplitOrder(std::uint32_t itemId);
    void IssueGiveOrder(std::uint32_t itemId, std::uint32_t recipientId);
    // Runs what was queued, then sounds and refreshes.
    void RunOrders();

    VARD::CObject* m_Container = nullptr;
    std::vector<std::shared_ptr<VARDUI::CUIActionElement2>> m_Slots;
    std::shared_ptr<VARDUI::CUIItemsListWindow> m_Backpack;
    std::shared_ptr<VARDUI::CUIItemsListWindow> m_ContainerList;
    VARDUI::CUIStaticText* m_Weight = nullptr;
    VARDUI::CUIStaticText* m_Gold = nullptr;
};
