// The grid side of tiles: sizing, the <rows> section, master tiles laid by
// the file and by patches, and the cells that make one door.

#include "world/area.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/actor.h"
#include "world/event.h"
#include "world/game.h"
#include "world/module.h"
#include "world/patch.h"
#include "world/rule_tables.h"
#include "world/tile.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

namespace VARD
{

namespace
{

std::string CellText(std::uint32_t column, std::uint32_t row)
{
    return "(" + std::to_string(column) + ", " + std::to_string(row) + ")";
}

// The highest tile number must fit the 24 bits of a thing id.
bool FitsTileNumbers(std::uint32_t width, std::uint32_t height)
{
    if (width == 0 || height == 0)
        return true;
    const std::uint64_t last =
        static_cast<std::uint64_t>(height - 1u) * 1000u + static_cast<std::uint64_t>(width - 1u);
    return last <= 0xFFFFFFu;
}

void RequireTileNumbers(const std::string& areaName, std::uint32_t width, std::uint32_t height)
{
    if (!FitsTileNumbers(width, height))
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(areaName) + ": a grid of " +
                                    std::to_string(width) + " x " + std::to_string(height) +
                                    " cells has tile numbers past 24 bits");
}

} // namespace

void CArea::SetGridSize(std::uint32_t width, std::uint32_t height)
{
    // Checked before any cell is made, so that a huge size fails at once.
    RequireTileNumbers(m_Name, width, height);
    std::vector<std::shared_ptr<CTile>> tiles(static_cast<std::size_t>(width) * height);
    for (std::uint32_t column = 0; column < width; ++column)
    {
        for (std::uint32_t row = 0; row < height; ++row)
        {
            auto& cell = tiles[static_cast<std::size_t>(width) * row + column];
            if (column < m_Width && row < m_Height)
                cell = m_Tiles[static_cast<std::size_t>(m_Width) * row + column];
            else
                cell = std::make_shared<CTile>(column, row);
        }
    }
    m_Tiles.swap(tiles);
    ForgetCellKinds();
    m_Width = width;
    m_Height = height;
    m_FileWidth = width;
    m_FileHeight = height;
    m_TileTracker.SetSize(width, height);
    m_SightGrid.SetSize(width, height);
}

CTile* CArea::GetTile(std::uint32_t column, std::uint32_t row) const
{
    if (column >= m_Width || row >= m_Height)
        return nullptr;
    return m_Tiles[static_cast<std::size_t>(m_Width) * row + column].get();
}

void CArea::RefreshCellKinds() const
{
    const std::uint64_t generation = CTile::GetLayoutGeneration();
    m_CellKinds.resize(m_Tiles.size());
    for (std::size_t i = 0; i < m_Tiles.size(); ++i)
    {
        // A hole in the layout must not let anyone walk or look through it.
        const CTile* tile = m_Tiles[i].get();
        m_CellKinds[i] =
            static_cast<std::uint8_t>(tile == nullptr ? kTileKindSolid : tile->GetKind());
    }
    m_CellKindsGeneration = generation;
}

// ---------------------------------------------------------------- <rows>

void CArea::ReadRows(VARDCommon::CTagFileReader& reader, const CModule& module)
{
    reader.ReadStartTag("rows");
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, "<rows> needs the grid size as a pair of width and height");
    const std::uint32_t width = reader.ReadUnsigned();
    const std::uint32_t height = reader.ReadUnsigned();
    // Wider rows would give two cells one tile id.
    if (width > kMaxGridWidth)
        throw CVARDException(1, reader.Where() + ": area " + VARDCommon::QuoteForMessage(m_Name) +
                                    " is " + std::to_string(width) + " cells wide; at most " +
                                    std::to_string(kMaxGridWidth) + " fit tile ids");
    RequireTileNumbers(m_Name, width, height);
    // Every cell takes at least a byte of its <row>: a size the rest of the
    // file cannot hold is damage, found before the grid's cells are made.
    const std::int64_t remaining = reader.GetRemainingSize();
    const std::uint64_t cells = static_cast<std::uint64_t>(width) * height;
    if (remaining >= 0 && cells > static_cast<std::uint64_t>(remaining))
        reader.Fail(1, "area " + VARDCommon::QuoteForMessage(m_Name) + ": the <row> lines of " +
                           std::to_string(width) + " x " + std::to_string(height) +
                           " cells cannot fit in the " + std::to_string(remaining) + " bytes left");
    SetGridSize(width, height);

    for (std::uint32_t row = 0; row < height; ++row)
    {
        reader.ReadStartTag("row");
        for (std::uint32_t column = 0; column < width; ++column)
            ReadCellEntry(reader, module, column, row);
        reader.ReadEndTag();
    }
    reader.ReadEndTag();
}

