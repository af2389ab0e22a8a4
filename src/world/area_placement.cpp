// The geometric questions the rules ask of an area: may a mover stand at a
// point, can an actor see and reach a point, where is a free spot, who of the
// party is in sight, is a doorway empty.

#include "world/area.h"
#include "world/geometry.h"

#include "common/exception.h"
#include "common/random.h"
#include "common/shared_helpers.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/game.h"
#include "world/rule_tables.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>
#include <vector>

namespace VARD
{

namespace
{

constexpr double kTwoPi = 6.283185307179586;

// Far beyond any grid stays beyond it, and NaN lies before it, so that a
// broken position can never be read as a cell.
std::int64_t CellIndexOf(double coordinate)
{
    constexpr double kFar = 1e15;
    const double cell = std::trunc(coordinate / kCellSize);
    if (std::isnan(cell) || cell <= -kFar)
        return -1;
    if (cell >= kFar)
        return static_cast<std::int64_t>(kFar);
    return static_cast<std::int64_t>(cell);
}

// Circles that only touch already overlap.
bool Overlaps(const CActor& other, double r, double x, double y)
{
    const double dx = x - other.GetX();
    const double dy = y - other.GetY();
    const double reach = other.GetRadius() + r;
    return dx * dx + dy * dy <= reach * reach;
}

[[maybe_unused]] CActor* FirstActorInTheWay(const std::vector<std::shared_ptr<CActor>>& actors,
                                            const CActor* mover, double x, double y)
{
    const double r = mover != nullptr ? mover->GetRadius() : 0.0;
    for (const auto& other : actors)
        if (other.get() != mover && Overlaps(*other, r, x, y))
            return other.get();
    return nullptr;
}

[[maybe_unused]] CActor* FirstVisiblePartyMember(const std::vector<std::shared_ptr<CActor>>& actors,
                                                 const CActor& watcher, double range)
{
    for (const auto& actor : actors)
        if (actor.get() != &watcher && actor->IsFriendly() && !actor->IsSneaking() &&
            !(watcher.DistanceTo(actor->GetX(), actor->GetY()) > range))
            return actor.get();
    return nullptr;
}

// Room for rounding around a searched box, growing with the numbers in it.
double RoundingMargin(double x, double y, double r)
{
    return 1e-6 * (1.0 + std::abs(x) + std::abs(y) + std::abs(r));
}

// Strictly inside the radius: a mover may brush a crate's side.
bool BlocksMoverAt(const CObject& object, double r, double x, double y)
{
    return object.GetTileKind() != kTileKindFloor && object.DistanceToFootprint(x, y) < r;
}

[[maybe_unused]] CObject* FirstObjectInTheWay(const std::vector<std::shared_ptr<CObject>>& objects,
                                              double r, double x, double y)
{
    for (const auto& held : objects)
        if (BlocksMoverAt(*held, r, x, y))
            return held.get();
    return nullptr;
}

// Whether the segment from (ax, ay) to (x, y) crosses an edge of a solid
// object's footprint.
bool CrossesSegment(const CObject& object, double ax, double ay, double x, double y)
{
    if (object.GetTileKind() != kTileKindSolid)
        return false;
    const auto [left, top, right, bottom] = object.GetFootprint();
    if (ax != x)
    {
        for (const double xe : {left, right})
        {
            if (std::min(ax, x) <= xe && xe <= std::max(ax, x))
            {
                const double ye = (xe - ax) * (ay - y) / (ax - x) + ay;
                if (top <= ye && ye <= bottom)
                    return true;
            }
        }
    }
    if (ay != y)
    {
        for (const double ye : {top, bottom})
        {
            if (std::min(ay, y) <= ye && ye <= std::max(ay, y))
            {
                const double xe = (ye - ay) * (ax - x) / (ay - y) + ax;
                if (left <= xe && xe <= right)
                    return true;
            }
        }
    }
    return false;
}

} // namespace

bool CArea::IsOnGrid(double x, double y) const
{
    if (!(x >= 0.0 && y >= 0.0 && x < m_Width * kCellSize && y < m_Height * kCellSize))
        return false;
    return CellIndexOf(x) < m_Width && CellIndexOf(y) < m_Height;
}

bool CArea::CellBlocksMover(std::uint32_t column, std::uint32_t row) const
{
    switch (GetCellKind(column, row))
    {
    case kTileKindFloor:
        return false;
    case kTileKindEmpty:
    case kTileKindSolid:
        return true;
    case kTileKindDoor:
    {
        // A door template laid by a patch has no door to open: it stays shut.
        const auto* door =
            dynamic_cast<const CMasterTileDoor*>(GetTile(column, row)->GetMasterTile());
        return door == nullptr || !door->IsOpen();
    }
    default:
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    ": cell has tile kind " +
                                    std::to_string(GetCellKind(column, row)));
    }
}

