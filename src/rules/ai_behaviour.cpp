// What AI behaviours decide for the actors that carry them. A behaviour only
// queues orders; the order steps of the engine carry them out.

#include "rules/engine.h"

#include "common/random.h"
#include "world/actor.h"
#include "world/ai.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/spell.h"
#include "world/spell_effect.h"
#include "world/tile.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace VARD
{

namespace
{

constexpr std::uint32_t kFindFoes = 1;
constexpr std::uint32_t kFindInRange = 2;
constexpr std::uint32_t kFindSpellcasters = 4;

constexpr std::uint32_t kClassSpellcaster = 2;
constexpr std::uint32_t kAttributeDurability = 2;
// A spellcaster counts this much nearer to a seeker that prefers them.
constexpr double kSpellcasterBias = 25.0;
constexpr double kShootRange = 100.0;
// About once in five seconds a roaming actor reconsiders.
constexpr double kRethinkChance = 1.0 / 150.0;
constexpr int kWanderAttempts = 10;
// A cast sequence starts again an hour after its last cast.
constexpr std::uint32_t kCastSequenceReset = 108000;
constexpr int kCooldownDie = 1200;

bool IsFriendlySide(std::uint32_t side)
{
    return side == kAttitudeParty || side == kAttitudeFriendly;
}

bool IsEngaged(const CActor& actor)
{
    const std::uint32_t state = actor.GetActivityState();
    return state == kActivityEngaged || state == kActivityEngagedReady;
}

// An alarmed actor drops what it was doing; a free one now and then
// rethinks and drops its orders. True when the behaviour does nothing more
// this tick.
bool DropsOrdersThisTick(CActor& actor)
{
    if (actor.GetActivityState() == kActivityAlarmed)
    {
        if (actor.HasFrontOrder())
            actor.ClearOrders();
        return true;
    }
    if (!IsEngaged(actor) && RandomReal() < kRethinkChance)
    {
        actor.ClearOrders();
        return true;
    }
    return false;
}

bool IsFriendOf(const CActor& seeker, const CActor& candidate)
{
    const std::uint32_t side = seeker.GetAttitude();
    if (IsFriendlySide(side))
        return IsFriendlySide(candidate.GetAttitude());
    if (side == kAttitudeHostile)
        return candidate.GetAttitude() == kAttitudeHostile;
    return false;
}

bool IsFoeOf(const CActor& seeker, const CActor& candidate)
{
    if (!candidate.IsVisibleTo(seeker))
        return false;
    const std::uint32_t side = seeker.GetAttitude();
    const std::uint32_t other = candidate.GetAttitude();
    if (side == kAttitudeBerserk || other == kAttitudeBerserk)
        return true;
    if (IsFriendlySide(side))
        return other == kAttitudeHostile;
    if (side == kAttitudeHostile)
        return IsFriendlySide(other);
    return false;
}

// d(n): 1..n.
std::uint32_t RollCooldown(int n)
{
    return 1u + static_cast<std::uint32_t>(static_cast<int>(RandomReal() * n) % n);
}

// Half the Durability, rounded down, is how often an actor can be restored.
std::int32_t RecoveriesLeft(const CActor& actor)
{
    return actor.GetAttribute(kAttributeDurability) / 2 - actor.GetFurtherCounter();
}

void QueueAttack(CActor& actor, const CActor& target)
{
    actor.QueueOrder(std::make_shared<CAttackOrder>(target.Id()), false);
}

void QueueCast(CActor& actor, const std::string& spell, std::uint32_t targetId)
{
    actor.QueueOrder(std::make_shared<CCastOrder>(spell, targetId), false);
}

bool HasEffectOfKind(const CSpell& spell, int kind)
{
    const auto& effects = spell.GetEffects();
    return std::any_of(effects.begin(), effects.end(),
                       [kind](const auto& effect) { return effect->GetKind() == kind; });
}

// Whether the target already carries what a Modify or Status effect would
// give it, so that casting again would be wasted.
bool AlreadyCarries(const CActor& target, const CSpell& spell)
{
    for (const auto& effect : spell.GetEffects())
    {
        if (effect->GetKind() == kSpellEffectModify)
        {
            const auto& modify = static_cast<const CSpellEffectModify&>(*effect);
            const auto& magnitude = *modify.GetMagnitude();
            const bool penalty = magnitude.GetDieAtLow() + magnitude.GetFixedAtLow() < 1;
            for (const auto& modifier : target.GetModifiers())
            {
                if ((modifier->GetMask() & modify.GetStatMask()) == 0 ||
                    modifier->GetStackingKind() != static_cast<std::uint32_t>(spell.GetSaveKind()))
                    continue;
                if ((modifier->GetValue() < 1) == penalty)
                    return true;
            }
        }
        else if (effect->GetKind() == kSpellEffectStatus)
        {
            const auto& status = static_cast<const CSpellEffectStatus&>(*effect);
            if (target.HasStatus(static_cast<std::uint32_t>(status.GetStatus())))
                return true;
        }
    }
    return false;
}

} // namespace

// ------------------------------------------------------------ targets

namespace
{

// The nearest fitting actor; of equally near ones the one latest in the list,
// as a walk in list order that takes every one no farther than the best
// would choose, whatever order the candidates come in.
class CTargetSearch
{
public:
    CTargetSearch(const CArea& area, CActor& actor, std::uint32_t flags, const CSpell* spell,
                  double range)
        : m_Area(area), m_Actor(actor), m_Flags(flags), m_Spell(spell), m_Range(range)
    {
    }

    void Consider(CActor& candidate, std::uint64_t order)
    {
        if (&candidate == &m_Actor)
            return;
        // The checks have no effects, so the cheap distance goes first: most
        // candidates are no nearer than the best one found. Farther along
        // either axis (with room for rounding) is farther for certain, and
        // needs no square root.
        const bool biased =
            (m_Flags & kFindSpellcasters) != 0 && candidate.GetClass() == kClassSpellcaster;
        if (m_Best != nullptr && !biased)
        {
            const double bound = m_BestDistance * (1.0 + 1e-9);
            if (std::abs(candidate.GetX() - m_Actor.GetX()) > bound ||
                std::abs(candidate.GetY() - m_Actor.GetY()) > bound)
                return;
        }
        double d = m_Actor.DistanceTo(candidate.GetX(), candidate.GetY());
        if (biased)
            d = std::max(d - kSpellcasterBias, 0.01);
        if (m_Best != nullptr &&
            (d > m_BestDistance || (d == m_BestDistance && order < m_BestOrder)))
            return;
        if ((m_Flags & kFindFoes) != 0 ? !IsFoeOf(m_Actor, candidate)
                                       : !IsFriendOf(m_Actor, candidate))
            return;
        if (m_Spell != nullptr && !CanSpellAffect(*m_Spell, candidate))
            return;
        if ((m_Flags & kFindInRange) != 0 &&
            (d > m_Range || !m_Area.CanTargetPoint(false, candidate.GetX(), candidate.GetY(),
                                                   m_Range, candidate.GetRadius(), m_Actor)))
            return;
        m_Best = &candidate;
        m_BestDistance = d;
        m_BestOrder = order;
    }

    // How far from the actor a candidate may stand and still be chosen.
    double Reach() const
    {
        double reach = std::numeric_limits<double>::infinity();
        if (m_Best != nullptr)
            reach = m_BestDistance * (1.0 + 1e-9) + 1e-9;
        if ((m_Flags & kFindInRange) != 0 && m_Range < reach)
            reach = m_Range;
        // A spellcaster counts nearer than it stands, also against the range.
        if ((m_Flags & kFindSpellcasters) != 0)
            reach += kSpellcasterBias;
        return reach;
    }

    // The sides a candidate can be on to pass the side checks.
    std::uint8_t Sides() const
    {
        using Index = CAreaCellIndex;
        const std::uint8_t side = Index::SideOf(m_Actor.GetAttitude());
        if ((m_Flags & kFindFoes) == 0)
            return side == Index::kSideFriendly || side == Index::kSideHostile ? side : 0;
        switch (side)
        {
        case Index::kSideBerserk:
            return Index::kAllSides;
        case Index::kSideFriendly:
            return Index::kSideHostile | Index::kSideBerserk;
        case Index::kSideHostile:
            return Index::kSideFriendly | Index::kSideBerserk;
        default:
            return Index::kSideBerserk;
        }
    }

    CActor* GetBest() const { return m_Best; }

private:
    const CArea& m_Area;
    CActor& m_Actor;
    std::uint32_t m_Flags;
    const CSpell* m_Spell;
    double m_Range;
    CActor* m_Best = nullptr;
    double m_BestDistance = 0.0;
    std::uint64_t m_BestOrder = 0;
};

} // namespace

CActor* CAI::FindTarget(CEngine& engine, CActor& actor, std::uint32_t flags, const CSpell* spell,
                        double range)
{
    const CArea* area = engine.Game().GetCurrentArea();
    if (area == nullptr)
        return nullptr;
    const CAreaCellIndex& index = area->ActorIndex();
    // Positions off the grid measure oddly (up to NaN): those take the walk.
    if (index.HasStrays() || !index.IsOnGrid(actor.GetX(), actor.GetY()))
        return FindTargetByWalk(engine, actor, flags, spell, range);
    CTargetSearch search(*area, actor, flags, spell, range);
    index.VisitRings(
        actor.GetX(), actor.GetY(), search.Sides(),
        [&search](CActor& candidate, std::uint64_t order) { search.Consider(candidate, order); },
        [&search] { return search.Reach(); });
    assert(search.GetBest() == FindTargetByWalk(engine, actor, flags, spell, range));
    return search.GetBest();
}

CActor* CAI::FindTargetByWalk(CEngine& engine, CActor& actor, std::uint32_t flags,
                              const CSpell* spell, double range)
{
    const CArea* area = engine.Game().GetCurrentArea();
    if (area == nullptr)
        return nullptr;
    CTargetSearch search(*area, actor, flags, spell, range);
    std::uint64_t order = 0;
    for (const auto& candidate : area->Actors())
        search.Consider(*candidate, order++);
    return search.GetBest();
}

void CAI::AttackNearest(CEngine& engine, CActor& actor, std::uint32_t flags)
{
    if (CActor* target = FindTarget(engine, actor, flags | kFindFoes, nullptr, 0.0))
        QueueAttack(actor, *target);
}

// ------------------------------------------------------------ dispatch

void CAI::Think(CEngine& engine, CActor& actor)
{
    switch (m_Kind)
    {
    case Kind::kStand:
        static_cast<CAIStand*>(this)->Think(engine, actor);
        break;
    case Kind::kCharge:
        static_cast<CAICharge*>(this)->Think(engine, actor);
        break;
    case Kind::kWander:
        static_cast<CAIWander*>(this)->Think(engine, actor);
        break;
    case Kind::kShoot:
        static_cast<CAIShoot*>(this)->Think(engine, actor);
        break;
    case Kind::kForceTalk:
        static_cast<CAIForceTalk*>(this)->Think(engine, actor);
        break;
    case Kind::kCast:
    case Kind::kAutocast:
        static_cast<CAIBaseCast*>(this)->Think(engine, actor);
        break;
    }
}

// ---------------------------------------------------------- behaviours

void CAIStand::Think(CEngine& engine, CActor& actor)
{
    if ((m_Flags & kFlagSneak) == 0 || !actor.HasSkill(kSkillSneak) || actor.IsSneaking())
        return;
    // Refused in combat: asking again every tick would only fill the log
    // with a lurker's excuses. It slips away once the fight is over.
    if (engine.Game().GetCombatFlag() != 0)
        return;
    for (const CSpell* spell : actor.GetSpells())
    {
        if (spell->GetSkill() == kSkillSneak)
        {
            actor.QueueInstantOrder(std::make_shared<CPowerOrder>(spell->GetKey()));
            return;
        }
    }
}

void CAICharge::Think(CEngine& engine, CActor& actor)
{
    if (DropsOrdersThisTick(actor))
        return;
    if (!actor.HasFrontOrder())
        AttackNearest(engine, actor, m_Flags);
}

void CAIShoot::Think(CEngine& engine, CActor& actor)
{
    if (IsEngaged(actor))
        return;
    if (actor.HasFrontOrder())
        actor.ClearOrders();
    const std::uint32_t state = actor.GetActivityState();
    if (state == kActivityAlarmed || state == kActivityAlerted)
        return;
    if (CActor* target = FindTarget(engine, actor, kFindFoes | kFindInRange, nullptr, kShootRange))
        QueueAttack(actor, *target);
}

void CAIWander::Think(CEngine& engine, CActor& actor)
{
    if (RandomReal() >= kRethinkChance)
        return;
    actor.ClearOrders();
    if (m_HomeX == 0.0)
    {
        m_HomeX = actor.GetX();
        m_HomeY = actor.GetY();
    }
    const CArea* area = engine.Game().GetCurrentArea();
    if (area == nullptr)
        return;
    const double width = area->GetWidth() * kCellSize;
    const double height = area->GetHeight() * kCellSize;
    for (int attempt = 0; attempt < kWanderAttempts; ++attempt)
    {
        const double x = std::clamp((2 * RandomReal() - 1) * m_Radius + m_HomeX, 0.0, width);
        const double y = std::clamp((2 * RandomReal() - 1) * m_Radius + m_HomeY, 0.0, height);
        if (area->IsClearOfTiles(&actor, nullptr, x, y) &&
            area->IsClearOfObjects(&actor, nullptr, x, y) &&
            area->IsClearOfActors(&actor, nullptr, x, y))
        {
            actor.QueueOrder(std::make_shared<CMoveOrder>(x, y), false);
            return;
        }
    }
}

void CAIForceTalk::Think(CEngine& engine, CActor& actor)
{
    if (actor.HasFrontOrder())
        return;
    const CGame& game = engine.Game();
    for (const std::string& tag : m_Tags)
        if (game.GetQuestTag(tag) != 0)
            return;
    const CArea* area = game.GetCurrentArea();
    CActor* found = nullptr;
    if (area == nullptr || !area->FindVisiblePartyMember(actor, &found, m_Range))
        return;
    if (found->GetAttitude() == kAttitudeParty)
        actor.QueueOrder(std::make_shared<CMoveTalkOrder>(found->Id()), false);
}

// ---------------------------------------------------------------- casting

void CAIBaseCast::Think(CEngine& engine, CActor& actor)
{
    SortSpells(actor);
    TryCast(engine, actor);
}

void CAIBaseCast::TryCast(CEngine& engine, CActor& actor)
{
    if (GetKind() == Kind::kCast)
        static_cast<CAICast*>(this)->TryCast(engine, actor);
    else if (GetKind() == Kind::kAutocast)
        static_cast<CAIAutocast*>(this)->TryCast(engine, actor);
}

void CAIBaseCast::SortSpells(const CActor& actor)
{
    if (m_Sorted)
        return;
    m_Sorted = true;
    for (const CSpell* spell : actor.GetSpells())
    {
        if (HasEffectOfKind(*spell, kSpellEffectSummon))
            m_Lists[kSummonSpells].push_back(spell);
        else if (HasEffectOfKind(*spell, kSpellEffectDamage))
            m_Lists[kDamageSpells].push_back(spell);
        else if (HasEffectOfKind(*spell, kSpellEffectHeal))
            m_Lists[kHealSpells].push_back(spell);
        else if (HasEffectOfKind(*spell, kSpellEffectModify) ||
                 HasEffectOfKind(*spell, kSpellEffectStatus))
            m_Lists[spell->IsHostile() ? kHinderSpells : kAidSpells].push_back(spell);
    }
}

const CSpell* CAIBaseCast::PickRandom(const SpellList& list)
{
    if (list.empty())
        return nullptr;
    const int n = static_cast<int>(list.size());
    return list[static_cast<std::size_t>(static_cast<int>(RandomReal() * n) % n)];
}

bool CAIBaseCast::CheckEnergy(CActor& actor, const CSpell& spell, bool& queued)
{
    const std::int32_t available =
        actor.IsDead() ? 0 : actor.GetMaxEnergyPoints() - actor.GetEnergySpent();
    if (available >= spell.GetEnergyCost())
        return true;
    if (m_NoPotion || RecoveriesLeft(actor) == 0)
        return false;
    const CItem* potion = FindEnergyPotion(actor);
    if (potion == nullptr)
    {
        m_NoPotion = true;
        return false;
    }
    // The use step finds the item by the order's item field; the actor
    // drinks it itself.
    actor.QueueOrder(std::make_shared<CUseOrder>(kUseItem, actor.Id(), potion->Id()), false);
    queued = true;
    return false;
}

CItem* CAIBaseCast::FindEnergyPotion(const CActor& actor) const
{
    CItem* best = nullptr;
    int bestLevel = 0;
    for (const auto& item : actor.Backpack())
    {
        if (item->GetTemplate()->GetItemType() != static_cast<std::uint32_t>(kItemTypePotion))
            continue;
        const auto* property =
            dynamic_cast<const CItemAttributeSpell*>(item->FindAttribute(kItemAttributeSpell));
        if (property == nullptr || property->GetSpell() == nullptr ||
            !HasEffectOfKind(*property->GetSpell(), kSpellEffectMana))
            continue;
        const int level = property->GetSpell()->GetLevel();
        if (best == nullptr || level >= bestLevel)
        {
            best = item.get();
            bestLevel = level;
        }
    }
    return best;
}

CActor* CAIBaseCast::ChooseTarget(CEngine& engine, CActor& actor, const CSpell& spell, bool& queued)
{
    if (spell.GetTargetMode() != kSpellTargetActor)
        return nullptr;
    if (!CheckEnergy(actor, spell, queued))
        return nullptr;
    return FindTarget(engine, actor, spell.IsHostile() ? kFindFoes : 0, &spell, 0.0);
}

bool CAIBaseCast::CastAtTile(CEngine& engine, CActor& actor, const CSpell& spell)
{
    if (spell.GetTargetMode() != kSpellTargetTile)
        return false;
    bool queued = false;
    if (!CheckEnergy(actor, spell, queued))
        return queued;
    const CActor* foe = FindTarget(engine, actor, kFindFoes, nullptr, 0.0);
    if (foe == nullptr)
        return false;
    const CArea* area = engine.Game().GetCurrentArea();
    const CTile* tile = area->GetTile(static_cast<std::uint32_t>(foe->GetX() / kCellSize),
                                      static_cast<std::uint32_t>(foe->GetY() / kCellSize));
    if (tile == nullptr)
        return false;
    QueueCast(actor, spell.GetKey(), tile->Id());
    return true;
}

bool CAIBaseCast::CastAtActor(CEngine& engine, CActor& actor, const CSpell& spell)
{
    bool queued = false;
    const CActor* target = ChooseTarget(engine, actor, spell, queued);
    if (target == nullptr)
        return queued;
    QueueCast(actor, spell.GetKey(), target->Id());
    return true;
}

bool CAIBaseCast::CastModifier(CEngine& engine, CActor& actor, const CSpell& spell)
{
    bool queued = false;
    const CActor* target = ChooseTarget(engine, actor, spell, queued);
    if (target == nullptr)
        return queued;
    if (AlreadyCarries(*target, spell))
        return false;
    QueueCast(actor, spell.GetKey(), target->Id());
    return true;
}

bool CAIBaseCast::CastHeal(CEngine& engine, CActor& actor, const CSpell& spell)
{
    bool queued = false;
    const CActor* target = ChooseTarget(engine, actor, spell, queued);
    if (target == nullptr)
        return queued;
    if (target->GetHitPoints() > target->GetMaxHitPoints() / 2 || RecoveriesLeft(*target) == 0)
        return false;
    QueueCast(actor, spell.GetKey(), target->Id());
    return true;
}

void CAICast::TryCast(CEngine& engine, CActor& actor)
{
    const std::uint32_t tick = engine.Game().GetTick();
    if (m_LastCastTick == 0 || m_LastCastTick + kCastSequenceReset < tick)
        m_Position = 0;
    if (m_Position >= m_SpellNames.size())
    {
        m_Fallback->Think(engine, actor);
        return;
    }
    if (actor.HasFrontOrder())
        return;
    const std::string& name = m_SpellNames[m_Position];
    const CSpell* spell = engine.Module().FindSpell(name);
    if (spell == nullptr)
        return;
    switch (spell->GetTargetMode())
    {
    case kSpellTargetSelf:
        QueueCast(actor, name, 0);
        break;
    case kSpellTargetActor:
        if (!CastAtActor(engine, actor, *spell))
            return;
        break;
    case kSpellTargetTile:
        if (!CastAtTile(engine, actor, *spell))
            return;
        break;
    default:
        break;
    }
    ++m_Position;
    m_LastCastTick = tick;
}

void CAIAutocast::TryCast(CEngine& engine, CActor& actor)
{
    if (DropsOrdersThisTick(actor))
        return;
    if (actor.HasFrontOrder())
        return;
    const std::uint32_t tick = engine.Game().GetTick();
    if ((m_Flags & kFlagSummon) != 0)
    {
        const CSpell* spell = PickRandom(m_Lists[kSummonSpells]);
        if (spell != nullptr && m_NextSummonTick < tick && CastAtTile(engine, actor, *spell))
        {
            m_NextSummonTick = tick + RollCooldown(kCooldownDie);
            return;
        }
    }
    if ((m_Flags & kFlagHinder) != 0)
    {
        const CSpell* spell = PickRandom(m_Lists[kHinderSpells]);
        if (spell != nullptr && m_NextHinderTick < tick && CastModifier(engine, actor, *spell))
        {
            m_NextHinderTick = tick + RollCooldown(kCooldownDie);
            return;
        }
    }
    if ((m_Flags & kFlagAid) != 0)
    {
        const CSpell* spell = PickRandom(m_Lists[kAidSpells]);
        if (spell != nullptr && m_NextAidTick < tick && CastModifier(engine, actor, *spell))
        {
            m_NextAidTick = tick + RollCooldown(kCooldownDie);
            return;
        }
    }
    if ((m_Flags & kFlagHeal) != 0)
    {
        const CSpell* spell = PickRandom(m_Lists[kHealSpells]);
        if (spell != nullptr && CastHeal(engine, actor, *spell))
            return;
    }
    if ((m_Flags & kFlagDamage) != 0)
    {
        const CSpell* spell = PickRandom(m_Lists[kDamageSpells]);
        if (spell != nullptr && CastAtActor(engine, actor, *spell))
            return;
    }
    AttackNearest(engine, actor, 0);
}

} // namespace VARD
