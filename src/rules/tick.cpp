// The tick's fixed sequence of steps and the dispatch of instant orders.

#include "rules/engine.h"

#include "common/exception.h"
#include "rules/actor_loop.h"
#include "rules/order_cast.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/order.h"

#include <optional>
#include <vector>

namespace VARD
{

void CEngine::Tick()
{
    CGame& game = Game();
    game.AdvanceTick();
    game.SetState(kGameRunning);
    PropagateAlerts();
    UpdateActors();
    UpkeepPowers();
    ExecuteInstantOrders();
    game.SetCombatFlag(IsPartySafe() ? 0 : 1);
    ExecuteTimedOrders();
    UpdateEffects();
    UpdateTraps();
    UpdateAmbience();
    ProcessDeaths();
    ExpireCreatedItems();
    UpdateStealth();
    CheckAreaExits();
}

void CEngine::ExecuteInstantOrders()
{
    CGame& game = Game();
    // Dead members stand in no area, yet their drop and give orders run.
    std::optional<CActorLoop> loop;
    if (const CArea* area = game.GetCurrentArea())
        loop.emplace(m_ActorSnapshot, *area);
    std::vector<std::shared_ptr<CActor>> withDead;
    for (const auto& member : game.Party())
    {
        if (!member->IsDead())
            continue;
        if (withDead.empty() && loop)
            withDead = loop->List();
        withDead.push_back(member);
    }
    const std::vector<std::shared_ptr<CActor>>& actors =
        !withDead.empty() || !loop ? withDead : loop->List();

    for (const auto& actor : CPrefetchedActors(actors))
    {
        while (const std::shared_ptr<COrder> order = actor->GetFrontInstantOrder())
        {
            try
            {
                RunInstantOrder(*actor, order);
            }
            catch (...)
            {
                // A failed order left at the front would fail every later
                // call, and the game could never go on.
                if (actor->GetFrontInstantOrder() == order)
                    actor->PopInstantOrder(order);
                throw;
            }
            if (actor->GetFrontInstantOrder() != order)
                throw CVARDException(2, "an instant order of " +
                                            VARDCommon::QuoteForMessage(actor->GetName()) +
                                            " left its queue while it ran");
            actor->PopInstantOrder(order);
        }
    }
}

void CEngine::RunInstantOrder(CActor& actor, const std::shared_ptr<COrder>& order)
{
    const std::int32_t type = order->GetType();
    switch (type)
    {
    case kOrderWield:
        DoWield(actor, *order);
        break;
    case kOrderUnwield:
        DoUnwield(actor, *order);
        break;
    case kOrderGet:
        DoGet(actor, *order);
        break;
    case kOrderDrop:
        DoDrop(actor, *order);
        break;
    case kOrderSplit:
        DoSplit(actor, *order);
        break;
    case kOrderCombine:
        DoCombine(actor, *order);
        break;
    case kOrderGive:
        DoGive(actor, *order);
        break;
    case kOrderUse:
        if (OrderAs<CUseOrder>(*order).GetUseKind() != kUseItem)
            throw CVARDException(3, "only an item is used at once");
        DoUse(actor, *order, true);
        break;
    case kOrderTalk:
        DoTalk(actor, *order);
        break;
    case kOrderLeaveParty:
        DismissPartyMember(actor, *order);
        break;
    case kOrderPosition:
        Game().SwapPartyMembers(static_cast<std::int32_t>(actor.GetPartyIndex()),
                                OrderAs<CPositionOrder>(*order).GetPosition());
        break;
    case kOrderSpendPoints:
        DoSpendPoints(actor, *order);
        break;
    case kOrderPower:
        DoPower(actor, *order);
        break;
    case kOrderStore:
        DoStore(actor, *order);
        break;
    default:
        // Below 3, above 17, and the cast order, which takes its time.
        throw CVARDException(2, "order " + std::to_string(type) + " is no instant order");
    }
}

} // namespace VARD
