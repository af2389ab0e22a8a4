// Per-tick upkeep of the current area: the combat test, traps, ambience,
// deaths and the party's wipe-out, created items, stealth and the exit test.

#include "rules/engine.h"

#include "rules/actor_loop.h"

#include "common/exception.h"
#include "common/random.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/actor_template.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/quest.h"
#include "world/rule_tables.h"
#include "world/script_record.h"
#include "world/spell.h"
#include "world/trap.h"
#include "world/world_object.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace VARD
{

namespace
{

constexpr double kCombatDistance = 150.0;
constexpr double kExitDistance = 20.0;
constexpr double kAmbienceDistance = 120.0;
// A trap is a passive check: the member's skill against a roll of 50.
constexpr int kPassiveRoll = 50;
constexpr int kSkillTraps = 65;
constexpr std::uint32_t kModTraps = kModSpecialStatFirst << 1;
// Units per second of a trap's spell on its way.
constexpr double kEffectSpeed = 75.0;
constexpr double kFastEffectSpeed = 750.0;

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
    for (const auto& actor : CActorLoop(m_ActorSnapshot, *area))
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
                // No script set a resurrection point yet: the party wakes
                // where the game began rather than in an area of no name.
                if (game.GetResurrectionArea().empty())
                    game.SetTravel(Module().GetStartArea(), Module().GetStartEntry());
                else
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
        throw CVARDException(2,
                             "the party is not in area " + VARDCommon::QuoteForMessage(areaName));
    const CAreaEntry* entry = area->FindEntry(entryName);
    if (entry == nullptr)
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(areaName) + " has no entry " +
                                    VARDCommon::QuoteForMessage(entryName));
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

// -------------------------------------------------------------- traps

void CEngine::UpdateTraps()
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    // Only the trapped few are held for the loop: item piles pile up over a
    // long game, and copying the whole list on every tick grew with them.
    std::vector<std::shared_ptr<CObject>> trapped;
    for (const auto& object : area->Objects())
        if (object->GetTrap())
            trapped.push_back(object);
    for (const auto& object : trapped)
    {
        if (!object->GetTrap())
            continue;
        for (const auto& member : area->GetActors())
        {
            if (member->GetAttitude() != kAttitudeParty || member->IsDead())
                continue;
            if (object->DistanceToFootprint(member->GetX(), member->GetY()) > member->GetRadius())
                continue;
            if (!SpringTrap(*object, *member))
                return;
        }
    }
}

bool CEngine::SpringTrap(CObject& object, CActor& member)
{
    CGame& game = Game();
    CArea& area = *game.GetCurrentArea();
    CTrap& trap = *object.GetTrap();
    const std::uint32_t now = game.GetTick();
    const std::int32_t skill =
        member.GetSkillTotal(kSkillTraps) + member.GetModifierTotal(kModTraps);
    const std::uint32_t difficulty = trap.GetDifficulty();
    const std::string skillText = FormatSkillRoll(
        skill, "Traps", kPassiveRoll,
        static_cast<int>(std::min<std::uint32_t>(difficulty, std::numeric_limits<int>::max())));
    if (difficulty != 0 && std::int64_t{skill} + kPassiveRoll > std::int64_t{difficulty})
    {
        game.AddMessage(kMessageLockPickedOrDisarmed, member.GetName() + " disarms " +
                                                          object.GetTalkName() + " " + skillText +
                                                          ".");
        area.RemoveObject(&object);
        return false;
    }
    if (!trap.IsArmed(now))
        return true;

    const bool launches = !trap.GetSpellName().empty();
    if (launches)
    {
        game.AddMessage(kMessageInfo, member.GetName() + " springs " + object.GetTalkName() + " " +
                                          skillText + ".");
        const CSpell* spell = Module().FindSpell(trap.GetSpellName());
        auto effect = std::make_shared<CEffectSpell>(
            game.NewThingId(kThingKindEffect), 0, member.Id(), object.GetTalkName(),
            spell != nullptr ? spell->GetEffectGraphic() : std::string(), 0, 0, spell,
            trap.GetLevel(), 0, kSkillNone);
        effect->SetPosition(area, member.GetX(), member.GetY());
        const bool fast =
            spell != nullptr && spell->IsPower() && spell->HasFlag(kSpellFlagMultiTarget);
        effect->SetSpeed(fast ? kFastEffectSpeed : kEffectSpeed);
        area.AddEffect(effect);
    }
    // The object may go below; the script keeps its own share.
    if (const std::shared_ptr<CScript> script = trap.GetScript())
    {
        try
        {
            RunScript(*script, &member);
        }
        catch (...)
        {
            // The trap has sprung all the same: left armed, it would spring
            // and fail again on every tick the member stands on it.
            if (!trap.ScheduleRearm(now, launches))
                area.RemoveObject(&object);
            throw;
        }
    }
    if (trap.ScheduleRearm(now, launches))
        return true;
    area.RemoveObject(&object);
    return false;
}

