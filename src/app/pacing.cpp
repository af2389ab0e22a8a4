// The game's pace: the pause count that every standstill takes, the
// player's own pause, fast movement, and the ticks each timer message runs.

#include "app/game_app.h"

#include "app/vard_audio.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "ui/ui_buttons.h"
#include "world/game.h"

namespace
{

constexpr std::uint32_t kGameTimerId = 1;
constexpr std::uint32_t kGameTimerMs = 16;

// Game time runs at twice real time, four times while moving fast.
constexpr double kNormalSpeed = 2.0;
constexpr double kFastSpeed = 4.0;
constexpr double kTicksPerGameSecond = 30.0;
// Beyond this many ticks on one timer message the time base starts again.
constexpr int kMostTicksBeforeRebase = 10;

constexpr std::uint32_t kImagePause = 161;
constexpr std::uint32_t kImageResume = 162;
constexpr std::uint32_t kImageFastMoveOn = 177;
constexpr std::uint32_t kImageFastMoveOff = 178;

bool IsPlayState(std::int32_t state)
{
    return state == VARD::kGameRunning || state == VARD::kGameTravelAtExit;
}

// A new image is loaded on the next draw.
void ShowImage(VARDUI::CUIElement* element, std::uint32_t image)
{
    auto* button = dynamic_cast<VARDUI::CUIImageButton*>(element);
    if (button != nullptr && button->GetImage() != image)
        button->SetImage(image);
}

} // namespace

void CGameApp::Pause()
{
    if (audio)
        audio->PauseAudio();
    if (gameLoaded != 0 && playerPaused == 0 && pauseCount == 0)
        window->KillTimer(timerId);
    ++pauseCount;
}

void CGameApp::Resume()
{
    --pauseCount;
    if (gameLoaded != 0 && playerPaused == 0 && pauseCount == 0)
    {
        realTimeBase = machine->GetTickCount();
        tickBase = engine->Game().GetTick();
        timerId = window->SetTimer(kGameTimerId, kGameTimerMs);
    }
}

bool CGameApp::IsOnWorldMap() const
{
    return gameLoaded != 0 && engine && engine->GetGame() &&
           engine->GetGame()->GetState() == VARD::kGameOnWorldMap;
}

void CGameApp::TogglePause(bool silent)
{
    if (gameLoaded == 0)
        return;
    if (playerPaused != 0)
    {
        playerPaused = 0;
        Resume();
    }
    else
    {
        if (audio)
            audio->PauseAudio();
        if (pauseCount == 0)
            window->KillTimer(timerId);
        ++pauseCount;
        playerPaused = 1;
    }
    UpdatePauseButton();
    if (!silent && audio)
        audio->PlaySound(kSoundEventClick);
}

void CGameApp::UpdatePauseButton()
{
    auto* button = dynamic_cast<VARDUI::CUIImageButton*>(pauseButton);
    if (button == nullptr)
        return;
    const bool paused = playerPaused != 0;
    ShowImage(button, paused ? kImageResume : kImagePause);
    button->SetHoverText(paused ? "Resume" : "Pause", std::string());
    // While the game runs its next tick repaints.
    const bool running = gameLoaded != 0 && !currentDialog && !paused && !IsOnWorldMap();
    if (!running)
        window->Invalidate();
}

void CGameApp::ToggleFastMove(bool click)
{
    fastMove = fastMove != 0 ? 0 : 1;
    // The time before the toggle is not counted at the new speed.
    if (gameLoaded != 0 && playerPaused == 0)
    {
        realTimeBase = machine->GetTickCount();
        tickBase = engine->Game().GetTick();
    }
    ShowImage(fastMoveButton, fastMove != 0 ? kImageFastMoveOn : kImageFastMoveOff);
    if (click && audio)
        audio->PlaySound(kSoundEventClick);
}

void CGameApp::StartPlay()
{
    // Starting play always ends the player's pause.
    if (playerPaused != 0)
    {
        --pauseCount;
        playerPaused = 0;
        UpdatePauseButton();
    }
    // On the world map the hold stays until a destination is chosen.
    if (!IsOnWorldMap())
        Resume();
    playReleased = 1;
}

void CGameApp::StopPlay()
{
    if (playReleased != 0 && !IsOnWorldMap())
        Pause();
    playReleased = 0;
}

int CGameApp::RunDueTicks()
{
    // A won game runs no more ticks.
    if (engine->Game().GetState() == VARD::kGameWon)
        return 1;
    // Unsigned differences survive the clock's wrap.
    const std::uint32_t elapsedMs = machine->GetTickCount() - realTimeBase;
    const double elapsed = static_cast<double>(elapsedMs);
    const double speed = fastMove != 0 ? kFastSpeed : kNormalSpeed;
    const auto due = static_cast<std::int64_t>(elapsed / 1000.0 * speed * kTicksPerGameSecond);
    const std::uint32_t target = tickBase + static_cast<std::uint32_t>(due);
    // No tick due: no work, not even a repaint.
    if (target <= engine->Game().GetTick())
        return 1;
    // Ticks until caught up, or until something needs the player.
    int count = 0;
    for (;;)
    {
        // A script that fails ends its tick at that step; what the tick did
        // before stays, and play goes on from the next tick. The ticks still
        // due are dropped, as after a stall.
        const bool ticked = RunScripted([this] { engine->Tick(); });
        VARD::CGame& game = engine->Game();
        if (sceneBuilt != 0 && device && device->Get() != nullptr)
            scene.UpdateEffects(game, *device->Get());
        DrainTickEvents();
        ++count;
        if (!ticked || !pendingEvents.empty())
            break;
        if (!IsPlayState(game.GetState()))
            break;
        // A stall costs game time rather than a burst of catching up.
        if (count > kMostTicksBeforeRebase)
        {
            realTimeBase = machine->GetTickCount();
            tickBase = game.GetTick();
            break;
        }
        if (fastMove != 0 && game.GetCombatFlag() != 0)
        {
            ToggleFastMove(false);
            break;
        }
        if (!(target > game.GetTick()))
            break;
    }
    // One repaint and one pointer update for the whole run of ticks.
    window->Invalidate();
    if (screenHooks.updatePointer)
        screenHooks.updatePointer();
    const std::int32_t state = engine->Game().GetState();
    if (IsPlayState(state))
    {
        if (screenHooks.updateAmbientAudio)
            screenHooks.updateAmbientAudio();
    }
    else if (audio)
        audio->PauseAudio();
    // What the game's state after the ticks asks of the screen.
    switch (state)
    {
    case VARD::kGameRunning:
    case VARD::kGameTravelAtExit:
        if (exitButton != nullptr)
            exitButton->SetFlags(VARDUI::kUIFlagVisible, state == VARD::kGameTravelAtExit ? 1 : 0);
        return 1;
    case VARD::kGameRestNeeded:
    case VARD::kGameTravelByScript:
        return 0;
    case VARD::kGameWon:
        ShowVictory();
        return 1;
    default:
        throw CVARDException(4,
                             "the game is in state " + std::to_string(state) + " after its ticks");
    }
}

void CGameApp::OnGameTimer()
{
    // A party that must leave its area leaves.
    if (RunDueTicks() == 0)
    {
        LeaveArea();
        return;
    }
    // Play is held while the events open their dialogs.
    if (pendingEvents.empty())
        return;
    Pause();
    const int handled = ProcessPendingEvents();
    // An event that opened a dialog leaves the party's leaving to the
    // dialog's closing.
    if (handled != 0 || currentDialog)
    {
        Resume();
        return;
    }
    Resume();
    LeaveArea();
}
