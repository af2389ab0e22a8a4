// The commands the start screen, the game menu and the keys call: a new
// game and its start, unloading, the load and save choosers, the quick
// help, the about text, the volume page and the victory page.

#include "app/game_app.h"

#include "app/error_text.h"
#include "app/product_strings.h"
#include "app/shell_dialogs.h"
#include "app/vard_audio.h"
#include "app/win_dlg.h"
#include "common/exception.h"
#include "platform/desktop.h"
#include "rules/engine.h"
#include "world/game.h"

namespace
{

// What the about box owes to others: the libraries the program is built on
// and the licences they come under.
constexpr const char* kLibraryCredits =
    " LINE  LINE This game is built on: LINE - SDL2 (window, input, sound output), zlib "
    "licence. LINE - SDL2_mixer (sound effects), zlib licence. LINE - libepoxy (OpenGL "
    "functions), MIT licence. LINE - Mesa (OpenGL at run time), MIT licence. LINE - FreeType "
    "(text), FreeType licence. LINE - fontconfig (finding fonts), MIT-style licence. LINE - "
    "stb_image (pictures), public domain or MIT licence. LINE - zlib (packed meshes), zlib "
    "licence. LINE - Lua 5.1 (scripts), MIT licence. LINE - Liberation fonts, SIL Open Font "
    "Licence 1.1. LINE ";

constexpr const char* kSaveFolderCaption = "Save Error";
constexpr const char* kLoadFolderCaption = "Load Error";

} // namespace

void CGameApp::NewGame()
{
    std::shared_ptr<VARD::CActor> character = engine->NewGame();
    SetDialog(true, dialogFactory->MakeCreationGender(engine.get(), std::move(character)));
}

void CGameApp::StartCreatedGame(std::shared_ptr<VARD::CActor> character)
{
    // The created character leads the party into the first area.
    engine->SetMainCharacter(character);
    // A start area's entry script that fails leaves the party in the area.
    RunScripted([this] { engine->EnterArea(); });
    gameLoaded = 1;
    RefreshActorInfos(true);
    UpdateGameTitle();
    SelectFirstPartyMember();
    // The screen learns of the game on its next turn.
    window->PostAppMessage(kAppMessageGameLoaded);
    RequestRedraw();
    StartPlay();
}

void CGameApp::UnloadGame()
{
    // A loaded game still held until its scene stands goes with
    // its hold; the game kept from before it is let go too.
    StopPlay();
    if (keptGame)
    {
        keptGame.reset();
        Resume();
    }
    ReleaseDeviceResources();
    engine->ReleaseGame();
    gameLoaded = 0;
    // Back to the start screen's title, with no records left over.
    window->SetTitle(GetProductName());
    messageLog.clear();
    selectedMember = 0;
    RefreshActorInfos(true);
    RequestRedraw();
}

bool CGameApp::ShowLoadDialog()
{
    // No pause of its own: it is opened from dialogs, which hold one.
    std::string folder;
    try
    {
        folder = GetSavedGamesFolder();
    }
    catch (const CVARDException& e)
    {
        machine->GetDesktop().ShowMessageBox(
            kLoadFolderCaption,
            WithCause(std::string("Failed to load \"") + kSavedGamesFolderName + "\".",
                      e.GetDetail()),
            platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Warning);
        return false;
    }
    // The chooser opens on the saved games folder.
    platform::FileChoice choice;
    choice.save = false;
    choice.initialFolder = folder;
    choice.defaultExtension = "vard";
    const std::optional<std::string> path = machine->GetDesktop().ChooseFile(choice);
    // A cancelled chooser loads nothing.
    if (!path)
        return false;
    return LoadGameFrom(*path) != 0;
}

void CGameApp::ShowSaveDialog()
{
    Pause();
    // The chooser opens on the saved games folder.
    std::string folder;
    try
    {
        folder = GetSavedGamesFolder();
    }
    catch (const CVARDException& e)
    {
        // The chooser cannot start anywhere: say so, and give the pause back.
        machine->GetDesktop().ShowMessageBox(
            kSaveFolderCaption,
            WithCause(std::string("Failed to save \"") + kSavedGamesFolderName + "\".",
                      e.GetDetail()),
            platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Warning);
        Resume();
        return;
    }
    platform::FileChoice choice;
    choice.save = true;
    choice.initialFolder = folder;
    choice.defaultExtension = "vard";
    const std::optional<std::string> path = machine->GetDesktop().ChooseFile(choice);
    // A cancelled chooser saves nothing.
    if (path)
        SaveGameTo(*path);
    Resume();
}

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
    SetDialog(silent, dialogFactory->MakeText("Help", text, nullptr));
}

void CGameApp::ShowAbout()
{
    const std::string product = GetProductName();
    const std::string maker = GetMakerName();
    std::string text = product + " LINE " + GetProductVersion();
    text += " LINE Copyright (C) 2026 the " + product + " developers for " + maker;
    text += " LINE  LINE Contact Information: LINE  LINE Visit the official website: LINE - " +
            GetProductWebPage();
    text += " LINE For updates, support, and more information. LINE  LINE Email: LINE - " +
            GetContactMail();
    text += " LINE With any questions or feedback. LINE  LINE " + maker + ": LINE - " +
            GetMakerWebPage();
    text += " LINE For information or more games from " + maker;
    text += ". LINE  LINE Credits:";
    text += " LINE  LINE Design and programming: the " + product +
            " developers. The demo module's models, textures, pictures and sound effects are "
            "made by the game's own tools.";
    text += kLibraryCredits;
    SetDialog(true, dialogFactory->MakeText("About", text, nullptr));
}

void CGameApp::ShowVolume(bool silent)
{
    SetDialog(silent, dialogFactory->MakeVolume(audio->GetVolume()));
}

void CGameApp::SetVolume(std::uint32_t percent)
{
    if (audio && percent != audio->GetVolume())
        audio->SetVolume(percent);
}

void CGameApp::ShowVictory()
{
    // Shown once: closing it then ends the program.
    VARD::CGame& game = engine->Game();
    std::string text = game.GetVictoryText();
    auto dialog =
        std::make_shared<CWinDlg>("Congratulations!", std::move(text), &machine->GetDesktop());
    game.SetVictoryText(std::string());
    SetDialog(false, std::move(dialog));
}
