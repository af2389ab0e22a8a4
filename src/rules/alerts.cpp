// Alerts spreading between non-party actors, and the brain step of every
// non-party actor.

#include "rules/engine.h"

#include "rules/actor_loop.h"

#include "world/actor.h"
#include "world/area.h"
#include "world/brain.h"
#include "world/game.h"

#include <string>
#include <vector>

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
    for (const auto& actor : CPrefetchedActors(area->Actors()))
    {
        CBrain* brain = actor->GetBrain().get();
        if (brain != nullptr && actor->GetAttitude() == kAttitudeNeutral &&
            brain->LookForParty(*actor, *area))
            SpreadAlert(*actor, *brain);
    }
    const CActorLoop loop(m_ActorSnapshot, *area);
    const auto& actors = loop.List();
    for (std::size_t i = 0; i < actors.size(); ++i)
    {
        // The brains lie elsewhere on the heap: asked for once their actors
        // are at hand.
        if (i + 8 < actors.size())
            PrefetchActor(actors[i + 8].get());
        if (i + 4 < actors.size())
            if (const CBrain* ahead = actors[i + 4]->GetBrain().get())
                PrefetchBrain(ahead);
        CActor& actor = *actors[i];
        // No decision step takes a brain away.
        CBrain* brain = actor.GetBrain().get();
        if (brain != nullptr && actor.GetAttitude() != kAttitudeParty)
            brain->Update(*this, actor);
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
    // Everyone within earshot, in list order: nobody moves while alerts
    // spread, so they are found once. A crowd rousing itself would otherwise
    // walk the whole list for every actor roused.
    std::vector<CActor*> near;
    bool found = false;
    std::string tag;
    while (brain.TakePendingAlert(tag))
    {
        if (!found)
        {
            found = true;
            area->CollectActorsNear(source.GetX(), source.GetY(), kAlertDistance, near);
        }
        for (CActor* actor : near)
        {
            if (actor->GetAttitude() == kAttitudeParty ||
                source.DistanceTo(actor->GetX(), actor->GetY()) > kAlertDistance)
                continue;
            CBrain* heard = actor->GetBrain().get();
            // Each actor is roused once at most: afterwards it is no longer
            // neutral, so the chain ends.
            if (heard != nullptr && actor->GetAttitude() == kAttitudeNeutral &&
                heard->HearAlert(*actor, tag))
                SpreadAlert(*actor, *heard);
        }
    }
}

} // namespace VARD
