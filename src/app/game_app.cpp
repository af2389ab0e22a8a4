// The application object: start-up in its fixed order, the message loop and
// the rebuild after a game or an area has been put in place.

#include "app/game_app.h"

#include "app/error_text.h"
#include "app/product_strings.h"
#include "app/shell_dialogs.h"
#include "app/vard_audio.h"
#include "app/vard_dlg.h"
#include "common/exception.h"
#include "common/random.h"
#include "platform/audio.h"
#include "platform/gfx_error.h"
#include "platform/image.h"
#include "resources/builtin_images.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "world/event.h"
#include "world/game.h"
#include "world/module.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

namespace
{

// The size the window opens at; the desktop decides where.
constexpr int kInitialWindowWidth = 1024;
constexpr int kInitialWindowHeight = 768;

// The program's string table.
constexpr const char* kTitleString = "NewVARD";
constexpr const char* kWindowClassString = "NEWVARD";

} // namespace

CGameApp::CGameApp()
{
    // Scripts in the module data are built as Lua scripts from the start.
    VARD::InstallLuaScriptHost();
    dialogFactory = std::make_unique<CPlainDialogFactory>();
    // The selection and the action bars answer the game's party events.
    screenHooks.partyChanged = [this]
    {
        RefreshActorInfos(false);
        SelectFirstPartyMember();
    };
    screenHooks.selectFirstPartyMember = [this] { SelectFirstPartyMember(); };
    screenHooks.selectionChanged = [this] { OnSelectionChanged(); };
    screenHooks.refreshPortrait = [this](VARD::CActor& member) { RefreshPortrait(member); };
    screenHooks.refillActionWindow = [this] { RefillActionWindow(); };
    // The HUD and the view follow the world as it moves.
    screenHooks.updatePointer = [this] { UpdatePointer(); };
    screenHooks.updateAmbientAudio = [this]
    {
        if (!audio)
            return;
        gfx::Vec3 centre;
        GetSelectionCentre(centre);
        const std::string silent = audio->UpdateAmbientAudio(engine->Game(), centre.x, centre.z);
        if (!silent.empty())
            LogMessage(silent);
    };
}

CGameApp::~CGameApp() = default;

int CGameApp::Run(CAppPlatform& platformServices, const std::string& commandLine)
{
    machine = &platformServices;
    // The strings of the program's string table.
    title = kTitleString;
    windowClass = kWindowClassString;
    // There is no window class to register: its traits (double clicks,
    // repaint on resize, the arrow pointer) are the window's own.
    // The window, with the OpenGL context the drawing needs.
    if (!CreateMainWindow())
        return 0;
    if (!LoadCursors())
        return 0;
    currentCursor = arrowCursor;
    if (!CreateEngine(commandLine))
        return 0;
    if (!CreateAudio())
        return 0;
    if (!CreateDevice())
        return 0;
    // No accelerator table exists, so every key reaches the procedure.
    window->Invalidate();
    // The loop's first message finishes the start-up.
    window->PostAppMessage(kAppMessageStarted);
    return window->Run([this](const platform::Message& message) { HandleMessage(message); });
}

bool CGameApp::CreateMainWindow()
{
    CMainWindowResult result =
        machine->CreateMainWindow(title, kInitialWindowWidth, kInitialWindowHeight);
    if (result.noOpenGl)
    {
        ShowMessageBox("OpenGL Error",
                       "You must have OpenGL 3.3 to run this game, and it could not be started "
                       "on this display. Install the graphics driver packages that give it (on "
                       "Debian: libgl1-mesa-dri and libglx-mesa0, or your graphics card's own "
                       "driver), and re-run this game once they are installed.",
                       platform::MessageBoxIcon::Error);
        return false;
    }
    if (!result.window)
        return false;
    window = std::move(result.window);
    // The built-in icon. A window without it works all the same, so a
    // broken image only leaves the desktop's default in its place.
    try
    {
        window->SetIcon(
            gfx::DecodeImage(VARDResources::FindBuiltInImage(VARDResources::kWindowIconImage)));
    }
    catch (const gfx::Error&)
    {
    }
    // The desktop asks no window procedure for its smallest size: it is told.
    window->SetMinimumSize(kMinimumWindowWidth, kMinimumWindowHeight);
    window->SetTitle(GetProductName() + " - Welcome");
    window->Show();
    return true;
}

bool CGameApp::LoadCursors()
{
    return window->LoadCursors();
}

