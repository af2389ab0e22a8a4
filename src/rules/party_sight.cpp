// The flood that marks the cells around the party: what a watcher must stand
// in to notice it, and what the party has come near for the map.

#include "rules/engine.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/rule_tables.h"
#include "world/tile.h"

#include <algorithm>
#include <array>
#include <bit>
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

// Any kind but the door's; a kind no tile can have is a broken area.
bool CellBlocksSight(int kind, const CArea& area, std::uint32_t column, std::uint32_t row)
{
    switch (kind)
    {
    case kTileKindFloor:
    case kTileKindEmpty:
        return false;
    case kTileKindSolid:
        return true;
    default:
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(area.GetName()) + ": cell (" +
                                    std::to_string(column) + " " + std::to_string(row) +
                                    ") has tile kind " + std::to_string(kind));
    }
}

// 32 bits of a row of words from bit at on (at may lie before the row;
// bits before or past it read 0).
std::uint32_t ThirtyTwoBitsAt(const std::uint64_t* line, std::size_t stride, std::int64_t at)
{
    if (at <= -32)
        return 0;
    if (at < 0)
        return static_cast<std::uint32_t>(line[0] << -at);
    const auto word = static_cast<std::size_t>(at / 64);
    if (word >= stride)
        return 0;
    const auto shift = static_cast<unsigned>(at % 64);
    std::uint64_t bits = line[word] >> shift;
    if (shift > 32 && word + 1 < stride)
        bits |= line[word + 1] << (64 - shift);
    return static_cast<std::uint32_t>(bits);
}

// The flood's rows of bits over its window: each row is stride words, the
// last word holding only the bits of lastWordMask.
struct FloodRows
{
    const std::uint64_t* open = nullptr;
    std::uint64_t* reached = nullptr;
    std::uint64_t* front = nullptr;
    std::uint64_t* next = nullptr;
    std::size_t stride = 0;
    std::uint32_t rows = 0;
    std::uint64_t lastWordMask = 0;
};

// A row with each bit spread to its two neighbours.
void Widen(const std::uint64_t* line, std::uint64_t* out, std::size_t stride)
{
    for (std::size_t w = 0; w < stride; ++w)
    {
        const std::uint64_t here = line[w];
        const std::uint64_t before = w > 0 ? line[w - 1] >> 63 : 0;
        const std::uint64_t after = w + 1 < stride ? line[w + 1] << 63 : 0;
        out[w] = here | (here << 1) | before | (here >> 1) | after;
    }
}

// The passes of the flood, from a front in rows frontTop to frontBottom.
// Each pass reads the front's rows once, three at a time, and clears them
// as it goes, so that the buffer is empty when it takes the next front.
void Spread(const FloodRows& f, std::uint32_t frontTop, std::uint32_t frontBottom,
            std::uint64_t* wideRows)
{
    const std::size_t stride = f.stride;
    std::uint64_t* front = f.front;
    std::uint64_t* next = f.next;
    for (int pass = 0; pass < kSightSteps; ++pass)
    {
        const std::uint32_t first = frontTop == 0 ? 0 : frontTop - 1;
        const std::uint32_t last = std::min(f.rows - 1, frontBottom + 1);
        std::uint64_t* above = wideRows;
        std::uint64_t* here = above + stride;
        std::uint64_t* below = here + stride;
        std::fill_n(above, stride, std::uint64_t{0});
        Widen(front + first * stride, here, stride);
        std::fill_n(front + first * stride, stride, std::uint64_t{0});
        bool spreading = false;
        for (std::uint32_t r = first; r <= last; ++r)
        {
            if (r < last)
            {
                std::uint64_t* line = front + (r + 1) * stride;
                Widen(line, below, stride);
                std::fill_n(line, stride, std::uint64_t{0});
            }
            else
                std::fill_n(below, stride, std::uint64_t{0});
            std::uint64_t any = 0;
            for (std::size_t w = 0; w < stride; ++w)
            {
                std::uint64_t around = above[w] | here[w] | below[w];
                if (w + 1 == stride)
                    around &= f.lastWordMask;
                const std::size_t at = r * stride + w;
                const std::uint64_t fresh = around & ~f.reached[at];
                f.reached[at] |= fresh;
                const std::uint64_t spreads = fresh & f.open[at];
                next[at] = spreads;
                any |= spreads;
            }
            if (any != 0)
            {
                if (!spreading)
                    frontTop = r;
                spreading = true;
                frontBottom = r;
            }
            std::uint64_t* const spent = above;
            above = here;
            here = below;
            below = spent;
        }
        std::swap(front, next);
        if (!spreading)
            break;
    }
}

