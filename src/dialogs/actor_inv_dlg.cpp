#include "dialogs/actor_inv_dlg.h"

#include "app/game_app.h"
#include "app/vard_audio.h"
#include "dialogs/info_dlgs.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_group.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_static_text.h"
#include "world/actor.h"
#include "world/actor_rule_ids.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/world_object.h"

#include <cmath>
#include <cstdio>

namespace
{

constexpr std::uint32_t kPaperDollImage = 194;
constexpr std::int32_t kCell = 48;
constexpr double kContainerReach = 5.0;
constexpr std::uint32_t kStrengthMask = 0x1000;
constexpr std::uint32_t kLineFlags =
    VARDUI::kUIFlagTextFrame | VARDUI::kUIFlagTextCenterH | VARDUI::kUIFlagTextCenterV;

// Paper-doll corners of the weapon, shield, armour, helmet, amulet and two
// ring slots.
constexpr std::int32_t kSlotX[CActorInvDlg::kSlotCount] = {16, 144, 80, 80, 80, 144, 16};
constexpr std::int32_t kSlotY[CActorInvDlg::kSlotCount] = {192, 192, 160, 16, 96, 128, 128};

std::shared_ptr<VARDUI::CUIItemsListWindow> MakeList(std::int32_t id, const std::string& caption,
                                                     std::uint32_t columns, const gfx::Rect& page,
                                                     std::int32_t left)
{
    auto list = std::make_shared<VARDUI::CUIItemsListWindow>(id, caption, columns);
    const gfx::Rect size = list->GetRect();
    list->SetRect({page.left + left, page.top, page.left + left + size.Width(),
                   page.top + size.Height() + 6 * kCell});
    return list;
}

VARDUI::CUIStaticText* AddLine(VARDUI::CUIManager& ui, const gfx::Rect& page, std::int32_t left)
{
    auto line = std::make_shared<VARDUI::CUIStaticText>("", 0);
    line->SetFlags(kLineFlags, 1);
    line->SetRect({page.left + left, page.top + 320, page.left + left + 160, page.top + 352});
    ui.AddElement(line);
    return line.get();
}

} // namespace

CActorInvDlg::CActorInvDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CBaseActorDlg2(app, std::move(actor))
{
}

CActorInvDlg::~CActorInvDlg() = default;

std::string CActorInvDlg::GetTitle()
{
    return CBaseActorDlg2::GetTitle() + " - Inventory";
}

const std::string& CActorInvDlg::GetWeightLine() const
{
    return m_Weight->text;
}

const std::string& CActorInvDlg::GetGoldLine() const
{
    return m_Gold->text;
}

double CActorInvDlg::CarryingCapacity(const VARD::CActor& actor)
{
    const double strength = static_cast<double>(
        static_cast<std::int64_t>(actor.GetBaseAttribute(VARD::ActorRules::kAttributeStrength)) +
        actor.GetModifierTotal(kStrengthMask));
    return std::trunc(25.0 * std::pow(2.0, strength / 5.0));
}

void CActorInvDlg::BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui)
{
    auto doll = std::make_shared<VARDUI::CUIImageBackground>(kPaperDollImage);
    doll->SetRect({page.left, page.top, page.left + 208, page.top + 352});
    ui.AddElement(doll);

    m_Slots.clear();
    for (std::int32_t s = 0; s < kSlotCount; ++s)
    {
        auto slot = std::make_shared<VARDUI::CUIActionElement2>(0, kFirstEquipId + s);
        const gfx::Rect size = slot->GetRect();
        const std::int32_t left = page.left + kSlotX[s];
        const std::int32_t top = page.top + kSlotY[s];
        slot->SetRect({left, top, left + size.Width(), top + size.Height()});
        slot->SetFlags(VARDUI::kUIFlagDraggable, 1);
        m_Slots.push_back(slot);
        ui.AddElement(slot);
    }

    m_Backpack = MakeList(kBackpackId, "Backpack", 4, page, 272);
    ui.AddElement(m_Backpack);
    FindContainerInReach();
    m_ContainerList = MakeList(kContainerId, "", 1, page, 576);
    ui.AddElement(m_ContainerList);
    m_Weight = AddLine(ui, page, 272);
    m_Gold = AddLine(ui, page, 496);
    Refresh();
}