bool CArea::CellBlocksSight(std::uint32_t column, std::uint32_t row, bool emptyBlocks) const
{
    switch (GetCellKind(column, row))
    {
    case kTileKindFloor:
        return false;
    case kTileKindEmpty:
        return emptyBlocks;
    case kTileKindSolid:
        return true;
    case kTileKindDoor:
    {
        const auto* door =
            dynamic_cast<const CMasterTileDoor*>(GetTile(column, row)->GetMasterTile());
        return door == nullptr || !door->IsOpen();
    }
    default:
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    ": cell has tile kind " +
                                    std::to_string(GetCellKind(column, row)));
    }
}

// ---------------------------------------------------------------- collision

bool CArea::IsPositionFree(const CActor* mover, double x, double y, CThing** blocker) const
{
    if (blocker != nullptr)
        *blocker = nullptr;
    CTile* tile = nullptr;
    if (!IsClearOfTiles(mover, &tile, x, y))
    {
        if (blocker != nullptr)
            *blocker = tile;
        return false;
    }
    CObject* object = nullptr;
    if (!IsClearOfObjects(mover, &object, x, y))
    {
        if (blocker != nullptr)
            *blocker = object;
        return false;
    }
    CActor* actor = nullptr;
    if (!IsClearOfActors(mover, &actor, x, y))
    {
        if (blocker != nullptr)
            *blocker = actor;
        return false;
    }
    return true;
}

bool CArea::IsClearOfTiles(const CActor* mover, CTile** tile, double x, double y) const
{
    if (tile != nullptr)
        *tile = nullptr;
    // Nobody stands off the grid; cells the circle reaches past the edge are
    // not there to block.
    if (!IsOnGrid(x, y))
        return false;
    const double r = mover != nullptr ? mover->GetRadius() : 0.0;
    const std::int64_t firstColumn = std::max<std::int64_t>(CellIndexOf(x - r), 0);
    const std::int64_t lastColumn = std::min<std::int64_t>(CellIndexOf(x + r), m_Width - 1);
    const std::int64_t firstRow = std::max<std::int64_t>(CellIndexOf(y - r), 0);
    const std::int64_t lastRow = std::min<std::int64_t>(CellIndexOf(y + r), m_Height - 1);
    const std::uint8_t* kinds = CellKinds();
    for (std::int64_t column = firstColumn; column <= lastColumn; ++column)
    {
        for (std::int64_t row = firstRow; row <= lastRow; ++row)
        {
            if (kinds[row * m_Width + column] == kTileKindFloor ||
                DistanceToCell(column, row, x, y) > r)
                continue;
            const auto c = static_cast<std::uint32_t>(column);
            const auto w = static_cast<std::uint32_t>(row);
            if (CellBlocksMover(c, w))
            {
                if (tile != nullptr)
                    *tile = GetTile(c, w);
                return false;
            }
        }
    }
    return true;
}

