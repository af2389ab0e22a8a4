// The player's clicks in the area's view and the chosen action-bar slots
// turned into orders for the selected party members.

#include "app/game_app.h"

#include "common/exception.h"
#include "rules/engine.h"
#include "ui/ui_action.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <cmath>

namespace
{

// The single-precision quarter turn the formation is laid out with.
constexpr double kQuarterTurn = static_cast<double>(1.5707963705062866f);

const VARD::CSpell& SpellOfKey(const VARD::CEngine& engine, const std::string& key)
{
    const VARD::CSpell* spell = engine.Module().FindSpell(key);
    if (spell == nullptr)
        throw CVARDException(4, "no spell " + VARDCommon::QuoteForMessage(key) +
                                    " for the action bar");
    return *spell;
}

// The first backpack item of that template name, or null.
std::shared_ptr<VARD::CItem> BackpackItemNamed(const VARD::CActor& actor, const std::string& name)
{
    for (const auto& item : actor.GetBackpackItems())
        if (item->GetTemplate()->GetName() == name)
            return item;
    return nullptr;
}

// The move order the actor will end its queued walk with, or null.
const VARD::CMoveOrder* LastMoveOrder(const VARD::CActor& actor, VARD::OrderQueue& orders)
{
    orders = actor.GetOrders();
    const VARD::CMoveOrder* last = nullptr;
    for (const auto& order : orders)
        if (order->GetType() == VARD::kOrderMove)
            last = static_cast<const VARD::CMoveOrder*>(order.get());
    return last;
}

// The ground of a chest or a statue is where nobody can stand, and a walk
// ends only on arrival: a walk there would go on for ever.
bool IsBlockedPlace(const VARD::CObject& object, const VARD::CActor& actor, double x, double y)
{
    return object.GetTileKind() == VARD::kTileKindSolid &&
           object.DistanceToFootprint(x, y) <= actor.GetRadius();
}

} // namespace

void CGameApp::OnSceneClick(const VARDUI::Point& point, int actionType, int pickKind,
                            VARD::CThing* picked, bool replace)
{
    const std::shared_ptr<VARD::CActor> first = GetSelectedActor();
    switch (actionType)
    {
    case 0:
        OnScenePick(pickKind, point, picked, replace);
        break;
    case VARDUI::kActionSlotAttack:
    case VARDUI::kActionSlotTalk:
    {
        auto* target = dynamic_cast<VARD::CActor*>(picked);
        if (pickKind != VARDGraph::kPickActor || target == nullptr || !first)
            break;
        if (replace)
            ClearSelectedOrders();
        if (actionType == VARDUI::kActionSlotAttack)
            first->QueueOrder(std::make_shared<VARD::CAttackOrder>(target->Id()), false);
        else
            first->QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(target->Id()), false);
        ClearSlotSelectionIfSingle();
        break;
    }
    case VARDUI::kActionSlotCast:
    {
        const std::string key = GetSelectedActionSpell(first.get());
        if (key.empty() || !first)
            break;
        const VARD::CSpell& spell = SpellOfKey(*engine, key);
        if (spell.IsPower())
        {
            OrderPower(*first, spell);
            break;
        }
        if (replace)
            ClearSelectedOrders();
        OrderCast(*first, spell, pickKind, picked);
        break;
    }
    case VARDUI::kActionSlotUseItem:
    {
        if (!first)
            break;
        const auto item = BackpackItemNamed(*first, GetSelectedActionItem(first.get()));
        if (!item || !first->CanUseItem(*item, false))
            break;
        const int mode = item->GetWandTargetMode();
        if (mode != VARD::kSpellTargetSelf && mode != VARD::kSpellTargetTile &&
            mode != VARD::kSpellTargetActor)
            throw CVARDException(4, "no wand target mode " + std::to_string(mode));
        if ((mode == VARD::kSpellTargetActor && pickKind != VARDGraph::kPickActor) ||
            (mode == VARD::kSpellTargetTile && pickKind != VARDGraph::kPickTile) ||
            (mode != VARD::kSpellTargetSelf && picked == nullptr))
            break;
        const std::uint32_t target = mode == VARD::kSpellTargetSelf ? 0 : picked->Id();
        if (replace)
            ClearSelectedOrders();
        first->QueueOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseItem, target, item->Id()),
                          false);
        ClearSlotSelectionIfSingle();
        break;
    }
    default:
        throw CVARDException(4, "no action type " + std::to_string(actionType));
    }
    RequestRedraw();
}