// ------------------------------------------------------------ ambience

void CEngine::UpdateAmbience()
{
    CGame& game = Game();
    if (game.GetTick() < game.GetNextAmbienceTick())
        return;
    if (game.GetCombatFlag() == 0)
    {
        try
        {
            if (RandomReal() < 0.5)
                AmbiencePickPartyMember();
            else
                AmbiencePickAreaActor();
        }
        catch (...)
        {
            // A heartbeat that fails is not due again on the next tick.
            ScheduleAmbience();
            throw;
        }
    }
    ScheduleAmbience();
}

void CEngine::AmbiencePickPartyMember()
{
    // A copy: a heartbeat script may change the party.
    const auto party = Game().GetParty();
    if (party.empty())
        return;
    const auto& member =
        party[static_cast<std::size_t>(RandomDie(static_cast<int>(party.size())) - 1)];
    if (!member->IsDead())
        RunHeartbeat(*member);
}

void CEngine::AmbiencePickAreaActor()
{
    const CGame& game = Game();
    const CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    std::shared_ptr<CActor> nearest;
    double nearestDistance = kAmbienceDistance;
    for (const auto& actor : area->GetActors())
    {
        if (actor->IsDead() || actor->GetAttitude() == kAttitudeParty)
            continue;
        for (const auto& member : game.Party())
        {
            if (member->IsDead())
                continue;
            const double d = Distance(actor->GetX(), actor->GetY(), member->GetX(), member->GetY());
            if (d <= nearestDistance && (!nearest || d < nearestDistance))
            {
                nearest = actor;
                nearestDistance = d;
            }
        }
    }
    if (nearest)
        RunHeartbeat(*nearest);
}

void CEngine::RunHeartbeat(CActor& actor)
{
    const CActorTemplate* source = Module().FindActorTemplate(actor.GetTemplateName());
    if (source == nullptr)
        return;
    if (const std::shared_ptr<CScript> script = source->GetHeartbeatScript())
        RunScript(*script, &actor);
}

// ------------------------------------------------------- created items

void CEngine::ExpireCreatedItems()
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    const std::uint32_t now = game.GetTick();
    if (area == nullptr || now % kTicksPerSecond != 0 || CItem::CountExpiring() == 0)
        return;
    const auto expired = [now](const std::shared_ptr<CItem>& item)
    { return item && item->GetValue2() != 0 && item->GetValue2() <= now; };

    for (const auto& actor : area->GetActors())
    {
        for (std::uint32_t slot = 0; slot < kEquipmentSlotCount; ++slot)
        {
            const std::shared_ptr<CItem> item = actor->GetEquipmentSlot(slot);
            if (!expired(item))
                continue;
            ReportExpiredItem(*actor, *item);
            actor->TakeEquippedItem(slot);
            game.PostEvent(std::make_shared<CActorInfoEvent>(kEventActorEquipment, actor->Id()));
        }
        for (const auto& item : actor->GetBackpackItems())
        {
            if (!expired(item))
                continue;
            ReportExpiredItem(*actor, *item);
            actor->RemoveBackpackItem(item.get());
        }
    }
    // Read in place: the piles of a long game are many, their expiring items few.
    for (const auto& object : area->Objects())
    {
        const auto& items = object->Items();
        if (std::none_of(items.begin(), items.end(), expired))
            continue;
        for (const auto& item : object->GetItems())
            if (expired(item))
                object->RemoveItem(item.get());
    }
}

void CEngine::ReportExpiredItem(const CActor& actor, const CItem& item)
{
    if (actor.GetAttitude() == kAttitudeParty)
        Game().AddMessage(kMessageInfo, actor.GetName() + ": " +
                                            item.GetTemplate()->GetDisplayName() +
                                            " is unsummoned.");
}

// ------------------------------------------------------------- stealth

void CEngine::UpdateStealth()
{
    CGame& game = Game();
    const CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    for (const auto& actor : CActorLoop(m_ActorSnapshot, *area))
    {
        if (!actor->IsSneaking() || IsSpotted(*actor) == nullptr)
            continue;
        if (actor->GetAttitude() == kAttitudeParty)
            game.AddMessage(kMessageInfo, actor->GetName() + " is spotted.");
        StopSneaking(*actor);
    }
}

CActor* CEngine::IsSpotted(CActor& sneaker)
{
    const CArea* area = Game().GetCurrentArea();
    if (area == nullptr)
        return nullptr;
    const bool friendly = sneaker.IsFriendly();
    for (const auto& observer : area->Actors())
    {
        if (observer->IsFriendly() == friendly)
            continue;
        if (sneaker.IsSpottedBy(*observer))
            return observer.get();
    }
    return nullptr;
}

} // namespace VARD
