#include "world/effect.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/area.h"

#include <cmath>
#include <optional>
#include <utility>

namespace VARD
{

namespace
{

// Headings are measured from north; a quarter turn is taken in single
// precision, as everywhere else.
constexpr double kQuarterTurn = 1.5707963705062866;

struct CTargetPoint
{
    double x;
    double y;
};

// Null when the target actor has left the area (died, fled): the effect flies
// on with the heading it had.
std::optional<CTargetPoint> FindTargetPoint(const CArea& area, std::uint32_t targetId)
{
    const std::uint32_t number = ThingNumberOf(targetId);
    switch (ThingKindOf(targetId))
    {
    case kThingKindTile:
    {
        const std::uint32_t column = number % 1000u;
        const std::uint32_t row = number / 1000u;
        return CTargetPoint{static_cast<double>(column) * 2.5 + 1.25,
                            static_cast<double>(row) * 2.5 + 1.25};
    }
    case kThingKindActor:
    {
        const CActor* actor = area.FindActorById(targetId);
        if (actor == nullptr)
            return std::nullopt;
        return CTargetPoint{actor->GetX(), actor->GetY()};
    }
    default:
        throw CVARDException(2, "effect target " + std::to_string(targetId) +
                                    " is neither a tile nor an actor");
    }
}

} // namespace

CEffect::CEffect(std::uint32_t id, std::uint32_t kind, std::uint32_t launchValue,
                 std::uint32_t targetId, std::string sourceName, std::string secondText,
                 std::int32_t intValue)
    : m_Id(id), m_Kind(kind), m_LaunchValue(launchValue), m_TargetId(targetId),
      m_SourceName(std::move(sourceName)), m_SecondText(std::move(secondText)), m_IntValue(intValue)
{
}

void CEffect::SetPosition(const CArea& area, double x, double y)
{
    const std::optional<CTargetPoint> target = FindTargetPoint(area, m_TargetId);
    m_X = x;
    m_Y = y;
    if (!target)
        return;
    const double dx = target->x - x;
    const double dy = target->y - y;
    if (dx == 0.0 && dy == 0.0)
        return;
    m_Facing = std::atan2(-dy, dx) - kQuarterTurn;
}

void CEffect::SetGraphic(std::shared_ptr<VARDGraph::CGraphic> graphic)
{
    m_Graphic = std::move(graphic);
}

CEffectAttack::CEffectAttack(std::uint32_t id, std::uint32_t launchValue, std::uint32_t targetId,
                             std::string sourceName, std::string secondText, CAttackInfo attack)
    : CEffect(id, kEffectKindAttack, launchValue, targetId, std::move(sourceName),
              std::move(secondText), 0),
      m_Attack(std::move(attack))
{
}

CEffectSpell::CEffectSpell(std::uint32_t id, std::uint32_t launchValue, std::uint32_t targetId,
                           std::string sourceName, std::string secondText, std::int32_t intValue,
                           std::uint8_t partyFlag, const CSpell* spell, std::int32_t castingBonus,
                           std::int32_t attackBonus, std::int32_t penetrationSkill)
    : CEffect(id, kEffectKindSpell, launchValue, targetId, std::move(sourceName),
              std::move(secondText), intValue),
      m_PartyFlag(partyFlag), m_Spell(spell), m_CastingBonus(castingBonus),
      m_AttackBonus(attackBonus), m_PenetrationSkill(penetrationSkill)
{
}

} // namespace VARD
