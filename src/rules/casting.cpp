// Spellcasting: starting and completing casts, concentration, targets,
// teleports.

#include "rules/engine.h"

#include "common/exception.h"
#include "common/random.h"
#include "rules/combat_util.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/spell_effect.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VARD
{

using namespace CombatRules;

namespace
{

constexpr int kSkillSpellPenetration = 58;
constexpr int kSkillGreaterSpellPenetration = 59;
constexpr int kSkillCombatCasting = 63;
constexpr int kSkillDefensiveCasting = 64;
// A completed cast may reach this much farther than its start could.
constexpr double kCompletionSlack = 20.0;
constexpr std::size_t kMaxFurtherTargets = 8;
constexpr std::uint8_t kPartyCast = 1;

void AbandonCast(CActor& caster)
{
    caster.ClearEngagement();
    caster.SetAnimation(kAnimDefault, 0.0);
}

std::int32_t PenetrationSkillOf(const CActor& caster)
{
    if (caster.HasSkill(kSkillGreaterSpellPenetration))
        return kSkillGreaterSpellPenetration;
    if (caster.HasSkill(kSkillSpellPenetration))
        return kSkillSpellPenetration;
    return kSkillNone;
}

// One unit of a scroll, potion or wand is gone.
void UseUpUnit(CActor& caster, CItem& item)
{
    if (item.GetValue1() > 1)
        item.SetValue1(item.GetValue1() - 1);
    else
        caster.RemoveBackpackItem(&item);
}

} // namespace

bool CEngine::BeginCast(CActor& caster, const CSpell& spell, bool payEnergy, CThing* target,
                        double x, double y)
{
    CGame& game = Game();
    if (payEnergy && spell.GetEnergyCost() > caster.GetEnergyPoints())
    {
        game.AddMessage(kMessageInfo, caster.GetName() + " doesn't have enough energy to cast " +
                                          spell.GetDisplayName() + ".");
        AbandonCast(caster);
        return true;
    }
    if (target != nullptr &&
        !CurrentArea(game).CanTargetPoint(false, x, y, spell.GetRange(), 0.0, caster))
    {
        MoveActorToward(caster, x, y);
        return false;
    }
    const std::uint32_t now = game.GetTick();
    caster.SetEngagementTick(now);
    caster.SetActivityState(kActivityEngaged);
    caster.SetNextActionTick(now + kWindUpTicks);
    caster.SetEngagementTargetId(0);
    caster.SetAnimation(kAnimCast, 0.0);
    return false;
}

bool CEngine::CompleteCast(CItem* item, CThing* target, CActor& caster, const CSpell& spell,
                           bool payEnergy, double x, double y)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    const std::uint32_t now = game.GetTick();
    const std::int32_t cost = spell.GetEnergyCost();
    if (payEnergy && cost > caster.GetEnergyPoints())
    {
        AbandonCast(caster);
        return true;
    }
    if (target != nullptr &&
        !area.CanTargetPoint(false, x, y, spell.GetRange() + kCompletionSlack, 0.0, caster))
    {
        AbandonCast(caster);
        return true;
    }

    if (spell.GetTargetMode() == kSpellTargetSelf)
        target = &caster;
    std::vector<CThing*> targets;
    if (target != nullptr)
        targets.push_back(target);
    if (spell.HasFlag(kSpellFlagMultiTarget))
        CollectSpellTargets(caster, spell, targets);

    std::int32_t castingBonus = 0;
    if (item == nullptr)
    {
        castingBonus = caster.GetSpellAttackBonus(spell);
    }
    else
    {
        castingBonus = spell.GetLevel();
        if (spell.GetSkill() != kSkillNone)
            castingBonus += GetSkillInfo(spell.GetSkill()).spellBonus;
    }
    const bool goesOff = item != nullptr || ConcentrationCheck(castingBonus, caster, spell);
    const std::int32_t attackBonus = spell.HasFlag(kSpellFlagTouch) ? caster.GetAttackBonus() : 0;
    const bool partyCaster = caster.GetAttitude() == kAttitudeParty;

    if (goesOff)
    {
        const CSpellEffectTeleport* teleport = nullptr;
        if (!spell.FindTeleportEffect(&teleport))
        {
            for (CThing* reached : targets)
            {
                auto effect = std::make_shared<CEffectSpell>(
                    game.NewThingId(kThingKindEffect), 0, reached->Id(), caster.GetName(),
                    spell.GetEffectGraphic(), 0, partyCaster ? kPartyCast : 0, &spell, castingBonus,
                    attackBonus, PenetrationSkillOf(caster));
                effect->SetPosition(area, caster.GetX(), caster.GetY());
                effect->SetSpeed(spell.GetEffectSpeed());
                area.AddEffect(effect);
                if (!spell.IsHostile())
                    continue;
                // Only a neutral actor with a brain is provoked; AlertOnAttack
                // asks exactly that.
                if (auto* victim = dynamic_cast<CActor*>(reached);
                    victim != nullptr && victim->GetAttitude() == kAttitudeNeutral &&
                    victim->GetBrain())
                    AlertOnAttack(*victim);
            }
            if (spell.IsHostile())
                game.SetCombatFlag(1);
        }
        else
        {
            LaunchSpellAtTargets(caster, spell, *teleport, x, y);
        }
    }

    // A disrupted cast still costs its energy.
    if (payEnergy)
    {
        caster.SetEnergySpent(
            ClampToInt(std::max<std::int64_t>(0, std::int64_t{caster.GetEnergySpent()} + cost)));
        if (partyCaster)
            game.AddActorInfo(kEventActorEnergy, caster);
    }

    if (item != nullptr)
    {
        const int chance =
            GetItemTypeBurnOutChance(static_cast<int>(item->GetTemplate()->GetItemType()));
        if (chance == 0)
        {
            UseUpUnit(caster, *item);
        }
        else if (chance > 0 && RandomReal() < chance / 100.0)
        {
            game.AddMessage(kMessageInfo, caster.GetName() + "'s " +
                                              item->GetTemplate()->GetDisplayName() +
                                              " burns out.");
            UseUpUnit(caster, *item);
        }
    }

    if (!spell.IsPower())
    {
        if (goesOff)
        {
            game.AddActorInfo(kEventActorCastDone, caster);
            game.AddMessage(kMessageInfo,
                            caster.GetName() + " casts " + spell.GetDisplayName() + ".");
        }
        caster.SetAlerted(kActionCast, now);
        caster.SetAlarm(now);
        StopSneaking(caster);
        caster.SetAnimation(kAnimCastRecover, 0.0);
    }
    else if (spell.HasFlag(kSpellFlagMultiTarget))
    {
        game.AddActorInfo(kEventActorCastDone2, caster);
    }
    return true;
}

