// The movement step and its obstacle detours. There is no path search: a
// walker heads straight for its point and, when something is in the way,
// goes around that one obstacle with a small state machine kept on the actor.

#include "rules/engine.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/modifier.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <cmath>
#include <string>

namespace VARD
{

namespace
{

// The angles of the rules, rounded to single precision as the rules take them.
constexpr double kHalfPi = 1.5707963705062866;
constexpr double kPi = 3.1415927410125732;
constexpr double kQuarterPi = 0.7853981852531433;
constexpr double kThreeQuarterPi = 2.356194496154785;

constexpr std::uint32_t kAnimDefault = 0;
constexpr std::uint32_t kAnimMove = 4;
constexpr double kWalkPhasePerTick = 0.03333333333333333;
constexpr double kSneakPhasePerTick = 0.02222222222222222;

enum : std::uint32_t
{
    kDetourStraight = 0,
    kDetourEdge = 1,
    kDetourCircle = 2,
};

enum : std::uint32_t
{
    kAxisUp = 0,    // -y
    kAxisRight = 1, // +x
    kAxisDown = 2,  // +y
    kAxisLeft = 3,  // -x
};

constexpr std::uint32_t kTurnLeft = 1;
constexpr std::uint32_t kTurnRight = 0;
constexpr std::uint32_t kMaxEdgeWaitTicks = 30;

std::uint32_t AxisDirectionOf(double angle)
{
    if (angle > kThreeQuarterPi)
        return kAxisLeft;
    if (angle > kQuarterPi)
        return kAxisDown;
    if (angle > -kQuarterPi)
        return kAxisRight;
    if (angle > -kThreeQuarterPi)
        return kAxisUp;
    return kAxisLeft;
}

std::uint32_t ReverseAxis(std::uint32_t direction)
{
    return (direction + 2u) % 4u;
}

double Distance(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

// A blocker whose id names a kind it is not of cannot be gone around.
template <typename T> const T& ThingAs(const CThing& thing)
{
    const T* typed = dynamic_cast<const T*>(&thing);
    if (typed == nullptr)
        throw CVARDException(2, "thing " + std::to_string(thing.Id()) +
                                    " is not of the kind its id names");
    return *typed;
}

enum class EStep
{
    Continue,
    Stop,
};

// One call of the movement step for one actor.
class CMoveStep
{
public:
    CMoveStep(const CArea& area, CActor& actor, double tx, double ty, double step,
              std::uint32_t now)
        : m_Area(area), m_Actor(actor), m_Tx(tx), m_Ty(ty), m_Step(step), m_Now(now)
    {
    }

    bool Run()
    {
        // Every mode either stops or hands over to another that stops; the
        // bound only guards against a cycle the modes should never make.
        for (int round = 0; round < 8; ++round)
        {
            EStep next = EStep::Stop;
            switch (m_Actor.GetDetourMode())
            {
            case kDetourStraight:
                next = WalkStraight();
                break;
            case kDetourEdge:
                next = FollowEdge();
                break;
            case kDetourCircle:
                next = CircleActor();
                break;
            default:
                throw CVARDException(2, "actor " + VARDCommon::QuoteForMessage(m_Actor.GetName()) +
                                            " has detour mode " +
                                            std::to_string(m_Actor.GetDetourMode()));
            }
            if (next == EStep::Stop)
                break;
        }
        return m_Arrived;
    }

private:
    double X() const { return m_Actor.GetX(); }
    double Y() const { return m_Actor.GetY(); }

    bool Fits(double x, double y, CThing** blocker) const
    {
        return m_Area.IsPositionFree(&m_Actor, x, y, blocker);
    }

    void MoveTo(double x, double y)
    {
        m_Actor.SetFacing(std::atan2(Y() - y, x - X()) - kHalfPi);
        m_Actor.SetPosition(x, y);
    }

    // Moves when the point is free; the blocker is handed back otherwise.
    bool TryMove(double x, double y, CThing** blocker)
    {
        if (!Fits(x, y, blocker))
            return false;
        MoveTo(x, y);
        return true;
    }

    bool StraightStep(CThing** blocker)
    {
        const double d = Distance(X(), Y(), m_Tx, m_Ty);
        double nx = m_Tx;
        double ny = m_Ty;
        if (m_Step <= d)
        {
            nx = X() - (X() - m_Tx) * m_Step / d;
            ny = Y() - (Y() - m_Ty) * m_Step / d;
        }
        if (!TryMove(nx, ny, blocker))
            return false;
        m_Arrived = d < m_Step;
        return true;
    }

    bool AxisStep(std::uint32_t direction, CThing** blocker)
    {
        double x = X();
        double y = Y();
        switch (direction)
        {
        case kAxisUp:
            y -= m_Step;
            break;
        case kAxisRight:
            x += m_Step;
            break;
        case kAxisDown:
            y += m_Step;
            break;
        default:
            x -= m_Step;
            break;
        }
        return TryMove(x, y, blocker);
    }

    EStep WalkStraight()
    {
        CThing* blocker = nullptr;
        if (StraightStep(&blocker))
            return EStep::Stop;
        // Off the grid nothing names itself as the obstacle: there is nothing
        // to go around, so the walker waits where it is.
        if (blocker == nullptr)
            return EStep::Stop;

        const double a = std::atan2(m_Ty - Y(), m_Tx - X());
        const std::uint32_t vertical = a > 0.0 ? kAxisDown : kAxisUp;
        const std::uint32_t horizontal = (a >= kHalfPi || a <= -kHalfPi) ? kAxisLeft : kAxisRight;
        const std::uint32_t id = blocker->Id();
        switch (ThingKindOf(id))
        {
        case kThingKindTile:
            StartTileEdge(ThingNumberOf(id), vertical, horizontal);
            return EStep::Continue;
        case kThingKindObject:
            StartObjectEdge(ThingAs<CObject>(*blocker), a, vertical, horizontal);
            return EStep::Continue;
        case kThingKindActor:
        {
            const auto& other = ThingAs<CActor>(*blocker);
            m_Actor.SetDetourMode(kDetourCircle);
            CActor::CDetour& detour = m_Actor.Detour();
            detour.circledActorId = id;
            const double b = std::atan2(other.GetY() - Y(), other.GetX() - X());
            const double e = a - b;
            detour.turnSide = ((0.0 < e && e < kPi) || e <= -kPi) ? kTurnLeft : kTurnRight;
            return EStep::Continue;
        }
        default:
            throw CVARDException(2, "actor " + VARDCommon::QuoteForMessage(m_Actor.GetName()) +
                                        " is blocked by thing " + std::to_string(id));
        }
    }

    void StartTileEdge(std::uint32_t number, std::uint32_t vertical, std::uint32_t horizontal)
    {
        const std::uint32_t column = number % 1000u;
        const std::uint32_t row = number / 1000u;
        const double cx = (column + 0.5) * kCellSize;
        const double cy = (row + 0.5) * kCellSize;
        m_Actor.SetDetourMode(kDetourEdge);
        CActor::CDetour& detour = m_Actor.Detour();
        detour.blockedDirection = AxisDirectionOf(std::atan2(cy - Y(), cx - X()));
        switch (detour.blockedDirection)
        {
        case kAxisUp:
            detour.slideDirection = horizontal;
            detour.edge = cy + 1.25;
            break;
        case kAxisDown:
            detour.slideDirection = horizontal;
            detour.edge = cy - 1.25;
            break;
        case kAxisRight:
            detour.slideDirection = vertical;
            detour.edge = cx - 1.25;
            break;
        default:
            detour.slideDirection = vertical;
            detour.edge = cx + 1.25;
            break;
        }
    }

    void StartObjectEdge(const CObject& object, double a, std::uint32_t vertical,
                         std::uint32_t horizontal)
    {
        const double ox = object.GetX();
        const double oy = object.GetY();
        const double halfX = object.GetSizeX() / 2.0;
        const double halfY = object.GetSizeY() / 2.0;
        std::uint32_t direction = 0;
        if (ox - halfX < X() && X() < ox + halfX)
            direction = vertical;
        else if (oy - halfY < Y() && Y() < oy + halfY)
            direction = horizontal;
        else
            direction = AxisDirectionOf(a);

        m_Actor.SetDetourMode(kDetourEdge);
        CActor::CDetour& detour = m_Actor.Detour();
        detour.blockedDirection = direction;
        switch (direction)
        {
        case kAxisUp:
            detour.slideDirection = horizontal;
            detour.edge = oy <= Y() ? oy + halfY : oy - halfY;
            break;
        case kAxisDown:
            detour.slideDirection = horizontal;
            detour.edge = oy < Y() ? oy + halfY : oy - halfY;
            break;
        case kAxisRight:
            detour.slideDirection = vertical;
            detour.edge = ox < X() ? ox + halfX : ox - halfX;
            break;
        default:
            detour.slideDirection = vertical;
            detour.edge = ox <= X() ? ox + halfX : ox - halfX;
            break;
        }
    }

    bool IsEdgePassed() const
    {
        const CActor::CDetour& detour = m_Actor.GetDetour();
        const double e = detour.edge;
        const double r = m_Actor.GetRadius();
        switch (detour.blockedDirection)
        {
        case kAxisUp:
            return Y() < e - r || m_Ty > e + 2.0 * r;
        case kAxisDown:
            return Y() > e + r || m_Ty < e - 2.0 * r;
        case kAxisRight:
            return X() > e + r || m_Tx < e - 2.0 * r;
        default:
            return X() < e - r || m_Tx > e + 2.0 * r;
        }
    }

    EStep FollowEdge()
    {
        if (IsEdgePassed())
        {
            m_Actor.SetDetourMode(kDetourStraight);
            return EStep::Stop;
        }
        CActor::CDetour& detour = m_Actor.Detour();
        if (AxisStep(detour.blockedDirection, nullptr))
            return EStep::Stop;

        for (int attempt = 0; attempt < 2; ++attempt)
        {
            CThing* blocker = nullptr;
            if (AxisStep(detour.slideDirection, &blocker))
                return EStep::Stop;
            if (blocker != nullptr && ThingKindOf(blocker->Id()) == kThingKindActor &&
                WaitsForActor())
                return EStep::Stop;
            if (attempt == 0)
                detour.slideDirection = ReverseAxis(detour.slideDirection);
        }
        return EStep::Stop;
    }

    // An actor in the way is waited for, up to a number of consecutive
    // ticks; false when the wait is over and the slide turns around.
    bool WaitsForActor()
    {
        CActor::CDetour& detour = m_Actor.Detour();
        const std::uint32_t previous = m_Now - 1u;
        if (m_Actor.GetLastBlockedTick() != previous)
        {
            detour.waitCounter = 0;
            m_Actor.SetLastBlockedTick(m_Now);
            return true;
        }
        if (detour.waitCounter < kMaxEdgeWaitTicks)
        {
            ++detour.waitCounter;
            m_Actor.SetLastBlockedTick(m_Now);
            return true;
        }
        m_Actor.SetLastBlockedTick(0);
        return false;
    }

    EStep CircleActor()
    {
        CActor::CDetour& detour = m_Actor.Detour();
        const CActor* circled = m_Area.FindActorById(detour.circledActorId);
        if (circled == nullptr)
        {
            m_Actor.SetDetourMode(kDetourStraight);
            return EStep::Continue;
        }

        const double bx = circled->GetX();
        const double by = circled->GetY();
        if (Distance(X(), Y(), m_Tx, m_Ty) <= Distance(bx, by, m_Tx, m_Ty))
        {
            CThing* blocker = nullptr;
            if (StraightStep(&blocker) || blocker != circled)
            {
                m_Actor.SetDetourMode(kDetourStraight);
                return EStep::Stop;
            }
        }

        if (Distance(X(), Y(), bx, by) > m_Actor.GetRadius() + circled->GetRadius() + kCellSize)
        {
            m_Actor.SetDetourMode(kDetourStraight);
            return EStep::Stop;
        }

        // Two walkers circling each other turn the same way, or they would
        // dance on the spot.
        if (circled->GetDetourMode() == kDetourCircle &&
            circled->GetDetour().circledActorId == m_Actor.Id() &&
            circled->GetDetour().turnSide != detour.turnSide)
            detour.turnSide = circled->GetDetour().turnSide;

        const double b = std::atan2(by - Y(), bx - X());
        for (int attempt = 0; attempt < 2; ++attempt)
        {
            const double t = detour.turnSide == kTurnLeft ? b + kHalfPi : b - kHalfPi;
            CThing* blocker = nullptr;
            if (TryMove(X() + std::cos(t) * m_Step, Y() + std::sin(t) * m_Step, &blocker))
                return EStep::Stop;
            if (attempt == 0)
            {
                if (blocker != nullptr && ThingKindOf(blocker->Id()) == kThingKindActor)
                {
                    detour.circledActorId = blocker->Id();
                    return EStep::Stop;
                }
                detour.turnSide = detour.turnSide == kTurnLeft ? kTurnRight : kTurnLeft;
            }
        }
        return EStep::Stop;
    }

    const CArea& m_Area;
    CActor& m_Actor;
    double m_Tx;
    double m_Ty;
    double m_Step;
    std::uint32_t m_Now;
    bool m_Arrived = false;
};

} // namespace

bool CEngine::MoveActorToward(CActor& actor, double x, double y)
{
    CGame& game = Game();
    const CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        throw CVARDException(2, "actor " + VARDCommon::QuoteForMessage(actor.GetName()) +
                                    " walks outside any area");

    if (actor.HasStatus(kStatusImmobile))
    {
        actor.SetAnimation(kAnimDefault, 0.0);
        return false;
    }
    if (actor.GetAnimationId() != kAnimMove)
        actor.SetAnimation(kAnimMove, 0.0);
    else
        actor.SetAnimation(kAnimMove,
                           actor.GetAnimationTime() +
                               (actor.IsSneaking() ? kSneakPhasePerTick : kWalkPhasePerTick));
    if (!actor.GetTargetedBy().empty())
        return false;

    const double step = actor.GetMovementSpeed() / 30.0;
    // A walker that cannot step forward (no speed, or a broken one) must not
    // divide by zero or walk backwards: it is there already, or it stays.
    if (!(step > 0.0) || !std::isfinite(step))
        return actor.GetX() == x && actor.GetY() == y;

    return CMoveStep(*area, actor, x, y, step, game.GetTick()).Run();
}

} // namespace VARD
