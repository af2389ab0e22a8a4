#include "dialogs/actor_sheet_dlg.h"

#include "app/game_app.h"
#include "dialogs/action_dlg.h"
#include "dialogs/actor_info_dlg.h"
#include "dialogs/actor_spells_dlg.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/party_bar.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_hover_window.h"
#include "ui/ui_manager.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/game.h"

namespace
{

constexpr std::int32_t kPanelWidth = 800;
constexpr std::int32_t kPanelHeight = 656;
constexpr std::int32_t kTabWidth = 96;
constexpr std::int32_t kTabHeight = 32;
constexpr std::int32_t kMargin = 16;

} // namespace

CBaseActorDlg2::CBaseActorDlg2(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : m_App(app), m_Actor(std::move(actor)),
      m_BarSource(std::make_shared<CAppActionBarSource>(*app))
{
}

std::string CBaseActorDlg2::GetTitle()
{
    return m_Actor->GetTalkName();
}

void CBaseActorDlg2::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const gfx::Rect panel =
        DialogLayout::AddCentredPanel(*ui, *clientRect, kPanelWidth, kPanelHeight);

    BuildTabBar(panel, *ui);
    BuildPartyBar(panel, *ui);
    BuildActionBar(panel, *ui);

    auto hover = std::make_shared<VARDUI::CUIHoverWindow>();
    hover->SetRect(DialogLayout::InPanel(panel, 16, 64, 176, 112));
    ui->AddElement(hover);

    auto messages = std::make_shared<VARDUI::CUIMessageWindow>(0, 0, &m_App->messageLog);
    messages->SetRect(DialogLayout::InPanel(panel, 16, 512, 672, 640));
    ui->AddElement(messages);

    BuildPage(DialogLayout::InPanel(panel, 16, 144, 672, 496), *ui);
}

void CBaseActorDlg2::BuildTabBar(const gfx::Rect& panel, VARDUI::CUIManager& ui)
{
    static const struct
    {
        std::int32_t id;
        const char* caption;
    } kTabs[] = {{kPageInfo, "Info"},
                 {kPageInventory, "Inventory"},
                 {kPageJournal, "Journal"},
                 {kPageAbilities, "Abilities"},
                 {kGameTabId, "Game"}};
    VARDUI::CUIElementList tabs;
    for (const auto& tab : kTabs)
    {
        auto button = std::make_shared<VARDUI::CUITextButton>(tab.id, tab.caption);
        button->SetRect({0, panel.top + kMargin, kTabWidth, panel.top + kMargin + kTabHeight});
        tabs.push_back(button);
    }
    VARDUI::LayoutRow((panel.left + panel.right) / 2, 1, kMargin, tabs);
    for (const auto& tab : tabs)
        ui.AddElement(tab);
}

void CBaseActorDlg2::BuildPartyBar(const gfx::Rect& panel, VARDUI::CUIManager& ui)
{
    m_PartyElements.clear();
    for (auto& portrait : AddPartyBar(*m_App, m_Actor.get(), kFirstPartyId, panel.left + 736,
                                      panel.top + kMargin, ui))
        m_PartyElements.push_back(std::move(portrait));
}

void CBaseActorDlg2::BuildActionBar(const gfx::Rect& panel, VARDUI::CUIManager& ui)
{
    auto window = std::make_shared<VARDUI::CUIActionWindow2>(0, kFirstSlotId, m_BarSource.get(),
                                                             m_Actor.get());
    const gfx::Rect size = window->GetRect();
    const std::int32_t right = panel.right - kMargin;
    const std::int32_t bottom = panel.bottom - kMargin;
    window->SetRect({right - size.Width(), bottom - size.Height(), right, bottom});
    ui.AddElement(window);
    m_ActionWindow = window.get();
    m_ActionWindow->SetFilled(0);
}

bool CBaseActorDlg2::IsShownActorActive() const
{
    return !m_Actor->IsDead();
}

int CBaseActorDlg2::RequestPage(std::int32_t page, std::shared_ptr<VARD::CActor> actor)
{
    m_PendingPage = page;
    m_PendingActor = std::move(actor);
    return 1;
}

void CBaseActorDlg2::MarkActionWindowStale()
{
    if (m_ActionWindow != nullptr)
        m_ActionWindow->SetFilled(0);
}