void CActorInvDlg::Refresh()
{
    const VARD::CGame* game = m_App->engine->GetGame().get();
    for (std::int32_t s = 0; s < kSlotCount; ++s)
    {
        VARDUI::CUIActionElement2& slot = *m_Slots[static_cast<std::size_t>(s)];
        slot.Clear();
        if (const auto& item = m_Actor->GetEquipmentSlot(static_cast<std::uint32_t>(s)))
        {
            slot.SetCount(item->GetValue1());
            VARDUI::FillHoverInfo(item.get(), slot.GetHoverInfo(), game);
        }
    }
    m_Backpack->SetItems(kFirstBackpackRow, m_Actor->GetBackpackItems(),
                         VARDUI::CUIItemsListWindow::kModeOwn, game, nullptr);
    if (m_Container != nullptr)
    {
        m_ContainerList->SetTitle(m_Container->GetTalkName());
        m_ContainerList->SetItems(kFirstContainerRow, m_Container->GetItems(),
                                  VARDUI::CUIItemsListWindow::kModeOwn, game, nullptr);
    }
    else
    {
        m_ContainerList->SetTitle("Pile");
        m_ContainerList->SetItems(kFirstContainerRow, {}, VARDUI::CUIItemsListWindow::kModeOwn,
                                  game, nullptr);
    }
    MarkActionWindowStale();

    m_Gold->text = std::to_string(static_cast<std::uint32_t>(game->GetGold())) + " gold";
    char weight[96];
    std::snprintf(weight, sizeof weight, "%.1f lbs / %.1f lbs", m_Actor->GetCarriedWeight(),
                  CarryingCapacity(*m_Actor));
    m_Weight->text = weight;
}

void CActorInvDlg::FindContainerInReach()
{
    m_Container = nullptr;
    VARD::CArea* area = m_App->engine->GetGame()->GetCurrentArea();
    if (m_Actor->IsDead() || area == nullptr)
        return;
    const double reach = m_Actor->GetRadius() + kContainerReach;
    for (const auto& object : area->GetObjects())
    {
        if (object->GetFlag() && object->GetLockValue() == 0 &&
            object->DistanceToFootprint(m_Actor->GetX(), m_Actor->GetY()) <= reach)
        {
            m_Container = object.get();
            return;
        }
    }
}

std::shared_ptr<VARD::CItem> CActorInvDlg::RowItem(int elementId) const
{
    const VARDUI::CUIItemsListWindow* list = nullptr;
    if (elementId >= kFirstBackpackRow && elementId <= kLastBackpackRow)
        list = m_Backpack.get();
    else if (elementId >= kFirstContainerRow && elementId <= kLastContainerRow)
        list = m_ContainerList.get();
    if (list == nullptr)
        return nullptr;
    const auto index = static_cast<std::size_t>(elementId - list->GetBaseId());
    const auto& items = list->GetItems();
    return index < items.size() ? items[index] : nullptr;
}

std::shared_ptr<VARD::CItem> CActorInvDlg::SlotItem(int elementId, std::int32_t& slot) const
{
    if (elementId < kFirstEquipId || elementId > kLastEquipId)
        return nullptr;
    slot = elementId - kFirstEquipId;
    return m_Actor->GetEquipmentSlot(static_cast<std::uint32_t>(slot));
}

VARD::CActor* CActorInvDlg::MemberInReach(int elementId) const
{
    VARD::CActor* member = GetPartyMemberForId(elementId);
    if (member == nullptr)
        return nullptr;
    if (member == m_Actor.get())
        return IsShownActorActive() ? member : nullptr;
    return member->IsInMeleeRangeOf(*m_Actor) ? member : nullptr;
}

