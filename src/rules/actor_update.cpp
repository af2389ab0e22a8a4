// Actor update, maintained powers and the timed orders: the orders that take
// many ticks, one step each tick.

#include "rules/actor_loop.h"
#include "rules/engine.h"
#include "rules/rules_util.h"

#include "common/exception.h"
#include "common/random.h"
#include "rules/order_cast.h"
#include "world/actor.h"
#include "world/ai.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/order.h"
#include "world/spell.h"
#include "world/tile.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string>

namespace VARD
{

namespace
{

enum : std::uint32_t
{
    kAnimDefault = 0,
    kAnimCombat = 1,
    kAnimFirstRecover = 10,
    kAnimLastRecover = 13,
};

constexpr double kRecoverPhasePerTick = 0.06666666666666667;
constexpr double kReadyPhasePerTick = 1.0 / 30.0;
constexpr int kBowStyle = 10;
constexpr double kWanderReach = 10.0;
constexpr int kWanderTries = 10;
constexpr double kTalkReach = 10.0;
constexpr std::uint32_t kCastWindUpTicks = 60;

bool IsRecovering(const CActor& actor)
{
    return actor.GetActivityState() == kActivityAlarmed &&
           actor.GetAnimationId() >= kAnimFirstRecover &&
           actor.GetAnimationId() <= kAnimLastRecover;
}

double Clamp(double value, double low, double high)
{
    return std::min(std::max(value, low), high);
}

// The thing and point a cast is aimed at.
struct CCastAim
{
    CThing* thing = nullptr;
    double x = 0.0;
    double y = 0.0;
    bool lost = false;
};

CCastAim ResolveCastTarget(const CArea& area, CActor& caster, std::uint32_t targetId,
                           const CSpell& spell)
{
    CCastAim aim;
    // Without a target the cast happens where the caster stands.
    aim.x = caster.GetX();
    aim.y = caster.GetY();
    const int mode = spell.GetTargetMode();
    if ((spell.HasFlag(kSpellFlagMultiTarget) && ThingKindOf(targetId) != kThingKindActor) ||
        mode == kSpellTargetSelf)
        return aim;

    if (mode == kSpellTargetTile)
    {
        const std::uint32_t number = ThingNumberOf(targetId);
        const std::uint32_t column = number % 1000u;
        CTile* tile = area.GetTile(column, number / 1000u);
        if (tile == nullptr)
            throw CVARDException(2, "spell " + VARDCommon::QuoteForMessage(spell.GetKey()) +
                                        " is aimed at tile " + std::to_string(targetId) +
                                        ", which area " +
                                        VARDCommon::QuoteForMessage(area.GetName()) + " lacks");
        aim.thing = tile;
        aim.x = column * kCellSize + 1.25;
        aim.y = tile->GetCenterY();
        FaceToward(caster, aim.x, aim.y);
        return aim;
    }
    if (mode == kSpellTargetActor)
    {
        CActor* target = area.FindActorById(targetId);
        if (target != nullptr && !target->IsDead() && target->IsVisibleTo(caster))
        {
            aim.thing = target;
            aim.x = target->GetX();
            aim.y = target->GetY();
            FaceToward(caster, aim.x, aim.y);
            return aim;
        }
        caster.ClearEngagement();
        caster.SetAnimation(kAnimDefault, 0.0);
        aim.lost = true;
        return aim;
    }
    throw CVARDException(2, "spell " + VARDCommon::QuoteForMessage(spell.GetKey()) +
                                " has target mode " + std::to_string(mode));
}

CArea& RequireArea(CGame& game)
{
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        throw CVARDException(2, "no area is current");
    return *area;
}

} // namespace

// ------------------------------------------------------------ actor update

void CEngine::UpdateActors()
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    const std::uint32_t now = game.GetTick();
    {
        const CActorLoop actors(m_ActorSnapshot, *area);
        for (const auto& actor : actors)
        {
            if (actor->IsInterrupted())
            {
                actor->SetInterrupted(false);
                actor->ClearEngagement();
            }
            actor->ExpireTimedEffects(now, game);
        }
    }
    UpdatePartySight();
}

void CEngine::UpkeepPowers()
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    const std::uint32_t now = game.GetTick();
    const CActorLoop actors(m_ActorSnapshot, *area);
    for (const auto& actor : actors)
    {
        const CSpell* power = actor->GetPower();
        if (power == nullptr || actor->GetPowerEndTick() > now)
            continue;
        actor->ActivatePower(*power, now);
        if (actor->GetPower() == nullptr)
        {
            game.AddActorInfo(kEventActorUpkeepEnded, *actor);
            game.AddMessage(kMessageInfo,
                            actor->GetName() + " doesn't have enough energy to maintain power.");
        }
        game.AddActorInfo(kEventActorEnergy, *actor);
        // The activation has paid for it already.
        if (actor->GetPower() != nullptr && power->HasFlag(kSpellFlagMultiTarget))
            CompleteCast(nullptr, nullptr, *actor, *power, false, actor->GetX(), actor->GetY());
    }
}

