// Where saved games live, saving and loading them with the party's action
// bars, and the quick save and quick load keys.

#include "app/game_app.h"

#include "app/error_text.h"
#include "common/exception.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/platform_error.h"
#include "rules/engine.h"
#include "world/game.h"

#include <filesystem>
#include <optional>

namespace
{

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

void ShowLoadError(CAppPlatform& machine, const std::string& path, const std::string& cause)
{
    ShowWarning(machine, "Load Error", WithCause("Failed to load \"" + path + "\".", cause));
}

} // namespace

std::string CGameApp::GetSavedGamesFolder()
{
    // The desktop's reason names the folder.
    try
    {
        const std::filesystem::path folder = platform::DocumentsFolder() / kSavedGamesFolderName;
        platform::CreateFolder(folder);
        return folder.string();
    }
    catch (const platform::Error& error)
    {
        throw CVARDException(1, error.what());
    }
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
        ShowWarning(*machine, "Save Error",
                    WithCause("Failed to save \"" + path + "\".", DescribeCurrentError()));
    }
}

int CGameApp::LoadGameFrom(const std::string& path)
{
    CKeptGame kept = KeepCurrentGame();
    kept.loadPath = path;
    // A game in play is stopped and its scene let go before the engine
    // replaces it, as the scene points into that game's areas.
    if (gameLoaded != 0)
    {
        StopPlay();
        ReleaseDeviceResources();
    }
    // A load begun while another's scene was still to be built starts from
    // the game now in place.
    if (keptGame)
    {
        keptGame.reset();
        Resume();
    }
    try
    {
        // The engine keeps its game when the file does not read.
        std::optional<std::string> bonus;
        engine->LoadGame(path, bonus);
        // A game saved on its way between areas (a new one before its
        // first) goes on into the area it was bound for; a failure there is
        // the load's.
        GoOnIntoArea();
        // The old party's records and log go with the old game.
        gameLoaded = 1;
        actorInfos.clear();
        messageLog.clear();
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
        const std::string cause = DescribeCurrentError();
        PutBackKeptGame(std::move(kept));
        ShowLoadError(*machine, path, cause);
        return 0;
    }
    // Held still until OnGameLoaded has built its scene and HUD, which may
    // still fail and give the kept game back.
    Pause();
    keptGame = std::move(kept);
    // Only a game that came up becomes the quick save's target.
    savePath = path;
    return 1;
}

CKeptGame CGameApp::KeepCurrentGame() const
{
    CKeptGame kept;
    if (gameLoaded != 0)
        kept.game = engine->GetGame();
    kept.savePath = savePath;
    kept.actorInfos = actorInfos;
    kept.selectedMember = selectedMember;
    kept.messageLog = messageLog;
    kept.playReleased = playReleased;
    kept.playerPaused = playerPaused;
    return kept;
}

void CGameApp::PutBackKeptGame(CKeptGame kept)
{
    // The game the load put in place stops and lets go of whatever of its
    // scene was built.
    const std::shared_ptr<VARD::CGame> loaded = engine->GetGame();
    if (loaded && loaded != kept.game)
    {
        StopPlay();
        scene.Clear(*loaded);
        mapView.Clear();
        sceneBuilt = 0;
    }
    ClearUI();
    window->Invalidate();
    // Starting play ended the player's pause; it comes back with its count.
    if (playerPaused != kept.playerPaused)
    {
        pauseCount += kept.playerPaused != 0 ? 1 : -1;
        playerPaused = kept.playerPaused;
    }
    engine->RestoreGame(kept.game);
    gameLoaded = kept.game ? 1 : 0;
    actorInfos = std::move(kept.actorInfos);
    selectedMember = kept.selectedMember;
    messageLog = std::move(kept.messageLog);
    messageLogBytes = 0;
    for (const std::string& line : messageLog)
        messageLogBytes += line.size();
    savePath = std::move(kept.savePath);
    UpdateGameTitle();
    if (gameLoaded != 0)
    {
        window->PostAppMessage(kAppMessageGameLoaded);
        // The game goes on as it went before the load stopped it.
        if (kept.playReleased != 0)
        {
            if (!IsOnWorldMap())
                Resume();
            playReleased = 1;
        }
    }
    RequestRedraw();
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
    // The game in play is given up only once the saved one has come up: a
    // load failing at any step leaves the game as it was, not a screen with
    // no game and no page to start one from.
    const std::string path = savePath;
    LoadGameFrom(path);
}
