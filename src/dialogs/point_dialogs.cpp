#include "dialogs/point_dialogs.h"

#include "app/game_app.h"
#include "world/actor.h"

// Until the point dialogs have pages of their own, the shell's text page
// stands in for them.
std::shared_ptr<CVARDDlg> MakeAttribDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
{
    return app->dialogFactory->MakeText("Attribute Points", "", std::move(actor));
}

std::shared_ptr<CVARDDlg> MakeSkillsDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
{
    return app->dialogFactory->MakeText("Skill Points", "", std::move(actor));
}
