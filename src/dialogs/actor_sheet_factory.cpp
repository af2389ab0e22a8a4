#include "dialogs/action_dlg.h"
#include "dialogs/actor_info_dlg.h"
#include "dialogs/actor_inv_dlg.h"
#include "dialogs/actor_journal_dlg.h"
#include "dialogs/actor_spells_dlg.h"
#include "dialogs/game_dialog_factory.h"

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeActorInfo(CGameApp* app,
                                                            std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorInfoDlg>(app, std::move(actor));
}

std::shared_ptr<CVARDDlg>
CGameDialogFactory::MakeActorAbilities(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorSpellsDlg>(app, std::move(actor));
}

std::shared_ptr<CVARDDlg>
CGameDialogFactory::MakeActionEditor(CGameApp* app, std::shared_ptr<VARD::CActor> actor, int slot)
{
    return std::make_shared<CActionDlg>(app, std::move(actor), slot);
}

std::shared_ptr<CVARDDlg>
CGameDialogFactory::MakeActorInventory(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorInvDlg>(app, std::move(actor));
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeActorJournal(CGameApp* app,
                                                               std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<CActorJournalDlg>(app, std::move(actor));
}
