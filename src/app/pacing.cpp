// The game's pace: the pause count that every standstill takes, the
// player's own pause and fast movement.

#include "app/game_app.h"

#include "rules/engine.h"
#include "world/game.h"

namespace
{

constexpr std::uint32_t kGameTimerId = 1;
constexpr std::uint32_t kGameTimerMs = 16;

} // namespace

void CGameApp::Pause()
{
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

void CGameApp::TogglePause(bool)
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
        if (pauseCount == 0)
            window->KillTimer(timerId);
        ++pauseCount;
        playerPaused = 1;
    }
    // The Pause button's picture and the click come with the game screen's
    // HUD and sounds.
}

void CGameApp::ToggleFastMove(bool)
{
    fastMove = fastMove != 0 ? 0 : 1;
    // The time before the toggle is not counted at the new speed.
    if (gameLoaded != 0 && playerPaused == 0)
    {
        realTimeBase = machine->GetTickCount();
        tickBase = engine->Game().GetTick();
    }
}
