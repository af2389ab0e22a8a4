// Modifier totals, statuses, powers and the expiry of timed effects.

#include "world/actor.h"

#include "common/exception.h"
#include "common/random.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"
#include "world/spell_effect.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <limits>

namespace VARD
{

namespace
{

// Upkeep period of a running power.
constexpr std::uint32_t kPowerTicks = 300;

// Actor-information kinds posted when an actor's modifiers or statuses end,
// the same kinds the spell rules post when they add them.
constexpr std::int32_t kEventActorModifiers = 16;
constexpr std::int32_t kEventActorStatuses = 17;

// Best bonus and worst penalty of each stacking kind.
class CStackingTotals
{
public:
    explicit CStackingTotals(std::uint32_t mask) : m_Mask(mask) {}

    void Add(const CModifier& modifier)
    {
        if ((modifier.GetMask() & m_Mask) == 0)
            return;
        const std::uint32_t kind = modifier.GetStackingKind();
        if (kind >= kStackingKindCount)
            throw CVARDException(2, "modifier " + VARDCommon::QuoteForMessage(modifier.GetName()) +
                                        " has no stacking kind " + std::to_string(kind));
        const std::int32_t value = modifier.GetValue();
        if (value > 0)
            m_Best[kind] = std::max(m_Best[kind], value);
        else
            m_Worst[kind] = std::min(m_Worst[kind], value);
    }

