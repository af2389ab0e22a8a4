#pragma once

// The attribute and skill point dialogs as the character sheet opens them
// in play.

#include <memory>

namespace VARD
{
class CActor;
}

class CGameApp;
class CVARDDlg;

std::shared_ptr<CVARDDlg> MakeAttribDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
std::shared_ptr<CVARDDlg> MakeSkillsDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