bool CActorInvDlg::InBackpack(const VARD::CItem& item) const
{
    for (const auto& held : m_Actor->Backpack())
    {
        if (held.get() == &item)
            return true;
    }
    return false;
}

int CActorInvDlg::OnButton(int elementId)
{
    return CBaseActorDlg2::OnButton(elementId);
}

int CActorInvDlg::OnRightClick(int elementId)
{
    std::int32_t slot = 0;
    std::shared_ptr<VARD::CItem> item = RowItem(elementId);
    if (!item)
        item = SlotItem(elementId, slot);
    if (!item)
        return CBaseActorDlg2::OnRightClick(elementId);
    // The page stays beneath the item's own page.
    m_App->SetDialog(false, std::make_shared<CItemDlg>(m_App, item, m_Actor));
    return 0;
}

void CActorInvDlg::OnDragStart(int elementId)
{
    const std::shared_ptr<VARD::CItem> item = RowItem(elementId);
    if (item)
    {
        for (std::int32_t s = 0; s < kSlotCount; ++s)
        {
            if (m_Actor->CanEquipInSlot(static_cast<std::uint32_t>(s), *item))
                m_Slots[static_cast<std::size_t>(s)]->SetFlags(VARDUI::kUIFlagHighlighted, 1);
        }
    }
    m_Backpack->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    if (elementId < kFirstContainerRow || elementId > kLastContainerRow)
        m_ContainerList->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    if (item && elementId <= kLastBackpackRow && m_ActionWindow != nullptr &&
        m_Actor->CanUseItem(*item, false))
        m_ActionWindow->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    for (std::size_t i = 0; i < m_PartyElements.size(); ++i)
    {
        if (MemberInReach(kFirstPartyId + static_cast<int>(i)) != nullptr)
            m_PartyElements[i]->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    }
}

void CActorInvDlg::OnDragCancel()
{
    for (const auto& slot : m_Slots)
        slot->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    if (m_Backpack)
        m_Backpack->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    if (m_ContainerList)
        m_ContainerList->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    // The refill highlights the selected slot again.
    if (m_ActionWindow != nullptr)
        m_ActionWindow->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    MarkActionWindowStale();
    for (std::size_t i = 0; i < m_PartyElements.size(); ++i)
    {
        if (GetPartyMemberForId(kFirstPartyId + static_cast<int>(i)) != m_Actor.get())
            m_PartyElements[i]->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    }
}

void CActorInvDlg::OnDrop(int sourceId, int targetId)
{
    OnDragCancel();
    const bool toBackpack =
        targetId == kBackpackId || (targetId >= kFirstBackpackRow && targetId <= kLastBackpackRow);
    const bool toContainer = targetId == kContainerId ||
                             (targetId >= kFirstContainerRow && targetId <= kLastContainerRow);
    const bool toEquipment = targetId >= kFirstEquipId && targetId <= kLastEquipId;
    VARD::CActor* member = nullptr;
    const bool toMember = targetId >= kFirstPartyId && targetId <= kLastPartyId;
    if (toMember)
        member = MemberInReach(targetId);

    std::int32_t slot = 0;
    if (const std::shared_ptr<VARD::CItem> held = SlotItem(sourceId, slot))
    {
        if (!toBackpack && !toContainer && member == nullptr)
            return;
        IssueUnwieldOrder(held->Id(), slot);
        // A refused unwield leaves nothing in the backpack to pass on.
        if (!InBackpack(*held))
            return;
        if (toContainer)
            IssueDropOrder(held->Id());
        else if (member != nullptr)
            IssueGiveOrder(held->Id(), member->Id());
        return;
    }

    const std::shared_ptr<VARD::CItem> item = RowItem(sourceId);
    if (!item)
        return;
    if (sourceId <= kLastBackpackRow)
    {
        int actionSlot = 0;
        if (toEquipment)
            IssueWieldOrder(item->Id(), targetId - kFirstEquipId);
        else if (targetId == kBackpackId && item->GetValue1() > 1)
            IssueSplitOrder(item->Id());
        else if (targetId == kBackpackId || (toBackpack && targetId != sourceId))
            IssueCombineOrder(*item);
        else if (toContainer)
            IssueDropOrder(item->Id());
        else if (member != nullptr)
            IssueGiveOrder(item->Id(), member->Id());
        else if (GetActionSlotForId(targetId, actionSlot) && m_Actor->CanUseItem(*item, false))
        {
            m_App->SetActionSlotType(m_Actor.get(), VARDUI::kActionSlotUseItem, actionSlot);
            m_App->SetActionSlotItem(m_Actor.get(), item->GetTemplate()->GetName(), actionSlot);
            if (m_App->audio)
                m_App->audio->PlaySound(kSoundEventClick);
            Refresh();
        }
        return;
    }

    // A container row.
    if (!toEquipment && !toBackpack && member == nullptr)
        return;
    IssueGetOrder(item->Id());
    // Money turns into the party's gold and a refused get leaves the item
    // where it was: neither can be wielded or given.
    if (!InBackpack(*item))
        return;
    if (toEquipment)
        IssueWieldOrder(item->Id(), targetId - kFirstEquipId);
    else if (member != nullptr)
        IssueGiveOrder(item->Id(), member->Id());
}

