// Order queues, activity states and the target links of an actor.

#include "world/actor.h"

#include "common/exception.h"
#include "world/order.h"

#include <algorithm>
#include <cmath>

namespace VARD
{

namespace
{

// Ticks an alarm lasts before the actor counts as alerted.
constexpr std::uint32_t kAlarmTicks = 15;
// Wind-up of a melee engagement.
constexpr std::uint32_t kEngageTicks = 60;
// An engagement older than this starts afresh when the target changes.
constexpr std::uint32_t kEngagementRenewTicks = 195;

void PopFront(OrderQueue& queue, const std::shared_ptr<COrder>& order, const char* which)
{
    if (queue.empty() || queue.front() != order)
        throw CVARDException(2, std::string("the order is not at the front of the ") + which +
                                    " queue");
    queue.pop_front();
}

bool IsEngagedState(std::uint32_t state)
{
    return state == kActivityEngaged || state == kActivityEngagedReady;
}

} // namespace

// ------------------------------------------------------------------ queues

void CActor::QueueInstantOrder(std::shared_ptr<COrder> order)
{
    m_InstantOrders.push_back(std::move(order));
}

void CActor::QueueOrder(std::shared_ptr<COrder> order, bool force)
{
    if (!force && IsControlled())
        return;
    m_Orders.push_back(std::move(order));
}

std::shared_ptr<COrder> CActor::GetFrontInstantOrder() const
{
    return m_InstantOrders.empty() ? nullptr : m_InstantOrders.front();
}

std::shared_ptr<COrder> CActor::GetFrontOrder() const
{
    return m_Orders.empty() ? nullptr : m_Orders.front();
}

void CActor::PopInstantOrder(const std::shared_ptr<COrder>& order)
{
    PopFront(m_InstantOrders, order, "instant-order");
}

void CActor::PopOrder(const std::shared_ptr<COrder>& order)
{
    PopFront(m_Orders, order, "order");
    m_DetourMode = 0;
    m_LastBlockedTick = 0;
}

void CActor::ClearOrders()
{
    if (IsControlled())
        return;
    InterruptOrders();
}

void CActor::InterruptOrders()
{
    m_InstantOrders.clear();
    m_Orders.clear();
    m_DetourMode = 0;
    m_LastBlockedTick = 0;
    m_Interrupted = true;
}

// ------------------------------------------------------------------ activity

// A dead actor stays dead: an alarm spreading over a corpse must not make it
// alarmed, and in time idle, again.
void CActor::SetAlarm(std::uint32_t now)
{
    if (m_ActivityState == kActivityDead)
        return;
    if (m_ActivityState != kActivityAlerted)
        m_NextActionTick = 0;
    m_ActivityState = kActivityAlarmed;
    m_AlarmTick = now + kAlarmTicks;
}

void CActor::SetAlerted(int kind, std::uint32_t now)
{
    if (m_ActivityState == kActivityDead)
        return;
    if (m_ActivityState != kActivityAlarmed)
        m_ActivityState = kActivityAlerted;
    const double seconds = GetActionTime(kind);
    m_NextActionTick = now + static_cast<std::uint32_t>(std::trunc(seconds * 30.0));
}

void CActor::EngageMelee(std::uint32_t now, const CActor* target)
{
    m_ActivityState = kActivityEngaged;
    m_NextActionTick = now + kEngageTicks;
    m_EngagementTick = now;
    m_EngagementTargetId = target != nullptr ? target->Id() : 0;
}

void CActor::ClearEngagement()
{
    if (IsEngagedState(m_ActivityState))
        m_ActivityState = kActivityIdle;
    ClearCurrentTarget();
}

void CActor::AlertEngagedActors(bool alarm, std::uint32_t now)
{
    const std::vector<CActor*> engaged = std::move(m_TargetedBy);
    m_TargetedBy.clear();
    for (CActor* actor : engaged)
    {
        if (IsEngagedState(actor->m_ActivityState))
            actor->m_ActivityState = kActivityIdle;
        actor->m_CurrentTarget = nullptr;
        if (alarm)
            actor->SetAlarm(now);
    }
}

void CActor::AdvanceActivityState(std::uint32_t now)
{
    switch (m_ActivityState)
    {
    case kActivityDead:
    case kActivityIdle:
    case kActivityEngagedReady:
        break;
    case kActivityAlarmed:
        if (now >= m_AlarmTick)
            m_ActivityState = kActivityAlerted;
        break;
    case kActivityAlerted:
        if (now >= m_NextActionTick)
            m_ActivityState = kActivityIdle;
        break;
    case kActivityEngaged:
        if (now >= m_NextActionTick)
            m_ActivityState = kActivityEngagedReady;
        break;
    default:
        throw CVARDException(2, "actor " + VARDCommon::QuoteForMessage(m_Name) +
                                    " has no activity state " + std::to_string(m_ActivityState));
    }
}

// ------------------------------------------------------------------ targets

void CActor::SetCurrentTarget(std::uint32_t now, CActor* target)
{
    if (m_CurrentTarget != nullptr)
    {
        auto& list = m_CurrentTarget->m_TargetedBy;
        const auto found = std::find(list.begin(), list.end(), this);
        if (found == list.end())
            throw CVARDException(2, "actor " + VARDCommon::QuoteForMessage(m_Name) +
                                        " is missing from the targeted-by "
                                        "list of its target " +
                                        VARDCommon::QuoteForMessage(m_CurrentTarget->m_Name));
        list.erase(found);
    }
    m_CurrentTarget = target;
    if (target != nullptr)
        target->m_TargetedBy.push_back(this);
    if (now > m_EngagementTick && now - m_EngagementTick > kEngagementRenewTicks)
        m_EngagementTick = now;
}

void CActor::ClearCurrentTarget()
{
    if (m_CurrentTarget != nullptr)
        LeaveTargetOf(*m_CurrentTarget);
    m_CurrentTarget = nullptr;
}

void CActor::LeaveTargetOf(CActor& target)
{
    auto& list = target.m_TargetedBy;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void CActor::UnlinkTargets()
{
    ClearCurrentTarget();
    AlertEngagedActors(false, 0);
}

} // namespace VARD
