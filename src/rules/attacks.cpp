// Melee and ranged attacks: the order steps, blows, to-hit rolls, damage and
// death, charm breaking, on-hit spells and the sneak-attack bonus.

#include "rules/engine.h"

#include "common/exception.h"
#include "common/random.h"
#include "rules/combat_util.h"
#include "rules/order_cast.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace VARD
{

using namespace CombatRules;

namespace
{

constexpr double kMeleeReach = 2.5;
constexpr double kRangedRange = 100.0;
constexpr std::int64_t kFlankingWindow = 195;
constexpr int kSkillTwoWeaponStyle = 12;
constexpr int kSkillSneakAttack = 71;
constexpr double kOneTick = 1.0 / 30.0;

// Half the seconds since the wind-up began: the attack pose runs 0 to 1.
double WindUpPhase(std::uint32_t now, std::uint32_t nextActionTick)
{
    const std::int64_t elapsed =
        static_cast<std::int64_t>(now) - static_cast<std::int64_t>(nextActionTick) + kWindUpTicks;
    return static_cast<double>(elapsed) / 30.0 * 0.5;
}

// The living, visible actor an attack order aims at; null, with the order
// dropped and the attacker at rest, when there is none.
CActor* FindAttackTarget(const CArea& area, CActor& actor, const COrder& order)
{
    CActor* target = area.FindActorById(OrderAs<CAttackOrder>(order).GetTargetId());
    if (target != nullptr && !target->IsDead() && target->IsVisibleTo(actor) && target != &actor)
        return target;
    actor.ClearEngagement();
    FinishOrder(actor, order);
    actor.SetAnimation(kAnimDefault, 0.0);
    return nullptr;
}

void StartWindUp(CActor& actor, std::uint32_t now, const CActor* target)
{
    actor.EngageMelee(now, target);
    actor.StartAttackAnimation();
}

} // namespace

void CEngine::DoMeleeAttack(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    const std::uint32_t now = game.GetTick();
    CActor* target = FindAttackTarget(area, actor, order);
    if (target == nullptr)
        return;
    if (actor.HasStatus(kStatusFear))
    {
        actor.ClearCurrentTarget();
        if (actor.GetAttitude() == kAttitudeParty)
            game.AddMessage(kMessageInfo, actor.GetName() + " is too scared to attack!");
        actor.SetAnimation(kAnimDefault, 0.0);
        FinishOrder(actor, order);
        return;
    }

    if (target == actor.GetCurrentTarget())
    {
        switch (actor.GetActivityState())
        {
        case kActivityEngagedReady:
            if (!actor.CanUseWieldedWeapons())
            {
                if (actor.GetAttitude() == kAttitudeParty)
                    game.AddMessage(kMessageInfo,
                                    actor.GetName() + " can't wield weapon, can't attack.");
                actor.SetAnimation(kAnimDefault, 0.0);
                FinishOrder(actor, order);
                return;
            }
            ResolveMeleeSwings(actor, *target);
            if (target->IsDead())
            {
                target->AlertEngagedActors(false, now);
                FinishOrder(actor, order);
            }
            else
            {
                target->AlertEngagedActors(true, now);
            }
            actor.StartStyleAnimation();
            actor.SetAlerted(kActionAttack, now);
            break;
        case kActivityEngaged:
            actor.SetAnimation(actor.GetAnimationId(), WindUpPhase(now, actor.GetNextActionTick()));
            break;
        case kActivityAlerted:
            actor.AdvanceAnimation(kAnimCombat, kOneTick);
            break;
        default:
            StartWindUp(actor, now, target);
            FaceToward(actor, target->GetX(), target->GetY());
            break;
        }
        return;
    }

    if (!area.CanTargetThing(actor, *target, kMeleeReach))
    {
        MoveActorToward(actor, target->GetX(), target->GetY());
        return;
    }
    actor.SetCurrentTarget(now, target);
    FaceToward(actor, target->GetX(), target->GetY());
    if (actor.IsSneaking())
    {
        SneakAttackBonus(actor);
        StopSneaking(actor);
    }
    AlertOnAttack(*target);
    game.SetCombatFlag(1);
    if (actor.GetActivityState() == kActivityAlerted)
        actor.AdvanceAnimation(kAnimCombat, kOneTick);
    else
        StartWindUp(actor, now, target);
}

void CEngine::DoRangedAttack(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    const std::uint32_t now = game.GetTick();
    CActor* target = FindAttackTarget(area, actor, order);
    if (target == nullptr)
        return;
    FaceToward(actor, target->GetX(), target->GetY());
    const bool inRange = area.CanTargetThing(actor, *target, kRangedRange);

    switch (actor.GetActivityState())
    {
    case kActivityAlerted:
        if (inRange)
            actor.AdvanceAnimation(kAnimCombat, kOneTick);
        else
            MoveActorToward(actor, target->GetX(), target->GetY());
        break;
    case kActivityEngaged:
        actor.SetAnimation(actor.GetAnimationId(), WindUpPhase(now, actor.GetNextActionTick()));
        break;
    case kActivityEngagedReady:
    {
        if (!inRange)
        {
            actor.ClearEngagement();
            actor.SetAnimation(kAnimDefault, 0.0);
            break;
        }
        if (!actor.CanUseWieldedWeapons())
        {
            if (actor.GetAttitude() == kAttitudeParty)
                game.AddMessage(kMessageInfo,
                                actor.GetName() + " can't wield weapon, can't attack.");
            actor.SetAnimation(kAnimDefault, 0.0);
            FinishOrder(actor, order);
            break;
        }
        const CAttackInfo attack = actor.DescribeAttack(kSlotMainHand, false, nullptr);
        std::string projectile;
        if (const auto& weapon = actor.GetEquipmentSlot(kSlotMainHand))
            projectile = weapon->GetTemplate()->GetProjectileGraphic();
        auto missile =
            std::make_shared<CEffectAttack>(game.NewThingId(kThingKindEffect), 0, target->Id(),
                                            actor.GetName(), projectile, attack);
        missile->SetPosition(area, actor.GetX(), actor.GetY());
        missile->SetSpeed(kEffectSpeed);
        area.AddEffect(missile);
        AlertOnAttack(*target);
        if (actor.IsSneaking())
        {
            SneakAttackBonus(actor);
            StopSneaking(actor);
        }
        game.SetCombatFlag(1);
        actor.SetAlerted(kActionAttack, now);
        actor.StartStyleAnimation();
        actor.SetAlarm(now);
        game.PostEvent(std::make_shared<CInfoEvent>(kEventRangedAttack));
        break;
    }
    default:
        if (!inRange)
        {
            MoveActorToward(actor, target->GetX(), target->GetY());
            break;
        }
        // A shot is aimed at nobody's weapon: no one counts as its target
        // when others look for flanks.
        StartWindUp(actor, now, nullptr);
        break;
    }
}

void CEngine::ResolveMeleeSwings(CActor& attacker, CActor& target)
{
    const std::int64_t now = Game().GetTick();
    const std::int64_t started = target.GetEngagementTick();
    bool flanking = false;
    if (started != 0 && now - started <= kFlankingWindow)
    {
        const std::uint32_t engaged = target.GetEngagementTargetId();
        flanking = ThingKindOf(engaged) == 0 || engaged != attacker.Id();
    }

    std::uint32_t swings = static_cast<std::uint32_t>(attacker.GetAttacks().size());
    if (swings == 0)
        swings = attacker.GetFightingStyle() == kSkillTwoWeaponStyle ? 2 : 1;
    for (std::uint32_t swing = 0; swing < swings; ++swing)
    {
        const CAttackInfo attack = attacker.DescribeAttack(swing, flanking, nullptr);
        const bool hit = RollToHit(attack, target, false, flanking);
        if (target.IsDead())
            break;
        if (hit)
            LaunchAttackEffect(swing, attacker, target);
        if (target.IsDead())
            break;
    }
}

bool CEngine::RollToHit(const CAttackInfo& attack, CActor& target, bool ranged, bool flanking)
{
    BreakCharmOnAttack(target);
    const std::int32_t defense = target.DescribeDefense(false, nullptr);
    const int roll = static_cast<int>(RandomReal() * 100) % 100 + 1;
    const bool hit = IsPercentileSuccess(roll, attack.attackBonus, defense);
    std::string text = FormatRollVsTarget(attack.attackBonus, roll, defense);
    if (flanking)
        text += " [flanking]";
    if (hit)
        ApplyAttackDamage(&text, target, attack, ranged ? kMessageRangedHit : kMessageMeleeHit);
    else
        Game().AddMessage(ranged ? kMessageRangedMiss : kMessageMeleeMiss,
                          attack.name + " misses " + target.GetName() + " " + text + ".");
    return hit;
}

void CEngine::ApplyAttackDamage(const std::string* rollText, CActor& target,
                                const CAttackInfo& attack, std::int32_t messageKind)
{
    CGame& game = Game();
    const std::int32_t die = attack.dieSize;
    std::int64_t roll = 0;
    if (die != 0)
    {
        const int r = static_cast<int>(RandomReal() * die);
        roll = die > 0 ? r % die + 1 : r % die - 1;
    }
    const std::int32_t damage = ClampToInt(std::max<std::int64_t>(1, attack.base + roll));

    std::string text = attack.name + " hits ";
    if (rollText != nullptr)
        text += *rollText + " ";
    text += target.GetName() + " for " + std::to_string(damage) + " damage.";
    game.AddMessage(messageKind, text);
    if (target.GetAttitude() == kAttitudeParty)
        game.AddActorInfo(kEventActorHitPoints, target);

    if (damage < target.GetHitPoints())
    {
        target.SetDamageTaken(std::max(target.GetDamageTaken() + damage, 0));
        target.SetLastDamage(damage);
        target.SetLastDamageSource(game.GetTick());
        return;
    }
    target.SetActivityState(kActivityDead);
    target.SetUnsummonedFlag(0);
    target.ClearCurrentTarget();
    game.AddMessage(kMessageDeath, attack.name + " has killed " + target.GetName() + ".");
}

void CEngine::BreakCharmOnAttack(CActor& target)
{
    if (!target.HasStatus(kStatusCharmed))
        return;
    if (target.GetAttitude() == kAttitudeParty)
    {
        CGame& game = Game();
        game.AddMessage(kMessageInfo, target.GetName() + " is attacked, is no longer charmed.");
        game.AddActorInfo(kEventActorStatuses, target);
    }
    target.RemoveStatus(kStatusCharmed);
}

void CEngine::LaunchAttackEffect(std::uint32_t swing, CActor& attacker, CActor& target)
{
    const CSpell* spell = attacker.GetAttackSpell(swing, Module());
    if (spell == nullptr)
        return;
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    auto effect = std::make_shared<CEffectSpell>(game.NewThingId(kThingKindEffect), 0, target.Id(),
                                                 attacker.GetName(), spell->GetEffectGraphic(), 0,
                                                 0, spell, spell->GetLevel(), 0, kSkillNone);
    effect->SetPosition(area, target.GetX(), target.GetY());
    effect->SetSpeed(spell->GetEffectSpeed());
    area.AddEffect(effect);
}

void CEngine::SneakAttackBonus(CActor& actor)
{
    if (!actor.HasSkill(kSkillSneakAttack))
        return;
    const std::int32_t bonus =
        actor.GetSkillTotal(kSkillSneak) + actor.GetModifierTotal(kModStealth);
    if (bonus <= 0)
        return;
    CGame& game = Game();
    const double interval = actor.GetActionTime(kActionAttack);
    const std::uint32_t expiry =
        game.GetTick() + static_cast<std::uint32_t>(std::trunc((interval + 2.5) * 30.0));
    actor.AddSneakAttackModifier(kModAttackDamage, bonus, expiry);
    game.AddMessage(kMessageInfo, actor.GetName() + " sneak attack for " + std::to_string(bonus) +
                                      " bonus damage.");
}

} // namespace VARD
