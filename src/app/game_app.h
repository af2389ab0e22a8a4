#pragma once

#include "app/app_platform.h"
#include "app/dialog_factory.h"
#include "graphics/scene_renderer.h"
#include "graphics/world_map_view.h"
#include "platform/messages.h"
#include "platform/rect.h"
#include "ui/ui_manager.h"
#include "world/game.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace VARD
{
class CActor;
class CActorInfoEvent;
class CDialogBoxEvent;
class CEffectEvent;
class CEngine;
class CEvent;
class CGame;
class CObject;
class CSpell;
class CThing;
class CTile;
class CInvEvent;
class CMap2Area;
class CTalkEvent;
} // namespace VARD

namespace VARDUI
{
class CUIActionBarSource;
class CUIElement;
} // namespace VARDUI

class CVARDActorInfo;
class CVARDAudio2;
class CVARDDlg;
class CVARDException;

// The two private window messages: the first opens the splash screen once
// start-up is done, the second rebuilds the scene and the widgets for the
// game now in place.
constexpr std::uint32_t kAppMessageStarted = 0x8000;
constexpr std::uint32_t kAppMessageGameLoaded = 0x8001;

// The smallest window the game screen is laid out for.
constexpr int kMinimumWindowWidth = 864;
constexpr int kMinimumWindowHeight = 720;

using VARD::kMessageLogBytes;
using VARD::kMessageLogLines;

// Selecting the whole party rather than one member.
constexpr std::uint32_t kWholePartySelected = 0xFFFF;

// The folder under the user's documents that holds the saved games.
constexpr const char* kSavedGamesFolderName = "BRLM Saved Games";

// The game screen's answers to the game's events that belong to its HUD,
// its view and the party's action bars: the screen connects them when it is
// built. Until then an event changes only the message log, the dialogs and
// the pace, and an empty hook does nothing.
struct CGameScreenHooks
{
    // A line was appended to the message log.
    std::function<void(const std::string& line)> messageLogged;
    // The party changed: the members' records are refreshed (keeping none
    // of the HUD) and the first living member is selected.
    std::function<void()> partyChanged;
    // A member's portrait shows the actor again.
    std::function<void(VARD::CActor& member)> refreshPortrait;
    // A dead member was selected: the first living member is selected.
    std::function<void()> selectFirstPartyMember;
    std::function<void()> refillActionWindow;
    std::function<void()> selectionChanged;
    // The world moved under a still mouse.
    std::function<void()> updatePointer;
    // The footsteps and the ambient sound for where the view now is.
    std::function<void()> updateAmbientAudio;
};