bool CEngine::ConcentrationCheck(std::int32_t castingBonus, CActor& caster, const CSpell& spell)
{
    if (spell.IsPower() || caster.GetLastDamage() == 0)
        return true;
    CGame& game = Game();
    const double actionTime = caster.GetActionTime(kActionCast);
    const std::int64_t window =
        static_cast<std::int64_t>(std::trunc((actionTime + 2.0 + 0.5) * 30.0));
    const std::int64_t since = static_cast<std::int64_t>(game.GetTick()) -
                               static_cast<std::int64_t>(caster.GetLastDamageSource());
    if (since > window)
        return true;

    int roll = 0;
    if (caster.HasSkill(kSkillDefensiveCasting))
    {
        const int target = 2 * spell.GetLevel() + 75;
        if (RollPercentileCheck(castingBonus, target, &roll))
        {
            game.AddMessage(kMessageInfo, caster.GetName() + " casts " + spell.GetDisplayName() +
                                              " defensively " +
                                              FormatRollVsTarget(castingBonus, roll, target) + ".");
            return true;
        }
    }
    const int bonus = castingBonus + (caster.HasSkill(kSkillCombatCasting) ? 20 : 0);
    const int difficulty = spell.GetLevel() + 50 + caster.GetLastDamage();
    if (RollPercentileCheck(bonus, difficulty, &roll))
        return true;
    game.AddMessage(kMessageInfo, caster.GetName() + " was disrupted casting " +
                                      spell.GetDisplayName() + " " +
                                      FormatRollVsTarget(bonus, roll, difficulty) + ".");
    return false;
}

