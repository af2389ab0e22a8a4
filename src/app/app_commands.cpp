// The commands the keys and the game menu call: the quick help and the
// volume page; and the victory page once the game is won.

#include "app/game_app.h"

#include "app/product_strings.h"
#include "app/shell_dialogs.h"
#include "app/vard_audio.h"
#include "rules/engine.h"
#include "world/game.h"

void CGameApp::ShowHelp(bool silent)
{
    const std::string product = GetProductName();
    const std::string text =
        product +
        " LINE LINE Keyboard shortcuts: LINE LINE Spacebar - Pause/unpause. LINE ESC - Clear "
        "orders. LINE TAB - Tabs selection through party actors. LINE ENTER - Game menu. LINE "
        "CTRL - Show markup. LINE SHIFT - Append actions to the end of the current actions "
        "(instead of overwriting). LINE 1 - n - Select party actor. LINE 0 - Select whole "
        "party. LINE F1 - F10 - Select action. LINE n - Actor info. LINE i - Actor inventory. "
        "LINE b - Abilities. LINE j - Journal. LINE a - Actor action. LINE m - Map. LINE g - "
        "Messages. LINE x - Exit. LINE q - Quick save. LINE l - Quick load. LINE r - Return. "
        "LINE f - Turn fastmove on/off. LINE v - Change sound volume. LINE ? - Display quick "
        "help. LINE LINE See the " +
        product + " (access from the Start Menu) for full information. LINE ";
    SetDialog(silent, std::make_shared<CTextDlg>("Help", text, nullptr));
}

void CGameApp::ShowVolume(bool silent)
{
    SetDialog(silent, std::make_shared<CVARDVolumeDlg>(audio->GetVolume()));
}

void CGameApp::ShowVictory()
{
    VARD::CGame& game = engine->Game();
    std::string text = game.GetVictoryText();
    auto dialog = std::make_shared<CWinDlg>("Congratulations!", std::move(text));
    // Shown once: closing it then ends the program.
    game.SetVictoryText(std::string());
    SetDialog(false, std::move(dialog));
}