void CActorInvDlg::RunOrders()
{
    m_App->ExecuteInstantOrders();
    m_App->DrainGameEvents();
    if (m_App->audio)
        m_App->audio->PlaySound(kSoundEventInventory);
}

void CActorInvDlg::IssueDropOrder(std::uint32_t itemId)
{
    const bool hadContainer = m_Container != nullptr;
    m_Actor->QueueInstantOrder(
        std::make_shared<VARD::CDropOrder>(hadContainer ? m_Container->Id() : 0, itemId));
    RunOrders();
    // A drop on the ground may have made a pile.
    if (!hadContainer)
        FindContainerInReach();
    Refresh();
}

void CActorInvDlg::IssueGetOrder(std::uint32_t itemId)
{
    m_Actor->QueueInstantOrder(
        std::make_shared<VARD::CGetOrder>(m_Container != nullptr ? m_Container->Id() : 0, itemId));
    RunOrders();
    // The last item taken from a pile removes the pile.
    FindContainerInReach();
    Refresh();
}

void CActorInvDlg::IssueUnwieldOrder(std::uint32_t, std::int32_t slot)
{
    m_Actor->QueueInstantOrder(std::make_shared<VARD::CUnwieldOrder>(slot));
    RunOrders();
    Refresh();
}

void CActorInvDlg::IssueWieldOrder(std::uint32_t itemId, std::int32_t slot)
{
    if (m_Actor->GetEquipmentSlot(static_cast<std::uint32_t>(slot)))
        m_Actor->QueueInstantOrder(std::make_shared<VARD::CUnwieldOrder>(slot));
    m_Actor->QueueInstantOrder(std::make_shared<VARD::CWieldOrder>(itemId, slot));
    RunOrders();
    Refresh();
}

void CActorInvDlg::IssueCombineOrder(const VARD::CItem& item)
{
    const std::string& name = item.GetTemplate()->GetName();
    for (const auto& other : m_Actor->Backpack())
    {
        if (other.get() != &item && other->GetTemplate()->GetName() == name)
        {
            m_Actor->QueueInstantOrder(
                std::make_shared<VARD::CCombineOrder>(item.Id(), other->Id()));
            RunOrders();
            Refresh();
            return;
        }
    }
}

void CActorInvDlg::IssueSplitOrder(std::uint32_t itemId)
{
    m_Actor->QueueInstantOrder(std::make_shared<VARD::CSplitOrder>(itemId, 1));
    RunOrders();
    Refresh();
}

void CActorInvDlg::IssueGiveOrder(std::uint32_t itemId, std::uint32_t recipientId)
{
    m_Actor->QueueInstantOrder(std::make_shared<VARD::CGiveOrder>(recipientId, itemId));
    RunOrders();
    Refresh();
}
