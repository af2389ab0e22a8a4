// Spell effects applied to their target, one rule per kind.

#include "rules/engine.h"

#include "common/exception.h"
#include "common/random.h"
#include "rules/combat_util.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/spell_effect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace VARD
{

using namespace CombatRules;

namespace
{

constexpr std::uint32_t kPowerModifierTicks = 303;
constexpr std::size_t kPartySummonCap = 6;
constexpr int kRepulseAttempts = 20;
constexpr double kRepulseReach = 100.0;

std::uint32_t TicksOf(int seconds)
{
    return static_cast<std::uint32_t>(std::max(seconds, 0)) * kTicksPerSecond;
}

// A duration of 0 at both ends never runs out.
std::uint32_t ExpiryOf(const std::shared_ptr<CSpellDuration>& duration, int castingBonus,
                       std::uint32_t now)
{
    if (!duration || duration->IsIndefinite())
        return 0;
    return now + TicksOf(duration->GetLengthAt(castingBonus));
}

std::uint32_t TimedExpiryOf(const std::shared_ptr<CSpellDuration>& duration, int castingBonus,
                            std::uint32_t now)
{
    return now + (duration ? TicksOf(duration->GetLengthAt(castingBonus)) : 0);
}

// Half the Durability with its modifiers, rounded down.
std::int64_t RecoveryLimitOf(const CActor& actor)
{
    const std::int64_t durability =
        std::int64_t{actor.GetBaseAttribute(2)} + actor.GetModifierTotal(kModAttributeFirst << 2);
    return durability >= 0 ? durability / 2 : (durability - 1) / 2;
}

std::string StatusName(int status)
{
    return GetStatusDisplayName(status);
}

const CSpellMagnitude& MagnitudeOf(const std::shared_ptr<CSpellMagnitude>& magnitude,
                                   const CSpell& spell)
{
    if (!magnitude)
        throw CVARDException(2, "an effect of " + VARDCommon::QuoteForMessage(spell.GetKey()) +
                                    " has no magnitude");
    return *magnitude;
}

} // namespace

void CEngine::ApplySpellEffect(const CSpellEffect& effect, const CSpellHit& hit)
{
    const int kind = effect.GetKind();
    if (kind == kSpellEffectSummon)
    {
        // Summons land on a tile; an actor reached by one calls nothing up.
        if (hit.target != nullptr && hit.actor == nullptr)
            ApplySummonEffect(static_cast<const CSpellEffectSummon&>(effect), *hit.target, hit);
        return;
    }
    if (kind < 0 || kind > kSpellEffectRaise)
        throw CVARDException(2, "no spell-effect kind " + std::to_string(kind));
    // Every other kind works on an actor; a tile target is passed over.
    if (hit.actor == nullptr)
        return;
    CActor& target = *hit.actor;
    switch (kind)
    {
    case kSpellEffectModify:
        ApplyModifyEffect(static_cast<const CSpellEffectModify&>(effect), target, hit);
        break;
    case kSpellEffectHeal:
    case kSpellEffectMana:
        ApplyHealEffect(static_cast<const CSpellEffectHeal&>(effect), target, hit);
        break;
    case kSpellEffectDamage:
        ApplyDamageEffect(static_cast<const CSpellEffectDamage&>(effect), target, hit);
        break;
    case kSpellEffectStatus:
        ApplyStatusEffect(static_cast<const CSpellEffectStatus&>(effect), target, hit);
        break;
    case kSpellEffectRemove:
        ApplyRemoveEffect(static_cast<const CSpellEffectRemove&>(effect), target, hit);
        break;
    case kSpellEffectDispel:
        ApplyDispelEffect(static_cast<const CSpellEffectDispel&>(effect), target, hit);
        break;
    case kSpellEffectItem:
        ApplyItemEffect(static_cast<const CSpellEffectItem&>(effect), target, hit);
        break;
    case kSpellEffectRepulse:
        ApplyRepulseEffect(target, hit);
        break;
    case kSpellEffectRaise:
        ApplyRaiseEffect(static_cast<const CSpellEffectRaise&>(effect), target, hit);
        break;
    default:
        // Teleports are the cast's; the walk of the list stops before them.
        break;
    }
}

void CEngine::ApplyModifyEffect(const CSpellEffectModify& effect, CActor& target,
                                const CSpellHit& hit)
{
    CGame& game = Game();
    const CSpell& spell = *hit.spell;
    const std::uint32_t now = game.GetTick();
    const bool power = spell.IsPower();
    const std::uint32_t expiry =
        power ? now + kPowerModifierTicks : ExpiryOf(effect.GetDuration(), hit.castingBonus, now);
    target.AddModifierFromEffect(spell, effect, expiry, hit.castingBonus, power);
    game.AddMessage(spell.IsHostile() ? kMessageSpell : kMessageHealing,
                    hit.sourceName + " casts " + spell.GetDisplayName() + " on " +
                        target.GetName() + ".");
    if (target.GetAttitude() == kAttitudeParty)
        game.AddActorInfo(kEventActorModifiers, target);
}

void CEngine::ApplySummonEffect(const CSpellEffectSummon& effect, const CThing& tile,
                                const CSpellHit& hit)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    const bool byParty = hit.partyFlag != 0;
    const bool joins = byParty && effect.GetAttitude() == static_cast<int>(kAttitudeParty);
    if (byParty)
    {
        if (joins && game.Party().size() >= kPartySummonCap)
        {
            game.AddMessage(kMessageInfo,
                            hit.sourceName +
                                "'s spell fizzles; the party can't summon any more creatures.");
            return;
        }
        for (const auto& actor : area.Actors())
        {
            if (actor->IsSummoned() && actor->GetTemplateName() == effect.GetCreature() &&
                actor->GetAttitude() != kAttitudeHostile)
            {
                game.AddMessage(kMessageInfo, hit.sourceName + "'s spell fizzles; " +
                                                  actor->GetName() + " is already summoned.");
                return;
            }
        }
    }

    const std::uint32_t number = ThingNumberOf(tile.Id());
    const std::shared_ptr<CActor> creature =
        area.SpawnMonsterNear(effect.GetCreature(), number % 1000u, number / 1000u, Module());
    if (!creature)
        return;
    const std::uint32_t now = game.GetTick();
    creature->SetAttitude(byParty ? static_cast<std::uint32_t>(effect.GetAttitude())
                                  : kAttitudeHostile);
    creature->SetSummonExpiryTick(TimedExpiryOf(effect.GetDuration(), hit.castingBonus, now));
    if (creature->HasSkill(kSkillSneak))
        if (const CSpell* sneak = Module().FindSpell(kSneakPowerKey))
            creature->ActivatePower(*sneak, now);
    if (joins)
    {
        const std::shared_ptr<CActor> held = area.RemoveActor(creature.get());
        area.AddActor(held);
        game.AddPartyMember(held);
        game.PostEvent(std::make_shared<CInfoEvent>(kEventPartyChanged));
    }
    game.AddMessage(kMessageSummon, hit.sourceName + " casts " + hit.spell->GetDisplayName() +
                                        ", summoning " + creature->GetName() + ".");
}

