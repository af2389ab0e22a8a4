#pragma once

// Small pieces the attack, casting and effect rules share.

#include "common/exception.h"
#include "rules/engine.h"
#include "rules/rules_util.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/order.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace VARD
{
namespace CombatRules
{

// Rows of the animation table.
constexpr std::uint32_t kAnimDefault = 0;
constexpr std::uint32_t kAnimCombat = 1;
constexpr std::uint32_t kAnimCast = 9;
constexpr std::uint32_t kAnimCastRecover = 13;

// Action kinds of CActor::GetActionTime.
constexpr int kActionAttack = 2;
constexpr int kActionCast = 11;

// A blow or a cast winds up for two seconds.
constexpr std::uint32_t kWindUpTicks = 60;
constexpr double kEffectSpeed = 75.0;

// Actor-information kinds for changed modifiers and statuses.
constexpr std::int32_t kEventActorModifiers = 16;
constexpr std::int32_t kEventActorStatuses = 17;

inline std::int32_t ClampToInt(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace CombatRules

// One spell reaching one target, as its effects are applied.
struct CEngine::CSpellHit
{
    // The actor or tile reached; null when the tile lies off the grid.
    CThing* target = nullptr;
    // The target when it is an actor.
    CActor* actor = nullptr;
    std::string sourceName;
    // Source name and spell name, as the messages show them.
    std::string label;
    std::uint8_t partyFlag = 0;
    const CSpell* spell = nullptr;
    std::int32_t castingBonus = 0;
};

} // namespace VARD
