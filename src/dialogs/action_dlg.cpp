#include "dialogs/action_dlg.h"

#include "app/game_app.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/party_bar.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

namespace
{

constexpr std::int32_t kPanelWidth = 640;
constexpr std::int32_t kPanelHeight = 480;
constexpr std::int32_t kCell = 48;
constexpr std::uint32_t kTalkImage = 130;
constexpr std::uint32_t kAttackImage = 143;

void GrowBy(VARDUI::CUIElement& element, std::int32_t height)
{
    gfx::Rect rect = element.GetRect();
    rect.bottom += height;
    element.SetRect(rect);
}

} // namespace

CActionDlg::CActionDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor, int selectedSlot)
    : m_App(app), m_Actor(std::move(actor)), m_SelectedSlot(selectedSlot), m_BarSource(*app)
{
}

std::string CActionDlg::GetTitle()
{
    return m_Actor->GetTalkName() + " - Action";
}

void CActionDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const gfx::Rect panel =
        DialogLayout::AddCentredPanel(*ui, *clientRect, kPanelWidth, kPanelHeight);

    auto hover = std::make_shared<VARDUI::CUIHoverWindow>();
    DialogLayout::PlaceInPanel(*hover, panel, 16, 16);
    ui->AddElement(hover);

    m_PartyElements.clear();
    for (const auto& portrait :
         AddPartyBar(*m_App, m_Actor.get(), kFirstPartyId, panel.left + 576, panel.top + 16, *ui))
        m_PartyElements.push_back(portrait.get());

    m_Slots.clear();
    for (std::int32_t s = 0; s < VARDUI::kActionSlotCount; ++s)
    {
        auto slot = std::make_shared<VARDUI::CUIActionElement2>(0, kFirstSlotId + s);
        DialogLayout::PlaceInPanel(*slot, panel, 48 + kCell * s, 80);
        ui->AddElement(slot);
        m_Slots.push_back(slot.get());
    }

    const struct
    {
        std::int32_t id;
        std::uint32_t image;
        const char* title;
        std::int32_t y;
        VARDUI::CUIActionElement2** kept;
    } fixed[] = {{kTalkId, kTalkImage, "Talk", 160, &m_Talk},
                 {kAttackId, kAttackImage, "Attack", 224, &m_Attack}};
    for (const auto& entry : fixed)
    {
        auto element = std::make_shared<VARDUI::CUIActionElement2>(0, entry.id);
        element->SetHoverText(entry.title, "");
        element->GetHoverInfo().icon = entry.image;
        element->SetFlags(VARDUI::kUIFlagDraggable, 1);
        DialogLayout::PlaceInPanel(*element, panel, 16, entry.y);
        ui->AddElement(element);
        *entry.kept = element.get();
    }

    auto backpack = std::make_shared<VARDUI::CUIItemsListWindow>(0, "Backpack", 4);
    GrowBy(*backpack, 5 * kCell);
    DialogLayout::PlaceInPanel(*backpack, panel, 80, 144);
    ui->AddElement(backpack);
    m_Backpack = backpack.get();

    auto abilities = std::make_shared<VARDUI::CUISpellListWindow>(0, "Abilities", 4);
    abilities->SetShowSpells(1);
    abilities->SetShowPowers(1);
    GrowBy(*abilities, 5 * kCell);
    DialogLayout::PlaceInPanel(*abilities, panel, 320, 144);
    ui->AddElement(abilities);
    m_Abilities = abilities.get();

    auto done = std::make_shared<VARDUI::CUITextButton>(kDoneId, "Done");
    done->SetRect({panel.left + 288, panel.bottom - 48, panel.left + 352, panel.bottom - 16});
    ui->AddElement(done);

    Refresh();
}

void CActionDlg::Refresh()
{
    for (std::int32_t s = 0; s < static_cast<std::int32_t>(m_Slots.size()); ++s)
    {
        VARDUI::CUIActionElement2::SetFromActionSlot(*m_Slots[s], *m_Actor, s, m_BarSource);
        m_Slots[s]->SetFlags(VARDUI::kUIFlagHighlighted, s == m_SelectedSlot ? 1 : 0);
    }
    if (m_Backpack != nullptr)
        m_Backpack->SetItems(kFirstBackpackId, m_Actor->GetBackpackItems(),
                             VARDUI::CUIItemsListWindow::kModeOwn, nullptr, nullptr);
    if (m_Abilities != nullptr)
        m_Abilities->SetSpells(*m_Actor, kFirstAbilityId, true);
}

void CActionDlg::ToggleSlot(int slot)
{
    ToggleSlotSelection(*m_App, m_Actor.get(), slot);
    m_SelectedSlot = m_App->GetSelectedActionSlot(m_Actor.get());
    Refresh();
    PlayClickSound(*m_App);
}