void CEngine::ApplyHealEffect(const CSpellEffectHeal& effect, CActor& target, const CSpellHit& hit)
{
    CGame& game = Game();
    // Signed: a member who has used more than its limit is refused.
    const std::int64_t left = RecoveryLimitOf(target) - target.GetFurtherCounter();
    if (left < 0)
    {
        game.AddMessage(kMessageInfo, hit.sourceName + " can't heal " + target.GetName() +
                                          " (no Recoveries left).");
        return;
    }
    const int amount = MagnitudeOf(effect.GetMagnitude(), *hit.spell).Roll(hit.castingBonus);
    std::string text;
    switch (effect.GetKind())
    {
    case kSpellEffectHeal:
        target.SetDamageTaken(std::max(target.GetDamageTaken() - amount, 0));
        text = hit.sourceName + " heals " + target.GetName() + " for " + std::to_string(amount) +
               " hit points.";
        break;
    case kSpellEffectMana:
        target.RestoreEnergy(amount);
        text = hit.sourceName + " restores " + target.GetName() + " for " + std::to_string(amount) +
               " energy points.";
        break;
    default:
        throw CVARDException(2, "a heal effect of kind " + std::to_string(effect.GetKind()));
    }
    target.SetFurtherCounter(ClampToInt(std::int64_t{target.GetFurtherCounter()} + 1));
    game.AddMessage(kMessageHealing, text);
    if (target.GetAttitude() == kAttitudeParty)
        game.AddActorInfo(kEventActorHitPoints, target);
}

