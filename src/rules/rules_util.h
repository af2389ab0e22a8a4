#pragma once

// Small pieces every rule file shares.

#include "common/exception.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"

#include <cmath>
#include <string>

namespace VARD
{

// Headings are taken from a quarter turn held in single precision.
constexpr double kQuarterTurn = 1.5707963705062866;

// Turns the actor toward a point of the ground.
inline void FaceToward(CActor& actor, double x, double y)
{
    actor.SetFacing(std::atan2(actor.GetY() - y, x - actor.GetX()) - kQuarterTurn);
}

// The rules act in the current area; code 2 without one.
inline CArea& CurrentArea(const CGame& game)
{
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        throw CVARDException(2, "no area is current");
    return *area;
}

// Ends a timed order. A script or a teleport may have emptied the queue while
// the order ran: an order that is no longer at the front has already ended.
inline void FinishOrder(CActor& actor, const COrder& order)
{
    const std::shared_ptr<COrder> front = actor.GetFrontOrder();
    if (front.get() == &order)
        actor.PopOrder(front);
}

inline const std::string& ItemName(const CItem& item)
{
    return item.GetTemplate()->GetDisplayName();
}

} // namespace VARD