bool CGameApp::CreateEngine(const std::string& commandLine)
{
    std::string path = commandLine;
    try
    {
        engine.reset();
        engine = std::make_shared<VARD::CEngine>();
        SeedRandom(machine->GetTickCount());
        if (path.empty())
            path = (machine->GetExecutableFolder() / "module.vard").string();
        // A path naming a file is an archive; a folder, or nothing at all,
        // is read as a folder tree (which then fails for nothing).
        std::error_code error;
        const bool packed = std::filesystem::is_regular_file(path, error);
        engine->LoadModule(path, packed);
    }
    catch (...)
    {
        ShowMessageBox("Game Error",
                       WithCause("Failed to load module \"" + path +
                                     "\". The game is broken. Try reinstalling, or contact " +
                                     GetMakerName() + " for support.",
                                 DescribeCurrentError()),
                       platform::MessageBoxIcon::Warning);
        return false;
    }
    return true;
}

bool CGameApp::CreateAudio()
{
    // Without an output the game runs silently; a module whose effects are
    // missing or broken stops start-up like any other broken module file.
    try
    {
        audio = std::make_shared<CVARDAudio2>(engine->GetModule()->GetDataFileFactory(),
                                              machine->OpenAudioDevice());
    }
    catch (const CVARDException&)
    {
        ShowMessageBox("Game Error",
                       WithCause("Failed to load sound files. The game is broken. Try "
                                 "reinstalling, or contact " +
                                     GetMakerName() + " for support.",
                                 DescribeCurrentError()),
                       platform::MessageBoxIcon::Warning);
        return false;
    }
    return true;
}

void CGameApp::OnGameLoaded()
{
    // With no game the start screen is built.
    if (gameLoaded == 0)
    {
        RebuildUI();
        return;
    }
    // The first rebuild after a load decides it: a scene or a HUD that
    // cannot be built on the loaded game gives back the game kept before.
    std::optional<CKeptGame> kept = std::exchange(keptGame, std::nullopt);
    bool paused = false;
    try
    {
        // The scene is built with play held and the wait pointer up.
        Pause();
        paused = true;
        SetCurrentCursor(waitCursor);
        gfx::Device* drawing = device ? device->Get() : nullptr;
        if (drawing == nullptr)
            throw CVARDException(5, "no drawing device for the scene");
        VARD::CGame& game = engine->Game();
        if (game.GetState() == VARD::kGameOnWorldMap)
        {
            mapView.Reset(engine->GetModule()->GetDataFileFactory());
            mapView.Init(*drawing, game);
        }
        else
        {
            scene.Reset(engine->GetModule()->GetDataFileFactory());
            scene.BuildArea(game, *drawing, engine->Module());
        }
        sceneBuilt = 1;
        paused = false;
        Resume();
        if (kept)
            RebuildUI();
    }
    catch (...)
    {
        if (kept)
        {
            const std::string cause = DescribeCurrentError();
            if (paused)
                Resume();
            SetCurrentCursor(arrowCursor);
            FailLoadAfterScene(std::move(*kept), cause);
            return;
        }
        // The pause count stays taken: the program is closing.
        ShowMessageBox("Game Error",
                       WithCause("Failed to load graphics file. The game is broken. Try "
                                 "reinstalling, or contact " +
                                     GetMakerName() + " for support.",
                                 DescribeCurrentError()),
                       platform::MessageBoxIcon::Warning);
        window->PostClose();
        return;
    }
    if (kept)
    {
        // The loaded game is up: its hold is given back and play may start.
        Resume();
        return;
    }
    RebuildUI();
}

void CGameApp::FailLoadAfterScene(CKeptGame kept, const std::string& cause)
{
    const std::string path = kept.loadPath;
    const bool hadGame = kept.game != nullptr;
    PutBackKeptGame(std::move(kept));
    // The load's hold goes once the kept game has its pace back.
    Resume();
    ShowMessageBox("Load Error", WithCause("Failed to load \"" + path + "\".", cause),
                   platform::MessageBoxIcon::Warning);
    // With no game to return to, the start screen is what is left.
    if (!hadGame && !currentDialog)
        SetDialog(true, dialogFactory->MakeStart());
}

void CGameApp::SetCurrentCursor(platform::Cursor cursor)
{
    currentCursor = cursor;
    if (window)
        window->SetCursor(cursor);
}

void CGameApp::ShowMessageBox(const std::string& caption, const std::string& text,
                              platform::MessageBoxIcon icon)
{
    machine->GetDesktop().ShowMessageBox(caption, text, platform::MessageBoxButtons::Ok, icon);
}

void CGameApp::StopOnError(const std::string& what)
{
    // One box is enough: whatever fails while the close is on its way is
    // part of the same fault.
    if (m_Stopping)
        return;
    m_Stopping = true;
    ShowMessageBox("Game Error",
                   "The game has stopped on an error it cannot recover from (" + what +
                       "). Try reinstalling, or contact " + GetMakerName() + " for support.",
                   platform::MessageBoxIcon::Warning);
    if (window)
        window->PostClose();
}