bool CArea::IsClearOfObjects(const CActor* mover, CObject** object, double x, double y) const
{
    if (object != nullptr)
        *object = nullptr;
    const double r = mover != nullptr ? mover->GetRadius() : 0.0;
    // The first of the list in the way, among those whose squares the mover
    // could reach (with room for rounding).
    const double margin = RoundingMargin(x, y, r);
    CObject* first = nullptr;
    std::uint64_t firstOrder = 0;
    ObjectIndex().VisitBox(x - r - margin, y - r - margin, x + r + margin, y + r + margin,
                           [&](CObject& held, std::uint64_t order)
                           {
                               if ((first != nullptr && order > firstOrder) ||
                                   !BlocksMoverAt(held, r, x, y))
                                   return;
                               first = &held;
                               firstOrder = order;
                           });
    assert(first == FirstObjectInTheWay(m_Objects, r, x, y));
    if (object != nullptr)
        *object = first;
    return first == nullptr;
}

bool CArea::IsClearOfActors(const CActor* mover, CActor** actor, double x, double y) const
{
    if (actor != nullptr)
        *actor = nullptr;
    const double r = mover != nullptr ? mover->GetRadius() : 0.0;
    CActor* first = ActorIndex().FirstOverlapping(mover, r, x, y);
    assert(first == FirstActorInTheWay(m_Actors, mover, x, y));
    if (actor != nullptr)
        *actor = first;
    return first == nullptr;
}

void CArea::CollectActorsNear(double x, double y, double reach, std::vector<CActor*>& found) const
{
    found.clear();
    const CAreaCellIndex& index = ActorIndex();
    if (std::isnan(reach) || !index.IsOnGrid(x, y))
    {
        for (const auto& actor : m_Actors)
            found.push_back(actor.get());
        return;
    }
    std::vector<std::pair<std::uint64_t, CActor*>> near;
    index.VisitNear(x, y, reach, CAreaCellIndex::kAllSides,
                    [&near](CActor& actor, std::uint64_t order)
                    { near.emplace_back(order, &actor); });
    std::sort(near.begin(), near.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [order, actor] : near)
        found.push_back(actor);
}

double CArea::DistanceToCell(std::int64_t column, std::int64_t row, double x, double y)
{
    const double left = kCellSize * static_cast<double>(column);
    const double right = kCellSize * static_cast<double>(column + 1);
    const double top = kCellSize * static_cast<double>(row);
    const double bottom = kCellSize * static_cast<double>(row + 1);
    return DistanceToRectangle(x, y, left, top, right, bottom);
}

// ---------------------------------------------------------------- sight

bool CArea::HasLineOfSight(const CActor& actor, bool emptyBlocks, double x, double y) const
{
    const double ax = actor.GetX();
    const double ay = actor.GetY();
    // The walk below reads cells between the two ends only.
    if (!IsOnGrid(ax, ay) || !IsOnGrid(x, y))
        return false;
    const std::int64_t c0 = CellIndexOf(ax);
    const std::int64_t c1 = CellIndexOf(x);
    if (c0 == c1)
        return IsColumnClear(c0, CellIndexOf(std::min(ay, y)), CellIndexOf(std::max(ay, y)),
                             emptyBlocks);

    const bool actorLeft = ax < x;
    const double xl = actorLeft ? ax : x;
    const double yl = actorLeft ? ay : y;
    const double xr = actorLeft ? x : ax;
    const double yr = actorLeft ? y : ay;
    const double m = (yr - yl) / (xr - xl);
    const std::int64_t cl = CellIndexOf(xl);
    const std::int64_t cr = CellIndexOf(xr);
    for (std::int64_t c = cl; c <= cr; ++c)
    {
        const double ya = c == cl ? yl : (kCellSize * static_cast<double>(c) - xl) * m + yl;
        const double yb = c == cr ? yr : (kCellSize * static_cast<double>(c + 1) - xl) * m + yl;
        const bool rising = m > 0.0;
        const std::int64_t first = CellIndexOf(rising ? ya : yb);
        const std::int64_t last = CellIndexOf(rising ? yb : ya);
        if (!IsColumnClear(c, first, last, emptyBlocks))
            return false;
    }
    return true;
}

bool CArea::IsColumnClear(std::int64_t column, std::int64_t firstRow, std::int64_t lastRow,
                          bool emptyBlocks) const
{
    if (firstRow > lastRow)
        return true;
    if (column < 0 || column >= m_Width || firstRow < 0 || lastRow >= m_Height)
        return false;
    for (std::int64_t row = firstRow; row <= lastRow; ++row)
        if (CellBlocksSight(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row),
                            emptyBlocks))
            return false;
    return true;
}

