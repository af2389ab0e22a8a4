#include "dialogs/store_dlg.h"

#include "app/game_app.h"
#include "app/vard_audio.h"
#include "common/exception.h"
#include "dialogs/info_dlgs.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_scroll_bar.h"
#include "ui/ui_static_text.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"

#include <algorithm>
#include <optional>

namespace
{

constexpr std::uint32_t kClickSound = 0;
constexpr std::uint32_t kCashSound = 3;
constexpr double kReach = 12.5;

bool InRange(int id, int base)
{
    return id >= base && id < base + 1000;
}

// Refills a list, keeping where it was scrolled to as far as the new rows
// reach.
void RefillKeepingScroll(VARDUI::CUIItemsListWindow& list, std::int32_t base,
                         const VARD::ItemList& items, std::int32_t mode, const VARD::CGame& game,
                         const VARD::CActor& keeper)
{
    const std::uint32_t position = list.GetScrollBar().GetPosition();
    list.SetItems(base, items, mode, &game, &keeper);
    VARDUI::CUIScrollBar& bar = list.GetScrollBar();
    bar.SetPosition(std::min(position, bar.GetMaximum()));
    bar.UpdateThumb();
}

} // namespace

CStoreDlg::CStoreDlg(CGameApp* app, VARD::CActor* customer, VARD::CActor* keeper)
    : m_App(app), m_Customer(customer), m_Current(customer), m_Keeper(keeper)
{
}

std::string CStoreDlg::GetTitle()
{
    return m_Keeper->GetTalkName() + " - Buy/Sell";
}

void CStoreDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const gfx::Rect panel = AddFixedPanel(*clientRect, *ui);
    const std::int32_t L = panel.left;
    const std::int32_t T = panel.top;

    auto hover = std::make_shared<VARDUI::CUIHoverWindow>();
    const gfx::Rect hoverRect = hover->GetRect();
    hover->SetRect({L + 16, T + 16, L + 16 + hoverRect.Width(), T + 16 + hoverRect.Height()});
    ui->AddElement(hover);

    // Four columns of 48 and the scroll bar, down to 16 above the gold line.
    const std::int32_t listWidth = 4 * 48 + 24;
    const std::int32_t listBottom = T + 432 - 16;
    m_Backpack = std::make_shared<VARDUI::CUIItemsListWindow>(kBackpackId, "Backpack", 4);
    m_Backpack->SetRect({L + 48, T + 96, L + 48 + listWidth, listBottom});
    ui->AddElement(m_Backpack);
    m_Store = std::make_shared<VARDUI::CUIItemsListWindow>(kStoreId, "Store", 4);
    m_Store->SetRect({L + 304, T + 96, L + 304 + listWidth, listBottom});
    ui->AddElement(m_Store);

    m_PartyButtons.clear();
    const VARD::CGame& game = m_App->engine->Game();
    const auto party = game.GetParty();
    std::int32_t y = T + 16;
    for (std::size_t i = 0; i < party.size(); ++i)
    {
        const VARD::CActor& member = *party[i];
        const bool nearby = !member.IsDead() && !m_Keeper->IsDead() &&
                            member.DistanceTo(m_Keeper->GetX(), m_Keeper->GetY()) <=
                                kReach + member.GetRadius() + m_Keeper->GetRadius();
        if (&member != m_Customer && !nearby)
            continue;
        auto button =
            std::make_shared<VARDUI::CUIActionElement2>(0, kPartyIdBase + static_cast<int>(i));
        button->Clear();
        VARDUI::FillHoverInfo(&member, button->GetHoverInfo(), &game);
        const gfx::Rect size = button->GetRect();
        button->SetRect({L + 576, y, L + 576 + size.Width(), y + size.Height()});
        y += size.Height() + 16;
        ui->AddElement(button);
        m_PartyButtons.push_back(button);
    }

    m_Gold = std::make_shared<VARDUI::CUIStaticText>("", 0);
    m_Gold->SetFlags(
        VARDUI::kUIFlagTextFrame | VARDUI::kUIFlagTextCenterH | VARDUI::kUIFlagTextCenterV, 1);
    m_Gold->SetRect({L + 16, T + 432, L + 176, T + 464});
    ui->AddElement(m_Gold);

    auto done = std::make_shared<VARDUI::CUITextButton>(kDoneId, "Done Shopping");
    done->SetRect({panel.right - 176, panel.bottom - 48, panel.right - 16, panel.bottom - 16});
    ui->AddElement(done);

    Refresh();
}

void CStoreDlg::Refresh()
{
    if (!m_Backpack || !m_Store || !m_Gold)
        return;
    const VARD::CGame& game = m_App->engine->Game();
    m_Backpack->SetTitle(m_Current->GetTalkName());
    RefillKeepingScroll(*m_Backpack, kBackpackRowBase, m_Current->GetBackpackItems(),
                        VARDUI::CUIItemsListWindow::kModeSell, game, *m_Keeper);
    RefillKeepingScroll(*m_Store, kStoreRowBase, m_Keeper->CollectTradeItems(),
                        VARDUI::CUIItemsListWindow::kModeBuy, game, *m_Keeper);
    m_Gold->text = std::to_string(static_cast<std::uint32_t>(game.GetGold())) + " gold";

    const auto party = game.GetParty();
    int current = -1;
    for (std::size_t i = 0; i < party.size(); ++i)
        if (party[i].get() == m_Current)
            current = static_cast<int>(i);
    for (const auto& button : m_PartyButtons)
        button->SetFlags(VARDUI::kUIFlagHighlighted,
                         button->GetId() == kPartyIdBase + current ? 1 : 0);
}