void CGameApp::OnScenePick(int pickKind, const VARDUI::Point& point, VARD::CThing* picked,
                           bool replace)
{
    switch (pickKind)
    {
    case VARDGraph::kPickTile:
    {
        const auto* tile = dynamic_cast<const VARD::CTile*>(picked);
        if (tile == nullptr)
            return;
        if (replace)
            ClearSelectedOrders();
        if (tile->GetKind() == VARD::kTileKindDoor)
            OrderUseTile(*tile);
        else if (tile->GetKind() == VARD::kTileKindFloor)
        {
            double x = 0.0;
            double y = 0.0;
            if (ScreenPointToGround(point, x, y))
                OrderMove(x, y);
        }
        return;
    }
    case VARDGraph::kPickObject:
    {
        const auto* object = dynamic_cast<const VARD::CObject*>(picked);
        if (object == nullptr)
            return;
        if (replace)
            ClearSelectedOrders();
        if (object->GetFlag() || !object->GetTalkFiles().empty())
            OrderUseObject(*object);
        if (object->IsExit() && exitButton != nullptr &&
            exitButton->TestFlags(VARDUI::kUIFlagVisible) != 0)
        {
            LeaveArea();
            return;
        }
        double x = 0.0;
        double y = 0.0;
        if (ScreenPointToGround(point, x, y))
            OrderMove(x, y, object);
        return;
    }
    case VARDGraph::kPickActor:
    {
        const auto* actor = dynamic_cast<const VARD::CActor*>(picked);
        if (actor == nullptr)
            return;
        if (actor->GetAttitude() == VARD::kAttitudeParty)
        {
            SelectByClick(*actor);
            return;
        }
        if (replace)
            ClearSelectedOrders();
        if (actor->IsHostile())
            OrderAttack(*actor);
        else
            OrderMoveTalk(*actor);
        return;
    }
    default:
        return;
    }
}

void CGameApp::ClearSelectedOrders()
{
    std::vector<std::shared_ptr<VARD::CActor>> actors;
    CollectSelectedActors(actors);
    for (const auto& actor : actors)
        actor->ClearOrders();
}

void CGameApp::OrderMove(double x, double y, const VARD::CObject* clicked)
{
    std::vector<std::shared_ptr<VARD::CActor>> actors;
    CollectSelectedActors(actors);
    const std::size_t n = actors.size();
    if (n == 0)
        return;
    // With SHIFT the formation goes on from where the members will be.
    double sumX = 0.0;
    double sumY = 0.0;
    for (const auto& actor : actors)
    {
        VARD::OrderQueue orders;
        if (const VARD::CMoveOrder* last = LastMoveOrder(*actor, orders))
        {
            sumX += last->GetX();
            sumY += last->GetY();
        }
        else
        {
            sumX += actor->GetX();
            sumY += actor->GetY();
        }
    }
    const double centreX = sumX / static_cast<double>(n);
    const double centreY = sumY / static_cast<double>(n);
    // The formation faces the way from the party to the spot.
    const double heading = std::atan2(y - centreY, x - centreX);
    // Pairs side by side, one row behind another; an odd last member walks the middle.
    for (std::size_t i = 0; i < n; ++i)
    {
        const double row = static_cast<double>(i / 2);
        double destX = x - 5.0 * row * std::cos(heading);
        double destY = y - 5.0 * row * std::sin(heading);
        if (n % 2 == 0 || i != n - 1)
        {
            const double side = i % 2 == 0 ? heading - kQuarterTurn : heading + kQuarterTurn;
            destX += 2.5 * std::cos(side);
            destY += 2.5 * std::sin(side);
        }
        if (clicked == nullptr || !IsBlockedPlace(*clicked, *actors[i], destX, destY))
            actors[i]->QueueOrder(std::make_shared<VARD::CMoveOrder>(destX, destY), false);
    }
    ClearSlotSelectionIfSingle();
    RequestRedraw();
}

void CGameApp::OrderUseTile(const VARD::CTile& tile)
{
    const std::shared_ptr<VARD::CActor> first = GetSelectedActor();
    if (!first)
        return;
    first->QueueOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseDoor, tile.Id(), 0), false);
    ClearSlotSelectionIfSingle();
    RequestRedraw();
}

void CGameApp::OrderUseObject(const VARD::CObject& object)
{
    const std::shared_ptr<VARD::CActor> first = GetSelectedActor();
    if (!first)
        return;
    first->QueueOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseObject, object.Id(), 0), false);
    ClearSlotSelectionIfSingle();
    RequestRedraw();
}

void CGameApp::OrderMoveTalk(const VARD::CActor& target)
{
    const std::shared_ptr<VARD::CActor> first = GetSelectedActor();
    if (!first)
        return;
    first->QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(target.Id()), false);
    ClearSlotSelectionIfSingle();
    RequestRedraw();
}

void CGameApp::OrderAttack(const VARD::CActor& target)
{
    std::vector<std::shared_ptr<VARD::CActor>> actors;
    CollectSelectedActors(actors);
    for (const auto& actor : actors)
        actor->QueueOrder(std::make_shared<VARD::CAttackOrder>(target.Id()), false);
    ClearSlotSelectionIfSingle();
    RequestRedraw();
}

