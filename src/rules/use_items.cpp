// Using items, doors and containers.

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
#include "world/script_record.h"
#include "world/spell.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <memory>
#include <string>
#include <vector>

namespace VARD
{

namespace
{

constexpr double kObjectReach = 5.0;

const CSpell& RequireItemSpell(const CItem& item)
{
    const auto* attribute =
        static_cast<const CItemAttributeSpell*>(item.FindAttribute(kItemAttributeSpell));
    if (attribute == nullptr)
        throw CVARDException(1, VARDCommon::QuoteForMessage(item.GetTemplate()->GetDisplayName()) +
                                    " carries no spell");
    return *attribute->GetSpell();
}

CTile& RequireTile(const CArea& area, std::uint32_t tileId)
{
    const std::uint32_t number = ThingNumberOf(tileId);
    CTile* tile = area.GetTile(number % 1000u, number / 1000u);
    if (tile == nullptr)
        throw CVARDException(2, "no tile " + std::to_string(tileId) + " in the area");
    return *tile;
}

} // namespace

void CEngine::DoUse(CActor& actor, const COrder& order, bool instant)
{
    CGame& game = Game();
    const auto& use = OrderAs<CUseOrder>(order);
    // Held here: a cast may use the item up while it runs.
    std::shared_ptr<CItem> item;
    for (const auto& held : actor.Backpack())
    {
        if (held->Id() == use.GetItemId())
            item = held;
    }
    if (!item)
    {
        game.AddMessage(kMessageInfo, actor.GetName() + " has no such item.");
        if (!instant)
            FinishOrder(actor, order);
        return;
    }
    if (!actor.CanUseItem(*item, false))
    {
        game.AddMessage(kMessageInfo, actor.GetName() + " can't use " +
                                          item->GetTemplate()->GetDisplayName() + ".");
        if (!instant)
            FinishOrder(actor, order);
        return;
    }
    switch (static_cast<int>(item->GetTemplate()->GetItemType()))
    {
    case kItemTypeScroll:
        InscribeScroll(actor, *item);
        if (!instant)
            FinishOrder(actor, order);
        break;
    case kItemTypePotion:
        // The timed dispatch drinks it.
        if (!instant && UseSpellItemB(actor, *item))
            FinishOrder(actor, order);
        break;
    case kItemTypeWand:
        if (!instant && UseSpellItemA(actor, *item, use.GetTargetId()))
            FinishOrder(actor, order);
        break;
    default:
        throw CVARDException(2, VARDCommon::QuoteForMessage(item->GetTemplate()->GetDisplayName()) +
                                    " is no potion, scroll or wand");
    }
}

void CEngine::InscribeScroll(CActor& actor, CItem& item)
{
    const CSpell& spell = RequireItemSpell(item);
    if (actor.KnowsSpell(spell))
        return;
    actor.AddSpell(spell);
    if (item.GetValue1() < 2)
        actor.RemoveBackpackItem(&item);
    else
        item.SetValue1(item.GetValue1() - 1);
    Game().AddMessage(kMessageInfo, actor.GetName() + " inscribes " + spell.GetDisplayName() + ".");
}

bool CEngine::UseSpellItemA(CActor& actor, CItem& item, std::uint32_t targetId)
{
    return DoCast(actor, targetId, RequireItemSpell(item), false, &item);
}

bool CEngine::UseSpellItemB(CActor& actor, CItem& item)
{
    return DoCast(actor, actor.Id(), RequireItemSpell(item), false, &item);
}

void CEngine::OpenDoor(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    CTile& cell = RequireTile(area, OrderAs<CUseOrder>(order).GetTargetId());

    if (!actor.IsWithinReachOfTile(cell.Id()))
    {
        const CMasterTileDoor* door = cell.GetDoor();
        MoveActorToward(actor, cell.GetColumn() * kCellSize + door->GetSizeX() * 1.25,
                        cell.GetRow() * kCellSize + door->GetSizeY() * 1.25);
        return;
    }
    if (area.GetCellKind(cell.GetColumn(), cell.GetRow()) != kTileKindDoor)
    {
        FinishOrder(actor, order);
        return;
    }
    CMasterTileDoor* door = cell.GetDoor();
    const std::vector<CTile*> cells = area.CollectDoorTiles(&cell);

    if (door->IsOpen())
    {
        for (const CTile* part : cells)
        {
            if (!part->GetDoor()->IsDoorwayClear())
            {
                FinishOrder(actor, order);
                return;
            }
        }
        for (const CTile* part : cells)
        {
            part->GetDoor()->SetOpen(false);
            area.RemoveOpenDoor(part->GetColumn(), part->GetRow());
        }
        game.PostEvent(std::make_shared<CInfoEvent>(kEventDoorClosed));
        game.PendingList().clear();
        FinishOrder(actor, order);
        return;
    }

    const std::uint32_t lock = door->GetLockValue();
    const std::int32_t check = actor.GetSkillCheck(kSpecialStatLocks);
    if (!OpensLock(check, lock))
    {
        game.AddMessage(kMessageLocked, actor.GetName() + " can't open the locked door " +
                                            FormatLockRoll(check, lock) + ".");
        FinishOrder(actor, order);
        return;
    }
    const bool picked = lock != 0;
    if (picked)
    {
        game.AddMessage(kMessageInfo, actor.GetName() + " picks the locked door " +
                                          FormatLockRoll(check, lock) + ".");
        door->SetLockValue(0);
    }
    if (CScript* script = door->GetScript())
    {
        if (RunScript(*script, &actor) == 0)
        {
            FinishOrder(actor, order);
            return;
        }
    }
    for (const CTile* part : cells)
    {
        part->GetDoor()->SetOpen(true);
        // A cell is listed once, however often it was opened.
        area.RemoveOpenDoor(part->GetColumn(), part->GetRow());
        area.AddOpenDoor(part->GetColumn(), part->GetRow());
    }
    FinishOrder(actor, order);
    StopSneaking(actor);
    game.PostEvent(std::make_shared<CInfoEvent>(picked ? kEventDoorPicked : kEventDoorOpened));
    game.PendingList().clear();
}

void CEngine::OpenContainerOrTalk(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    CObject* object = area.FindObjectById(OrderAs<CUseOrder>(order).GetTargetId());
    if (object == nullptr)
    {
        FinishOrder(actor, order);
        return;
    }
    if (object->DistanceToFootprint(actor.GetX(), actor.GetY()) > actor.GetRadius() + kObjectReach)
    {
        MoveActorToward(actor, object->GetX(), object->GetY());
        return;
    }
    if (!PickLock(actor, *object))
    {
        FinishOrder(actor, order);
        return;
    }
    FinishOrder(actor, order);
    StopSneaking(actor);
    if (object->GetTalkFiles().empty())
        game.PostEvent(std::make_shared<CInvEvent>(actor.Id(), object->Id()));
    else
        game.PostEvent(std::make_shared<CTalkEvent>(actor.Id(), object->Id()));
}

} // namespace VARD