// ------------------------------------------------------------ timed orders

void CEngine::ExecuteTimedOrders()
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    const CActorLoop actors(m_ActorSnapshot, *area);
    for (const auto& actor : actors)
    {
        if (IsRecovering(*actor))
            actor->SetAnimation(actor->GetAnimationId(),
                                actor->GetAnimationTime() + kRecoverPhasePerTick);
        const bool stopped = IsStoppedByStatuses(*actor);
        const std::shared_ptr<COrder> order = actor->GetFrontOrder();
        if (!stopped && order)
            RunTimedOrderOnce(*actor, order);
        else if (!IsRecovering(*actor))
            actor->SetAnimation(kAnimDefault, 0.0);
    }
}

bool CEngine::IsStoppedByStatuses(CActor& actor)
{
    if (actor.HasStatus(kStatusConfused))
    {
        if (!actor.HasFrontOrder())
            WanderConfused(actor);
    }
    else if (actor.HasStatus(kStatusDominated))
    {
        if (!actor.HasFrontOrder())
            AttackWhenDominated(actor);
    }

    const std::uint32_t state = actor.GetActivityState();
    if (state == kActivityDead || state == kActivityAlarmed)
        return true;
    if (!actor.HasFrontOrder())
        return false;

    const char* refusal = nullptr;
    if (actor.IsOverburdened())
        refusal = " is overloaded!";
    else if (actor.HasStatus(kStatusHeld))
        refusal = " is magically held.";
    else if (actor.HasStatus(kStatusCharmed))
        refusal = " is magically charmed.";
    else
        return false;
    if (actor.GetAttitude() == kAttitudeParty)
        Game().AddMessage(kMessageInfo, actor.GetName() + refusal);
    FinishOrder(actor, *actor.GetFrontOrder());
    return true;
}

void CEngine::WanderConfused(CActor& actor)
{
    const CArea& area = RequireArea(Game());
    const double width = area.GetWidth() * kCellSize;
    const double height = area.GetHeight() * kCellSize;
    for (int attempt = 0; attempt < kWanderTries; ++attempt)
    {
        const double x =
            Clamp(actor.GetX() + (2.0 * RandomReal() - 1.0) * kWanderReach, 0.0, width);
        const double y =
            Clamp(actor.GetY() + (2.0 * RandomReal() - 1.0) * kWanderReach, 0.0, height);
        if (area.IsClearOfTiles(&actor, nullptr, x, y) &&
            area.IsClearOfObjects(&actor, nullptr, x, y) &&
            area.IsClearOfActors(&actor, nullptr, x, y))
        {
            actor.QueueOrder(std::make_shared<CMoveOrder>(x, y), true);
            return;
        }
    }
}

void CEngine::AttackWhenDominated(CActor& actor)
{
    CActor* victim = CAI::FindTarget(*this, actor, 0, nullptr, 0.0);
    if (victim == nullptr)
        return;
    if (actor.GetAttitude() == kAttitudeParty)
        Game().AddMessage(kMessageInfo,
                          actor.GetName() + " is dominated, attacks " + victim->GetName() + "!");
    actor.QueueOrder(std::make_shared<CAttackOrder>(victim->Id()), true);
}

// An order whose step fails would fail the same way on every tick after: it
// is dropped, and the failure goes on to be reported once.
void CEngine::RunTimedOrderOnce(CActor& actor, const std::shared_ptr<COrder>& order)
{
    try
    {
        RunTimedOrder(actor, order);
    }
    catch (const CVARDException&)
    {
        if (actor.GetFrontOrder() == order)
            FinishOrder(actor, *order);
        throw;
    }
}

void CEngine::RunTimedOrder(CActor& actor, const std::shared_ptr<COrder>& order)
{
    switch (order->GetType())
    {
    case kOrderMove:
    {
        const auto& move = OrderAs<CMoveOrder>(*order);
        if (MoveActorToward(actor, move.GetX(), move.GetY()))
            FinishOrder(actor, *order);
        break;
    }
    case kOrderAttack:
        if (actor.GetFightingStyle() == kBowStyle)
            DoRangedAttack(actor, *order);
        else
            DoMeleeAttack(actor, *order);
        break;
    case kOrderUse:
        switch (OrderAs<CUseOrder>(*order).GetUseKind())
        {
        case kUseDoor:
            OpenDoor(actor, *order);
            break;
        case kUseObject:
            OpenContainerOrTalk(actor, *order);
            break;
        case kUseItem:
            DoUse(actor, *order, false);
            break;
        default:
            throw CVARDException(3, "a use order of " +
                                        VARDCommon::QuoteForMessage(actor.GetName()) +
                                        " names a kind of thing that cannot be used");
        }
        break;
    case kOrderCast:
        CastOrderStep(actor, order);
        break;
    case kOrderMoveTalk:
        MoveAndTalkStep(actor, order);
        break;
    case kOrderReturnToEntrance:
        ReturnToEntranceStep(actor, order);
        break;
    default:
        throw CVARDException(2, "order " + std::to_string(order->GetType()) + " of " +
                                    VARDCommon::QuoteForMessage(actor.GetName()) +
                                    " is no timed order");
    }
}

