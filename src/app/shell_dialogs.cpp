#include "app/shell_dialogs.h"

#include "app/game_app.h"
#include "app/plain_widgets.h"
#include "app/product_strings.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"

void CPlainDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    AddPlainDialogWidgets(*clientRect, *ui, GetTitle(), kDoneId);
}

int CPlainDlg::OnButton(int elementId)
{
    return elementId == kDoneId ? 1 : 0;
}

void CPlainDlg::OnClosed(CGameApp*) {}

std::string CSplashDlg::GetTitle()
{
    return GetMakerName();
}

int CSplashDlg::OnKey(int, int)
{
    return 1;
}

void CSplashDlg::OnClosed(CGameApp* app)
{
    app->SetDialog(true, std::make_shared<CStartDlg>());
}

std::string CStartDlg::GetTitle()
{
    return "Welcome";
}

CCCGenderDlg::CCCGenderDlg(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> character)
    : m_Engine(engine), m_Character(std::move(character))
{
}

std::string CCCGenderDlg::GetTitle()
{
    return "Gender";
}

CCCNameDlg::CCCNameDlg(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> character)
    : m_Engine(engine), m_Character(std::move(character))
{
}

std::string CCCNameDlg::GetTitle()
{
    return "Name";
}

CTextDlg::CTextDlg(std::string title, std::string text, std::shared_ptr<VARD::CActor> actor)
    : m_Title(std::move(title)), m_Text(std::move(text)), m_Actor(std::move(actor))
{
}

std::string CTextDlg::GetTitle()
{
    return m_Title;
}

CWinDlg::CWinDlg(std::string title, std::string text)
    : m_Title(std::move(title)), m_Text(std::move(text))
{
}

std::string CWinDlg::GetTitle()
{
    return m_Title;
}

std::string CVARDGameMenuDlg::GetTitle()
{
    return "Game Menu";
}

CVARDVolumeDlg::CVARDVolumeDlg(std::uint32_t volume) : m_Volume(static_cast<std::int32_t>(volume))
{
}

std::string CVARDVolumeDlg::GetTitle()
{
    return "Volume";
}

std::string CWizardDlg::GetTitle()
{
    return "Wizard";
}

CActorPageDlg::CActorPageDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor, std::string suffix)
    : m_App(app), m_Actor(std::move(actor)), m_Suffix(std::move(suffix))
{
}

std::string CActorPageDlg::GetTitle()
{
    return m_Actor->GetTalkName() + m_Suffix;
}

CActorInfoDlg::CActorInfoDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CActorPageDlg(app, std::move(actor), " - Information")
{
}

CActorInvDlg::CActorInvDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CActorPageDlg(app, std::move(actor), " - Inventory")
{
}

CActorSpellsDlg::CActorSpellsDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CActorPageDlg(app, std::move(actor), " - Abilities")
{
}

CActorJournalDlg::CActorJournalDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CActorPageDlg(app, std::move(actor), " - Journal")
{
}

CActionDlg::CActionDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor, int slot)
    : CActorPageDlg(app, std::move(actor), " - Action"), m_Slot(slot)
{
}

CVARDMapDlg::CVARDMapDlg(VARD::CArea* area) : m_Area(area) {}

std::string CVARDMapDlg::GetTitle()
{
    return (m_Area ? m_Area->GetTitle() : std::string()) + " - Map";
}

CVARDMsgDlg::CVARDMsgDlg(const std::deque<std::string>* history) : m_History(history) {}

std::string CVARDMsgDlg::GetTitle()
{
    return "Messages";
}

CMonsterDlg::CMonsterDlg(std::shared_ptr<VARD::CActor> actor) : m_Actor(std::move(actor)) {}

std::string CMonsterDlg::GetTitle()
{
    return m_Actor->GetTalkName();
}

CTalkDlg::CTalkDlg(std::shared_ptr<VARD::CTalkEvent> event, CGameApp* app)
    : m_Event(std::move(event)), m_App(app)
{
}

std::string CTalkDlg::GetTitle()
{
    return "Talk";
}
