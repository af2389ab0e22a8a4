#include "dialogs/game_dialog_factory.h"

#include "dialogs/game_menu_dlg.h"
#include "dialogs/map_msg_dlg.h"
#include "dialogs/start_dlg.h"
#include "dialogs/wizard_dlg.h"

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeSplash()
{
    return std::make_shared<CSplashDlg>();
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeStart()
{
    return std::make_shared<CStartDlg>();
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeGameMenu()
{
    return std::make_shared<CVARDGameMenuDlg>();
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeVolume(std::uint32_t percent)
{
    return std::make_shared<CVARDVolumeDlg>(percent);
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeConsole()
{
    return std::make_shared<CWizardDlg>();
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeMap(VARD::CArea* area)
{
    return std::make_shared<CVARDMapDlg>(area);
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeMessageLog(const std::deque<std::string>* log)
{
    return std::make_shared<CVARDMsgDlg>(log);
}
