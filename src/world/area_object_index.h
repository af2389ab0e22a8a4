#pragma once

#include "world/geometry.h"
#include "world/index_slots.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace VARD
{

class CObject;

// Which squares of cells the footprints of an area's blocking objects cover,
// kept current as objects are listed, taken out, moved and turned. Like the
// actor index it only narrows down what may be near: the callers test each
// candidate as a walk over the list would, and every entry carries its place
// in the area's list so that the first match is still the list's first.
//
// The area tells it of joins and leaves; the objects tell it of moves and
// turns. An object is held by one index at most.
class CAreaObjectIndex
{
public:
    // Cells a side of the squares.
    static constexpr std::uint32_t kSquareCells = 4;
    // A footprint over more squares than this is kept with the loose ones,
    // which every search visits, rather than filed in each square.
    static constexpr std::uint32_t kMostSquares = 64;

    CAreaObjectIndex() = default;
    CAreaObjectIndex(const CAreaObjectIndex&) = delete;
    CAreaObjectIndex& operator=(const CAreaObjectIndex&) = delete;
    ~CAreaObjectIndex();

    // Whether the index holds exactly these objects on a grid of that shape
    // (cheap: the area reports every change).
    bool Fits(std::uint32_t width, std::uint32_t height, std::size_t count) const
    {
        return width == m_Width && height == m_Height && count == m_Count && !m_Stale;
    }
    // Everything again, in list order.
    void Reset(std::uint32_t width, std::uint32_t height,
               const std::vector<std::shared_ptr<CObject>>& objects);
    // An object put at the end of the area's list.
    void Add(CObject& object);
    // An object taken out of the area's list.
    void Remove(CObject& object);

    // From the object itself.
    void Update(CObject& object);
    void Forget(CObject& object);

    std::size_t Count() const { return m_Count; }

    // Every object that is not floor whose footprint may meet the box (a
    // box with a NaN side meets everything): visit(object, place in list).
    // An object may come up more than once.
    template <class Visit>
    void VisitBox(double left, double top, double right, double bottom, Visit&& visit) const;

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Entry
    {
        CObject* object = nullptr;
        std::uint64_t order = 0;
        // Squares covered, inclusive; none for floor objects.
        std::uint32_t column0 = 0;
        std::uint32_t column1 = 0;
        std::uint32_t row0 = 0;
        std::uint32_t row1 = 0;
        bool filed = false;
        bool loose = false;
    };

    double SquareSize() const { return kSquareCells * kCellSize; }
    // Clamped to the grid: both the footprints and the searched boxes, so
    // that any two that meet still share a square.
    std::uint32_t SquareOf(double coordinate, std::uint32_t count) const
    {
        const double square = std::floor(coordinate / SquareSize());
        if (!(square > 0.0))
            return 0;
        return square >= count ? count - 1 : static_cast<std::uint32_t>(square);
    }
    void Attach(CObject& object);
    void Detach(std::uint32_t slot);
    void File(std::uint32_t slot);
    void Unfile(std::uint32_t slot);
    template <class Visit> void VisitAll(Visit& visit) const;

    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    std::uint32_t m_Columns = 0;
    std::uint32_t m_Rows = 0;
    std::size_t m_Count = 0;
    bool m_Stale = false;
    CIndexSlots<Entry> m_Entries;
    // Slots by square, row by row.
    std::vector<std::vector<std::uint32_t>> m_Squares;
    std::vector<std::uint32_t> m_Loose;
};

template <class Visit> void CAreaObjectIndex::VisitAll(Visit& visit) const
{
    for (const Entry& entry : m_Entries)
        if (entry.filed)
            visit(*entry.object, entry.order);
}

template <class Visit>
void CAreaObjectIndex::VisitBox(double left, double top, double right, double bottom,
                                Visit&& visit) const
{
    if (std::isnan(left) || std::isnan(top) || std::isnan(right) || std::isnan(bottom))
    {
        VisitAll(visit);
        return;
    }
    for (const std::uint32_t slot : m_Loose)
        visit(*m_Entries[slot].object, m_Entries[slot].order);
    if (m_Columns == 0 || !(left <= right && top <= bottom))
        return;
    const std::uint32_t c0 = SquareOf(left, m_Columns);
    const std::uint32_t c1 = SquareOf(right, m_Columns);
    const std::uint32_t r0 = SquareOf(top, m_Rows);
    const std::uint32_t r1 = SquareOf(bottom, m_Rows);
    for (std::uint32_t row = r0; row <= r1; ++row)
        for (std::uint32_t column = c0; column <= c1; ++column)
            for (const std::uint32_t slot : m_Squares[row * m_Columns + column])
                visit(*m_Entries[slot].object, m_Entries[slot].order);
}

} // namespace VARD