// The same for windows of up to kStride * 64 columns, the usual case: the
// three front rows around the one being worked stay in registers, and are
// spread sideways once together.
template <std::size_t kStride>
void SpreadNarrow(const FloodRows& f, std::uint32_t frontTop, std::uint32_t frontBottom)
{
    using Row = std::array<std::uint64_t, kStride>;
    std::uint64_t* front = f.front;
    std::uint64_t* next = f.next;
    for (int pass = 0; pass < kSightSteps; ++pass)
    {
        const std::uint32_t first = frontTop == 0 ? 0 : frontTop - 1;
        const std::uint32_t last = std::min(f.rows - 1, frontBottom + 1);
        Row above{};
        Row here;
        std::copy_n(front + first * kStride, kStride, here.begin());
        std::fill_n(front + first * kStride, kStride, std::uint64_t{0});
        bool spreading = false;
        for (std::uint32_t r = first; r <= last; ++r)
        {
            Row below{};
            if (r < last)
            {
                std::uint64_t* line = front + (r + 1) * kStride;
                std::copy_n(line, kStride, below.begin());
                std::fill_n(line, kStride, std::uint64_t{0});
            }
            Row column;
            for (std::size_t w = 0; w < kStride; ++w)
                column[w] = above[w] | here[w] | below[w];
            std::uint64_t* reached = f.reached + r * kStride;
            const std::uint64_t* open = f.open + r * kStride;
            std::uint64_t* spreads = next + r * kStride;
            std::uint64_t any = 0;
            for (std::size_t w = 0; w < kStride; ++w)
            {
                const std::uint64_t before = w > 0 ? column[w - 1] >> 63 : 0;
                const std::uint64_t after = w + 1 < kStride ? column[w + 1] << 63 : 0;
                std::uint64_t around =
                    column[w] | (column[w] << 1) | (column[w] >> 1) | before | after;
                if (w + 1 == kStride)
                    around &= f.lastWordMask;
                const std::uint64_t fresh = around & ~reached[w];
                reached[w] |= fresh;
                spreads[w] = fresh & open[w];
                any |= spreads[w];
            }
            if (any != 0)
            {
                if (!spreading)
                    frontTop = r;
                spreading = true;
                frontBottom = r;
            }
            above = here;
            here = below;
        }
        std::swap(front, next);
        if (!spreading)
            break;
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
    const std::uint32_t width = area->GetWidth();
    const std::uint32_t height = area->GetHeight();
    ClearPartySight(sight, width, height);
    std::vector<Cell> starts;
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
        starts.push_back(cell);
        sight.Mark(cell.first, cell.second);
        tracker.Mark(cell.first, cell.second);
    }
    if (starts.empty())
    {
        KeepSightWindow(sight, width, height, 0, 0, 0, 0);
        return;
    }

    // The flood spreads to all eight neighbours of its front, kSightSteps
    // times; a cell that blocks sight is reached but spreads no further.
    // It runs on rows of bits over the window it can reach, a word of 64
    // cells at a time: the same cells as a cell-by-cell flood.
    std::uint32_t left = width, right = 0, top = height, bottom = 0;
    for (const Cell& cell : starts)
    {
        left = std::min(left, cell.first);
        right = std::max(right, cell.first);
        top = std::min(top, cell.second);
        bottom = std::max(bottom, cell.second);
    }
    constexpr auto kReach = static_cast<std::uint32_t>(kSightSteps);
    left = left > kReach ? left - kReach : 0;
    top = top > kReach ? top - kReach : 0;
    right = std::min(width - 1, right + kReach);
    bottom = std::min(height - 1, bottom + kReach);
    const std::uint32_t columns = right - left + 1;
    const std::uint32_t rows = bottom - top + 1;
    const std::size_t stride = (columns + 63) / 64;
    const std::uint64_t lastWordMask =
        columns % 64 == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << (columns % 64)) - 1;
    const std::size_t words = stride * rows;
    auto& flood = m_SightFlood;
    flood.assign(words * 4 + stride * 3, 0);
    std::uint64_t* open = flood.data();
    std::uint64_t* reached = open + words;
    std::uint64_t* front = reached + words;
    std::uint64_t* next = front + words;
    // Three front rows spread sideways.
    std::uint64_t* wide = next + words;

    // The window out of the area's rows, then the cells whose answer can
    // change without a new layout.
    PrepareOpenRows(*area);
    for (std::uint32_t r = 0; r < rows; ++r)
    {
        const std::uint64_t* source = m_OpenRows.data() + (top + r) * m_OpenStride;
        for (std::size_t w = 0; w < stride; ++w)
        {
            const std::size_t bit = left + w * 64;
            const std::size_t at = bit / 64;
            const std::size_t shift = bit % 64;
            std::uint64_t word = source[at] >> shift;
            if (shift != 0 && at + 1 < m_OpenStride)
                word |= source[at + 1] << (64 - shift);
            open[r * stride + w] = w + 1 == stride ? word & lastWordMask : word;
        }
    }
    for (const auto& [column, row] : m_SightAsk)
    {
        if (row < top || row > bottom || column < left || column > right)
            continue;
        const int kind = area->GetCellKind(column, row);
        const bool blocks = kind == kTileKindDoor ? DoorBlocksSight(*area, column, row)
                                                  : CellBlocksSight(kind, *area, column, row);
        if (!blocks)
        {
            const std::uint32_t c = column - left;
            open[(row - top) * stride + c / 64] |= std::uint64_t{1} << (c % 64);
        }
    }
    for (const Cell& cell : starts)
    {
        const std::size_t at = (cell.second - top) * stride + (cell.first - left) / 64;
        const std::uint64_t bit = std::uint64_t{1} << ((cell.first - left) % 64);
        reached[at] |= bit;
        front[at] |= bit;
    }

    // Only rows next to the front can change in a pass.
    std::uint32_t frontTop = rows, frontBottom = 0;
    for (const Cell& cell : starts)
    {
        frontTop = std::min(frontTop, cell.second - top);
        frontBottom = std::max(frontBottom, cell.second - top);
    }
    const FloodRows floodRows{open, reached, front, next, stride, rows, lastWordMask};
    switch (stride)
    {
    case 1:
        SpreadNarrow<1>(floodRows, frontTop, frontBottom);
        break;
    case 2:
        SpreadNarrow<2>(floodRows, frontTop, frontBottom);
        break;
    case 3:
        SpreadNarrow<3>(floodRows, frontTop, frontBottom);
        break;
    default:
        Spread(floodRows, frontTop, frontBottom, wide);
        break;
    }

    // Grids of the area's shape take the bits straight into their words.
    const auto fits = [&](const CCellBitSet& grid)
    {
        return grid.GetWidth() == width && grid.GetHeight() == height &&
               grid.GetWords().size() >= CCellBitSet::WordCountFor(width, height);
    };
    std::uint32_t* sightWords = fits(sight) ? sight.Words().data() : nullptr;
    std::uint32_t* trackerWords = fits(tracker) ? tracker.Words().data() : nullptr;
    if (sightWords != nullptr && trackerWords != nullptr)
    {
        // A grid word holds four cells in a row of the area (cell i is bit
        // i % 32 of word i / 4): the 32 cells from a multiple of 32 on are
        // the same bits of eight words in a row.
        for (std::uint32_t r = 0; r < rows; ++r)
        {
            const std::uint64_t* line = reached + r * stride;
            const std::int64_t first = static_cast<std::int64_t>(top + r) * width + left;
            const std::int64_t lastWord = (first + columns - 1) / 4;
            for (std::int64_t at = first & ~std::int64_t{31}; at / 4 <= lastWord; at += 32)
            {
                const std::uint32_t bits = ThirtyTwoBitsAt(line, stride, at - first);
                if (bits == 0)
                    continue;
                const std::int64_t end = std::min(at / 4 + 8, lastWord + 1);
                std::uint32_t nibble = 0xFu;
                for (std::int64_t word = at / 4; word < end; ++word, nibble <<= 4)
                {
                    sightWords[word] |= bits & nibble;
                    trackerWords[word] |= bits & nibble;
                }
            }
        }
        KeepSightWindow(sight, width, height, left, top, columns, rows);
        return;
    }
    for (std::uint32_t r = 0; r < rows; ++r)
    {
        for (std::size_t w = 0; w < stride; ++w)
        {
            for (std::uint64_t bits = reached[r * stride + w]; bits != 0; bits &= bits - 1)
            {
                const auto column =
                    left + static_cast<std::uint32_t>(w * 64 + std::countr_zero(bits));
                const std::uint32_t index = (top + r) * width + column;
                const std::uint32_t bit = 1u << CCellBitSet::BitOf(index);
                if (sightWords != nullptr)
                    sightWords[CCellBitSet::WordOf(index)] |= bit;
                else
                    sight.Mark(column, top + r);
                if (trackerWords != nullptr)
                    trackerWords[CCellBitSet::WordOf(index)] |= bit;
                else
                    tracker.Mark(column, top + r);
            }
        }
    }
    KeepSightWindow(sight, width, height, left, top, columns, rows);
}

