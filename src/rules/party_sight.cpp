// The flood that marks the cells around the party: what a watcher must stand
// in to notice it, and what the party has come near for the map.

#include "rules/engine.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/rule_tables.h"
#include "world/tile.h"

#include <cmath>
#include <string>

namespace VARD
{

namespace
{

constexpr int kSightSteps = 48;

using Cell = std::pair<std::uint32_t, std::uint32_t>;

constexpr std::uint32_t kOffGrid = 0xFFFFFFFFu;

// The cell of a position; positions off any grid (or broken ones) give a
// cell that no grid holds.
std::uint32_t CellOf(double coordinate)
{
    const double cell = std::trunc(coordinate / kCellSize);
    if (!(cell >= 0.0 && cell < 4294967295.0))
        return kOffGrid;
    return static_cast<std::uint32_t>(cell);
}

Cell CellOfActor(const CActor& actor)
{
    return {CellOf(actor.GetX()), CellOf(actor.GetY())};
}

bool IsPartyWhereItWas(const std::vector<std::shared_ptr<CActor>>& party,
                       const std::vector<Cell>& cells)
{
    if (cells.size() != party.size())
        return false;
    for (std::size_t i = 0; i < party.size(); ++i)
    {
        if (!party[i]->IsDead() && CellOfActor(*party[i]) != cells[i])
            return false;
    }
    return true;
}

bool DoorBlocksSight(const CArea& area, std::uint32_t column, std::uint32_t row)
{
    // A door laid by a patch has nothing to open: it stays shut.
    const auto* door =
        dynamic_cast<const CMasterTileDoor*>(area.GetTile(column, row)->GetMasterTile());
    return door == nullptr || door->GetOpenFlag() == 0;
}

void BuildBlockingGrid(const CArea& area, std::vector<std::uint8_t>& blocking)
{
    const std::uint32_t width = area.GetWidth();
    const std::uint32_t height = area.GetHeight();
    blocking.assign(static_cast<std::size_t>(width) * height, 0);
    for (std::uint32_t row = 0; row < height; ++row)
    {
        for (std::uint32_t column = 0; column < width; ++column)
        {
            bool blocks = true;
            if (row != 0 && row + 1 != height && column != 0 && column + 1 != width)
            {
                const int kind = area.GetCellKind(column, row);
                switch (kind)
                {
                case kTileKindFloor:
                case kTileKindEmpty:
                    blocks = false;
                    break;
                case kTileKindSolid:
                    break;
                case kTileKindDoor:
                    blocks = DoorBlocksSight(area, column, row);
                    break;
                default:
                    throw CVARDException(2, "area \"" + area.GetName() + "\": cell (" +
                                                std::to_string(column) + " " + std::to_string(row) +
                                                ") has tile kind " + std::to_string(kind));
                }
            }
            blocking[static_cast<std::size_t>(row) * width + column] = blocks ? 1 : 0;
        }
    }
}

} // namespace

void CEngine::UpdatePartySight()
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        return;
    const auto& party = game.Party();
    auto& cells = game.PendingList();
    if (IsPartyWhereItWas(party, cells))
        return;

    cells.clear();
    CCellBitSet& sight = area->SightGrid();
    CCellBitSet& tracker = area->TileTracker();
    sight.Clear();
    BuildBlockingGrid(*area, m_SightBlocking);

    const std::uint32_t width = area->GetWidth();
    const std::uint32_t height = area->GetHeight();
    m_SightFrontier.clear();
    m_SightNextFrontier.clear();
    for (const auto& member : party)
    {
        if (member->IsDead())
        {
            cells.emplace_back(0u, 0u);
            continue;
        }
        const Cell cell = CellOfActor(*member);
        cells.push_back(cell);
        // A member off the grid sees nothing from there.
        if (cell.first >= width || cell.second >= height)
            continue;
        m_SightFrontier.push_back(cell);
        sight.Mark(cell.first, cell.second);
        tracker.Mark(cell.first, cell.second);
    }

    for (int pass = 0; pass < kSightSteps; ++pass)
    {
        for (const Cell& cell : m_SightFrontier)
        {
            const std::int64_t c = cell.first;
            const std::int64_t r = cell.second;
            for (std::int64_t dc = -1; dc <= 1; ++dc)
            {
                for (std::int64_t dr = -1; dr <= 1; ++dr)
                {
                    if (dc == 0 && dr == 0)
                        continue;
                    const std::int64_t nc = c + dc;
                    const std::int64_t nr = r + dr;
                    // Only a member standing on the border reaches past it.
                    if (nc < 0 || nr < 0 || nc >= width || nr >= height)
                        continue;
                    const auto column = static_cast<std::uint32_t>(nc);
                    const auto row = static_cast<std::uint32_t>(nr);
                    if (sight.IsMarked(column, row))
                        continue;
                    sight.Mark(column, row);
                    tracker.Mark(column, row);
                    if (m_SightBlocking[static_cast<std::size_t>(row) * width + column] == 0)
                        m_SightNextFrontier.emplace_back(column, row);
                }
            }
        }
        m_SightFrontier.clear();
        m_SightFrontier.swap(m_SightNextFrontier);
    }
    m_SightFrontier.clear();
}

} // namespace VARD
