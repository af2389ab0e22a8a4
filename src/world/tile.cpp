#include "world/tile.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/rule_tables.h"
#include "world/script_record.h"

namespace VARD
{

// ---------------------------------------------------------------- template

CTileTemplate::CTileTemplate(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("tile");
    m_Name = reader.ReadWord();
    m_Text = reader.ReadQuoted();
    // Graphic names are words: the drawing reads "0" as no graphic.
    m_GraphicName = reader.ReadWord();
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, "tile " + VARDCommon::QuoteForMessage(m_Name) + " needs its size as a pair");
    m_SizeX = reader.ReadUnsigned();
    m_SizeY = reader.ReadUnsigned();
    // A block of no cells would place a master tile that covers nothing.
    if (m_SizeX == 0 || m_SizeY == 0)
        throw CVARDException(1, reader.Where() + ": tile " + VARDCommon::QuoteForMessage(m_Name) +
                                    " has size " + std::to_string(m_SizeX) + " x " +
                                    std::to_string(m_SizeY));
    m_Kind = reader.ReadConverted(ParseTileKind);
    if (IsDoor())
        ReadDoor(reader);
    reader.ReadEndTag();
}

void CTileTemplate::ReadDoor(VARDCommon::CTagFileReader& reader)
{
    m_DoorValueA = reader.ReadUnsigned();
    // A script decides whether the door opens, so such a door has no lock.
    if (IsAtScript(reader))
        m_Script = CScript::Create(reader);
    if (m_Script)
        m_LockValue = 0;
    else
        m_LockValue = reader.ReadUnsigned();
    m_OpenGraphicName = reader.ReadWord();
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAtEnd() || reader.GetCurrentWord() != "reset")
            reader.Fail(1, "door tile " + VARDCommon::QuoteForMessage(m_Name) +
                               " allows only \"reset\" after its open graphic");
        m_Reset = true;
        reader.NextToken();
    }
}

CTileTemplate::CTileTemplate(std::string name, std::string text, int kind, std::string graphic,
                             std::uint32_t sizeX, std::uint32_t sizeY)
    : m_Name(std::move(name)), m_Text(std::move(text)), m_GraphicName(std::move(graphic)),
      m_SizeX(sizeX), m_SizeY(sizeY), m_Kind(kind)
{
    if (m_Kind < kTileKindFloor || m_Kind > kTileKindDoor)
        throw CVARDException(1, "tile " + VARDCommon::QuoteForMessage(m_Name) + " has kind " +
                                    std::to_string(m_Kind));
    if (m_SizeX == 0 || m_SizeY == 0)
        throw CVARDException(1, "tile " + VARDCommon::QuoteForMessage(m_Name) + " has size " +
                                    std::to_string(m_SizeX) + " x " + std::to_string(m_SizeY));
}

// ---------------------------------------------------------------- master tiles

namespace
{

const CTileTemplate& RequireTemplate(const CTileTemplate* tileTemplate)
{
    if (tileTemplate == nullptr)
        throw CVARDException(1, "a master tile needs a tile template");
    return *tileTemplate;
}

// The drawing turns a tile by one of four facing matrices: a direction word
// it does not know (ParseDirection's 4) must not reach it.
std::uint32_t RequireOrientation(std::uint32_t orientation, const CTileTemplate& tileTemplate)
{
    if (orientation >= static_cast<std::uint32_t>(kDirectionCount))
        throw CVARDException(1, "tile " + VARDCommon::QuoteForMessage(tileTemplate.GetName()) +
                                    " has orientation " + std::to_string(orientation) +
                                    ", not a direction");
    return orientation;
}

bool SwapsSizes(std::uint32_t orientation)
{
    return orientation == 1 || orientation == 3;
}

} // namespace

CMasterTile::CMasterTile(const CTileTemplate* tileTemplate, std::uint32_t orientation, CArea* area,
                         std::uint32_t column, std::uint32_t row)
    : m_Template(&RequireTemplate(tileTemplate)), m_Area(area), m_Column(column), m_Row(row),
      m_SizeX(SwapsSizes(orientation) ? tileTemplate->GetSizeY() : tileTemplate->GetSizeX()),
      m_SizeY(SwapsSizes(orientation) ? tileTemplate->GetSizeX() : tileTemplate->GetSizeY()),
      m_Orientation(RequireOrientation(orientation, *tileTemplate))
{
}

VARDGraph::CGraphic* CMasterTile::GetGraphic() const
{
    return m_Graphic.get();
}

void CMasterTile::ReleaseGraphic()
{
    m_Graphic.reset();
}

CScript* CMasterTile::GetScript() const
{
    return m_Template->GetScript();
}

CMasterTileDoor::CMasterTileDoor(const CTileTemplate* tileTemplate, std::uint32_t orientation,
                                 CArea* area, std::uint32_t column, std::uint32_t row)
    : CMasterTile(tileTemplate, orientation, area, column, row),
      m_LockValue(tileTemplate->GetLockValue())
{
    if (!tileTemplate->IsDoor())
        throw CVARDException(2, "tile " + VARDCommon::QuoteForMessage(tileTemplate->GetName()) +
                                    " is no door");
}

VARDGraph::CGraphic* CMasterTileDoor::GetGraphic() const
{
    return IsOpen() ? m_OpenGraphic.get() : CMasterTile::GetGraphic();
}

void CMasterTileDoor::ReleaseGraphic()
{
    CMasterTile::ReleaseGraphic();
    m_OpenGraphic.reset();
}

void CMasterTileDoor::SetOpen(bool open)
{
    m_Open = open ? 1u : 0u;
    if (open)
        m_LockValue = 0;
}

// ---------------------------------------------------------------- tiles

namespace
{

std::uint32_t TileId(std::uint32_t column, std::uint32_t row)
{
    // Wider rows would make two cells share a number.
    if (column >= 1000u || row > (0xFFFFFFu - column) / 1000u)
        throw CVARDException(2, "no tile id for column " + std::to_string(column) + ", row " +
                                    std::to_string(row));
    return MakeThingId(kThingKindTile, row * 1000u + column);
}

} // namespace

CTile::CTile(std::uint32_t column, std::uint32_t row) : m_Id(TileId(column, row))
{
    // A new grid is a new layout even where no master tile is laid.
    ++s_LayoutGeneration;
}

CMasterTileDoor* CTile::GetDoor() const
{
    // A tiles patch lays even a door template as a plain master tile, so the
    // kind alone does not make the cell a door.
    auto* door = dynamic_cast<CMasterTileDoor*>(m_MasterTile);
    if (door == nullptr)
        throw CVARDException(2, "tile at column " + std::to_string(GetColumn()) + ", row " +
                                    std::to_string(GetRow()) + " holds no door");
    return door;
}

} // namespace VARD
