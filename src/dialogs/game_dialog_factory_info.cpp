// The information, talk and store pages of the game's factory.

#include "app/game_app.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/talk_dlg.h"
#include "rules/engine.h"
#include "world/event.h"

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeText(std::string title, std::string text,
                                                       std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<::CTextDlg>(std::move(title), std::move(text), std::move(actor));
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeMonster(std::shared_ptr<VARD::CActor> actor)
{
    return std::make_shared<::CMonsterDlg>(*actor, nullptr);
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeMonsterSeenBy(CGameApp* app,
                                                                std::shared_ptr<VARD::CActor> actor)
{
    const VARD::CGame* game = app && app->engine ? app->engine->GetGame().get() : nullptr;
    return std::make_shared<::CMonsterDlg>(*actor, game);
}

std::shared_ptr<CVARDDlg> CGameDialogFactory::MakeTalk(std::shared_ptr<VARD::CTalkEvent> event,
                                                       CGameApp* app)
{
    return std::make_shared<::CTalkDlg>(app, *event);
}