    std::int32_t Sum() const
    {
        std::int32_t total = 0;
        for (std::uint32_t kind = 0; kind < kStackingKindCount; ++kind)
            total += m_Best[kind] + m_Worst[kind];
        return total;
    }

private:
    std::uint32_t m_Mask;
    std::array<std::int32_t, kStackingKindCount> m_Best{};
    std::array<std::int32_t, kStackingKindCount> m_Worst{};
};

// The modifier a worn item gives: the first Modify attribute of its template.
const CModifier* WornModifier(const CItem& item)
{
    const CItemAttribute* attribute = item.GetTemplate()->FindAttribute(kItemAttributeModify);
    if (attribute == nullptr)
        return nullptr;
    return static_cast<const CItemAttributeModify*>(attribute)->GetModifier().get();
}

std::string ExpiryMessage(const std::string& what, const std::string& actorName)
{
    return what + " (on " + actorName + ") expired.";
}

} // namespace

// ------------------------------------------------------------------ modifiers

std::int32_t CActor::GetModifierTotal(std::uint32_t mask) const
{
    // Not std::has_single_bit: without a popcount instruction in the target
    // that is a library call, and this runs for every actor many times a tick.
    if (mask == 0 || (mask & (mask - 1)) != 0)
        return SumModifiers(mask);
    const int bit = std::countr_zero(mask);
    if ((m_ModifierTotalsKnown & mask) != 0)
    {
        assert(m_ModifierTotals[bit] == SumModifiers(mask));
        return m_ModifierTotals[bit];
    }
    const std::int32_t total = SumModifiers(mask);
    m_ModifierTotals[bit] = total;
    m_ModifierTotalsKnown |= mask;
    return total;
}

std::int32_t CActor::SumModifiers(std::uint32_t mask) const
{
    CStackingTotals totals(mask);
    for (const auto& modifier : m_Modifiers)
        totals.Add(*modifier);
    for (const auto& item : m_Equipment)
    {
        if (!item)
            continue;
        if (const CModifier* worn = WornModifier(*item))
            totals.Add(*worn);
    }
    return totals.Sum();
}

void CActor::AddModifier(std::shared_ptr<CModifier> modifier)
{
    if (!modifier)
        throw CVARDException(2, "no modifier to add to " + VARDCommon::QuoteForMessage(m_Name));
    if (modifier->GetStackingKind() >= kStackingKindCount)
        throw CVARDException(2, "modifier " + VARDCommon::QuoteForMessage(modifier->GetName()) +
                                    " has no stacking kind " +
                                    std::to_string(modifier->GetStackingKind()));
    NoteExpiry(modifier->GetExpiryTick());
    m_Modifiers.push_back(std::move(modifier));
    ForgetModifierTotals();
}

std::shared_ptr<CModifier> CActor::AddModifierFromEffect(const CSpell& spell,
                                                         const CSpellEffectModify& effect,
                                                         std::uint32_t expiry, std::int32_t level,
                                                         bool silent)
{
    const auto& magnitude = effect.GetMagnitude();
    if (!magnitude)
        throw CVARDException(2, "the Modify effect of " +
                                    VARDCommon::QuoteForMessage(spell.GetKey()) +
                                    " has no magnitude");
    int die = 0;
    int fixed = 0;
    magnitude->GetDiceAt(level, die, fixed);
    const std::int32_t value = fixed + (die != 0 ? RandomDie(die) : 0);
    auto modifier =
        std::make_shared<CModifier>(spell.GetDisplayName(), expiry, effect.GetStatMask(), value,
                                    static_cast<std::uint32_t>(spell.GetSaveKind()), level, silent);
    AddModifier(modifier);
    return modifier;
}

std::shared_ptr<CModifier> CActor::AddSneakAttackModifier(std::uint32_t mask, std::int32_t value,
                                                          std::uint32_t expiry)
{
    auto modifier =
        std::make_shared<CModifier>("Sneak Attack", expiry, mask, value, kStackingPower, 0, true);
    AddModifier(modifier);
    return modifier;
}

void CActor::RemoveModifier(const CModifier* modifier)
{
    if (GetPowerModifier().get() == modifier)
        m_PowerModifier.reset();
    m_Modifiers.erase(std::remove_if(m_Modifiers.begin(), m_Modifiers.end(),
                                     [modifier](const auto& held)
                                     { return held.get() == modifier; }),
                      m_Modifiers.end());
    ForgetModifierTotals();
}

// ------------------------------------------------------------------ statuses

void CActor::AddStatus(std::uint32_t kind, std::uint32_t expiry)
{
    if (kind >= kStatusKindCount)
        throw CVARDException(2, "no status kind " + std::to_string(kind));
    for (const auto& status : m_Statuses)
    {
        if (status->GetKind() == kind)
        {
            status->SetExpiryTick(LaterExpiry(status->GetExpiryTick(), expiry));
            NoteExpiry(status->GetExpiryTick());
            return;
        }
    }
    switch (kind)
    {
    case kStatusFear:
    case kStatusHeld:
    case kStatusCharmed:
        ClearEngagement();
        break;
    case kStatusConfused:
    case kStatusDominated:
        InterruptOrders();
        break;
    default:
        break;
    }
    m_Statuses.push_back(std::make_shared<CActorStatus>(kind, expiry));
    NoteExpiry(expiry);
}

bool CActor::HasStatusInList(std::uint32_t kind) const
{
    return std::any_of(m_Statuses.begin(), m_Statuses.end(),
                       [kind](const auto& status) { return status->GetKind() == kind; });
}

void CActor::RemoveStatus(std::uint32_t kind)
{
    m_Statuses.erase(std::remove_if(m_Statuses.begin(), m_Statuses.end(),
                                    [kind](const auto& status)
                                    { return status->GetKind() == kind; }),
                     m_Statuses.end());
}

bool CActor::IsControlled() const
{
    return HasStatus(kStatusConfused) || HasStatus(kStatusDominated);
}

// ------------------------------------------------------------------ powers

bool CActor::ActivatePower(const CSpell& power, std::uint32_t now)
{
    // Checked first, so that a broken power changes nothing.
    const bool makesModifiers = !power.HasFlag(kSpellFlagMultiTarget);
    if (makesModifiers)
        for (const auto& effect : power.GetEffects())
            if (effect->GetKind() != kSpellEffectModify)
                throw CVARDException(2, "the power " + VARDCommon::QuoteForMessage(power.GetKey()) +
                                            " has an effect other than Modify");

    StopPower();
    if (power.GetEnergyCost() > GetEnergyPoints())
        return false;

    m_EnergySpent += power.GetEnergyCost();
    m_Power = &power;
    m_PowerEndTick = now + kPowerTicks;
    if (makesModifiers)
    {
        const std::int32_t level = GetSpellAttackBonus(power);
        for (const auto& effect : power.GetEffects())
            m_PowerModifier =
                AddModifierFromEffect(power, static_cast<const CSpellEffectModify&>(*effect),
                                      m_PowerEndTick, level, true);
    }
    return true;
}

void CActor::StopPower()
{
    if (const auto link = GetPowerModifier())
        RemoveModifier(link.get());
    m_PowerModifier.reset();
    m_Power = nullptr;
    m_PowerEndTick = 0;
}

// ------------------------------------------------------------------ expiry

void CActor::ExpireTimedEffects(std::uint32_t now, CGame& game)
{
    const auto expired = [now](const auto& effect) { return effect->HasExpired(now); };
    if (now < m_NextExpiry)
    {
        assert(std::none_of(m_Modifiers.begin(), m_Modifiers.end(), expired) &&
               std::none_of(m_Statuses.begin(), m_Statuses.end(), expired));
        AdvanceActivityState(now);
        return;
    }
    const bool partyMember = m_Attitude == kAttitudeParty;

    // Copied only when something ends: most ticks nothing does.
    const ModifierList modifiers =
        std::any_of(m_Modifiers.begin(), m_Modifiers.end(), expired) ? m_Modifiers : ModifierList();
    for (const auto& modifier : modifiers)
    {
        if (!modifier->HasExpired(now))
            continue;
        RemoveModifier(modifier.get());
        if (modifier->IsSilent())
            continue;
        game.AddMessage(kMessageInfo, ExpiryMessage(modifier->GetName(), m_Name));
        if (partyMember)
            game.AddActorInfo(kEventActorModifiers, *this);
    }

    const StatusList statuses =
        std::any_of(m_Statuses.begin(), m_Statuses.end(), expired) ? m_Statuses : StatusList();
    for (const auto& status : statuses)
    {
        if (!status->HasExpired(now))
            continue;
        m_Statuses.erase(std::find(m_Statuses.begin(), m_Statuses.end(), status));
        game.AddMessage(kMessageInfo, ExpiryMessage(status->GetDisplayName(), m_Name));
        if (partyMember)
            game.AddActorInfo(kEventActorStatuses, *this);
    }

    m_NextExpiry = std::numeric_limits<std::uint32_t>::max();
    for (const auto& modifier : m_Modifiers)
        NoteExpiry(modifier->GetExpiryTick());
    for (const auto& status : m_Statuses)
        NoteExpiry(status->GetExpiryTick());
    AdvanceActivityState(now);
}

void CActor::RestoreFully()
{
    m_Modifiers.clear();
    ForgetModifierTotals();
    m_PowerModifier.reset();
    m_Statuses.clear();
    m_DamageTaken = 0;
    m_LastDamage = 0;
    m_LastDamageSource = 0;
    m_FurtherCounter = 0;
    m_EnergySpent = 0;
    m_ActivityState = kActivityIdle;
    ClearCurrentTarget();
    m_Interrupted = false;
}

void CActor::RestoreEnergy(std::int32_t amount)
{
    m_EnergySpent = std::max(m_EnergySpent - amount, 0);
}

} // namespace VARD
