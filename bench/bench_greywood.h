#pragma once

// The frame benchmarks draw Greywood as a player first sees it: walked out
// of the town's east road, then over the world map to the wood's road.

#include "rules/engine.h"
#include "world/game.h"

namespace BenchGreywood
{

inline void WalkToGreywood(VARD::CEngine& engine)
{
    engine.EnterArea();
    engine.WizardMoveParty(58.75, 21.25);
    for (int i = 0; i < 300 && engine.Game().GetState() == VARD::kGameRunning; ++i)
        engine.Tick();
    engine.LeaveArea();
    engine.SetTravelDestination("forest", "road");
}

} // namespace BenchGreywood