void CEngine::MoveAndTalkStep(CActor& actor, const std::shared_ptr<COrder>& order)
{
    CGame& game = Game();
    const CArea& area = RequireArea(game);
    CActor* target = area.FindActorById(OrderAs<CMoveTalkOrder>(*order).GetTargetId());
    if (target == nullptr || target->IsDead() || !target->IsVisibleTo(actor) || target == &actor)
    {
        FinishOrder(actor, *order);
        return;
    }
    MoveActorToward(actor, target->GetX(), target->GetY());
    if (!area.CanTargetThing(actor, *target, kTalkReach - actor.GetMovementSpeed() / 30.0))
        return;

    const CActor* speaker = nullptr;
    const CActor* other = nullptr;
    if (actor.GetAttitude() == kAttitudeParty)
    {
        speaker = &actor;
        other = target;
    }
    else if (target->GetAttitude() == kAttitudeParty)
    {
        speaker = target;
        other = &actor;
    }
    FinishOrder(actor, *order);
    if (speaker != nullptr)
        game.PostEvent(std::make_shared<CTalkEvent>(speaker->Id(), other->Id()));
}

void CEngine::CastOrderStep(CActor& actor, const std::shared_ptr<COrder>& order)
{
    const auto& cast = OrderAs<CCastOrder>(*order);
    const CModule& module = Module();
    const CSpell* spell = cast.GetKnownSpell(module.GetSpellsSerial());
    if (spell == nullptr)
    {
        spell = module.FindSpell(cast.GetSpell());
        cast.SetKnownSpell(module.GetSpellsSerial(), spell);
    }
    assert(spell == module.FindSpell(cast.GetSpell()));
    if (spell == nullptr)
        throw CVARDException(3, VARDCommon::QuoteForMessage(actor.GetName()) + " is to cast " +
                                    VARDCommon::QuoteForMessage(cast.GetSpell()) +
                                    ", which the module lacks");
    if (!actor.MeetsRequirement(*spell))
    {
        FinishOrder(actor, *order);
        return;
    }
    if (DoCast(actor, cast.GetTargetId(), *spell, true, nullptr))
        FinishOrder(actor, *order);
}

bool CEngine::DoCast(CActor& actor, std::uint32_t targetId, const CSpell& spell, bool energyCheck,
                     CItem* item)
{
    CGame& game = Game();
    const CArea& area = RequireArea(game);
    const CCastAim aim = ResolveCastTarget(area, actor, targetId, spell);
    if (aim.lost)
        return true;

    switch (actor.GetActivityState())
    {
    case kActivityAlerted:
        if (aim.thing != nullptr &&
            !area.CanTargetPoint(false, aim.x, aim.y, spell.GetRange(), 0.0, actor))
            MoveActorToward(actor, aim.x, aim.y);
        else
            actor.AdvanceAnimation(kAnimCombat, kReadyPhasePerTick);
        return false;
    case kActivityEngaged:
    {
        // The wind-up ends at the next-action tick: the phase runs from 0 to 1.
        const auto elapsed = static_cast<std::int64_t>(game.GetTick()) -
                             static_cast<std::int64_t>(actor.GetNextActionTick()) +
                             static_cast<std::int64_t>(kCastWindUpTicks);
        actor.SetAnimation(actor.GetAnimationId(), static_cast<double>(elapsed) / 30.0 * 0.5);
        return false;
    }
    case kActivityEngagedReady:
        return CompleteCast(item, aim.thing, actor, spell, energyCheck, aim.x, aim.y);
    default:
        return BeginCast(actor, spell, energyCheck, aim.thing, aim.x, aim.y);
    }
}

void CEngine::ReturnToEntranceStep(CActor& actor, const std::shared_ptr<COrder>& order)
{
    FinishOrder(actor, *order);
    CGame& game = Game();
    if (game.GetCombatFlag() != 0)
    {
        game.AddMessage(kMessageInfo, "You cannot return while in battle.");
        return;
    }
    game.PostEvent(std::make_shared<CInfoEvent>(kEventReturnedToEntrance));
    game.AddMessage(kMessageInfo, "The party returns to the area entrance.");

    const std::string entry = game.GetEnteredEntry();
    const std::int32_t walk = GetReturnTicks(game.GetEnteredArea(), entry);
    game.SetTick(game.GetTick() + static_cast<std::uint32_t>(walk));
    const std::uint32_t now = game.GetTick();

    CArea& area = RequireArea(game);
    const auto party = game.GetParty();
    for (const auto& member : party)
    {
        if (member->IsDead())
            continue;
        if (area.FindActorById(member->Id()) != nullptr)
            game.AddNonLocated(area.RemoveActor(member.get()));
        else
            game.AddNonLocated(member);
    }
    for (const auto& member : party)
    {
        member->AlertEngagedActors(false, now);
        member->ClearEngagement();
        member->InterruptOrders();
    }
    PlaceParty(entry);
}

} // namespace VARD