void CEngine::ApplyDamageEffect(const CSpellEffectDamage& effect, CActor& target,
                                const CSpellHit& hit)
{
    CAttackInfo attack;
    attack.name = hit.label;
    MagnitudeOf(effect.GetMagnitude(), *hit.spell)
        .GetDiceAt(hit.castingBonus, attack.dieSize, attack.base);
    ApplyAttackDamage(nullptr, target, attack, kMessageSpell);
}

void CEngine::ApplyStatusEffect(const CSpellEffectStatus& effect, CActor& target,
                                const CSpellHit& hit)
{
    CGame& game = Game();
    const std::uint32_t expiry = ExpiryOf(effect.GetDuration(), hit.castingBonus, game.GetTick());
    target.AddStatus(static_cast<std::uint32_t>(effect.GetStatus()), expiry);
    game.AddMessage(kMessageSpell, hit.label + " inflicts " + StatusName(effect.GetStatus()) +
                                       " on " + target.GetName() + ".");
    if (target.GetAttitude() == kAttitudeParty)
        game.AddActorInfo(kEventActorStatuses, target);
}

void CEngine::ApplyRemoveEffect(const CSpellEffectRemove& effect, CActor& target,
                                const CSpellHit& hit)
{
    const auto status = static_cast<std::uint32_t>(effect.GetStatus());
    if (!target.HasStatus(status))
        return;
    CGame& game = Game();
    game.AddMessage(kMessageHealing, hit.label + " removes " + StatusName(effect.GetStatus()) +
                                         " from " + target.GetName() + ".");
    target.RemoveStatus(status);
    if (target.GetAttitude() == kAttitudeParty)
        game.AddActorInfo(kEventActorStatuses, target);
}

void CEngine::ApplyDispelEffect(const CSpellEffectDispel& effect, CActor& target,
                                const CSpellHit& hit)
{
    CGame& game = Game();
    const bool penalties = effect.IsDispelHostile();
    const int filter = effect.GetSlotFilter();
    std::vector<std::shared_ptr<CModifier>> candidates;
    for (const auto& modifier : target.GetModifiers())
    {
        const std::int32_t value = modifier->GetValue();
        if (penalties ? value > 0 : value < 0)
            continue;
        const std::uint32_t slot = modifier->GetStackingKind();
        if (slot == kStackingPower || slot == kStackingMusic)
            continue;
        if (filter != CSpellEffectDispel::kAnySlot && slot != static_cast<std::uint32_t>(filter))
            continue;
        candidates.push_back(modifier);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a->GetLevel() < b->GetLevel(); });

    for (const auto& modifier : candidates)
    {
        const std::int64_t difficulty = std::int64_t{modifier->GetLevel()} + 50;
        const int roll = RandomDie(100);
        const bool failed =
            roll <= 5 || (roll <= 95 && std::int64_t{hit.castingBonus} + roll <= difficulty);
        const std::string text = FormatRollVsTarget(hit.castingBonus, roll, ClampToInt(difficulty));
        if (failed)
        {
            game.AddMessage(kMessageInfo, hit.label + " failed to dispel " + text + " " +
                                              modifier->GetName() + ".");
            continue;
        }
        game.AddMessage(effect.IsHostile() ? kMessageSpell : kMessageHealing,
                        hit.label + " dispelled " + text + " " + modifier->GetName() + ".");
        if (target.GetAttitude() == kAttitudeParty)
            game.AddActorInfo(kEventActorModifiers, target);
        target.RemoveModifier(modifier.get());
        if (!effect.IsMany())
            break;
    }
}

