#pragma once

// Buying from and selling to a store keeper met in conversation: the
// customer's backpack and the keeper's wares side by side, a unit at a time
// by dragging a row onto the other list.

#include "app/vard_dlg.h"

#include <memory>
#include <string>
#include <vector>

namespace VARD
{
class CActor;
class CItem;
} // namespace VARD

namespace VARDUI
{
class CUIActionElement2;
class CUIItemsListWindow;
class CUIStaticText;
} // namespace VARDUI

class CStoreDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;
    static constexpr int kBackpackId = 2;
    static constexpr int kStoreId = 3;
    static constexpr int kPartyIdBase = 100;
    static constexpr int kBackpackRowBase = 1000;
    static constexpr int kStoreRowBase = 2000;

    CStoreDlg(CGameApp* app, VARD::CActor* customer, VARD::CActor* keeper);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    int OnKey(int virtualKey, int shiftDown) override;
    int OnRightClick(int elementId) override;
    void OnDragStart(int elementId) override;
    void OnDragCancel() override;
    void OnDrop(int sourceId, int targetId) override;
    void OnClosed(CGameApp* app) override;

    VARD::CActor* GetCurrentCustomer() const { return m_Current; }
    // The trade the rules refused last, as they told it; empty after one
    // that went through.
    const std::string& GetRefusal() const { return m_Refusal; }

private:
    void Refresh();
    void SetCurrentCustomer(std::size_t partyIndex);
    std::shared_ptr<VARD::CItem> RowItem(int rowId) const;
    void Trade(int buy, const VARD::CItem& item);

    CGameApp* m_App;
    VARD::CActor* m_Customer;
    VARD::CActor* m_Current;
    VARD::CActor* m_Keeper;
    std::shared_ptr<VARDUI::CUIItemsListWindow> m_Backpack;
    std::shared_ptr<VARDUI::CUIItemsListWindow> m_Store;
    std::shared_ptr<VARDUI::CUIStaticText> m_Gold;
    std::vector<std::shared_ptr<VARDUI::CUIActionElement2>> m_PartyButtons;
    std::string m_Refusal;
};
