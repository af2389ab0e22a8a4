#pragma once

#include "app/app_platform.h"
#include "graphics/scene_renderer.h"
#include "graphics/world_map_view.h"
#include "platform/messages.h"
#include "platform/rect.h"
#include "ui/ui_manager.h"

#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{
class CActor;
class CEngine;
class CEvent;
} // namespace VARD

namespace VARDUI
{
class CUIElement;
}

class CVARDActorInfo;
class CVARDAudio2;
class CVARDDlg;

// The two private window messages: the first opens the splash screen once
// start-up is done, the second rebuilds the scene and the widgets for the
// game now in place.
constexpr std::uint32_t kAppMessageStarted = 0x8000;
constexpr std::uint32_t kAppMessageGameLoaded = 0x8001;

// The smallest window the game screen is laid out for.
constexpr int kMinimumWindowWidth = 864;
constexpr int kMinimumWindowHeight = 720;

// Selecting the whole party rather than one member.
constexpr std::uint32_t kWholePartySelected = 0xFFFF;

// The size the drawing device's back buffer is reset to.
struct CPresentParameters
{
    std::uint32_t backBufferWidth = 0;
    std::uint32_t backBufferHeight = 0;
};

// The application object: one lives for the whole run and owns the window,
// the device, the engine, the views, the widget tree, the dialogs and the
// sound. Its state is open to the handlers of every screen, so its members
// are plain; they are destroyed in the reverse of this order.
class CGameApp
{
public:
    CGameApp();
    ~CGameApp();
    CGameApp(const CGameApp&) = delete;
    CGameApp& operator=(const CGameApp&) = delete;

    // --------------------------------------------- start-up (game_app.cpp)
    // Start-up, then the message loop; the process's exit code.
    int Run(CAppPlatform& machine, const std::string& commandLine);
    bool CreateMainWindow();
    bool LoadCursors();
    bool CreateEngine(const std::string& commandLine);
    bool CreateAudio();
    void OnGameLoaded();
    void SetCurrentCursor(platform::Cursor cursor);
    void ShowMessageBox(const std::string& caption, const std::string& text,
                        platform::MessageBoxIcon icon);

    // ------------------------------------- window procedure (window_proc.cpp)
    // Every message of the window; an error that would escape a handler ends
    // the program in order instead.
    void HandleMessage(const platform::Message& message);
    void OnMouseMove(const platform::Message& message);
    void OnLButtonDown(std::uint32_t keyFlags, const VARDUI::Point& point);
    void OnRButtonDown(const VARDUI::Point& point);
    void OnKeyDown(std::uint32_t key);
    void RequestRedraw();

    // ------------------------------------------------------ pace (pacing.cpp)
    // The game stands still while the count is above 0.
    void Pause();
    void Resume();
    bool IsOnWorldMap() const;
    void TogglePause(bool silent);
    void ToggleFastMove(bool click);

    // ------------------------------------- selection (party_selection.cpp)
    // The selected member, or with the whole party selected the first alive.
    std::shared_ptr<VARD::CActor> GetSelectedActor() const;
    // Nothing for an index past the party or a dead member.
    void SelectPartyMember(std::uint32_t index);
    void SelectWholeParty();
    void SelectNextPartyMember();

    // --------------------------------------------- commands (app_commands.cpp)
    void ShowHelp(bool silent);
    void ShowVolume(bool silent);

    // ------------------------------------------- device (painting.cpp)
    bool CreateDevice();
    void SetRenderStates();
    void ReleaseDeviceResources();
    void OnPaint();
    void OnSize(platform::SizeKind sizeType, int width, int height);
    void OnExitSizeMove();

    // ------------------------------------------- dialogs (dialog_stack.cpp)
    void SetDialog(bool silent, std::shared_ptr<CVARDDlg> dialog);
    void UpdateTitle();
    void CloseDialog();
    void PumpUIEvents();
    void RebuildUI();
    gfx::Rect GetClientRect() const;

    // ------------------------------------------------------------- members
    CAppPlatform* machine = nullptr;
    std::unique_ptr<CAppWindow> window;
    platform::Cursor arrowCursor = platform::Cursor::Arrow;
    platform::Cursor sizeAllCursor = platform::Cursor::SizeAll;
    platform::Cursor upArrowCursor = platform::Cursor::UpArrow;
    platform::Cursor crossCursor = platform::Cursor::Cross;
    platform::Cursor handCursor = platform::Cursor::Hand;
    platform::Cursor waitCursor = platform::Cursor::Wait;
    platform::Cursor currentCursor = platform::Cursor::Arrow;
    std::string title;
    std::string windowClass;
    int gameLoaded = 0;
    int playerPaused = 1;
    int fastMove = 0;
    std::uint32_t realTimeBase = 0;
    std::uint32_t tickBase = 0;
    int playReleased = 0;
    int pauseCount = 2;
    std::uint32_t timerId = 0;
    std::shared_ptr<VARD::CEngine> engine;
    std::string savePath;
    std::list<std::shared_ptr<VARD::CEvent>> pendingEvents;
    int partyWipedShown = 0;
    std::uint32_t selectedMember = 0;
    std::map<std::uint32_t, std::shared_ptr<CVARDActorInfo>> actorInfos;
    std::unique_ptr<CAppDevice> device;
    CPresentParameters presentParameters;
    int deviceLost = 0;
    int sceneBuilt = 0;
    VARDGraph::CSceneRenderer scene;
    VARDGraph::CGraphicsMapManager2 mapView;
    VARDUI::CUIManager ui;
    std::shared_ptr<CVARDDlg> currentDialog;
    std::deque<std::shared_ptr<CVARDDlg>> coveredDialogs;
    VARDUI::CUIElement* miniMap = nullptr;
    VARDUI::CUIElement* hoverWindow = nullptr;
    VARDUI::CUIElement* pauseButton = nullptr;
    VARDUI::CUIElement* fastMoveButton = nullptr;
    VARDUI::CUIElement* exitButton = nullptr;
    VARDUI::CUIElement* actionWindow = nullptr;
    std::deque<std::string> messageLog;
    std::vector<VARDUI::CUIElement*> portraits;
    VARDUI::Point mousePoint;
    int mouseTracked = 0;
    int inSizeMove = 0;
    std::shared_ptr<CVARDAudio2> audio;

private:
    void Dispatch(const platform::Message& message);
    void OnStarted();
    void OnKeyOfGame(std::uint32_t key);
    void OnKeyOfArea(std::uint32_t key);
    void RebuildAfterReset();
    // Shows what stopped the program and closes it.
    void StopOnError(const std::string& what);
    bool m_Stopping = false;
};