// What was in place when a load began: the game (none when there was none),
// the screen's records of it and its pace. It is kept until the loaded
// game's scene and HUD stand, so that a load failing at any step gives it
// back.
struct CKeptGame
{
    std::shared_ptr<VARD::CGame> game;
    std::string savePath;
    std::map<std::uint32_t, std::shared_ptr<CVARDActorInfo>> actorInfos;
    std::uint32_t selectedMember = 0;
    std::deque<std::string> messageLog;
    int playReleased = 0;
    int playerPaused = 1;
    // The file being loaded.
    std::string loadPath;
};

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
    void UpdatePauseButton();
    void StartPlay();
    void StopPlay();
    // 0 when the party must leave its area, else 1.
    int RunDueTicks();
    void OnGameTimer();

    // ------------------------------------- game events (game_events.cpp)
    void DrainTickEvents();
    void QueuePendingEvent(std::shared_ptr<VARD::CEvent> event);
    // 1 when every pending event was handled, 0 when the party must leave.
    int ProcessPendingEvents();
    void HandleInfoEvent(std::int32_t kind);
    void HandleActorInfoEvent(const VARD::CActorInfoEvent& event);
    void OpenTalkDialog(const std::shared_ptr<VARD::CTalkEvent>& event);
    void OpenInventoryDialog(const VARD::CInvEvent& event);
    void OpenDialogBox(const VARD::CDialogBoxEvent& event);
    void ShowEffectEvent(const VARD::CEffectEvent& event);
    void LeaveArea();
    // A party that stands in no area on its way to one (left to rest, or a
    // destination known, as in a new game) goes on into it.
    void GoOnIntoArea();
    void TravelToMapLocation(const VARD::CMap2Area& location);
    // Appends to the message log, dropping its oldest line past
    // kMessageLogLines, and tells the screen.
    void LogMessage(const std::string& line);
    void PlayEventSoundOf(const VARD::CEvent& event);

    // ------------------------------------- selection (party_selection.cpp)
    // The selected member, or with the whole party selected the first alive.
    std::shared_ptr<VARD::CActor> GetSelectedActor() const;
    // Nothing for an index past the party or a dead member.
    void SelectPartyMember(std::uint32_t index);
    void SelectWholeParty();
    void SelectNextPartyMember();
    // The game's party, or none while no game is loaded.
    std::vector<std::shared_ptr<VARD::CActor>> GetPartyMembers() const;
    void SelectFirstPartyMember();
    // A party actor clicked in the view; one not in the party (a summon)
    // changes nothing.
    void SelectByClick(const VARD::CActor& actor);
    bool IsActorSelected(const VARD::CActor& actor) const;
    void CollectSelectedActors(std::vector<std::shared_ptr<VARD::CActor>>& actors) const;
    void CollectSelectedActorIds(std::vector<std::uint32_t>& ids) const;
    void OnSelectionChanged();
    void RefreshPortrait(const VARD::CActor& actor);
    // The action window reads the selected member's bar again on its next
    // draw.
    void RefillActionWindow();
    // Records for members that have none; with no game loaded, none.
    void RefreshActorInfos(bool keepHud);

    // Action bars. Code 4 for an actor without a record and for a slot
    // outside 0..9 (0..10 for SelectActionSlot). No actor at all has an
    // empty bar: nothing selected, and nothing to set.
    int GetSelectedActionSlot(const VARD::CActor* actor) const;
    void SelectActionSlot(const VARD::CActor* actor, int slot);
    void ClearActionSlotSelection(const VARD::CActor* actor);
    int GetSelectedActionType(const VARD::CActor* actor) const;
    std::string GetSelectedActionSpell(const VARD::CActor* actor) const;
    std::string GetSelectedActionItem(const VARD::CActor* actor) const;
    std::string GetActionSlotSpellName(const VARD::CActor* actor, int slot) const;
    std::string GetActionSlotItemName(const VARD::CActor* actor, int slot) const;
    void SetActionSlotType(const VARD::CActor* actor, int type, int slot);
    void SetActionSlotSpell(const VARD::CActor* actor, const std::string& spell, int slot);
    void SetActionSlotItem(const VARD::CActor* actor, const std::string& item, int slot);

    // ------------------------------------------ input to orders (scene_input.cpp)
    // A left click in the area's view that no widget took. Code 4 for an
    // action type other than 0, 2, 10, 11, 12.
    void OnSceneClick(const VARDUI::Point& point, int actionType, int pickKind,
                      VARD::CThing* picked, bool replace);
    void OnScenePick(int pickKind, const VARDUI::Point& point, VARD::CThing* picked, bool replace);
    void ClearSelectedOrders();
    // Two abreast, centred on the point across the way the members go. With
    // the object clicked, a member whose place lies on its solid ground gets
    // no walk there.
    void OrderMove(double x, double y, const VARD::CObject* clicked = nullptr);
    void OrderUseTile(const VARD::CTile& tile);
    void OrderUseObject(const VARD::CObject& object);
    void OrderMoveTalk(const VARD::CActor& target);
    void OrderAttack(const VARD::CActor& target);
    void OrderCast(VARD::CActor& actor, const VARD::CSpell& spell, int pickKind,
                   const VARD::CThing* picked);
    void OrderPower(VARD::CActor& actor, const VARD::CSpell& spell);
    void ActivateActionSlot(int slot, VARD::CActor* actor);
    void OrderReturnToEntrance(VARD::CActor* actor);
    void SwapPartyPositions(std::uint32_t from, std::uint32_t to);
    void ClearSlotSelectionIfSingle();
    // Where a point of the window meets the ground; false off the ground.
    bool ScreenPointToGround(const VARDUI::Point& point, double& x, double& y) const;

    // ------------------------------------------------- HUD (game_hud.cpp)
    // The game screen's widgets, into the emptied tree; a game is loaded and
    // no dialog is current.
    void BuildHud();
    void OnHudClick(int id);
    void OnHudRightClick(int id);
    // Cursor and hover window for the thing under the last mouse position.
    void UpdatePointer();
    // The cursor over what was picked, with the selected slot's action.
    platform::Cursor ChooseCursor(const VARDGraph::PickResult& picked, int action) const;
    VARDGraph::PickResult PickUnderPointer();

    // ------------------------------------------- game view (game_view.cpp)
    // The point the camera looks at; with nobody selected, the last one.
    void GetSelectionCentre(gfx::Vec3& centre);
    // The game screen's camera as the keys held now turn it.
    VARDGraph::SceneCamera BuildGameCamera(const gfx::Rect* clientRect,
                                           const gfx::Vec3* target) const;
    // The area or the world map, inside the frame.
    void DrawGameView(const gfx::Vec3& target);

    // ---------------------------------------- console (wizard_console.cpp)
    // One line of the developer console. A failure of the game's own (an
    // item or skill the module lacks) is told in the message log.
    void RunWizardCommand(const std::string& line);

    // --------------------------------------------- commands (app_commands.cpp)
    void ShowHelp(bool silent);
    void ShowVolume(bool silent);
    // Percent 0..100: the loops take it at once, the effects when next
    // played; nothing when it is the volume already.
    void SetVolume(std::uint32_t percent);
    void ShowVictory();
    void NewGame();
    void StartCreatedGame(std::shared_ptr<VARD::CActor> character);
    void UnloadGame();
    // True when a game was loaded.
    bool ShowLoadDialog();
    void ShowSaveDialog();
    void ShowAbout();

    // ------------------------------------------ saved games (saved_games.cpp)
    // The documents folder's "BRLM Saved Games", made when missing; code 1
    // (its detail says which folder and why) when there is no documents
    // folder or the folder cannot be made.
    std::string GetSavedGamesFolder();
    // Failures are shown in a box; the file saved before stays whole.
    void SaveGameTo(const std::string& path);
    // 1 loaded, 0 failed (shown in a box). A load that fails here or
    // later, while its scene is built, gives back what was in place: the
    // game that was running, or none. Until its scene stands the loaded
    // game holds a pause count.
    int LoadGameFrom(const std::string& path);
    CKeptGame KeepCurrentGame() const;
    // Drops whatever the failed load put in place and restores what was
    // kept; a restored game's scene is rebuilt by the next game-loaded
    // message.
    void PutBackKeptGame(CKeptGame kept);
    // The loaded game's scene or HUD failed: the kept game comes back, the
    // box says why, and with no game the start screen is shown.
    void FailLoadAfterScene(CKeptGame kept, const std::string& cause);
    void QuickSave();
    void QuickLoad();

    // ------------------------------ action bars in saved games (party_orders.cpp)
    void WritePartyOrders(std::string& out);
    void ReadPartyOrders(const std::string& text);

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
    // Script failures are shown and swallowed; other failures go on.
    void ExecuteInstantOrders();
    // Runs one step of play. A script that fails in it (code 6) ends the
    // step there, is reported as the instant orders report it, and play goes
    // on: false then. Other failures go on to the caller.
    bool RunScripted(const std::function<void()>& step);
    void ReportScriptError(const CVARDException& error);
    void DrainGameEvents();
    // The product name, and the current area's name while one is in play.
    void UpdateGameTitle();
    void RebuildUI();
    // Empties the widget tree and forgets the HUD's widgets that were in it.
    void ClearUI();
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
    // The bytes of the log's lines, as LogMessage counted them.
    std::size_t messageLogBytes = 0;
    std::vector<VARDUI::CUIElement*> portraits;
    VARDUI::Point mousePoint;
    int mouseTracked = 0;
    int inSizeMove = 0;
    std::shared_ptr<CVARDAudio2> audio;
    // Makes every dialog the shell opens; the stand-in pages until the
    // program installs its own.
    std::unique_ptr<CDialogFactory> dialogFactory;
    CGameScreenHooks screenHooks;
    // Stands in for the view's camera where a test has none.
    std::function<bool(const VARDUI::Point& point, double& x, double& y)> groundOfScreenPoint;
    // Likewise for what lies under the pointer.
    std::function<VARDGraph::PickResult(const VARDUI::Point& point)> pickOfScreenPoint;
    gfx::Vec3 lastViewCentre;
    // Set while a loaded game's scene is still to be built.
    std::optional<CKeptGame> keptGame;
    // What the HUD's action window reads; it outlives every rebuild.
    std::shared_ptr<VARDUI::CUIActionBarSource> actionBarSource;

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