void CArea::RequireOnGrid(const std::string& where, const std::string& what, double x,
                          double y) const
{
    const double right = m_FileWidth * kCellSize;
    const double bottom = m_FileHeight * kCellSize;
    // Written so that a NaN fails too.
    if (x >= 0.0 && x <= right && y >= 0.0 && y <= bottom)
        return;
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << where << ": " << what << " at (" << x << ", " << y << ") is off the grid of area \""
         << m_Name << "\" (0 to " << right << " by 0 to " << bottom << ")";
    throw CVARDException(1, text.str());
}

void CArea::ReadCellEntry(VARDCommon::CTagFileReader& reader, const CModule& module,
                          std::uint32_t column, std::uint32_t row)
{
    if (!reader.IsAtEnd() && reader.GetCurrentWord() == "0")
    {
        if (GetTile(column, row)->GetMasterTile() == nullptr)
            reader.Fail(1, "cell " + CellText(column, row) +
                               " is marked covered, but no tile placed before covers it");
        reader.NextToken();
        return;
    }
    if (reader.IsStartTag("cell"))
    {
        reader.ReadStartTag("cell");
        do
            ReadPlacement(reader, module, column, row);
        while (!reader.IsAtEndTag());
        reader.ReadEndTag();
        return;
    }
    ReadPlacement(reader, module, column, row);
}

void CArea::ReadPlacement(VARDCommon::CTagFileReader& reader, const CModule& module,
                          std::uint32_t column, std::uint32_t row)
{
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, "cell " + CellText(column, row) +
                           " needs a pair of tile name and orientation, <cell> or 0");
    const std::string name = reader.ReadWord();
    if (reader.IsAtEnd())
        reader.Fail(1, "expected an orientation");
    // ParseDirection gives 4 for an unknown word; no tile may face it (see
    // CMasterTile), so the word is refused here, where the file line is known.
    const int orientation = ParseDirection(reader.GetCurrentWord());
    if (orientation == kDirectionNone)
        reader.Fail(1, "cell " + CellText(column, row) + " needs an orientation word");
    reader.NextToken();
    try
    {
        PlaceMasterTile(name, static_cast<std::uint32_t>(orientation), module, column, row);
    }
    catch (const CVARDException& e)
    {
        throw CVARDException(e.GetCode(), reader.Where() + ": " + e.GetDetail());
    }
}

void CArea::CheckBlockOnGrid(const CMasterTile& master) const
{
    const std::uint64_t right = static_cast<std::uint64_t>(master.GetColumn()) + master.GetSizeX();
    const std::uint64_t bottom = static_cast<std::uint64_t>(master.GetRow()) + master.GetSizeY();
    if (right > m_Width || bottom > m_Height)
        throw CVARDException(
            1, "tile " + VARDCommon::QuoteForMessage(master.GetTemplate()->GetName()) + " at " +
                   CellText(master.GetColumn(), master.GetRow()) +
                   " reaches past the grid of area " + VARDCommon::QuoteForMessage(m_Name) + " (" +
                   std::to_string(m_Width) + " x " + std::to_string(m_Height) + ")");
}