void CEngine::CollectSpellTargets(CActor& caster, const CSpell& spell,
                                  std::vector<CThing*>& targets)
{
    const CArea& area = CurrentArea(Game());
    const CThing* primary = nullptr;
    for (CThing* thing : targets)
    {
        if (dynamic_cast<CActor*>(thing) != nullptr)
        {
            primary = thing;
            break;
        }
    }

    const bool hostile = spell.IsHostile();
    const std::uint32_t casterSide = caster.GetAttitude();
    // Nearest first; equal distances keep the order they were found in.
    std::vector<std::pair<double, CActor*>> kept;
    // Only those the spell can reach are worth the checks below.
    std::vector<CActor*> near;
    area.CollectActorsNear(
        caster.GetX(), caster.GetY(),
        std::abs(caster.GetRadius()) + area.ActorIndex().GetMaxRadius() + spell.GetRange(), near);
    for (CActor* candidate : near)
    {
        if (candidate == primary)
            continue;
        const std::uint32_t side = candidate->GetAttitude();
        bool opposed = false;
        if (!hostile)
            opposed = candidate->IsFriendly() == caster.IsFriendly();
        else
            opposed = casterSide == kAttitudeBerserk || side == kAttitudeBerserk ||
                      (caster.IsFriendly() && side > kAttitudeNeutral) ||
                      (casterSide > kAttitudeNeutral && candidate->IsFriendly());
        if (!opposed || !CanSpellAffect(spell, *candidate) ||
            !area.CanTargetPoint(false, candidate->GetX(), candidate->GetY(), spell.GetRange(),
                                 candidate->GetRadius(), caster))
            continue;
        const double distance = caster.DistanceTo(candidate->GetX(), candidate->GetY());
        if (kept.size() == kMaxFurtherTargets)
        {
            if (distance > kept.back().first)
                continue;
            kept.pop_back();
        }
        auto place = kept.begin();
        while (place != kept.end() && place->first <= distance)
            ++place;
        kept.insert(place, {distance, candidate});
    }
    for (const auto& [distance, actor] : kept)
        targets.push_back(actor);
}

void CEngine::LaunchSpellAtTargets(CActor& caster, const CSpell& spell,
                                   const CSpellEffectTeleport& teleport, double x, double y)
{
    CGame& game = Game();
    const CArea& area = CurrentArea(game);
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    if (teleport.IsReturn())
    {
        // An area without the entry the party came by has nowhere to return to.
        const CAreaEntry* entry = area.FindEntry(game.GetEnteredEntry());
        if (entry == nullptr)
            return;
        column = entry->GetColumn();
        row = entry->GetRow();
    }
    else
    {
        if (x < 0.0 || y < 0.0 || !area.CanTargetPoint(false, x, y, spell.GetRange(), 0.0, caster))
            return;
        column = static_cast<std::uint32_t>(std::trunc(x / kCellSize));
        row = static_cast<std::uint32_t>(std::trunc(y / kCellSize));
    }

    std::vector<std::shared_ptr<CActor>> movers;
    if (teleport.IsParty() && caster.GetAttitude() == kAttitudeParty)
    {
        for (const auto& member : game.Party())
            if (!member->IsDead())
                movers.push_back(member);
    }
    else
    {
        for (const auto& actor : area.Actors())
            if (actor.get() == &caster)
                movers.push_back(actor);
    }
    const std::int32_t castingBonus = caster.GetSpellAttackBonus(spell);
    for (const auto& mover : movers)
        TeleportActor(*mover, &spell, column, row, castingBonus,
                      mover->GetAttitude() == kAttitudeParty ? kPartyCast : 0);
}

bool CEngine::TeleportActor(CActor& actor, const CSpell* spell, std::uint32_t column,
                            std::uint32_t row, std::int32_t castingBonus, std::uint8_t partyFlag)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    actor.AlertEngagedActors(false, game.GetTick());
    actor.ClearEngagement();
    if (actor.GetAttitude() != kAttitudeParty || actor.HasStatus(kStatusConfused) ||
        actor.HasStatus(kStatusDominated))
        actor.InterruptOrders();

    const double oldX = actor.GetX();
    const double oldY = actor.GetY();
    const std::shared_ptr<CActor> held = area.RemoveActor(&actor);
    if (!area.FindFreeSpotNear(column, row, true, held))
    {
        const auto cellOf = [](double v)
        { return static_cast<std::uint32_t>(std::trunc(v / kCellSize)); };
        if (!area.FindFreeSpotNear(cellOf(oldX), cellOf(oldY), true, held))
        {
            // Nobody took the spot it left while it was lifted out, so it
            // goes back there rather than out of the game.
            held->SetPosition(oldX, oldY);
            area.AddActor(held);
        }
        return false;
    }

    game.AddActorInfo(kEventActorEffectLaunched, actor);
    const bool fast = spell != nullptr && spell->IsPower() && spell->HasFlag(kSpellFlagMultiTarget);
    auto effect = std::make_shared<CEffectSpell>(
        game.NewThingId(kThingKindEffect), 0, actor.Id(), actor.GetName(),
        spell != nullptr ? spell->GetEffectGraphic() : std::string(), 0, partyFlag, nullptr,
        castingBonus, 0, kSkillNone);
    effect->SetPosition(area, actor.GetX(), actor.GetY());
    effect->SetSpeed(fast ? 750.0 : kEffectSpeed);
    area.AddEffect(effect);
    return true;
}

} // namespace VARD
