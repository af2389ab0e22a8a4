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

namespace PlainDialogs
{

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
    app->SetDialog(true, app->dialogFactory->MakeStart());
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

} // namespace PlainDialogs

using namespace PlainDialogs;

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeSplash()
{
    return std::make_shared<CSplashDlg>();
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeStart()
{
    return std::make_shared<CStartDlg>();
}

std::shared_ptr<CVARDDlg>
CPlainDialogFactory::MakeCreationGender(VARD::CEngine* engine,
                                        std::shared_ptr<VARD::CActor> character)
{
    return std::make_shared<CCCGenderDlg>(engine, std::move(character));
}

std::shared_ptr<CVARDDlg>
CPlainDialogFactory::MakeCreationName(VARD::CEngine* engine,
                                      std::shared_ptr<VARD::CActor> character)
{
    return std::make_shared<CCCNameDlg>(engine, std::move(character));
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeText(std::string title, std::string text,
                                                        std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CTextDlg>(std::move(title), std::move(text), std::move(actor));
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeGameMenu()
{
    return std::make_shared<CVARDGameMenuDlg>();
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeVolume(std::uint32_t percent)
{
    return std::make_shared<CVARDVolumeDlg>(percent);
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeConsole()
{
    return std::make_shared<CWizardDlg>();
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeActorInfo(CGameApp* app,
                                                             std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorInfoDlg>(app, std::move(actor));
}

std::shared_ptr<CVARDDlg>
CPlainDialogFactory::MakeActorInventory(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorInvDlg>(app, std::move(actor));
}

std::shared_ptr<CVARDDlg>
CPlainDialogFactory::MakeActorAbilities(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorSpellsDlg>(app, std::move(actor));
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeActorJournal(CGameApp* app,
                                                                std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorJournalDlg>(app, std::move(actor));
}

std::shared_ptr<CVARDDlg>
CPlainDialogFactory::MakeActionEditor(CGameApp* app, std::shared_ptr<VARD::CActor> actor, int slot)
{
    return std::make_shared<CActionDlg>(app, std::move(actor), slot);
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeMap(VARD::CArea* area)
{
    return std::make_shared<CVARDMapDlg>(area);
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeMessageLog(const std::deque<std::string>* log)
{
    return std::make_shared<CVARDMsgDlg>(log);
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeMonster(std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CMonsterDlg>(std::move(actor));
}

std::shared_ptr<CVARDDlg> CPlainDialogFactory::MakeTalk(std::shared_ptr<VARD::CTalkEvent> event,
                                                        CGameApp* app)
{
    return std::make_shared<CTalkDlg>(std::move(event), app);
}