void CGameApp::OrderCast(VARD::CActor& actor, const VARD::CSpell& spell, int pickKind,
                         const VARD::CThing* picked)
{
    // A single target must be of the kind the spell aims at.
    if (!spell.HasFlag(VARD::kSpellFlagMultiTarget))
    {
        switch (spell.GetTargetMode())
        {
        case VARD::kSpellTargetSelf:
            break;
        case VARD::kSpellTargetActor:
            if (pickKind != VARDGraph::kPickActor)
                return;
            break;
        case VARD::kSpellTargetTile:
            if (pickKind != VARDGraph::kPickTile)
                return;
            break;
        default:
            throw CVARDException(4,
                                 "no spell target mode " + std::to_string(spell.GetTargetMode()));
        }
    }
    // A spell aimed at nothing casts with no target.
    const std::uint32_t target = picked != nullptr && pickKind != 0 ? picked->Id() : 0;
    actor.QueueOrder(std::make_shared<VARD::CCastOrder>(spell.GetKey(), target), false);
    ClearSlotSelectionIfSingle();
}

void CGameApp::OrderPower(VARD::CActor& actor, const VARD::CSpell& spell)
{
    // Choosing the power in use stops it; another starts if the actor meets its needs.
    if (actor.GetPower() == &spell)
        actor.QueueInstantOrder(std::make_shared<VARD::CPowerOrder>());
    else if (!actor.MeetsRequirement(spell))
        return;
    else
        actor.QueueInstantOrder(std::make_shared<VARD::CPowerOrder>(spell.GetKey()));
    ClearSlotSelectionIfSingle();
    ExecuteInstantOrders();
    RefillActionWindow();
}

// The slot was chosen just now, so it is the selected one that is read.
void CGameApp::ActivateActionSlot(int /*slot*/, VARD::CActor* actor)
{
    // Without a member there is no bar to act from.
    if (actor == nullptr)
        return;
    const int type = GetSelectedActionType(actor);
    const std::string spellKey = GetSelectedActionSpell(actor);
    const std::string itemName = GetSelectedActionItem(actor);
    switch (type)
    {
    case VARDUI::kActionSlotCast:
    {
        if (spellKey.empty())
            return;
        const VARD::CSpell& spell = SpellOfKey(*engine, spellKey);
        if (spell.IsPower())
            OrderPower(*actor, spell);
        else if (spell.GetTargetMode() == VARD::kSpellTargetSelf)
        {
            ClearSelectedOrders();
            OrderCast(*actor, spell, VARDGraph::kPickNothing, nullptr);
        }
        return;
    }
    case VARDUI::kActionSlotUseItem:
    {
        const auto item = BackpackItemNamed(*actor, itemName);
        if (!item || !actor->CanUseItem(*item, false))
            return;
        if (item->GetWandTargetMode() != VARD::kSpellTargetSelf)
            return;
        ClearSelectedOrders();
        actor->QueueOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseItem, 0, item->Id()), false);
        ClearSlotSelectionIfSingle();
        return;
    }
    default:
        return;
    }
}

void CGameApp::OrderReturnToEntrance(VARD::CActor* actor)
{
    if (actor == nullptr)
        return;
    actor->ClearOrders();
    actor->QueueOrder(std::make_shared<VARD::COrder>(VARD::kOrderReturnToEntrance), false);
    if (playerPaused != 0)
        TogglePause(true);
}

void CGameApp::SwapPartyPositions(std::uint32_t from, std::uint32_t to)
{
    const auto party = engine->Game().GetParty();
    if (from == to || from >= party.size() || to >= party.size())
        return;
    // The move takes effect at once, not in the order queue.
    party[from]->QueueInstantOrder(
        std::make_shared<VARD::CPositionOrder>(static_cast<std::int32_t>(to)));
    ExecuteInstantOrders();
    // The selection follows the member to its new place.
    RefreshActorInfos(false);
    SelectPartyMember(to);
}

void CGameApp::ClearSlotSelectionIfSingle()
{
    if (selectedMember == kWholePartySelected)
        return;
    ClearActionSlotSelection(GetSelectedActor().get());
}

bool CGameApp::ScreenPointToGround(const VARDUI::Point& point, double& x, double& y) const
{
    if (groundOfScreenPoint)
        return groundOfScreenPoint(point, x, y);
    gfx::Device* drawing = device ? device->Get() : nullptr;
    if (drawing == nullptr || sceneBuilt == 0)
        return false;
    float groundX = 0.0f;
    float groundZ = 0.0f;
    if (!scene.ScreenToGround(*drawing, static_cast<float>(point.x), static_cast<float>(point.y),
                              groundX, groundZ))
        return false;
    x = groundX;
    y = groundZ;
    return true;
}