void CEngine::ApplyItemEffect(const CSpellEffectItem& effect, CActor& target, const CSpellHit& hit)
{
    CGame& game = Game();
    const std::uint32_t expiry =
        TimedExpiryOf(effect.GetDuration(), hit.castingBonus, game.GetTick());
    auto item = Module().CreateItem(effect.GetItem(), 1, game.NewThingId(kThingKindItem), expiry);
    const std::string name = item->GetTemplate()->GetDisplayName();
    target.AddBackpackItem(std::move(item));
    game.AddMessage(kMessageSummon, hit.label + " creates " + name + ".");
}

void CEngine::ApplyRepulseEffect(CActor& target, const CSpellHit& hit)
{
    const CArea& area = CurrentArea(Game());
    for (int attempt = 0; attempt < kRepulseAttempts; ++attempt)
    {
        const double angle = 2.0 * std::numbers::pi * RandomReal();
        const double distance = 50.0 - 1.25 * attempt;
        const double x = target.GetX() + distance * std::cos(angle);
        const double y = target.GetY() + distance * std::sin(angle);
        const double column = std::trunc(x / kCellSize);
        const double row = std::trunc(y / kCellSize);
        if (column < 0.0 || row < 0.0 || column >= area.GetWidth() || row >= area.GetHeight())
            continue;
        if (!area.CanTargetPoint(false, x, y, kRepulseReach, 0.0, target))
            continue;
        if (TeleportActor(target, hit.spell, static_cast<std::uint32_t>(column),
                          static_cast<std::uint32_t>(row), hit.castingBonus, hit.partyFlag))
            return;
    }
}

void CEngine::ApplyRaiseEffect(const CSpellEffectRaise& effect, CActor& target,
                               const CSpellHit& hit)
{
    if (target.GetAttitude() != kAttitudeParty)
        return;
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    const bool byParty = hit.partyFlag != 0;
    for (const auto& member : game.GetParty())
    {
        if (!member->IsDead())
            continue;
        const std::int64_t limit = RecoveryLimitOf(*member);
        const std::int64_t used = member->GetFurtherCounter();
        // Only a member exactly at its limit is refused: one healed past it
        // (healing refuses only below zero left) may still be raised.
        if (used == limit)
        {
            game.AddMessage(kMessageInfo, hit.label + " tries to raise " + member->GetName() +
                                              ", but " + member->GetName() + " has no recoveries.");
            continue;
        }
        // The recoveries left are kept, against the limit the cleared
        // modifiers leave.
        const std::int64_t left = limit - used;
        member->RestoreFully();
        member->SetFurtherCounter(ClampToInt(RecoveryLimitOf(*member) - left + 1));
        if (!effect.IsHeal())
            member->SetDamageTaken(std::max(member->GetMaxHitPoints() - 1, 0));
        const auto column = static_cast<std::uint32_t>(std::trunc(target.GetX() / kCellSize));
        const auto row = static_cast<std::uint32_t>(std::trunc(target.GetY() / kCellSize));
        if (!area.FindFreeSpotNear(column, row, true, member))
            game.AddNonLocated(member);
        if (byParty)
            game.AddMessage(kMessageHealing,
                            hit.label + " raises " + member->GetName() + " from the dead.");
        return;
    }
    if (byParty)
        game.AddMessage(kMessageInfo,
                        hit.label + " tries to raise the dead, but no-one in the party is dead.");
}

} // namespace VARD