void CStoreDlg::SetCurrentCustomer(std::size_t partyIndex)
{
    const auto party = m_App->engine->Game().GetParty();
    if (partyIndex < party.size())
        m_Current = party[partyIndex].get();
}

int CStoreDlg::OnButton(int elementId)
{
    if (elementId == kDoneId)
        return 1;
    if (elementId >= kPartyIdBase && elementId < kPartyIdBase + 100)
    {
        VARD::CActor* before = m_Current;
        SetCurrentCustomer(static_cast<std::size_t>(elementId - kPartyIdBase));
        if (m_Current != before)
        {
            Refresh();
            if (m_App->audio)
                m_App->audio->PlaySound(kClickSound);
        }
    }
    return 0;
}

int CStoreDlg::OnKey(int virtualKey, int)
{
    if (virtualKey == 27 || virtualKey == 13)
        return 1;
    const int k = virtualKey - '1';
    if (k >= 0 && static_cast<std::size_t>(k) < m_PartyButtons.size())
    {
        SetCurrentCustomer(static_cast<std::size_t>(m_PartyButtons[k]->GetId() - kPartyIdBase));
        Refresh();
        if (m_App->audio)
            m_App->audio->PlaySound(kClickSound);
    }
    return 0;
}

std::shared_ptr<VARD::CItem> CStoreDlg::RowItem(int rowId) const
{
    VARD::ItemList items;
    std::size_t index = 0;
    if (InRange(rowId, kBackpackRowBase))
    {
        items = m_Current->GetBackpackItems();
        index = static_cast<std::size_t>(rowId - kBackpackRowBase);
    }
    else if (InRange(rowId, kStoreRowBase))
    {
        items = m_Keeper->CollectTradeItems();
        index = static_cast<std::size_t>(rowId - kStoreRowBase);
    }
    return index < items.size() ? items[index] : nullptr;
}

int CStoreDlg::OnRightClick(int elementId)
{
    if (std::shared_ptr<VARD::CItem> item = RowItem(elementId))
        m_App->SetDialog(false, std::make_shared<CItemDlg>(m_App, item, nullptr));
    return 0;
}

void CStoreDlg::OnDragStart(int elementId)
{
    if (InRange(elementId, kBackpackRowBase) && m_Store)
        m_Store->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    else if (InRange(elementId, kStoreRowBase) && m_Backpack)
        m_Backpack->SetFlags(VARDUI::kUIFlagHighlighted, 1);
}

void CStoreDlg::OnDragCancel()
{
    if (m_Store)
        m_Store->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    if (m_Backpack)
        m_Backpack->SetFlags(VARDUI::kUIFlagHighlighted, 0);
}

void CStoreDlg::OnDrop(int sourceId, int targetId)
{
    OnDragCancel();
    if (InRange(sourceId, kBackpackRowBase) &&
        (InRange(targetId, kStoreRowBase) || targetId == kStoreId))
    {
        const std::shared_ptr<VARD::CItem> item = RowItem(sourceId);
        std::uint32_t price = 0;
        if (!item || (item->GetTemplate()->GetFlags() & VARD::kItemFlagNoGive) != 0 ||
            !m_Keeper->GetSellPrice(*item, price))
            return;
        Trade(0, *item);
    }
    else if (InRange(sourceId, kStoreRowBase) &&
             (InRange(targetId, kBackpackRowBase) || targetId == kBackpackId))
    {
        if (const std::shared_ptr<VARD::CItem> item = RowItem(sourceId))
            Trade(1, *item);
    }
}

void CStoreDlg::Trade(int buy, const VARD::CItem& item)
{
    m_Refusal.clear();
    std::optional<std::string> refused;
    // A script may have sent the party away from the keeper while the store
    // stood open. An order queued then would wait, unrun, for a place where
    // the keeper is not either.
    const VARD::CArea* area = m_App->engine->Game().GetCurrentArea();
    if (area == nullptr || area->FindActorById(m_Keeper->Id()) != m_Keeper)
        refused = m_Keeper->GetTalkName() + " is not here";
    else
    {
        m_Current->QueueInstantOrder(
            std::make_shared<VARD::CStoreOrder>(buy, m_Keeper->Id(), item.Id(), 1));
        try
        {
            m_App->ExecuteInstantOrders();
        }
        catch (const CVARDException& error)
        {
            // A refused trade (out of reach, short of gold or goods) changes
            // nothing; the player is told and may go on shopping.
            if (error.GetCode() != 3)
                throw;
            refused = error.GetDetail();
        }
    }
    if (refused)
    {
        m_Refusal = "The trade cannot be made: " + *refused + ".";
        m_App->LogMessage(m_Refusal);
    }
    if (m_App->audio)
        m_App->audio->PlaySound(kCashSound);
    Refresh();
}

void CStoreDlg::OnClosed(CGameApp*) {}
