// What a brain does: it is roused by provocation, alerts and the sight of the
// party, equips its actor once, and runs the behaviour that fits its side.

#include "rules/engine.h"

#include "world/actor.h"
#include "world/ai.h"
#include "world/area.h"
#include "world/brain.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"

#include <algorithm>

namespace VARD
{

namespace
{

constexpr std::uint32_t kClassSpellcaster = 2;
constexpr int kSkillShieldStyle = 8;
// Weapon kinds 0..5 are trained by the skills of the same numbers.
constexpr std::uint32_t kTrainedWeaponKinds = 6;
constexpr std::int32_t kUntrainedWeaponPenalty = 40;

bool IsFriendlySide(std::uint32_t side)
{
    return side == kAttitudeParty || side == kAttitudeFriendly;
}

bool BuysNothing(const CActor& actor)
{
    const BuyTable& table = actor.GetBuyTable();
    return std::all_of(table.begin(), table.end(), [](int flag) { return flag == 0; });
}

void QueueWield(CActor& actor, const CItem& item, std::uint32_t slot)
{
    actor.QueueInstantOrder(std::make_shared<CWieldOrder>(item.Id(), static_cast<int>(slot)));
}

} // namespace

void CBrain::Rouse(CActor& actor)
{
    actor.SetAttitude(kAttitudeHostile);
    m_PendingAlerts.insert(m_PendingAlerts.end(), m_CallTags.begin(), m_CallTags.end());
}

bool CBrain::Provoke(CActor& actor, CActor*)
{
    if (IsFriendlySide(actor.GetAttitude()) || !m_Provokable)
        return false;
    Rouse(actor);
    return true;
}

bool CBrain::HearAlert(CActor& actor, const std::string& tag)
{
    if (IsFriendlySide(actor.GetAttitude()))
        return false;
    if (std::find(m_TriggerTags.begin(), m_TriggerTags.end(), tag) == m_TriggerTags.end())
        return false;
    Rouse(actor);
    return true;
}

bool CBrain::LookForParty(CActor& actor, const CArea& area)
{
    if (m_SightRange <= 0.0 || !area.FindVisiblePartyMember(actor, nullptr, m_SightRange))
        return false;
    Rouse(actor);
    return true;
}

void CBrain::Update(CEngine& engine, CActor& actor)
{
    if (!m_Equipped)
    {
        const std::uint32_t mainHand = ChooseWeapon(actor, kSlotMainHand, 0);
        ChooseWeapon(actor, kSlotOffHand, mainHand);
        ChooseArmor(actor, kSlotBody);
        if (actor.HasSkill(kSkillShieldStyle))
            ChooseArmor(actor, kSlotOffHand);
        ChooseAccessories(actor);
        m_Equipped = true;
    }
    if (actor.GetAttitude() == kAttitudeNeutral)
        m_CalmAI->Think(engine, actor);
    else
        m_RousedAI->Think(engine, actor);
}

std::uint32_t CBrain::ChooseWeapon(CActor& actor, std::uint32_t slot, std::uint32_t excludedId)
{
    const CItem* chosen = nullptr;
    std::int32_t best = -100;
    for (const auto& item : actor.Backpack())
    {
        if (item->GetTemplate()->GetItemType() != 0 ||
            (excludedId != 0 && item->Id() == excludedId))
            continue;
        if (!actor.CanEquipInSlot(slot, *item))
            continue;
        const auto* weapon =
            dynamic_cast<const CItemAttributeWeapon*>(item->FindAttribute(kItemAttributeWeapon));
        if (weapon == nullptr)
            continue;
        std::int32_t score =
            weapon->GetDieSize() / 2 + weapon->GetAttackBonus() + weapon->GetDamageBase();
        const std::uint32_t kind = weapon->GetWeaponKind();
        if (kind < kTrainedWeaponKinds && !actor.HasSkill(static_cast<int>(kind)))
            score -= kUntrainedWeaponPenalty;
        if (score > best)
        {
            best = score;
            chosen = item.get();
        }
    }
    if (chosen == nullptr)
        return 0;
    QueueWield(actor, *chosen, slot);
    return chosen->Id();
}

std::uint32_t CBrain::ChooseArmor(CActor& actor, std::uint32_t slot)
{
    const std::uint32_t wanted = slot == kSlotBody ? 1u : 2u;
    const CItem* chosen = nullptr;
    std::int32_t best = 0;
    for (const auto& item : actor.Backpack())
    {
        if (item->GetTemplate()->GetItemType() != wanted || !actor.CanEquipInSlot(slot, *item))
            continue;
        const auto* armor =
            dynamic_cast<const CItemAttributeArmor*>(item->FindAttribute(kItemAttributeArmor));
        if (armor == nullptr)
            continue;
        const bool skilled = actor.HasSkill(static_cast<int>(armor->GetArmorSkill()));
        const bool casterCloth =
            actor.GetClass() == kClassSpellcaster && armor->GetSpellPenalty() == 0;
        if (!skilled && !casterCloth)
            continue;
        if (armor->GetDefenseClass() > best)
        {
            best = armor->GetDefenseClass();
            chosen = item.get();
        }
    }
    if (chosen == nullptr)
        return 0;
    QueueWield(actor, *chosen, slot);
    return chosen->Id();
}

void CBrain::ChooseAccessories(CActor& actor)
{
    // A trader keeps its stock for sale.
    if (!BuysNothing(actor))
        return;
    std::uint32_t secondRing = 0;
    for (const std::uint32_t slot : {kSlotHead, kSlotNeck, kSlotRing2, kSlotRing1})
    {
        const std::uint32_t excluded = slot == kSlotRing1 ? secondRing : 0;
        for (const auto& item : actor.Backpack())
        {
            if ((excluded != 0 && item->Id() == excluded) || !actor.CanEquipInSlot(slot, *item))
                continue;
            QueueWield(actor, *item, slot);
            if (slot == kSlotRing2)
                secondRing = item->Id();
            break;
        }
    }
}

} // namespace VARD