bool CArea::IsSegmentClearOfObjects(const CActor& actor, double x, double y) const
{
    const double ax = actor.GetX();
    const double ay = actor.GetY();
    // Only footprints that meet the segment's box can cross it. A NaN end
    // makes the margin NaN, and a box with a NaN side meets everything.
    const double margin =
        RoundingMargin(std::abs(ax) + std::abs(x), std::abs(ay) + std::abs(y), 0.0);
    bool clear = true;
    ObjectIndex().VisitBox(std::min(ax, x) - margin, std::min(ay, y) - margin,
                           std::max(ax, x) + margin, std::max(ay, y) + margin,
                           [&](const CObject& object, std::uint64_t)
                           {
                               if (clear && CrossesSegment(object, ax, ay, x, y))
                                   clear = false;
                           });
    assert(clear == std::none_of(m_Objects.begin(), m_Objects.end(),
                                 [&](const auto& object)
                                 { return CrossesSegment(*object, ax, ay, x, y); }));
    return clear;
}

bool CArea::CanTargetPoint(bool emptyBlocks, double x, double y, double range, double targetRadius,
                           const CActor& actor) const
{
    if (actor.DistanceTo(x, y) > actor.GetRadius() + targetRadius + range)
        return false;
    if (!HasLineOfSight(actor, emptyBlocks, x, y))
        return false;
    return IsSegmentClearOfObjects(actor, x, y);
}

bool CArea::CanTargetThing(const CActor& actor, const CThing& thing, double range) const
{
    if (const auto* target = FastDynamicCast<CActor>(&thing))
        return CanTargetPoint(false, target->GetX(), target->GetY(), range, target->GetRadius(),
                              actor);
    if (const auto* object = dynamic_cast<const CObject*>(&thing))
        return CanTargetPoint(false, object->GetX(), object->GetY(), range, 0.0, actor);
    if (const auto* tile = dynamic_cast<const CTile*>(&thing))
        return CanTargetPoint(false, tile->GetCenterX(), tile->GetCenterY(), range, 0.0, actor);
    throw CVARDException(2, "thing " + std::to_string(thing.Id()) + " has no place to aim at");
}

// ---------------------------------------------------------------- free spots

bool CArea::FindFreeSpotNear(std::uint32_t column, std::uint32_t row, bool wide,
                             const std::shared_ptr<CActor>& actor)
{
    if (!actor)
        throw CVARDException(2,
                             "area " + VARDCommon::QuoteForMessage(m_Name) + ": no actor to place");
    const double cx = (static_cast<double>(column) + 0.5) * kCellSize;
    const double cy = (static_cast<double>(row) + 0.5) * kCellSize;
    const double r0 = actor->GetRadius();
    const int rings = wide ? 100 : 5;
    for (int k = 0; k < rings; ++k)
    {
        const int tries = static_cast<int>(std::trunc(kTwoPi * k)) + 1;
        double theta = kTwoPi * RandomReal();
        const double d = 2.0 * k * r0;
        for (int i = 0; i < tries; ++i)
        {
            theta += 1.0;
            const double x = cx + d * std::cos(theta);
            const double y = cy + d * std::sin(theta);
            if (!IsClearOfTiles(actor.get(), nullptr, x, y) ||
                !IsClearOfObjects(actor.get(), nullptr, x, y) ||
                !IsClearOfActors(actor.get(), nullptr, x, y))
                continue;
            actor->SetPosition(x, y);
            actor->SetFacing(kTwoPi * RandomReal());
            // An actor placed again where it already is is not listed twice.
            if (std::find(m_Actors.begin(), m_Actors.end(), actor) == m_Actors.end())
            {
                m_ActorIndex.Add(*actor);
                m_Actors.push_back(actor);
                NoteActorsChanged();
            }
            return true;
        }
    }
    return false;
}