void CEngine::ClearPartySight(CCellBitSet& sight, std::uint32_t width, std::uint32_t height)
{
    // While nothing but the flood has touched the grid since the last one,
    // every cell it holds lies in that flood's window: only those rows'
    // words need clearing, not the whole area.
    const SightWindow& last = m_SightWindow;
    if (last.grid != &sight || last.stamp != sight.GetStamp() || last.width != width ||
        last.height != height || sight.GetWidth() != width || sight.GetHeight() != height ||
        sight.GetWords().size() < CCellBitSet::WordCountFor(width, height))
    {
        sight.Clear();
        return;
    }
    if (last.columns == 0)
        return;
    std::vector<std::uint32_t>& words = sight.Words();
    for (std::uint32_t r = last.top; r < last.top + last.rows; ++r)
    {
        const std::uint32_t first = r * width + last.left;
        std::fill(words.begin() + CCellBitSet::WordOf(first),
                  words.begin() + CCellBitSet::WordOf(first + last.columns - 1) + 1, 0u);
    }
}

void CEngine::KeepSightWindow(const CCellBitSet& sight, std::uint32_t width, std::uint32_t height,
                              std::uint32_t left, std::uint32_t top, std::uint32_t columns,
                              std::uint32_t rows)
{
    m_SightWindow = SightWindow{&sight, sight.GetStamp(), width, height, left, top, columns, rows};
}

