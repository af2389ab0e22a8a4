// Effects in flight: movement, arrival and the resolution of a spell against
// its target (touch, resistance, save).

#include "rules/engine.h"

#include "common/exception.h"
#include "rules/combat_util.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/event.h"
#include "world/game.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/spell_effect.h"
#include "world/tile.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace VARD
{

using namespace CombatRules;

namespace
{

constexpr int kSkillSpellPenetration = 58;
constexpr int kSkillGreaterSpellPenetration = 59;

std::int32_t PenetrationBonus(std::int32_t skill)
{
    if (skill == kSkillGreaterSpellPenetration)
        return 20;
    if (skill == kSkillSpellPenetration)
        return 10;
    return 0;
}

} // namespace

void CEngine::UpdateEffects()
{
    CArea* area = Game().GetCurrentArea();
    if (area == nullptr)
        return;
    for (const auto& effect : area->GetEffects())
    {
        if (effect->HasArrived())
        {
            area->RemoveEffect(effect.get());
            continue;
        }

        const std::uint32_t targetId = effect->GetTargetId();
        CThing* target = nullptr;
        double x = 0.0;
        double y = 0.0;
        switch (ThingKindOf(targetId))
        {
        case kThingKindActor:
        {
            CActor* actor = area->FindActorById(targetId);
            if (actor == nullptr || actor->IsDead())
            {
                area->RemoveEffect(effect.get());
                continue;
            }
            target = actor;
            x = actor->GetX();
            y = actor->GetY();
            break;
        }
        case kThingKindTile:
        {
            const std::uint32_t number = ThingNumberOf(targetId);
            const std::uint32_t column = number % 1000u;
            const std::uint32_t row = number / 1000u;
            target = area->GetTile(column, row);
            x = column * kCellSize + kCellSize / 2;
            y = row * kCellSize + kCellSize / 2;
            break;
        }
        default:
            throw CVARDException(2, "effect " + std::to_string(effect->Id()) + " aims at thing " +
                                        std::to_string(targetId) + ", neither a tile nor an actor");
        }

        const double step = effect->GetSpeed() / 30.0;
        const double dx = effect->GetX() - x;
        const double dy = effect->GetY() - y;
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (step < distance)
        {
            effect->SetPosition(*area, effect->GetX() - dx * step / distance,
                                effect->GetY() - dy * step / distance);
            continue;
        }
        effect->SetPosition(*area, x, y);
        effect->SetArrived();
        ResolveEffect(*effect, target);
    }
}

void CEngine::ResolveEffect(CEffect& effect, CThing* target)
{
    switch (effect.GetKind())
    {
    case kEffectKindAttack:
        if (auto* actor = dynamic_cast<CActor*>(target))
            RollToHit(static_cast<CEffectAttack&>(effect).GetAttack(), *actor, true, false);
        break;
    case kEffectKindSpell:
    {
        const auto& spellEffect = static_cast<CEffectSpell&>(effect);
        if (spellEffect.GetSpell() != nullptr)
            ApplySpellEffects(target, spellEffect.GetSourceName(), spellEffect.GetPartyFlag(),
                              *spellEffect.GetSpell(), spellEffect.GetCastingBonus(),
                              spellEffect.GetAttackBonus(), spellEffect.GetPenetrationSkill());
        break;
    }
    default:
        throw CVARDException(2, "effect " + std::to_string(effect.Id()) + " has no kind " +
                                    std::to_string(effect.GetKind()));
    }
}

void CEngine::ApplySpellEffects(CThing* target, const std::string& sourceName,
                                std::uint8_t partyFlag, const CSpell& spell,
                                std::int32_t castingBonus, std::int32_t attackBonus,
                                std::int32_t penetrationSkill)
{
    CGame& game = Game();
    const std::string label = sourceName + " (" + spell.GetDisplayName() + ")";
    const CSpell::EffectList* chosen = &spell.GetEffects();
    auto* actor = dynamic_cast<CActor*>(target);

    if (spell.GetTargetMode() == kSpellTargetActor && actor != nullptr)
    {
        if (!CanSpellAffect(spell, *actor))
        {
            game.AddMessage(kMessageInfo, label + " has no effect on " + actor->GetName() + ".");
            return;
        }
        if (spell.IsHostile())
        {
            BreakCharmOnAttack(*actor);
            int roll = 0;
            if (spell.HasFlag(kSpellFlagTouch))
            {
                const std::int32_t defense = actor->DescribeDefense(true, nullptr);
                if (!RollPercentileCheck(attackBonus, defense, &roll))
                {
                    game.AddMessage(kMessageInfo,
                                    label + " misses " + actor->GetName() + " " +
                                        FormatRollVsTarget(attackBonus, roll, defense) + ".");
                    return;
                }
            }
            const std::int32_t resistance = actor->GetSpellResistance();
            if (resistance != 0)
            {
                const std::int32_t bonus = castingBonus + PenetrationBonus(penetrationSkill);
                if (!RollPercentileCheck(bonus, resistance, &roll))
                {
                    game.AddMessage(kMessageInfo, actor->GetName() + " resists " + label + " " +
                                                      FormatRollVsTarget(bonus, roll, resistance) +
                                                      ".");
                    return;
                }
            }
            const int saveKind = spell.GetDeclaredSaveKind();
            if (!spell.HasFlag(kSpellFlagNoSave) && saveKind != kSaveKindNone)
            {
                const std::int32_t save = actor->GetSave(static_cast<std::uint32_t>(saveKind));
                const std::int32_t difficulty = castingBonus + 50;
                if (RollPercentileCheck(save, difficulty, &roll))
                {
                    game.AddMessage(kMessageInfo, actor->GetName() + " saved " +
                                                      FormatRollVsTarget(save, roll, difficulty) +
                                                      " against " + label + " (" +
                                                      GetSaveDisplayName(saveKind) + ").");
                    chosen = &spell.GetSaveEffects();
                }
            }
        }
    }

    const CSpellHit hit{target, actor, sourceName, label, partyFlag, &spell, castingBonus};
    for (const auto& effect : *chosen)
    {
        // Teleports are carried out by the cast itself.
        if (effect->GetKind() == kSpellEffectTeleport)
            break;
        ApplySpellEffect(*effect, hit);
    }
}

} // namespace VARD