void CActionDlg::SwitchToPartyMember(std::uint32_t index)
{
    const auto party = m_App->GetPartyMembers();
    if (index >= party.size())
        return;
    m_App->SelectPartyMember(index);
    if (party[index] == m_Actor)
        return;
    for (std::size_t i = 0; i < m_PartyElements.size(); ++i)
        m_PartyElements[i]->SetFlags(VARDUI::kUIFlagHighlighted, i == index ? 1 : 0);
    m_Actor = party[index];
    m_SelectedSlot = m_App->GetSelectedActionSlot(m_Actor.get());
    Refresh();
    PlayClickSound(*m_App);
    m_App->UpdateTitle();
}

int CActionDlg::OnButton(int elementId)
{
    if (elementId == kDoneId)
        return 1;
    if (elementId >= kFirstPartyId && elementId < kFirstSlotId)
        SwitchToPartyMember(static_cast<std::uint32_t>(elementId - kFirstPartyId));
    else if (elementId >= kFirstSlotId && elementId < kFirstSlotId + VARDUI::kActionSlotCount)
        ToggleSlot(elementId - kFirstSlotId);
    return 0;
}

int CActionDlg::OnKey(int virtualKey, int)
{
    const int firstF = static_cast<int>(platform::vk::kF1);
    if (virtualKey >= '1' && virtualKey <= '9')
        SwitchToPartyMember(static_cast<std::uint32_t>(virtualKey - '1'));
    else if (virtualKey >= firstF && virtualKey < firstF + VARDUI::kActionSlotCount)
        ToggleSlot(virtualKey - firstF);
    else if (virtualKey == static_cast<int>(platform::vk::kEscape) ||
             virtualKey == static_cast<int>(platform::vk::kReturn))
        return 1;
    return 0;
}

int CActionDlg::OnRightClick(int elementId)
{
    const auto backpack = m_Actor->GetBackpackItems();
    const auto& spells = m_Actor->GetSpells();
    if (elementId >= kFirstBackpackId && elementId < kFirstAbilityId)
    {
        const auto index = static_cast<std::size_t>(elementId - kFirstBackpackId);
        if (index < backpack.size())
            m_App->SetDialog(false, std::make_shared<CItemDlg>(m_App, backpack[index], m_Actor));
    }
    else if (elementId >= kFirstAbilityId && elementId < kFirstPartyId)
    {
        const auto index = static_cast<std::size_t>(elementId - kFirstAbilityId);
        if (index < spells.size())
            m_App->SetDialog(false, std::make_shared<CSpellDlg>(*spells[index], m_Actor.get(),
                                                                m_App->engine->Module()));
    }
    return 0;
}

void CActionDlg::OnDragStart(int)
{
    for (auto* slot : m_Slots)
        slot->SetFlags(VARDUI::kUIFlagHighlighted, 1);
}

void CActionDlg::OnDragCancel()
{
    for (std::int32_t s = 0; s < static_cast<std::int32_t>(m_Slots.size()); ++s)
        m_Slots[s]->SetFlags(VARDUI::kUIFlagHighlighted, s == m_SelectedSlot ? 1 : 0);
}

void CActionDlg::OnDrop(int sourceId, int targetId)
{
    OnDragCancel();
    if (targetId < kFirstSlotId || targetId >= kFirstSlotId + VARDUI::kActionSlotCount)
        return;
    const int slot = targetId - kFirstSlotId;
    const VARD::CActor* actor = m_Actor.get();
    bool stored = false;
    if (sourceId == kTalkId || sourceId == kAttackId)
    {
        m_App->SetActionSlotType(
            actor, sourceId == kTalkId ? VARDUI::kActionSlotTalk : VARDUI::kActionSlotAttack, slot);
        stored = true;
    }
    else if (sourceId >= kFirstBackpackId && sourceId < kFirstAbilityId)
    {
        const auto backpack = m_Actor->GetBackpackItems();
        const auto index = static_cast<std::size_t>(sourceId - kFirstBackpackId);
        if (index < backpack.size() && m_Actor->CanUseItem(*backpack[index], false))
        {
            m_App->SetActionSlotType(actor, VARDUI::kActionSlotUseItem, slot);
            m_App->SetActionSlotItem(actor, backpack[index]->GetTemplate()->GetName(), slot);
            stored = true;
        }
    }
    else if (sourceId >= kFirstAbilityId && sourceId < kFirstPartyId)
    {
        const auto& spells = m_Actor->GetSpells();
        const auto index = static_cast<std::size_t>(sourceId - kFirstAbilityId);
        if (index < spells.size())
        {
            m_App->SetActionSlotType(actor, VARDUI::kActionSlotCast, slot);
            // The bar names its spells by key, as the default bars do.
            m_App->SetActionSlotSpell(actor, spells[index]->GetKey(), slot);
            stored = true;
        }
    }
    if (stored)
        PlayClickSound(*m_App);
    Refresh();
}

void CActionDlg::OnClosed(CGameApp*) {}