bool CArea::FindFreeSpotAnywhere(std::uint32_t column, std::uint32_t row,
                                 const std::shared_ptr<CActor>& actor)
{
    if (!actor)
        throw CVARDException(2,
                             "area " + VARDCommon::QuoteForMessage(m_Name) + ": no actor to place");
    // Every cell centre of the grid, nearest first (ties in row, then column
    // order), so that the spot found is always the same one.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> cells;
    cells.reserve(static_cast<std::size_t>(m_Width) * m_Height);
    for (std::uint32_t r = 0; r < m_Height; ++r)
        for (std::uint32_t c = 0; c < m_Width; ++c)
        {
            const std::int64_t dc = static_cast<std::int64_t>(c) - column;
            const std::int64_t dr = static_cast<std::int64_t>(r) - row;
            cells.emplace_back(static_cast<std::uint64_t>(dc * dc + dr * dr), r * m_Width + c);
        }
    std::sort(cells.begin(), cells.end());
    for (const auto& [distance, index] : cells)
    {
        const double x = (index % m_Width + 0.5) * kCellSize;
        const double y = (index / m_Width + 0.5) * kCellSize;
        if (!IsPositionFree(actor.get(), x, y, nullptr))
            continue;
        actor->SetPosition(x, y);
        if (std::find(m_Actors.begin(), m_Actors.end(), actor) == m_Actors.end())
        {
            m_ActorIndex.Add(*actor);
            m_Actors.push_back(actor);
            NoteActorsChanged();
        }
        return true;
    }
    return false;
}

std::shared_ptr<CActor> CArea::SpawnMonsterNear(const std::string& templateName,
                                                std::uint32_t column, std::uint32_t row,
                                                const CModule& module,
                                                const std::string& encounterName)
{
    auto actor =
        CreateActorFromTemplate(templateName, encounterName, module, RequireGame("spawn actors"));
    if (!FindFreeSpotNear(column, row, false, actor))
        return nullptr;
    return actor;
}

bool CArea::FindVisiblePartyMember(const CActor& watcher, CActor** found, double range) const
{
    if (found != nullptr)
        *found = nullptr;
    if (!IsOnGrid(watcher.GetX(), watcher.GetY()))
        return false;
    if (!m_SightGrid.IsMarked(static_cast<std::uint32_t>(CellIndexOf(watcher.GetX())),
                              static_cast<std::uint32_t>(CellIndexOf(watcher.GetY()))))
        return false;
    // The first of the list that fits, among the friendly side only.
    CActor* first = nullptr;
    std::uint64_t firstOrder = 0;
    ActorIndex().VisitSides(CAreaCellIndex::kSideFriendly,
                            [&](CActor& actor, std::uint64_t order)
                            {
                                // A friendly watcher would otherwise find itself.
                                if (&actor == &watcher || (first != nullptr && order > firstOrder))
                                    return;
                                if (!actor.IsFriendly() || actor.IsSneaking() ||
                                    watcher.DistanceTo(actor.GetX(), actor.GetY()) > range)
                                    return;
                                first = &actor;
                                firstOrder = order;
                            });
    assert(first == FirstVisiblePartyMember(m_Actors, watcher, range));
    if (found != nullptr)
        *found = first;
    return first != nullptr;
}

// ---------------------------------------------------------------- doorways

bool CMasterTile::IsDoorwayClear() const
{
    // A door that a script opened stays open: no one may shut it again.
    if (GetScript() != nullptr)
        return false;
    if (m_Area == nullptr)
        return true;
    const double left = kCellSize * m_Column;
    const double right = kCellSize * (m_Column + m_SizeX);
    const double top = kCellSize * m_Row;
    const double bottom = kCellSize * (m_Row + m_SizeY);
    for (const auto& actor : m_Area->Actors())
    {
        if (actor->GetActivityState() == kActivityDead)
            continue;
        const double r = actor->GetRadius();
        if (actor->GetX() + r >= left && actor->GetX() - r <= right && actor->GetY() + r >= top &&
            actor->GetY() - r <= bottom)
            return false;
    }
    return true;
}

} // namespace VARD
