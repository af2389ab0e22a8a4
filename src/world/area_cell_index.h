#pragma once

#include "world/geometry.h"
#include "world/index_slots.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace VARD
{

class CActor;

// Where the actors of an area stand, by squares of cells, and which side each
// is on, kept current as actors move, change sides or size, join and leave.
// It only narrows down who may be near; the callers measure and choose as a
// walk over the whole list would, and every entry carries its place in the
// area's list so that ties still go the list's way.
//
// The area tells it of joins and leaves; the actors tell it of moves, sides
// and sizes. An actor is held by one index at most: joining another takes it
// out of the first, and its destructor takes it out of the one that holds it.
class CAreaCellIndex
{
public:
    // Sides as the target searches tell them apart, as bits.
    static constexpr std::uint8_t kSideFriendly = 1;
    static constexpr std::uint8_t kSideHostile = 2;
    static constexpr std::uint8_t kSideBerserk = 4;
    static constexpr std::uint8_t kSideOther = 8;
    static constexpr std::uint8_t kAllSides = 15;
    static std::uint8_t SideOf(std::uint32_t attitude);

    // Cells a side of the squares.
    static constexpr std::uint32_t kSquareCells = 4;

    CAreaCellIndex() = default;
    CAreaCellIndex(const CAreaCellIndex&) = delete;
    CAreaCellIndex& operator=(const CAreaCellIndex&) = delete;
    ~CAreaCellIndex();

    // Whether the index holds exactly these actors on a grid of that shape
    // (cheap: it compares counts and shape, the area reports every change).
    bool Fits(std::uint32_t width, std::uint32_t height, std::size_t count) const
    {
        return width == m_Width && height == m_Height && count == m_Count && !m_Stale;
    }
    // Everything again, in list order.
    void Reset(std::uint32_t width, std::uint32_t height,
               const std::vector<std::shared_ptr<CActor>>& actors);
    // An actor put at the end of the area's list.
    void Add(CActor& actor);
    // An actor taken out of the area's list.
    void Remove(CActor& actor);

    // From the actor itself.
    void Update(CActor& actor);
    void Forget(CActor& actor);

    std::size_t Count() const { return m_Count; }
    std::uint32_t CountOf(std::uint8_t sides) const;
    // Off the grid or nowhere at all: such actors are in no square.
    bool HasStrays() const { return !m_Lists[StrayList()].empty(); }
    double GetMaxRadius() const { return m_MaxRadius; }
    bool IsOnGrid(double x, double y) const { return ListOf(x, y) != StrayList(); }
    // The actor of that id; asked only while no two actors share an id (else
    // the first in the list is the answer, which only a walk knows).
    bool HasSharedIds() const { return m_SharedIds != 0; }
    CActor* FindById(std::uint32_t id) const
    {
        const std::uint32_t slot = m_ById.Find(id);
        return slot == CSlotsById::kNone ? nullptr : m_Entries[slot].actor;
    }

    // Every actor of those sides that stands no farther than reach from
    // (x, y) along either axis, and every stray one. The index keeps each
    // actor's place, so those farther off are passed over without reading
    // the actors themselves (in a crowd, most of the cost of a search).
    template <class Visit>
    void VisitNear(double x, double y, double reach, std::uint8_t sides, Visit&& visit) const;
    // Of the actors other than mover, the first in the list whose circle
    // meets one of radius r at (x, y), circles that only touch included; by
    // the places and sizes the actors last told, so that a crowd is tested
    // without reading the actors themselves.
    CActor* FirstOverlapping(const CActor* mover, double r, double x, double y) const;
    // Every actor of those sides, square by square in rings around the point
    // (which must lie on the grid), until no square left can hold one within
    // reach() of it; when the rings cost more than the actors would, the
    // rest of those sides in no order. Actors farther than reach() from the
    // point along either axis are passed over.
    template <class Visit, class Reach>
    void VisitRings(double x, double y, std::uint8_t sides, Visit&& visit, Reach&& reach) const;
    // Every actor of those sides.
    template <class Visit> void VisitSides(std::uint8_t sides, Visit&& visit) const;

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    static constexpr int kSideCount = 4;

    struct Entry
    {
        CActor* actor = nullptr;
        std::uint64_t order = 0;
        std::uint32_t list = kNone; // square or stray list
        std::uint32_t place = 0;    // in that list
        std::uint32_t sidePrev = kNone;
        std::uint32_t sideNext = kNone;
        std::uint8_t side = 0;
    };
    // What a search reads of each actor of a square, side by side: a crowd
    // is scanned without reading the actors or their entries.
    struct Member
    {
        // The actor's place as last told.
        double x = 0.0;
        double y = 0.0;
        CActor* actor = nullptr;
        std::uint64_t order = 0;
        double radius = 0.0;
        std::uint32_t slot = 0;
        std::uint8_t side = 0;
    };

    // Not farther than limit along either axis; NaN is never ruled out.
    static bool IsWithin(const Member& member, double x, double y, double limit)
    {
        return !(std::abs(member.x - x) > limit) && !(std::abs(member.y - y) > limit);
    }
    // How many members lie below edge (or, with Through, not above it),
    // found without branches that a crowd would make unforeseeable.
    template <bool Through>
    static std::size_t CountBelow(const std::vector<Member>& members, double edge)
    {
        if (members.empty())
            return 0;
        const Member* base = members.data();
        std::size_t count = members.size();
        while (count > 1)
        {
            const std::size_t half = count / 2;
            const bool below = Through ? base[half].x <= edge : base[half].x < edge;
            base += below ? half : 0;
            count -= half;
        }
        const bool below = Through ? base->x <= edge : base->x < edge;
        return static_cast<std::size_t>(base - members.data()) + (below ? 1 : 0);
    }
    // A little more than reach, for rounding in the callers' own measures.
    static double Slack(double reach) { return reach * (1.0 + 1e-9) + 1e-9; }

    std::uint32_t StrayList() const { return m_Columns * m_Rows; }
    std::uint32_t ListOf(double x, double y) const
    {
        // The same test as the area's own for a point on its grid.
        if (!(x >= 0.0 && y >= 0.0 && x < m_Width * kCellSize && y < m_Height * kCellSize))
            return StrayList();
        const double size = SquareSize();
        const auto column = std::min(static_cast<std::uint32_t>(x / size), m_Columns - 1);
        const auto row = std::min(static_cast<std::uint32_t>(y / size), m_Rows - 1);
        return row * m_Columns + column;
    }
    static double SquareSize() { return kSquareCells * kCellSize; }
    void Attach(CActor& actor);
    void Detach(std::uint32_t slot);
    void Link(std::uint32_t slot);
    void Unlink(std::uint32_t slot);
    // Moves a member whose x changed to its place in its square's order.
    void Resort(std::vector<Member>& members, std::uint32_t place);
    void Renumber(const std::vector<Member>& members, std::size_t from);
    template <class Visit>
    void VisitList(std::uint32_t list, std::uint8_t sides, Visit& visit) const;
    // As VisitList, passing over entries farther than limit() from (x, y).
    template <class Visit, class Limit>
    void VisitListNear(std::uint32_t list, std::uint8_t sides, double x, double y, Limit& limit,
                       Visit& visit) const;
    // As VisitNear, handing over the members themselves.
    template <class Visit>
    void VisitMembersNear(double x, double y, double reach, std::uint8_t sides, Visit& visit) const;
    // The same for a square, nearest in x first, for a limit that shrinks as
    // the visits find nearer actors.
    template <class Visit, class Limit>
    void VisitListOutward(std::uint32_t list, std::uint8_t sides, double x, double y, Limit& limit,
                          Visit& visit) const;
    // The squares a box meets, as first and last column and row; false for
    // an empty box (or one with a NaN side) or an empty grid.
    bool SquaresOf(double left, double top, double right, double bottom, std::uint32_t& c0,
                   std::uint32_t& c1, std::uint32_t& r0, std::uint32_t& r1) const;

    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    std::uint32_t m_Columns = 0;
    std::uint32_t m_Rows = 0;
    std::size_t m_Count = 0;
    bool m_Stale = false;
    double m_MaxRadius = 0.0;
    CIndexSlots<Entry> m_Entries;
    // The squares' members, each square's by x (so that a search reads only
    // the band it can reach), then the strays in no order.
    std::vector<std::vector<Member>> m_Lists = std::vector<std::vector<Member>>(1);
    std::uint32_t m_SideHeads[kSideCount] = {kNone, kNone, kNone, kNone};
    std::uint32_t m_SideCounts[kSideCount] = {0, 0, 0, 0};
    // Ids never change once an actor exists.
    CSlotsById m_ById;
    std::size_t m_SharedIds = 0;
};

template <class Visit>
void CAreaCellIndex::VisitList(std::uint32_t list, std::uint8_t sides, Visit& visit) const
{
    for (const Member& member : m_Lists[list])
        if ((member.side & sides) != 0)
            visit(*member.actor, member.order);
}

template <class Visit, class Limit>
void CAreaCellIndex::VisitListNear(std::uint32_t list, std::uint8_t sides, double x, double y,
                                   Limit& limit, Visit& visit) const
{
    const std::vector<Member>& members = m_Lists[list];
    // Only the band of x within reach; a square's members are finite.
    std::size_t begin = 0;
    std::size_t last = members.size();
    if (list != StrayList())
    {
        const double reach = limit();
        begin = CountBelow<false>(members, x - reach);
        last = CountBelow<true>(members, x + reach);
    }
    // The members in reach are picked out without a branch for each (in a
    // crowd about every other one is, unforeseeably), then visited.
    constexpr std::size_t kBatch = 64;
    std::uint32_t near[kBatch];
    for (std::size_t first = begin; first < last; first += kBatch)
    {
        const std::size_t end = std::min(last, first + kBatch);
        const double reach = limit();
        std::size_t count = 0;
        for (std::size_t i = first; i < end; ++i)
        {
            const Member& member = members[i];
            near[count] = static_cast<std::uint32_t>(i);
            count += static_cast<std::size_t>(((member.side & sides) != 0) &
                                              !(std::abs(member.x - x) > reach) &
                                              !(std::abs(member.y - y) > reach));
        }
        for (std::size_t k = 0; k < count; ++k)
        {
            const Member& member = members[near[k]];
            if (IsWithin(member, x, y, limit()))
                visit(member);
        }
    }
}

template <class Visit, class Limit>
void CAreaCellIndex::VisitListOutward(std::uint32_t list, std::uint8_t sides, double x, double y,
                                      Limit& limit, Visit& visit) const
{
    const std::vector<Member>& members = m_Lists[list];
    std::size_t right = CountBelow<false>(members, x);
    std::size_t left = right;
    bool leftOpen = left > 0;
    bool rightOpen = right < members.size();
    while (leftOpen || rightOpen)
    {
        const double reach = limit();
        const double toLeft = leftOpen ? x - members[left - 1].x : reach + 1.0;
        const double toRight = rightOpen ? members[right].x - x : reach + 1.0;
        const bool goLeft = !rightOpen || (leftOpen && toLeft < toRight);
        const Member& member = goLeft ? members[left - 1] : members[right];
        // Everything farther out on this side is farther in x still.
        if ((goLeft ? toLeft : toRight) > reach)
        {
            (goLeft ? leftOpen : rightOpen) = false;
            continue;
        }
        if (goLeft)
            leftOpen = --left > 0;
        else
            rightOpen = ++right < members.size();
        if ((member.side & sides) != 0 && !(std::abs(member.y - y) > reach))
            visit(*member.actor, member.order);
    }
}

inline bool CAreaCellIndex::SquaresOf(double left, double top, double right, double bottom,
                                      std::uint32_t& c0, std::uint32_t& c1, std::uint32_t& r0,
                                      std::uint32_t& r1) const
{
    if (m_Columns == 0 || !(left <= right && top <= bottom))
        return false;
    const double size = SquareSize();
    const auto clampTo = [](double value, std::uint32_t count) -> std::uint32_t
    {
        if (!(value > 0.0))
            return 0;
        return value >= count ? count - 1 : static_cast<std::uint32_t>(value);
    };
    c0 = clampTo(std::floor(left / size), m_Columns);
    c1 = clampTo(std::floor(right / size), m_Columns);
    r0 = clampTo(std::floor(top / size), m_Rows);
    r1 = clampTo(std::floor(bottom / size), m_Rows);
    return true;
}

template <class Visit>
void CAreaCellIndex::VisitMembersNear(double x, double y, double reach, std::uint8_t sides,
                                      Visit& visit) const
{
    for (const Member& member : m_Lists[StrayList()])
        if ((member.side & sides) != 0)
            visit(member);
    const double limit = Slack(reach);
    std::uint32_t c0 = 0, c1 = 0, r0 = 0, r1 = 0;
    if (!SquaresOf(x - limit, y - limit, x + limit, y + limit, c0, c1, r0, r1))
        return;
    const auto fixed = [limit] { return limit; };
    for (std::uint32_t row = r0; row <= r1; ++row)
        for (std::uint32_t column = c0; column <= c1; ++column)
            VisitListNear(row * m_Columns + column, sides, x, y, fixed, visit);
}

template <class Visit>
void CAreaCellIndex::VisitNear(double x, double y, double reach, std::uint8_t sides,
                               Visit&& visit) const
{
    const auto visitMember = [&visit](const Member& member) { visit(*member.actor, member.order); };
    VisitMembersNear(x, y, reach, sides, visitMember);
}

template <class Visit> void CAreaCellIndex::VisitSides(std::uint8_t sides, Visit&& visit) const
{
    for (int side = 0; side < kSideCount; ++side)
    {
        if ((sides & (1u << side)) == 0)
            continue;
        for (std::uint32_t slot = m_SideHeads[side]; slot != kNone; slot = m_Entries[slot].sideNext)
            visit(*m_Entries[slot].actor, m_Entries[slot].order);
    }
}

template <class Visit, class Reach>
void CAreaCellIndex::VisitRings(double x, double y, std::uint8_t sides, Visit&& visit,
                                Reach&& reach) const
{
    const std::uint32_t wanted = CountOf(sides);
    const std::uint32_t home = ListOf(x, y);
    // A handful of actors, or a point on no square: the rings would cost more.
    if (wanted <= 16 || home == StrayList())
    {
        VisitSides(sides, visit);
        return;
    }
    VisitList(StrayList(), sides, visit);
    const auto limit = [&reach] { return Slack(reach()); };
    const auto hx = static_cast<std::int64_t>(home % m_Columns);
    const auto hy = static_cast<std::int64_t>(home / m_Columns);
    const double size = SquareSize();
    // How near to the point a square may hold anyone, along the nearer axis,
    // less room for the rounding that filed actors near an edge.
    const double margin = 1e-9 * (size + std::abs(x) + std::abs(y));
    const auto gap = [&](std::int64_t column, std::int64_t row)
    {
        const double left = static_cast<double>(column) * size;
        const double top = static_cast<double>(row) * size;
        const double dx = std::max({0.0, left - x, x - (left + size)});
        const double dy = std::max({0.0, top - y, y - (top + size)});
        return std::max(dx, dy) - margin;
    };
    const std::int64_t last = std::max(m_Columns, m_Rows);
    std::uint64_t visited = 0;
    for (std::int64_t ring = 0; ring <= last; ++ring)
    {
        // Every square of ring n lies outside the block of the rings before
        // it, which spans n - 1 squares on each side of the home square.
        if (ring >= 1)
        {
            const double inner = std::min({x - static_cast<double>(hx - ring + 1) * size,
                                           static_cast<double>(hx + ring) * size - x,
                                           y - static_cast<double>(hy - ring + 1) * size,
                                           static_cast<double>(hy + ring) * size - y}) -
                                 margin;
            if (inner > limit())
                return;
        }
        if (visited > 4u * wanted + 64u)
        {
            for (int side = 0; side < kSideCount; ++side)
            {
                if ((sides & (1u << side)) == 0)
                    continue;
                for (std::uint32_t slot = m_SideHeads[side]; slot != kNone;
                     slot = m_Entries[slot].sideNext)
                {
                    const Entry& entry = m_Entries[slot];
                    if (entry.list != StrayList() &&
                        IsWithin(m_Lists[entry.list][entry.place], x, y, limit()))
                        visit(*entry.actor, entry.order);
                }
            }
            return;
        }
        const std::int64_t top = hy - ring;
        const std::int64_t bottom = hy + ring;
        for (std::int64_t row = std::max<std::int64_t>(top, 0);
             row <= std::min<std::int64_t>(bottom, m_Rows - 1); ++row)
        {
            const bool edge = row == top || row == bottom;
            const std::int64_t step = edge ? 1 : 2 * ring;
            for (std::int64_t column = hx - ring; column <= hx + ring;
                 column += step > 0 ? step : 1)
            {
                if (column < 0 || column >= m_Columns)
                    continue;
                // Every square looked at counts, empty or not: a sparse
                // crowd is cheaper walked whole than searched square by square.
                ++visited;
                const auto list = static_cast<std::uint32_t>(row * m_Columns + column);
                if (m_Lists[list].empty() || gap(column, row) > limit())
                    continue;
                VisitListOutward(list, sides, x, y, limit, visit);
            }
        }
    }
}

} // namespace VARD
