#include "dialogs/talk_dlg.h"

#include "app/game_app.h"
#include "app/vard_audio.h"
#include "common/exception.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/store_dlg.h"
#include "rules/engine.h"
#include "ui/ui_manager.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/order.h"
#include "world/talk_state.h"
#include "world/thing.h"
#include "world/world_object.h"

#include <typeinfo>

namespace
{

constexpr std::int32_t kMargin = 16;
constexpr std::int32_t kMessageHeight = 96;

VARD::CArea& CurrentArea(CGameApp* app)
{
    VARD::CArea* area = app->engine->Game().GetCurrentArea();
    if (!area)
        throw CVARDException(2);
    return *area;
}

} // namespace

CTalkDlg::CTalkDlg(CGameApp* app, const VARD::CTalkEvent& event) : m_App(app)
{
    VARD::CArea& area = CurrentArea(app);
    m_Speaker = area.FindActorById(event.GetFirstId());
    const std::uint32_t partnerId = event.GetSecondId();
    if (VARD::ThingKindOf(partnerId) == VARD::kThingKindActor)
        m_Partner = area.FindActorById(partnerId);
    else
        m_Partner = area.FindObjectById(partnerId);
    // The order goes on the speaker, so it must be here as well.
    if (!m_Partner || !m_Speaker)
        throw CVARDException(2);
    EnterState(m_Partner->GetFirstTalkFile(), std::string());
}

CTalkDlg::CTalkDlg(VARD::CTalkTarget* partner, CGameApp* app, VARD::CActor* speaker, int chosen)
    : m_App(app), m_Speaker(speaker), m_Partner(partner)
{
    if (!m_Partner || !m_Speaker)
        throw CVARDException(2);
    const VARD::TalkChoiceList choices = m_Partner->GetTalkQueue();
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= choices.size() || !choices[chosen])
        throw CVARDException(2);
    EnterState(choices[chosen]->GetStateName(), choices[chosen]->GetText());
}

void CTalkDlg::EnterState(const std::string& state, const std::string& chosenText)
{
    if (state.empty())
    {
        m_Lines.push_back(m_Partner->GetTalkName() + " has nothing to say.");
        m_Choices.push_back("1 : Done");
        return;
    }
    const auto* thing = dynamic_cast<const VARD::CThing*>(m_Partner);
    if (!thing)
        throw CVARDException(2);
    m_Speaker->QueueInstantOrder(
        std::make_shared<VARD::CTalkOrder>(thing->Id(), state, chosenText));
    m_App->ExecuteInstantOrders();
    TakeEvents();

    const VARD::TalkChoiceList choices = m_Partner->GetTalkQueue();
    if (choices.empty())
        m_Choices.push_back("1 : Done");
    int number = 1;
    for (const auto& choice : choices)
        m_Choices.push_back(std::to_string(number++) + " : " + (choice ? choice->GetText() : ""));
}

void CTalkDlg::TakeEvents()
{
    VARD::CGame& game = m_App->engine->Game();
    while (std::shared_ptr<VARD::CEvent> event = game.PopEvent())
    {
        if (typeid(*event) == typeid(VARD::CMessageEvent))
        {
            const std::string& text = static_cast<const VARD::CMessageEvent&>(*event).GetText();
            m_Lines.push_back(text);
            m_App->PlayEventSoundOf(*event);
            m_App->LogMessage(text);
            m_App->RequestRedraw();
        }
        else if (event->GetKind() == 0)
        {
            // Someone joined or left the party.
            m_App->RefreshActorInfos(true);
            m_App->SelectFirstPartyMember();
        }
        else
            m_App->QueuePendingEvent(std::move(event));
    }
}

std::string CTalkDlg::GetTitle()
{
    return m_Partner->GetTalkName();
}

void CTalkDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const gfx::Rect panel = AddFixedPanel(*clientRect, *ui);
    const gfx::Rect inner{panel.left + kMargin, panel.top + kMargin, panel.right - kMargin,
                          panel.bottom - kMargin};
    auto messages = std::make_shared<VARDUI::CUIMessageWindow>(0, 0, &m_App->messageLog);
    messages->SetRect({inner.left, inner.bottom - kMessageHeight, inner.right, inner.bottom});
    ui->AddElement(messages);
    auto talk = std::make_shared<VARDUI::CUITalkElement>(&m_Lines, &m_Choices);
    talk->SetRect({inner.left, inner.top, inner.right, inner.bottom - kMessageHeight - kMargin});
    ui->AddElement(talk);
}

int CTalkDlg::Choose(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_Choices.size())
        return 0;
    m_Chosen = index;
    return 1;
}

int CTalkDlg::OnButton(int elementId)
{
    if (elementId >= kChoiceIdBase && elementId < kChoiceIdBase + 100)
        return Choose(elementId - kChoiceIdBase);
    return 0;
}

int CTalkDlg::OnKey(int virtualKey, int)
{
    if (virtualKey >= '1' && virtualKey <= '9')
        return Choose(virtualKey - '1');
    if ((virtualKey == 27 || virtualKey == 13) && m_Choices.size() == 1)
        return Choose(0);
    return 0;
}

bool CTalkDlg::IsPartnerHere() const
{
    const auto game = m_App->engine->GetGame();
    const VARD::CArea* area = game ? game->GetCurrentArea() : nullptr;
    const auto* thing = dynamic_cast<const VARD::CThing*>(m_Partner);
    if (area == nullptr || thing == nullptr)
        return false;
    if (VARD::ThingKindOf(thing->Id()) == VARD::kThingKindActor)
        return area->FindActorById(thing->Id()) == dynamic_cast<VARD::CActor*>(m_Partner);
    return area->FindObjectById(thing->Id()) == dynamic_cast<VARD::CObject*>(m_Partner);
}

void CTalkDlg::OnClosed(CGameApp* app)
{
    auto* keeper = dynamic_cast<VARD::CActor*>(m_Partner);
    // The flag asks for this one visit; left set, every later talk with the
    // keeper would end in the store whatever was said.
    const bool storeAsked = keeper != nullptr && keeper->GetStoreFlag() != 0;
    if (storeAsked)
        keeper->SetStoreFlag(0);
    // A script may have sent the party away while this step was shown: whom
    // it left behind it can neither trade nor talk with any more.
    if (!IsPartnerHere())
        return;
    if (storeAsked)
    {
        app->SetDialog(true, std::make_shared<CStoreDlg>(app, m_Speaker, keeper));
        return;
    }
    const VARD::TalkChoiceList choices = m_Partner->GetTalkQueue();
    if (choices.empty() || m_Chosen < 0 || static_cast<std::size_t>(m_Chosen) >= choices.size())
        return;
    app->SetDialog(true, std::make_shared<CTalkDlg>(m_Partner, app, m_Speaker, m_Chosen));
}
