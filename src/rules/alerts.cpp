// Alerts spreading between non-party actors, and the brain step of every
// non-party actor.

#include "rules/engine.h"

#include "world/actor.h"
#include "world/area.h"
#include "world/brain.h"
#include "world/game.h"

#include <string>

namespace VARD
{

namespace
{

constexpr double kAlertDistance = 80.0;

} // namespace

void CEngine::PropagateAlerts()
{
    CArea* area = Game().GetCurrentArea();
    if (area == nullptr)
        return;
    // Looking and rousing change sides and alerts, never the list of actors.
    for (const auto& actor : area->Actors())
    {
        const std::shared_ptr<CBrain> brain = actor->GetBrain();
        if (brain && actor->GetAttitude() == kAttitudeNeutral && brain->LookForParty(*actor, *area))
            SpreadAlert(*actor, *brain);
    }
    for (const auto& actor : area->GetActors())
    {
        const std::shared_ptr<CBrain> brain = actor->GetBrain();
        if (brain && actor->GetAttitude() != kAttitudeParty)
            brain->Update(*this, *actor);
    }
}

void CEngine::AlertOnAttack(CActor& actor)
{
    const std::shared_ptr<CBrain> brain = actor.GetBrain();
    if (brain && actor.GetAttitude() == kAttitudeNeutral && brain->Provoke(actor, nullptr))
        SpreadAlert(actor, *brain);
}

void CEngine::SpreadAlert(CActor& source, CBrain& brain)
{
    const CArea* area = Game().GetCurrentArea();
    if (area == nullptr)
        return;
    std::string tag;
    while (brain.TakePendingAlert(tag))
    {
        for (const auto& actor : area->Actors())
        {
            if (actor->GetAttitude() == kAttitudeParty ||
                source.DistanceTo(actor->GetX(), actor->GetY()) > kAlertDistance)
                continue;
            const std::shared_ptr<CBrain> heard = actor->GetBrain();
            // Each actor is roused once at most: afterwards it is no longer
            // neutral, so the chain ends.
            if (heard && actor->GetAttitude() == kAttitudeNeutral && heard->HearAlert(*actor, tag))
                SpreadAlert(*actor, *heard);
        }
    }
}

} // namespace VARD
