// Where saved games live, saving and loading them with the party's action
// bars, and the quick save and quick load keys.

#include "app/game_app.h"

#include "common/exception.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/platform_error.h"
#include "rules/engine.h"

#include <filesystem>
#include <optional>

namespace
{

constexpr const char* kSavedGamesFolderName = "BRLM Saved Games";

void ShowWarning(CAppPlatform& machine, const std::string& caption, const std::string& text)
{
    machine.GetDesktop().ShowMessageBox(caption, text, platform::MessageBoxButtons::Ok,
                                        platform::MessageBoxIcon::Warning);
}

bool AskToContinue(CAppPlatform& machine, const std::string& text)
{
    return machine.GetDesktop().ShowMessageBox(
               "Continue?", text, platform::MessageBoxButtons::OkCancel,
               platform::MessageBoxIcon::Question) == platform::MessageBoxResult::Ok;
}

void ShowLoadError(CAppPlatform& machine, const std::string& path)
{
    ShowWarning(machine, "Load Error", "Failed to load \"" + path + "\".");
}

} // namespace

std::string CGameApp::GetSavedGamesFolder()
{
    // The folder sits under the user's documents.
    std::filesystem::path folder;
    try
    {
        folder = platform::DocumentsFolder() / kSavedGamesFolderName;
    }
    catch (const platform::Error&)
    {
        throw CVARDException(1, kSavedGamesFolderName);
    }
    // The folder is made if missing.
    try
    {
        platform::CreateFolder(folder);
    }
    catch (const platform::Error&)
    {
        throw CVARDException(1, folder.string());
    }
    return folder.string();
}

void CGameApp::SaveGameTo(const std::string& path)
{
    try
    {
        // The engine writes beside the file and replaces it only
        // once the new one is whole.
        std::string text;
        WritePartyOrders(text);
        engine->SaveGame(text, path);
        savePath = path;
    }
    catch (...)
    {
        ShowWarning(*machine, "Save Error", "Failed to save \"" + path + "\".");
    }
}

int CGameApp::LoadGameFrom(const std::string& path)
{
    // A game in play is stopped and its scene let go before the engine
    // replaces it, as the scene points into that game's areas; a failed
    // load gives both back.
    const bool replacing = gameLoaded != 0;
    const bool wasReleased = playReleased != 0;
    if (replacing)
    {
        StopPlay();
        ReleaseDeviceResources();
    }
    // The engine keeps its game when the file does not read.
    std::optional<std::string> bonus;
    try
    {
        engine->LoadGame(path, bonus);
    }
    catch (...)
    {
        if (replacing)
        {
            if (wasReleased)
            {
                if (!IsOnWorldMap())
                    Resume();
                playReleased = 1;
            }
            window->PostAppMessage(kAppMessageGameLoaded);
            RequestRedraw();
        }
        ShowLoadError(*machine, path);
        return 0;
    }
    try
    {
        if (replacing)
        {
            // The old party's records go with the old game.
            gameLoaded = 0;
            messageLog.clear();
            RefreshActorInfos(true);
        }
        gameLoaded = 1;
        RefreshActorInfos(true);
        UpdateGameTitle();
        // The party's orders saved with the game come back with it.
        if (bonus && !bonus->empty())
            ReadPartyOrders(*bonus);
        SelectFirstPartyMember();
        window->PostAppMessage(kAppMessageGameLoaded);
        RequestRedraw();
        StartPlay();
    }
    catch (...)
    {
        // The engine took the game but its screen cannot stand on it: no
        // game rather than a screen that disagrees with the engine.
        UnloadGame();
        ShowLoadError(*machine, path);
        return 0;
    }
    // Only a game that came up becomes the quick save's target.
    savePath = path;
    return 1;
}

void CGameApp::QuickSave()
{
    Pause();
    // Quick save needs a file saved to or loaded from before.
    if (savePath.empty())
    {
        ShowWarning(*machine, "QuickSave error",
                    "Can't QuickSave; you don't have a save file set.");
        Resume();
        return;
    }
    // Overwriting asks first.
    if (AskToContinue(*machine, "Are you sure you want to overwrite \"" + savePath + "\"?"))
        SaveGameTo(savePath);
    Resume();
}

void CGameApp::QuickLoad()
{
    Pause();
    // Quick load needs a file saved to or loaded from before.
    if (savePath.empty())
    {
        ShowWarning(*machine, "QuickLoad Error",
                    "Can't QuickLoad; you don't have a load file set.");
        Resume();
        return;
    }
    // Unloading the game in play asks first.
    if (!AskToContinue(*machine, "Are you sure you want to unload the current game?"))
    {
        Resume();
        return;
    }
    Resume();
    // The saved game is read before the one in play is given up: a file
    // that has gone or does not read leaves the game as it was, not a
    // screen with no game and no page to start one from.
    const std::string path = savePath;
    LoadGameFrom(path);
}