void CEngine::PrepareOpenRows(const CArea& area)
{
    // Kept while the grid is the same: every change of a cell's master tile
    // moves the layout generation on.
    const std::uint64_t generation = CTile::GetLayoutGeneration();
    const std::uint32_t width = area.GetWidth();
    const std::uint32_t height = area.GetHeight();
    if (m_OpenArea != &area || m_OpenGeneration != generation || m_OpenWidth != width ||
        m_OpenHeight != height)
    {
        m_OpenStride = (width + 63) / 64;
        m_OpenRows.assign(m_OpenStride * height, 0);
        m_SightAsk.clear();
        for (std::uint32_t row = 0; row < height; ++row)
        {
            for (std::uint32_t column = 0; column < width; ++column)
            {
                const int kind = area.GetCellKind(column, row);
                // The border never lets the flood through.
                if (row == 0 || row + 1 == height || column == 0 || column + 1 == width)
                    continue;
                if (kind == kTileKindFloor || kind == kTileKindEmpty)
                    m_OpenRows[row * m_OpenStride + column / 64] |= std::uint64_t{1}
                                                                    << (column % 64);
                else if (kind != kTileKindSolid)
                    m_SightAsk.emplace_back(column, row);
            }
        }
        m_OpenArea = &area;
        m_OpenGeneration = generation;
        m_OpenWidth = width;
        m_OpenHeight = height;
    }
}

} // namespace VARD