void CArea::PlaceMasterTile(const std::string& name, std::uint32_t orientation,
                            const CModule& module, std::uint32_t column, std::uint32_t row)
{
    const CTileTemplate* tileTemplate = module.FindTileTemplate(name);
    if (tileTemplate == nullptr)
        throw CVARDException(1, "the module has no tile " + VARDCommon::QuoteForMessage(name));
    std::shared_ptr<CMasterTile> master;
    if (tileTemplate->IsDoor())
        master = std::make_shared<CMasterTileDoor>(tileTemplate, orientation, this, column, row);
    else
        master = std::make_shared<CMasterTile>(tileTemplate, orientation, this, column, row);
    CheckBlockOnGrid(*master);
    m_MasterTiles.push_back(master);

    // Walls and doors win over what lies beneath them; ground never does.
    const int kind = tileTemplate->GetKind();
    const bool takesOver = kind == kTileKindSolid || kind == kTileKindDoor;
    for (std::uint32_t c = column; c < column + master->GetSizeX(); ++c)
    {
        for (std::uint32_t r = row; r < row + master->GetSizeY(); ++r)
        {
            CTile* tile = GetTile(c, r);
            if (tile->GetMasterTile() == nullptr || takesOver)
                tile->SetMasterTile(master.get());
        }
    }
}

// ---------------------------------------------------------------- patches

void CArea::LayPatchTiles(const CPatchActionTiles& action, const CModule& module)
{
    for (const auto& patchTile : action.GetTiles())
    {
        const CTileTemplate* tileTemplate = module.FindTileTemplate(patchTile->tileName);
        if (tileTemplate == nullptr)
            throw CVARDException(1, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                        ": a tiles patch names tile " +
                                        VARDCommon::QuoteForMessage(patchTile->tileName) +
                                        ", which the module lacks");
        // Never a door: a patch only changes the ground and the walls.
        auto master = std::make_shared<CMasterTile>(tileTemplate, patchTile->orientation, this,
                                                    patchTile->column, patchTile->row);
        CheckBlockOnGrid(*master);
        m_MasterTiles.push_back(master);
        for (std::uint32_t c = master->GetColumn(); c < master->GetColumn() + master->GetSizeX();
             ++c)
            for (std::uint32_t r = master->GetRow(); r < master->GetRow() + master->GetSizeY(); ++r)
                GetTile(c, r)->SetMasterTile(master.get());
    }
    ReplaceDisplacedActors();
    if (m_Game != nullptr)
        m_Game->PostEvent(std::make_shared<CInfoEvent>(kEventTilesPatched));
}

void CArea::ReplaceDisplacedActors()
{
    const auto actors = m_Actors;
    for (const auto& actor : actors)
    {
        if (IsPositionFree(actor.get(), actor->GetX(), actor->GetY(), nullptr))
            continue;
        m_Actors.erase(std::find(m_Actors.begin(), m_Actors.end(), actor));
        NoteActorsChanged();
        m_ActorIndex.Remove(*actor);
        const auto cellOf = [](double coordinate, std::uint32_t size) -> std::uint32_t
        {
            const double cell = std::trunc(coordinate / kCellSize);
            if (!(cell > 0.0) || size == 0)
                return 0;
            return cell >= size ? size - 1u : static_cast<std::uint32_t>(cell);
        };
        // Nowhere to go: better wedged where it stood than gone from the world.
        if (!FindFreeSpotNear(cellOf(actor->GetX(), m_Width), cellOf(actor->GetY(), m_Height), true,
                              actor))
        {
            m_ActorIndex.Add(*actor);
            m_Actors.push_back(actor);
            NoteActorsChanged();
        }
    }
}

// ---------------------------------------------------------------- doors

std::vector<CTile*> CArea::CollectDoorTiles(const CTile* tile) const
{
    if (tile == nullptr || GetTile(tile->GetColumn(), tile->GetRow()) != tile)
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    " does not hold that tile");
    const std::uint32_t column = tile->GetColumn();
    const std::uint32_t row = tile->GetRow();
    std::vector<CTile*> door{GetTile(column, row)};
    for (std::uint32_t c = column; c-- > 0 && GetCellKind(c, row) == kTileKindDoor;)
        door.push_back(GetTile(c, row));
    for (std::uint32_t c = column + 1; c < m_Width && GetCellKind(c, row) == kTileKindDoor; ++c)
        door.push_back(GetTile(c, row));
    for (std::uint32_t r = row; r-- > 0 && GetCellKind(column, r) == kTileKindDoor;)
        door.push_back(GetTile(column, r));
    for (std::uint32_t r = row + 1; r < m_Height && GetCellKind(column, r) == kTileKindDoor; ++r)
        door.push_back(GetTile(column, r));
    return door;
}

} // namespace VARD