void CBaseActorDlg2::ToggleActionSlot(int slot)
{
    ToggleSlotSelection(*m_App, m_Actor.get(), slot);
    MarkActionWindowStale();
    PlayClickSound(*m_App);
}

int CBaseActorDlg2::OnButton(int elementId)
{
    if (elementId >= kFirstPartyId && elementId <= kLastPartyId)
        return SwitchToPartyMember(static_cast<std::uint32_t>(elementId - kFirstPartyId));
    int slot = 0;
    if (GetActionSlotForId(elementId, slot))
    {
        ToggleActionSlot(slot);
        return 0;
    }
    if (elementId >= kPageInfo && elementId <= kPageAbilities)
        return IsShownActorActive() ? RequestPage(elementId, m_Actor) : 0;
    if (elementId == kGameTabId)
        return 1;
    return 0;
}

int CBaseActorDlg2::OnKey(int virtualKey, int)
{
    if (virtualKey >= '1' && virtualKey <= '9')
        return SwitchToPartyMember(static_cast<std::uint32_t>(virtualKey - '1'));
    const int firstF = static_cast<int>(platform::vk::kF1);
    if (virtualKey >= firstF && virtualKey < firstF + VARDUI::kActionSlotCount)
    {
        // Unlike a click, a key only selects.
        m_App->SelectActionSlot(m_Actor.get(), virtualKey - firstF);
        MarkActionWindowStale();
        PlayClickSound(*m_App);
        return 0;
    }
    std::int32_t page = 0;
    switch (virtualKey)
    {
    case 'N':
        page = kPageInfo;
        break;
    case 'I':
        page = kPageInventory;
        break;
    case 'J':
        page = kPageJournal;
        break;
    case 'B':
        page = kPageAbilities;
        break;
    case 'A':
        page = kPageActionEditor;
        break;
    case static_cast<int>(platform::vk::kEscape):
    case static_cast<int>(platform::vk::kReturn):
        return 1;
    default:
        return 0;
    }
    return IsShownActorActive() ? RequestPage(page, m_Actor) : 0;
}

int CBaseActorDlg2::OnRightClick(int elementId)
{
    if (elementId >= kFirstPartyId && elementId <= kLastPartyId)
        return SwitchToPartyMember(static_cast<std::uint32_t>(elementId - kFirstPartyId));
    int slot = 0;
    if (GetActionSlotForId(elementId, slot))
        return RequestPage(kPageActionEditor, m_Actor);
    return 0;
}

int CBaseActorDlg2::SwitchToPartyMember(std::uint32_t index)
{
    const auto party = m_App->GetPartyMembers();
    if (index >= party.size())
        return 0;
    const auto& member = party[index];
    if (!AllowsInactiveActor() && member->IsDead())
        return 0;
    m_App->SelectPartyMember(index);
    return RequestPage(GetPageCode(), member);
}

VARD::CActor* CBaseActorDlg2::GetPartyMemberForId(int elementId) const
{
    if (elementId < kFirstPartyId || elementId > kLastPartyId)
        return nullptr;
    const auto party = m_App->GetPartyMembers();
    const auto index = static_cast<std::size_t>(elementId - kFirstPartyId);
    return index < party.size() ? party[index].get() : nullptr;
}

bool CBaseActorDlg2::GetActionSlotForId(int elementId, int& slot)
{
    // Only the ten tokens are slots: id 160 would name an eleventh.
    if (elementId < kFirstSlotId || elementId > kLastSlotId)
        return false;
    slot = elementId - kFirstSlotId;
    return true;
}

void CBaseActorDlg2::OnClosed(CGameApp* app)
{
    std::shared_ptr<CVARDDlg> next;
    switch (m_PendingPage)
    {
    case kPageInfo:
        next = std::make_shared<CActorInfoDlg>(app, m_PendingActor);
        break;
    case kPageInventory:
        next = app->dialogFactory->MakeActorInventory(app, m_PendingActor);
        break;
    case kPageJournal:
        next = app->dialogFactory->MakeActorJournal(app, m_PendingActor);
        break;
    case kPageAbilities:
        next = std::make_shared<CActorSpellsDlg>(app, m_PendingActor);
        break;
    case kPageActionEditor:
        next =
            std::make_shared<CActionDlg>(app, m_Actor, app->GetSelectedActionSlot(m_Actor.get()));
        break;
    default:
        return;
    }
    m_PendingActor.reset();
    app->SetDialog(true, std::move(next));
}
