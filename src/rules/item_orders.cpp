// Wield, unwield, get, drop, split, combine and give, and the lock of a
// container.

#include "rules/engine.h"
#include "rules/rules_util.h"

#include "common/exception.h"
#include "rules/lock_roll.h"
#include "rules/order_cast.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/world_object.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

namespace VARD
{

namespace
{

constexpr std::uint32_t kItemTypeMoney = 10;
// The action kind whose time a wield into the hands costs.
constexpr int kActionWield = 3;
// Objects are reached from the actor's edge.
constexpr double kObjectReach = 5.0;

std::shared_ptr<CItem> RequireBackpackItem(const CActor& actor, std::uint32_t itemId)
{
    for (const auto& item : actor.Backpack())
    {
        if (item->Id() == itemId)
            return item;
    }
    throw CVARDException(3, VARDCommon::QuoteForMessage(actor.GetName()) + " carries no item " +
                                std::to_string(itemId));
}

std::uint32_t RequireSlot(std::int32_t slot)
{
    if (slot < 0 || slot >= static_cast<std::int32_t>(kEquipmentSlotCount))
        throw CVARDException(3, "no equipment slot " + std::to_string(slot));
    return static_cast<std::uint32_t>(slot);
}

const CItemAttributeWeapon& RequireWeapon(const CItem& item)
{
    const auto* weapon =
        static_cast<const CItemAttributeWeapon*>(item.FindAttribute(kItemAttributeWeapon));
    if (weapon == nullptr)
        throw CVARDException(2,
                             VARDCommon::QuoteForMessage(ItemName(item)) + " has no weapon data");
    return *weapon;
}

// A new item of the same kind carrying count units, for the actor.
std::shared_ptr<CItem> SplitOff(CGame& game, const CItem& item, std::uint32_t count,
                                const CActor& holder)
{
    auto part = std::make_shared<CItem>(game.NewThingId(kThingKindItem), item.GetTemplate(), count,
                                        item.GetValue2());
    part->SetHolder(holder.Id());
    return part;
}

} // namespace

void CEngine::DoWield(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const auto& wield = OrderAs<CWieldOrder>(order);
    const std::shared_ptr<CItem> item = RequireBackpackItem(actor, wield.GetItemId());
    const std::uint32_t slot = RequireSlot(wield.GetSlot());
    const std::string& name = actor.GetName();

    if (const auto& held = actor.GetEquipmentSlot(slot))
    {
        game.AddMessage(kMessageInfo, name + " can't wield " + ItemName(*item) +
                                          "; is already wielding " + ItemName(*held) + ".");
        return;
    }
    if (!actor.CanEquipInSlot(slot, *item))
    {
        game.AddMessage(kMessageInfo, name + " can't wield " + ItemName(*item) + ".");
        return;
    }
    if (slot == kSlotMainHand)
    {
        const auto& offHand = actor.GetEquipmentSlot(kSlotOffHand);
        if (RequireWeapon(*item).IsTwoHanded() && offHand)
        {
            game.AddMessage(kMessageInfo, name + " can't wield " + ItemName(*item) +
                                              " while holding " + ItemName(*offHand) + ".");
            return;
        }
    }
    else if (slot == kSlotOffHand)
    {
        const auto& mainHand = actor.GetEquipmentSlot(kSlotMainHand);
        if (mainHand && RequireWeapon(*mainHand).IsTwoHanded())
        {
            game.AddMessage(kMessageInfo, name + " can't wield " + ItemName(*item) +
                                              " while holding " + ItemName(*mainHand) + ".");
            return;
        }
    }

    if (item->GetValue1() <= 1)
    {
        actor.RemoveBackpackItem(item.get());
        actor.SetEquipmentSlot(slot, item);
    }
    else
    {
        auto single = SplitOff(game, *item, 1, actor);
        item->SetValue1(item->GetValue1() - 1);
        actor.SetEquipmentSlot(slot, std::move(single));
    }
    actor.ClearEngagement();
    if (slot == kSlotMainHand || slot == kSlotOffHand)
    {
        actor.SetAlerted(kActionWield, game.GetTick());
        if (actor.GetPower() != nullptr)
        {
            actor.StopPower();
            game.AddActorInfo(kEventActorUpkeepEnded, actor);
        }
    }
    game.AddActorInfo(kEventActorEquipment, actor);
}

void CEngine::DoUnwield(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const std::uint32_t slot = RequireSlot(OrderAs<CUnwieldOrder>(order).GetSlot());
    if (!actor.GetEquipmentSlot(slot))
    {
        game.AddMessage(kMessageInfo, actor.GetName() + " can't unwield that.");
        return;
    }
    actor.AddBackpackItem(actor.TakeEquippedItem(slot));
    actor.ClearEngagement();
    game.AddActorInfo(kEventActorEquipment, actor);
}

void CEngine::DoGet(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const auto& get = OrderAs<CGetOrder>(order);
    CArea& area = CurrentArea(game);
    CObject* object = area.FindObjectById(get.GetSourceId());
    if (object == nullptr)
        throw CVARDException(3, "no object " + std::to_string(get.GetSourceId()) + " to take from");
    if (object->DistanceToFootprint(actor.GetX(), actor.GetY()) > actor.GetRadius() + kObjectReach)
    {
        game.AddMessage(kMessageInfo,
                        actor.GetName() + " can't reach " + object->GetTalkName() + ".");
        return;
    }
    // Looked up before the lock, so that a bad id leaves the lock alone.
    std::shared_ptr<CItem> item;
    for (const auto& held : object->GetItems())
    {
        if (held->Id() == get.GetItemId())
            item = held;
    }
    if (!item)
        throw CVARDException(3, VARDCommon::QuoteForMessage(object->GetTalkName()) +
                                    " holds no item " + std::to_string(get.GetItemId()));
    if (!PickLock(actor, *object))
        return;

    object->RemoveItem(item.get());
    if (item->GetTemplate()->GetItemType() == kItemTypeMoney &&
        actor.GetAttitude() == kAttitudeParty)
    {
        game.AddGold(item->GetValue1());
        game.AddMessage(kMessageGold,
                        "The party has gained " + std::to_string(item->GetValue1()) + " gold.");
    }
    else
    {
        item->SetHolder(actor.Id());
        actor.AddBackpackItem(item);
        OnItemAcquired(*item);
    }
    if (object->IsPile() && object->GetItems().empty())
        area.RemoveObject(object);
}

void CEngine::DoDrop(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const auto& drop = OrderAs<CDropOrder>(order);
    const std::shared_ptr<CItem> item = RequireBackpackItem(actor, drop.GetItemId());
    if (item->GetTemplate()->HasFlag(kItemFlagNoGive))
    {
        game.AddMessage(kMessageInfo, actor.GetName() + " can't drop " + ItemName(*item) + ".");
        return;
    }
    CArea& area = CurrentArea(game);
    std::shared_ptr<CObject> pile;
    CObject* target = nullptr;
    if (ThingKindOf(drop.GetTargetId()) == 0)
    {
        pile = area.CreatePile(actor.GetX(), actor.GetY());
        target = pile.get();
    }
    else
    {
        target = area.FindObjectById(drop.GetTargetId());
        if (target == nullptr)
            throw CVARDException(3,
                                 "no object " + std::to_string(drop.GetTargetId()) + " to drop on");
        if (!actor.IsWithinReachOf(*target))
        {
            game.AddMessage(kMessageInfo,
                            actor.GetName() + " can't reach " + target->GetTalkName() + ".");
            return;
        }
        if (!PickLock(actor, *target))
            return;
    }
    target->AddItem(actor.RemoveBackpackItem(item.get()));
}

void CEngine::DoSplit(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const auto& split = OrderAs<CSplitOrder>(order);
    const std::shared_ptr<CItem> item = RequireBackpackItem(actor, split.GetItemId());
    const std::int32_t count = split.GetCount();
    if (count <= 0 || static_cast<std::uint32_t>(count) >= item->GetValue1())
        throw CVARDException(3, "cannot split " + std::to_string(count) + " off a stack of " +
                                    std::to_string(item->GetValue1()));
    actor.AddBackpackItem(SplitOff(game, *item, static_cast<std::uint32_t>(count), actor));
    item->SetValue1(item->GetValue1() - static_cast<std::uint32_t>(count));
}

void CEngine::DoCombine(CActor& actor, const COrder& order)
{
    const auto& combine = OrderAs<CCombineOrder>(order);
    const std::shared_ptr<CItem> kept = RequireBackpackItem(actor, combine.GetKeptId());
    const std::shared_ptr<CItem> added = RequireBackpackItem(actor, combine.GetAddedId());
    // Merging a stack into itself would throw the stack away.
    if (kept == added)
        throw CVARDException(3, "an item cannot be combined with itself");
    if (kept->GetTemplate()->GetName() != added->GetTemplate()->GetName())
        throw CVARDException(3, "cannot combine " + VARDCommon::QuoteForMessage(ItemName(*kept)) +
                                    " with " + VARDCommon::QuoteForMessage(ItemName(*added)));
    if (added->GetValue1() > std::numeric_limits<std::uint32_t>::max() - kept->GetValue1())
        throw CVARDException(3, "the combined stack of " +
                                    VARDCommon::QuoteForMessage(ItemName(*kept)) + " is too large");
    actor.RemoveBackpackItem(added.get());
    kept->SetValue1(kept->GetValue1() + added->GetValue1());
}

void CEngine::DoGive(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const auto& give = OrderAs<CGiveOrder>(order);
    CArea& area = CurrentArea(game);
    CActor* receiver = area.FindActorById(give.GetReceiverId());
    if (receiver == nullptr)
        throw CVARDException(3, "no actor " + std::to_string(give.GetReceiverId()) + " to give to");
    if (actor.GetAttitude() != kAttitudeParty || receiver->GetAttitude() != kAttitudeParty ||
        !actor.IsInMeleeRangeOf(*receiver))
        throw CVARDException(3, VARDCommon::QuoteForMessage(actor.GetName()) +
                                    " cannot hand anything to " +
                                    VARDCommon::QuoteForMessage(receiver->GetName()));
    const std::shared_ptr<CItem> item = RequireBackpackItem(actor, give.GetItemId());
    if (item->GetTemplate()->HasFlag(kItemFlagNoGive))
    {
        game.AddMessage(kMessageInfo, actor.GetName() + " can't give " + ItemName(*item) + ".");
        return;
    }
    receiver->AddBackpackItem(actor.RemoveBackpackItem(item.get()));
    OnItemAcquired(*item);
    item->SetHolder(receiver->Id());
}

bool CEngine::PickLock(CActor& actor, CObject& object)
{
    const std::uint32_t lock = object.GetLockValue();
    if (lock == 0)
        return true;
    CGame& game = Game();
    const std::int32_t check = actor.GetSkillCheck(kSpecialStatLocks);
    const std::string roll = FormatLockRoll(check, lock);
    if (OpensLock(check, lock))
    {
        game.AddMessage(kMessageLockPickedOrDisarmed, actor.GetName() + " picks the lock on " +
                                                          object.GetTalkName() + " " + roll + ".");
        StopSneaking(actor);
        object.SetLockValue(0);
        return true;
    }
    game.AddMessage(kMessageLocked,
                    actor.GetName() + " can't unlock " + object.GetTalkName() + " " + roll + ".");
    StopSneaking(actor);
    return false;
}

} // namespace VARD
