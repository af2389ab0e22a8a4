#pragma once

#include "world/attack_info.h"
#include "world/thing.h"

#include <cstdint>
#include <memory>
#include <string>

namespace VARDGraph
{
class CGraphic;
} // namespace VARDGraph

namespace VARD
{

class CArea;
class CSpell;

// Kinds of effects in flight.
enum : std::uint32_t
{
    kEffectKindAttack = 0,
    kEffectKindSpell = 1,
};

// An effect in flight: a missile, a cast spell on its way, a trap's spell.
// The area holds it in its effect list; it is never saved.
class CEffect : public CThing
{
public:
    // The position is set afterwards with SetPosition.
    CEffect(std::uint32_t id, std::uint32_t kind, std::uint32_t launchValue, std::uint32_t targetId,
            std::string sourceName, std::string secondText, std::int32_t intValue);
    ~CEffect() override = default;

    void GetId(std::uint32_t& id) const override { id = m_Id; }

    std::uint32_t GetKind() const { return m_Kind; }
    std::uint32_t GetLaunchValue() const { return m_LaunchValue; }
    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    // Radians, in the heading convention of actors.
    double GetFacing() const { return m_Facing; }
    // A tile (kind 1) or an actor (kind 3).
    std::uint32_t GetTargetId() const { return m_TargetId; }
    // Who launched it: attacker, caster or trap object.
    std::string GetSourceName() const { return m_SourceName; }
    const std::string& GetSecondText() const { return m_SecondText; }
    std::int32_t GetIntValue() const { return m_IntValue; }

    // Stores the point and turns the effect toward its target: a tile's
    // centre or the target actor's position in the area. Exactly on the
    // target point, or when the target actor has left the area, the facing
    // stays. Code 2 for a target that is neither a tile nor an actor; the
    // effect is then left as it was.
    void SetPosition(const CArea& area, double x, double y);

    // World units per second and the arrival mark, for the flight of the
    // effect; a new effect stands still and has not arrived.
    double GetSpeed() const { return m_Speed; }
    void SetSpeed(double speed) { m_Speed = speed; }
    bool HasArrived() const { return m_Arrived != 0; }
    void SetArrived() { m_Arrived = 1; }

    // The scene renderer makes the handle; null until then.
    const std::shared_ptr<VARDGraph::CGraphic>& GetGraphic() const { return m_Graphic; }
    void SetGraphic(std::shared_ptr<VARDGraph::CGraphic> graphic);

private:
    std::uint32_t m_Id;
    std::uint32_t m_Kind;
    std::uint32_t m_LaunchValue;
    double m_X = 0.0;
    double m_Y = 0.0;
    double m_Facing = 0.0;
    std::uint32_t m_TargetId;
    std::string m_SourceName;
    std::string m_SecondText;
    std::int32_t m_IntValue;
    std::shared_ptr<VARDGraph::CGraphic> m_Graphic;
    double m_Speed = 0.0;
    std::int32_t m_Arrived = 0;
};

// A ranged attack's missile: it carries the swing it was loosed with.
class CEffectAttack : public CEffect
{
public:
    CEffectAttack(std::uint32_t id, std::uint32_t launchValue, std::uint32_t targetId,
                  std::string sourceName, std::string secondText, CAttackInfo attack);

    const CAttackInfo& GetAttack() const { return m_Attack; }

private:
    CAttackInfo m_Attack;
};

// A spell on its way to its target, with what the caster handed over.
class CEffectSpell : public CEffect
{
public:
    // The four values in the order resolution takes them: the spell (null:
    // the effect resolves to nothing), the casting bonus, the touch-attack
    // bonus and the spell-penetration skill (83 for none).
    CEffectSpell(std::uint32_t id, std::uint32_t launchValue, std::uint32_t targetId,
                 std::string sourceName, std::string secondText, std::int32_t intValue,
                 std::uint8_t partyFlag, const CSpell* spell, std::int32_t castingBonus,
                 std::int32_t attackBonus, std::int32_t penetrationSkill);

    // 1 when the caster was of the party.
    std::uint8_t GetPartyFlag() const { return m_PartyFlag; }
    const CSpell* GetSpell() const { return m_Spell; }
    std::int32_t GetCastingBonus() const { return m_CastingBonus; }
    std::int32_t GetAttackBonus() const { return m_AttackBonus; }
    std::int32_t GetPenetrationSkill() const { return m_PenetrationSkill; }

private:
    std::uint8_t m_PartyFlag;
    const CSpell* m_Spell;
    std::int32_t m_CastingBonus;
    std::int32_t m_AttackBonus;
    std::int32_t m_PenetrationSkill;
};

} // namespace VARD
