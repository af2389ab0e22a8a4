// Per-tick upkeep of the current area: the combat test, deaths and the
// party's wipe-out, the ambience schedule and the exit test.

#include "rules/engine.h"

#include "common/exception.h"
#include "common/random.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/quest.h"
#include "world/world_object.h"

#include <algorithm>
#include <cmath>

namespace VARD
{

namespace
{

constexpr double kCombatDistance = 150.0;
constexpr double kExitDistance = 20.0;

double Distance(double x1, double y1, double x2, double y2)
{
    return std::hypot(x1 - x2, y1 - y2);
}

// Loot goes into one pile, made when the first item needs it.
void DropLoot(CActor& actor, CArea& area)
{
    std::shared_ptr<CObject> pile;
    auto drop = [&](std::shared_ptr<CItem> item)
    {
        if (!pile)
            pile = area.CreatePile(actor.GetX(), actor.GetY());
        pile->AddItem(std::move(item));
    };
    for (std::uint32_t slot = 0; slot < kEquipmentSlotCount; ++slot)
    {
        const auto& item = actor.GetEquipmentSlot(slot);
        if (item && !item->GetTemplate()->HasFlag(kItemFlagNoGive))
            drop(actor.TakeEquippedItem(slot));
    }
    for (const auto& item : actor.GetBackpackItems())
    {
        if (!item->GetTemplate()->HasFlag(kItemFlagNoGive))
            drop(actor.RemoveBackpackItem(item.get()));
    }
}

bool BuysAnything(const CActor& actor)
{
    for (int flag : actor.GetBuyTable())
        if (flag != 0)
            return true;
    return false;
}

} // namespace

bool CEngine::IsPartySafe()
{
    const CGame& game = Game();
    const CArea* area = game.GetCurrentArea();
    for (const auto& member : game.Party())
    {
        if (member->IsDead())
            continue;
        if (member->HasStatus(kStatusDominated))
            return false;
        if (area == nullptr)
            continue;
        for (const auto& actor : area->Actors())
        {
            if (actor->GetAttitude() > kAttitudeNeutral &&
                Distance(actor->GetX(), actor->GetY(), member->GetX(), member->GetY()) <=
                    kCombatDistance)
                return false;
        }
    }
    return true;
}

void CEngine::ScheduleAmbience()
{
    CGame& game = Game();
    const double r = RandomReal();
    game.SetNextAmbienceTick(game.GetTick() + static_cast<std::uint32_t>(r * 10 * 30 + 150));
}

void CEngine::ProcessDeaths()
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    const std::uint32_t now = game.GetTick();
    for (const auto& actor : area->GetActors())
    {
        const std::uint32_t expiry = actor->GetSummonExpiryTick();
        if (expiry != 0 && expiry <= now)
        {
            game.AddMessage(kMessageInfo, actor->GetName() + " is unsummoned.");
            actor->SetActivityState(kActivityDead);
            actor->SetUnsummonedFlag(1);
            actor->ClearCurrentTarget();
        }
        if (!actor->IsDead())
            continue;

        actor->InterruptOrders();
        actor->AlertEngagedActors(false, now);
        actor->StopPower();

        const bool unsummoned = actor->GetUnsummonedFlag() != 0;
        const bool ofParty = actor->GetAttitude() == kAttitudeParty;
        if (!unsummoned && !ofParty && !BuysAnything(*actor))
            DropLoot(*actor, *area);

        const std::shared_ptr<CActor> removed = area->RemoveActor(actor.get());
        if (ofParty)
        {
            if (!removed->IsSummoned())
            {
                game.AddMessage(kMessageDeath, removed->GetName() + " has died!");
                game.AddNonLocated(removed);
            }
            else
            {
                game.RemovePartyMember(*removed);
                game.PostEvent(std::make_shared<CInfoEvent>(kEventPartyChanged));
            }
            if (game.IsPartyWipedOut())
            {
                game.AddMessage(kMessageInfo, "Your party has been wiped out!");
                game.SetState(kGameRestNeeded);
                game.SetTravel(game.GetResurrectionArea(), game.GetResurrectionEntry());
                game.SetExitScript(nullptr);
            }
        }
        else if (!unsummoned)
        {
            // The encounter an actor came from is the tag its death sets.
            const std::string killTag = GetEncounterName(*removed);
            if (!killTag.empty())
                CompleteQuest(killTag, 1);
        }
    }
}

void CEngine::CheckAreaExits()
{
    CGame& game = Game();
    const CArea* area = game.GetCurrentArea();
    if (game.GetState() != kGameRunning || area == nullptr)
        return;
    for (const auto& exit : area->GetExits())
    {
        if (!exit->GetRequiredTag().empty() &&
            !IsQuestTagSet(game.GetQuestTags(), exit->GetRequiredTag()))
            continue;
        // A party with nobody alive gathers nowhere: it rests, it does not travel.
        bool gathered = false;
        for (const auto& member : game.Party())
        {
            if (member->IsDead())
                continue;
            gathered = true;
            if (Distance(member->GetX(), member->GetY(), exit->GetX(), exit->GetY()) >
                kExitDistance)
            {
                gathered = false;
                break;
            }
        }
        if (!gathered)
            continue;
        game.SetState(kGameTravelAtExit);
        game.SetTravel(exit->GetTargetArea(), exit->GetTargetEntry());
        game.SetExitScript(exit->GetScript());
        return;
    }
}

void CEngine::StopSneaking(CActor& actor)
{
    if (!actor.IsSneaking())
        return;
    actor.StopPower();
    Game().AddActorInfo(kEventActorSneakStopped, actor);
}

std::int32_t CEngine::GetReturnTicks(const std::string& areaName, const std::string& entryName)
{
    const CGame& game = Game();
    const CArea* area = game.GetCurrentArea();
    if (area == nullptr || area->GetName() != areaName)
        throw CVARDException(2, "the party is not in area \"" + areaName + "\"");
    const CAreaEntry* entry = area->FindEntry(entryName);
    if (entry == nullptr)
        throw CVARDException(2, "area \"" + areaName + "\" has no entry \"" + entryName + "\"");
    const double x = entry->GetColumn() * kCellSize;
    const double y = entry->GetRow() * kCellSize;
    double farthest = 0.0;
    for (const auto& member : game.Party())
    {
        if (!member->IsDead())
            farthest = std::max(farthest, Distance(member->GetX(), member->GetY(), x, y));
    }
    return static_cast<std::int32_t>(farthest / 10.0 * 2 * 30);
}

// Filled by the traps, ambience, item expiry and stealth rules.
void CEngine::UpdateTraps() {}
void CEngine::UpdateAmbience() {}
void CEngine::ExpireCreatedItems() {}
void CEngine::UpdateStealth() {}
CActor* CEngine::IsSpotted(CActor&)
{
    return nullptr;
}

} // namespace VARD
