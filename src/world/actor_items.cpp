// Belongings of an actor (backpack, equipment, trade), its figure and its
// identity tests.

#include "world/actor.h"

#include "common/exception.h"
#include "common/shared_helpers.h"
#include "world/faction.h"
#include "world/item_template.h"
#include "world/module.h"

#include <algorithm>
#include <cmath>

namespace VARD
{

namespace
{

constexpr std::uint32_t kItemTypeMoney = 10;

void CheckSlot(std::uint32_t slot)
{
    if (slot >= kEquipmentSlotCount)
        throw CVARDException(2, "no equipment slot " + std::to_string(slot));
}

bool BuysType(const BuyTable& table, std::uint32_t itemType)
{
    return itemType < table.size() && table[itemType] != 0;
}

// Animation rows of the fighting styles.
enum : std::uint32_t
{
    kAnimCombat = 1,
    kAnimRangedCombat = 2,
    kAnimTwoHandedCombat = 3,
    kAnimAttack = 5,
    kAnimRangedAttack = 6,
    kAnimTwoHandedAttack = 7,
    kAnimDualAttack = 8,
    kAnimRecover = 10,
    kAnimRangedRecover = 11,
    kAnimTwoHandedRecover = 12,
};

constexpr int kStyleMarksman = 10;
constexpr int kStyleTwoHanded = 11;
constexpr int kStyleDualWield = 12;

} // namespace

// ------------------------------------------------------------------ backpack

void CActor::AddBackpackItem(std::shared_ptr<CItem> item)
{
    m_Backpack.push_back(std::move(item));
}

std::shared_ptr<CItem> CActor::RemoveBackpackItem(const CItem* item)
{
    const auto found = std::find_if(m_Backpack.begin(), m_Backpack.end(),
                                    [item](const auto& held) { return held.get() == item; });
    if (found == m_Backpack.end())
        throw CVARDException(1, "the item is not in the backpack of " +
                                    VARDCommon::QuoteForMessage(m_Name));
    std::shared_ptr<CItem> removed = *found;
    m_Backpack.erase(found);
    return removed;
}

// ------------------------------------------------------------------ equipment

const std::shared_ptr<CItem>& CActor::GetEquipmentSlot(std::uint32_t slot) const
{
    CheckSlot(slot);
    return m_Equipment[slot];
}

void CActor::SetEquipmentSlot(std::uint32_t slot, std::shared_ptr<CItem> item)
{
    CheckSlot(slot);
    m_Equipment[slot] = std::move(item);
    ForgetModifierTotals();
}

std::shared_ptr<CItem> CActor::TakeEquippedItem(std::uint32_t slot)
{
    CheckSlot(slot);
    std::shared_ptr<CItem> item = std::move(m_Equipment[slot]);
    m_Equipment[slot] = nullptr;
    ForgetModifierTotals();
    return item;
}

// ------------------------------------------------------------------ trade

ItemList CActor::CollectTradeItems() const
{
    ItemList items;
    for (const auto& item : m_Backpack)
    {
        const std::uint32_t itemType = item->GetTemplate()->GetItemType();
        if (itemType != kItemTypeMoney && BuysType(m_BuyTable, itemType))
            items.push_back(item);
    }
    return items;
}

bool CActor::GetSellPrice(const CItem& item, std::uint32_t& price) const
{
    const CItemTemplate& itemTemplate = *item.GetTemplate();
    if (!BuysType(m_BuyTable, itemTemplate.GetItemType()))
        return false;
    price = static_cast<std::uint32_t>(std::ceil(itemTemplate.GetValue() * 0.5));
    return true;
}

// ------------------------------------------------------------------ figure

void CActor::CollectGraphicNames(std::vector<std::string>& names) const
{
    names.push_back(m_GraphicName);
    if (m_Attitude != kAttitudeParty && !m_Colors)
        return;
    if (m_Gender > 2)
        throw CVARDException(2, "actor " + VARDCommon::QuoteForMessage(m_Name) + " has no gender " +
                                    std::to_string(m_Gender));
    for (const auto& item : m_Equipment)
    {
        if (!item)
            continue;
        // The graphic of the gender "none" is never filled in: no graphic.
        const std::string& graphic = item->GetTemplate()->GetGraphicName(m_Gender);
        if (graphic != "0" && !graphic.empty())
            names.push_back(graphic);
    }
}

void CActor::StartAttackAnimation()
{
    switch (GetFightingStyle())
    {
    case kStyleTwoHanded:
        SetAnimation(kAnimTwoHandedAttack, 0.0);
        break;
    case kStyleDualWield:
        SetAnimation(kAnimDualAttack, 0.0);
        break;
    case kStyleMarksman:
        SetAnimation(kAnimRangedAttack, 0.0);
        break;
    default:
        SetAnimation(kAnimAttack, 0.0);
        break;
    }
}

void CActor::StartStyleAnimation()
{
    switch (GetFightingStyle())
    {
    case kStyleTwoHanded:
        SetAnimation(kAnimTwoHandedRecover, 0.0);
        break;
    case kStyleMarksman:
        SetAnimation(kAnimRangedRecover, 0.0);
        break;
    default:
        SetAnimation(kAnimRecover, 0.0);
        break;
    }
}

void CActor::AdvanceAnimation(std::uint32_t id, double dt)
{
    if (id == kAnimCombat)
    {
        const int style = GetFightingStyle();
        if (style == kStyleTwoHanded)
            id = kAnimTwoHandedCombat;
        else if (style == kStyleMarksman)
            id = kAnimRangedCombat;
    }
    if (id != m_AnimationId)
        SetAnimation(id, 0.0);
    else
        m_AnimationTime += dt;
}

// ------------------------------------------------------------------ identity

std::string CActor::GetPeopleJournalKey() const
{
    if (m_TalkFiles.empty() || IsMainCharacter())
        return {};
    return m_TemplateName;
}

std::string CActor::GetFactionName() const
{
    if (m_Faction == nullptr)
        return "No Faction";
    return m_Faction->GetName() + " " + std::to_string(m_FactionRank + 1) + " (" +
           m_Faction->GetRankTitle(m_FactionRank) + ")";
}

void CActor::TracePosition() const
{
    NoOperation(m_Name, m_X, m_Y);
}

} // namespace VARD
